#pragma once
// The binary colour netpbm image (P6, maxval 255) that the renderer children write.
#include <cstdint>
#include <expected>
#include <span>
#include <string>

#include "thumbnail/generate.hpp"

namespace thumbnail::detail {

// Reads exactly one P6 image whose sides are 1 … `max_side`, with nothing after its pixels;
// the result is RGBA with opaque alpha.
std::expected<generate::Thumbnail, std::string> parse_ppm(std::span<const std::uint8_t> bytes,
                                                          std::uint32_t max_side);

}  // namespace thumbnail::detail
