#pragma once
// Immutable 8-bit images over shared byte buffers: copying an image copies a pointer.
#include <cstddef>
#include <cstdint>
#include <expected>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vesk_image {

using SharedBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// The value is the number of 8-bit channels per pixel.
enum class PixelFormat : std::uint8_t { Grey8 = 1, Rgb8 = 3, Rgba8 = 4 };

constexpr std::size_t channel_count(PixelFormat format) {
  return static_cast<std::size_t>(format);
}

// Rows top to bottom, no padding between rows.
class Image {
 public:
  // Fails when the byte count is not width × height × channels.
  static std::expected<Image, std::string> from_pixels(std::uint32_t width, std::uint32_t height,
                                                       PixelFormat format, SharedBytes pixels);
  static std::expected<Image, std::string> from_pixels(std::uint32_t width, std::uint32_t height,
                                                       PixelFormat format,
                                                       std::vector<std::uint8_t> pixels);

  std::uint32_t width() const { return width_; }
  std::uint32_t height() const { return height_; }
  PixelFormat format() const { return format_; }
  std::size_t channels() const { return channel_count(format_); }
  std::size_t row_bytes() const { return std::size_t{width_} * channels(); }
  std::span<const std::uint8_t> pixels() const { return *pixels_; }
  const SharedBytes& shared_pixels() const { return pixels_; }

 private:
  Image(std::uint32_t width, std::uint32_t height, PixelFormat format, SharedBytes pixels)
      : width_(width), height_(height), format_(format), pixels_(std::move(pixels)) {}

  std::uint32_t width_;
  std::uint32_t height_;
  PixelFormat format_;
  SharedBytes pixels_;
};

// Decoders refuse anything larger before allocating pixel memory.
inline constexpr std::uint32_t kMaxDecodeSide = 10000;
inline constexpr std::uint64_t kMaxDecodePixels = 60'000'000;

// Empty when the size is acceptable for decoding, otherwise the reason.
std::expected<void, std::string> check_decode_size(std::uint64_t width, std::uint64_t height);

}  // namespace vesk_image
