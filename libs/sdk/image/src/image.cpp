#include "vesk_image/image.hpp"

namespace vesk_image {

std::expected<Image, std::string> Image::from_pixels(std::uint32_t width, std::uint32_t height,
                                                     PixelFormat format, SharedBytes pixels) {
  const std::uint64_t expected_bytes =
      std::uint64_t{width} * std::uint64_t{height} * channel_count(format);
  const std::uint64_t actual_bytes = pixels ? pixels->size() : 0;
  if (expected_bytes != actual_bytes) {
    return std::unexpected("pixel buffer holds " + std::to_string(actual_bytes) +
                           " bytes, expected " + std::to_string(expected_bytes));
  }
  if (!pixels) pixels = std::make_shared<const std::vector<std::uint8_t>>();
  return Image(width, height, format, std::move(pixels));
}

std::expected<Image, std::string> Image::from_pixels(std::uint32_t width, std::uint32_t height,
                                                     PixelFormat format,
                                                     std::vector<std::uint8_t> pixels) {
  return from_pixels(width, height, format,
                     std::make_shared<const std::vector<std::uint8_t>>(std::move(pixels)));
}

std::expected<void, std::string> check_decode_size(std::uint64_t width, std::uint64_t height) {
  if (width == 0 || height == 0) return std::unexpected(std::string("image has no pixels"));
  if (width > kMaxDecodeSide || height > kMaxDecodeSide || width * height > kMaxDecodePixels) {
    return std::unexpected("image of " + std::to_string(width) + " x " + std::to_string(height) +
                           " pixels is too large");
  }
  return {};
}

}  // namespace vesk_image
