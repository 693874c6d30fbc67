#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "pdf/compressed_image.hpp"

namespace wendlow::pdf {

// `data` as one zlib-format (RFC 1950) deflate stream at compression level 6, in a single
// pass. Empty when zlib reports a failure.
std::optional<CompressedImage> compress_zlib(std::span<const std::uint8_t> data);

// The same stream for the RGB bytes of RGBA pixels (the alpha byte of each dropped), made
// without an RGB copy of the image: the pixels are converted a few rows at a time. The output
// equals compress_zlib over the RGB bytes. Empty when zlib reports a failure or the length is
// not a whole number of pixels.
std::optional<CompressedImage> compress_zlib_rgb_of_rgba(std::span<const std::uint8_t> rgba);

// The most bytes compress_zlib can produce for `length` input bytes.
std::size_t zlib_size_bound(std::size_t length);

}  // namespace wendlow::pdf
