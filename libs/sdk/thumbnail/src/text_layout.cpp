#include "text_layout.hpp"

#include <algorithm>
#include <cmath>

#include "vesk_os/utf8.hpp"

namespace thumbnail::detail {
namespace {

// A printout of about 60 lines of 80 characters: what a text file looks like on A4.
constexpr std::uint32_t kRows = 60;
constexpr double kMarginShare = 0.05;     // of the page height
constexpr double kFontShareOfLine = 0.8;  // glyph size within a line
constexpr std::size_t kTabWidth = 8;

}  // namespace

TextPage text_page(std::uint32_t size) {
  TextPage page;
  page.height = size;
  page.width =
      std::max<std::uint32_t>(1, static_cast<std::uint32_t>(std::lround(size * 210.0 / 297.0)));
  page.margin = static_cast<std::uint32_t>(std::lround(size * kMarginShare));
  page.rows = kRows;
  page.line_height = static_cast<double>(size - 2 * page.margin) / kRows;
  page.font_pixels = std::max<std::uint32_t>(
      1, static_cast<std::uint32_t>(std::lround(page.line_height * kFontShareOfLine)));
  return page;
}

std::vector<std::u32string> first_page_lines(std::string_view text, std::size_t columns,
                                             std::size_t rows) {
  std::vector<std::u32string> lines;
  if (columns == 0 || rows == 0) return lines;
  std::u32string line;
  auto end_line = [&] {
    lines.push_back(std::move(line));
    line.clear();
    return lines.size() >= rows;
  };
  for (std::size_t position = 0; position < text.size();) {
    const auto scalar = vesk_os::utf8::decode(text, position);
    position += scalar.length;
    const char32_t c = scalar.value;
    if (c == U'\n') {
      if (end_line()) return lines;
    } else if (c == U'\f') {
      break;
    } else if (c == U'\t') {
      const std::size_t stop = std::min(columns, (line.size() / kTabWidth + 1) * kTabWidth);
      line.resize(stop, U' ');
      if (line.size() >= columns && end_line()) return lines;
    } else if (c < 0x20 || c == 0x7f || (c >= 0x80 && c < 0xa0)) {
      continue;
    } else {
      if (line.size() >= columns && end_line()) return lines;
      line.push_back(c);
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

}  // namespace thumbnail::detail
