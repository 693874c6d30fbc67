#pragma once
// Small helpers shared by the image tests.
#include <cstdint>
#include <vector>

#include "vesk_image/image.hpp"

namespace vesk_image::testing {

// A w × h image whose every byte is a function of its position, so that any misplaced pixel
// shows up in a comparison.
inline Image pattern(std::uint32_t w, std::uint32_t h, PixelFormat format) {
  std::vector<std::uint8_t> bytes(std::size_t{w} * h * channel_count(format));
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 13);
  return *Image::from_pixels(w, h, format, std::move(bytes));
}

inline std::vector<std::uint8_t> bytes_of(const Image& image) {
  return {image.pixels().begin(), image.pixels().end()};
}

}  // namespace vesk_image::testing
