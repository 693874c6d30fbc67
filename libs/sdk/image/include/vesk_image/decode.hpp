#pragma once
// Decoding encoded image files from memory; the format is recognised from the content.
#include <cstdint>
#include <expected>
#include <optional>
#include <span>
#include <string>

#include "vesk_image/image.hpp"

namespace vesk_image {

enum class ImageFormat { Png, Jpeg, Pnm, Tiff };

// The format whose signature starts `bytes`, if any.
std::optional<ImageFormat> detect_format(std::span<const std::uint8_t> bytes);

// Decodes PNG, JPEG, PNM (P4, P5, P6) or TIFF. The result is Grey8, Rgb8 or Rgba8. Images over
// the decode limits, truncated or corrupt data and unknown formats are errors.
std::expected<Image, std::string> decode(std::span<const std::uint8_t> bytes);

std::expected<Image, std::string> decode_png(std::span<const std::uint8_t> bytes);
std::expected<Image, std::string> decode_jpeg(std::span<const std::uint8_t> bytes);
std::expected<Image, std::string> decode_pnm(std::span<const std::uint8_t> bytes);
std::expected<Image, std::string> decode_tiff(std::span<const std::uint8_t> bytes);

}  // namespace vesk_image
