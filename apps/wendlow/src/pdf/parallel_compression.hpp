#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "pdf/compressed_image.hpp"

namespace wendlow::pdf {

// Compresses every image with `compress` on up to `threads` threads (the caller's included)
// and returns the results in input order. A failed compression gives an empty image. Each
// result depends only on its own input, so the output is the same for any thread count.
std::vector<CompressedImage> compress_images(std::span<const std::span<const std::uint8_t>> images,
                                             unsigned threads, const ImageCompressor& compress);

}  // namespace wendlow::pdf
