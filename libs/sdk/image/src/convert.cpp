#include <array>

#include "vesk_image/convert.hpp"

namespace vesk_image {
namespace {

Image make(std::uint32_t width, std::uint32_t height, PixelFormat format,
           std::vector<std::uint8_t> pixels) {
  return *Image::from_pixels(width, height, format, std::move(pixels));
}

std::uint8_t luma(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return static_cast<std::uint8_t>((2126 * r + 7152 * g + 722 * b + 5000) / 10000);
}

}  // namespace

Image to_rgba8(const Image& image) {
  if (image.format() == PixelFormat::Rgba8) return image;
  const std::size_t count = std::size_t{image.width()} * image.height();
  const auto in = image.pixels();
  std::vector<std::uint8_t> out(count * 4);
  const std::size_t channels = image.channels();
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* p = in.data() + i * channels;
    out[4 * i] = p[0];
    out[4 * i + 1] = channels == 1 ? p[0] : p[1];
    out[4 * i + 2] = channels == 1 ? p[0] : p[2];
    out[4 * i + 3] = 255;
  }
  return make(image.width(), image.height(), PixelFormat::Rgba8, std::move(out));
}

Image to_grey8(const Image& image) {
  if (image.format() == PixelFormat::Grey8) return image;
  const std::size_t count = std::size_t{image.width()} * image.height();
  const auto in = image.pixels();
  const std::size_t channels = image.channels();
  std::vector<std::uint8_t> out(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* p = in.data() + i * channels;
    out[i] = luma(p[0], p[1], p[2]);
  }
  return make(image.width(), image.height(), PixelFormat::Grey8, std::move(out));
}

Image adjust_contrast(const Image& image, float amount) {
  const float factor = ((100.0f + amount) / 100.0f) * ((100.0f + amount) / 100.0f);
  std::array<std::uint8_t, 256> table{};
  for (int v = 0; v < 256; ++v) {
    float level = ((static_cast<float>(v) / 255.0f - 0.5f) * factor + 0.5f) * 255.0f;
    if (!(level > 0.0f)) level = 0.0f;
    if (level > 255.0f) level = 255.0f;
    table[v] = static_cast<std::uint8_t>(level);
  }
  const auto in = image.pixels();
  std::vector<std::uint8_t> out(in.begin(), in.end());
  const bool has_alpha = image.format() == PixelFormat::Rgba8;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (has_alpha && i % 4 == 3) continue;
    out[i] = table[out[i]];
  }
  return make(image.width(), image.height(), image.format(), std::move(out));
}

}  // namespace vesk_image
