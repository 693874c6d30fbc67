#include <algorithm>
#include <cstring>

#include "vesk_image/transform.hpp"

namespace vesk_image {

Image rotate90_clockwise(const Image& image) {
  const std::size_t w = image.width();
  const std::size_t h = image.height();
  const std::size_t channels = image.channels();
  const auto in = image.pixels();
  std::vector<std::uint8_t> out(in.size());
  // Output row x holds source column x read from the bottom row up.
  for (std::size_t y = 0; y < h; ++y) {
    const std::uint8_t* source_row = in.data() + y * w * channels;
    const std::size_t out_x = h - 1 - y;
    for (std::size_t x = 0; x < w; ++x) {
      std::memcpy(out.data() + (x * h + out_x) * channels, source_row + x * channels, channels);
    }
  }
  return *Image::from_pixels(image.height(), image.width(), image.format(), std::move(out));
}

Image crop(const Image& image, std::uint32_t left, std::uint32_t top, std::uint32_t width,
           std::uint32_t height) {
  const std::uint32_t x0 = std::min(left, image.width());
  const std::uint32_t y0 = std::min(top, image.height());
  const std::uint32_t w = std::min(width, image.width() - x0);
  const std::uint32_t h = std::min(height, image.height() - y0);
  const std::size_t channels = image.channels();
  const auto in = image.pixels();
  std::vector<std::uint8_t> out(std::size_t{w} * h * channels);
  for (std::size_t y = 0; y < h; ++y) {
    const std::uint8_t* source = in.data() + ((y0 + y) * image.row_bytes()) + x0 * channels;
    std::memcpy(out.data() + y * w * channels, source, std::size_t{w} * channels);
  }
  return *Image::from_pixels(w, h, image.format(), std::move(out));
}

}  // namespace vesk_image
