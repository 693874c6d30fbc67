#pragma once
// Where the text of a plain-text preview goes: a portrait A4 page with a margin, and the lines
// of the file as a printer would set them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace thumbnail::detail {

struct TextPage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t margin = 0;
  std::uint32_t rows = 0;  // lines on the page
  double line_height = 0;  // pixels from one baseline to the next
  std::uint32_t font_pixels = 0;
};

// The page whose height is `size`.
TextPage text_page(std::uint32_t size);

// The first `rows` lines of `text`: a line feed ends a line, a carriage return is dropped, a
// tab moves to the next multiple of eight columns, a form feed ends the page, other control
// characters are left out, and a line longer than `columns` goes on in the next one.
// Malformed UTF-8 reads as U+FFFD.
std::vector<std::u32string> first_page_lines(std::string_view text, std::size_t columns,
                                             std::size_t rows);

}  // namespace thumbnail::detail
