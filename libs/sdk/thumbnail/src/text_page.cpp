// A plain-text file drawn as the first printed page: white paper, a margin, and the first
// lines in the system's monospace font. Only the first window of the file is read, so the
// work is bounded whatever the file's size; the font files are the system's own.
#include <algorithm>
#include <cmath>
#include <fstream>

#include "glyphs.hpp"
#include "renderers.hpp"
#include "text_layout.hpp"
#include "thumbnail/category.hpp"

namespace thumbnail::detail {
namespace {

constexpr std::uint8_t kPaper = 255;
constexpr std::uint8_t kInk = 34;

// Darkens the page under the glyph's coverage; overlapping glyphs keep the darker ink.
void draw(std::vector<std::uint8_t>& rgba, const TextPage& page, const Glyph& glyph, int pen_x,
          int baseline) {
  const int left = pen_x + glyph.left;
  const int top = baseline - glyph.top;
  for (std::uint32_t y = 0; y < glyph.height; ++y) {
    const int py = top + static_cast<int>(y);
    if (py < 0 || py >= static_cast<int>(page.height)) continue;
    for (std::uint32_t x = 0; x < glyph.width; ++x) {
      const int px = left + static_cast<int>(x);
      if (px < 0 || px >= static_cast<int>(page.width)) continue;
      const unsigned coverage = glyph.coverage[std::size_t{y} * glyph.width + x];
      if (coverage == 0) continue;
      const auto value =
          static_cast<std::uint8_t>(kPaper - (coverage * (kPaper - kInk) + 127) / 255);
      std::uint8_t* pixel = rgba.data() + (std::size_t(py) * page.width + std::size_t(px)) * 4;
      for (int c = 0; c < 3; ++c) pixel[c] = std::min(pixel[c], value);
    }
  }
}

}  // namespace

generate::Result render_text(const std::filesystem::path& source, std::uint32_t size) {
  std::ifstream file(source, std::ios::binary);
  if (!file) return std::unexpected("cannot open the text file");
  std::string text(category::kSniffBytes, '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (file.bad()) return std::unexpected("cannot read the text file");
  text.resize(static_cast<std::size_t>(file.gcount()));

  const TextPage page = text_page(size);
  auto glyphs = MonospaceGlyphs::open(page.font_pixels);
  if (!glyphs) return std::unexpected(glyphs.error());
  const std::int64_t advance = glyphs->advance_64();
  const auto columns =
      static_cast<std::size_t>(std::int64_t{page.width - 2 * page.margin} * 64 / advance);
  const auto lines = first_page_lines(text, columns, page.rows);

  std::vector<std::uint8_t> rgba(std::size_t{page.width} * page.height * 4, kPaper);
  // The text sits in the middle of its line.
  const int inside = static_cast<int>(std::lround((page.line_height - page.font_pixels) / 2));
  for (std::size_t row = 0; row < lines.size(); ++row) {
    const int baseline = static_cast<int>(std::lround(page.margin + row * page.line_height)) +
                         inside + glyphs->ascent();
    for (std::size_t column = 0; column < lines[row].size(); ++column) {
      const char32_t character = lines[row][column];
      if (character == U' ') continue;
      const int pen_x = static_cast<int>(page.margin + (std::int64_t(column) * advance + 32) / 64);
      draw(rgba, page, glyphs->glyph(character), pen_x, baseline);
    }
  }
  return generate::Thumbnail{page.width, page.height,
                             std::make_shared<const std::vector<std::uint8_t>>(std::move(rgba))};
}

}  // namespace thumbnail::detail
