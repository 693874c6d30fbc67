#pragma once
// Monospace glyphs from the system's fonts: fontconfig chooses the font (and, for a
// character it lacks, the next font of its fallback list that has it); FreeType draws them.
// Needs no display and may run on any thread; each object is used by one thread.
#include <cstdint>
#include <expected>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace thumbnail::detail {

// A character's coverage bitmap, placed relative to the pen on the baseline.
struct Glyph {
  int left = 0;  // from the pen to the bitmap's left edge
  int top = 0;   // from the baseline up to the bitmap's top edge
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> coverage;  // 0 … 255, rows top to bottom
};

class MonospaceGlyphs {
 public:
  // The system's monospace font at `pixel_size`; an error when there is none.
  static std::expected<MonospaceGlyphs, std::string> open(std::uint32_t pixel_size);

  MonospaceGlyphs(MonospaceGlyphs&&) noexcept;
  MonospaceGlyphs& operator=(MonospaceGlyphs&&) noexcept;
  ~MonospaceGlyphs();

  // The width of one character cell in 1/64 pixel.
  std::int64_t advance_64() const;
  // From the top of a line to its baseline, in pixels.
  int ascent() const;
  // The character's glyph; a character no font has draws the first font's missing-glyph box.
  const Glyph& glyph(char32_t character);

 private:
  struct Fonts;
  explicit MonospaceGlyphs(std::unique_ptr<Fonts> fonts);
  std::unique_ptr<Fonts> fonts_;
  std::unordered_map<char32_t, Glyph> cache_;
};

}  // namespace thumbnail::detail
