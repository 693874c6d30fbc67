#include "pdf/content_stream.hpp"

#include <algorithm>

#include "pdf/pdf_numbers.hpp"
#include "pdf/text_encoding.hpp"

namespace wendlow::pdf {
namespace {

constexpr double kPageWidth = 595.0;
constexpr double kPageHeight = 842.0;
constexpr double kBoxWidth = 559.0;
constexpr double kBoxHeight = 806.0;

}  // namespace

Placement place_on_a4(std::uint32_t width, std::uint32_t height) {
  double scale = std::min(kBoxWidth / width, kBoxHeight / height);
  Placement placement;
  placement.width = scale * width;
  placement.height = scale * height;
  placement.x = (kPageWidth - placement.width) * 0.5;
  placement.y = (kPageHeight - placement.height) * 0.5;
  return placement;
}

std::string page_content(const Placement& placement, std::size_t image_index,
                         std::string_view text) {
  std::string content = "q " + format_real(placement.width) + " 0 0 " +
                        format_real(placement.height) + " " + format_real(placement.x) + " " +
                        format_real(placement.y) + " cm /Im" + std::to_string(image_index) +
                        " Do Q\n";
  // The whole text, untrimmed, is shown as one invisible string (rendering mode 3) so that
  // viewers can search and copy it.
  if (has_visible_text(text)) {
    content += "BT /F1 10 Tf 3 Tr 18 18 Td (";
    content += escape_pdf_string(encode_win_ansi(text));
    content += ") Tj ET\n";
  }
  return content;
}

}  // namespace wendlow::pdf
