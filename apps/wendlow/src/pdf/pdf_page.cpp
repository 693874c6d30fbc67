#include "pdf/pdf_page.hpp"

namespace wendlow::pdf {

bool is_drawable(const PdfPage& page) {
  if (page.width == 0 || page.height == 0) return false;
  std::uint64_t pixels = std::uint64_t{page.width} * page.height;
  std::uint64_t bytes = 0;
  if (__builtin_mul_overflow(pixels, std::uint64_t{3}, &bytes)) return false;
  return page.rgb.size() == bytes;
}

}  // namespace wendlow::pdf
