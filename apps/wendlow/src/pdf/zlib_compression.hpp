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

// The most bytes compress_zlib can produce for `length` input bytes.
std::size_t zlib_size_bound(std::size_t length);

}  // namespace wendlow::pdf
