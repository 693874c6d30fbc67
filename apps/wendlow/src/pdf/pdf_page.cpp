#include "pdf/pdf_page.hpp"

namespace wendlow::pdf {

namespace {

bool holds_pixels(std::uint32_t width, std::uint32_t height, std::uint64_t channels,
                  std::size_t size) {
  if (width == 0 || height == 0) return false;
  std::uint64_t pixels = std::uint64_t{width} * height;
  std::uint64_t bytes = 0;
  if (__builtin_mul_overflow(pixels, channels, &bytes)) return false;
  return size == bytes;
}

}  // namespace

bool is_drawable(const PdfPage& page) {
  return holds_pixels(page.width, page.height, 3, page.rgb.size());
}

bool is_drawable(const RgbaPdfPage& page) {
  return page.rgba && holds_pixels(page.width, page.height, 4, page.rgba->size());
}

}  // namespace wendlow::pdf
