#include <algorithm>
#include <cstring>

#include "vesk_image/transform.hpp"

namespace vesk_image {

namespace {

// RGBA pixels as whole 32-bit words, in square tiles so that reads and writes both stay within
// a few cache lines; a page turns in a fraction of the time of a row-by-row walk.
void rotate_rgba_tiled(const std::uint8_t* in, std::uint8_t* out, std::size_t w, std::size_t h) {
  constexpr std::size_t kTile = 64;
  for (std::size_t y0 = 0; y0 < h; y0 += kTile) {
    const std::size_t y1 = std::min(h, y0 + kTile);
    for (std::size_t x0 = 0; x0 < w; x0 += kTile) {
      const std::size_t x1 = std::min(w, x0 + kTile);
      for (std::size_t x = x0; x < x1; ++x) {
        std::uint8_t* target = out + (x * h + (h - 1 - y0)) * 4;
        for (std::size_t y = y0; y < y1; ++y, target -= 4) {
          std::memcpy(target, in + (y * w + x) * 4, 4);
        }
      }
    }
  }
}

}  // namespace

Image rotate90_clockwise(const Image& image) {
  const std::size_t w = image.width();
  const std::size_t h = image.height();
  const std::size_t channels = image.channels();
  const auto in = image.pixels();
  std::vector<std::uint8_t> out(in.size());
  if (channels == 4) {
    rotate_rgba_tiled(in.data(), out.data(), w, h);
    return *Image::from_pixels(image.height(), image.width(), image.format(), std::move(out));
  }
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
  // Appended row by row: the result is never filled with zeros first.
  std::vector<std::uint8_t> out;
  out.reserve(std::size_t{w} * h * channels);
  for (std::size_t y = 0; y < h; ++y) {
    const std::uint8_t* source = in.data() + ((y0 + y) * image.row_bytes()) + x0 * channels;
    out.insert(out.end(), source, source + std::size_t{w} * channels);
  }
  return *Image::from_pixels(w, h, image.format(), std::move(out));
}

}  // namespace vesk_image
