#include "glyphs.hpp"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <optional>
#include <utility>

namespace thumbnail::detail {
namespace {

// Fallback fonts tried for characters the first font lacks, at most this many.
constexpr std::size_t kMaxFallbackFonts = 8;

struct LibraryDone {
  void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDone {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
struct PatternDone {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
struct FontSetDone {
  void operator()(FcFontSet* set) const { FcFontSetDestroy(set); }
};
using Library = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryDone>;
using Face = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDone>;
using Pattern = std::unique_ptr<FcPattern, PatternDone>;
using FontSet = std::unique_ptr<FcFontSet, FontSetDone>;

Pattern monospace_pattern() {
  Pattern pattern(FcNameParse(reinterpret_cast<const FcChar8*>("monospace")));
  if (!pattern) return nullptr;
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  return pattern;
}

std::optional<std::pair<std::string, int>> file_of(const FcPattern* font) {
  FcChar8* file = nullptr;
  int index = 0;
  if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file) return std::nullopt;
  FcPatternGetInteger(font, FC_INDEX, 0, &index);
  return std::pair{std::string(reinterpret_cast<const char*>(file)), index};
}

Face load_face(FT_Library library, const std::string& file, int index, std::uint32_t pixels) {
  FT_Face face = nullptr;
  if (FT_New_Face(library, file.c_str(), index, &face) != 0) return nullptr;
  Face owned(face);
  if (FT_Set_Pixel_Sizes(face, 0, pixels) != 0) return nullptr;
  return owned;
}

}  // namespace

struct MonospaceGlyphs::Fonts {
  Library library;
  std::uint32_t pixels = 0;
  Face primary;
  // Loaded the first time a character is missing from the primary font.
  bool fallbacks_listed = false;
  FontSet fallback_list;
  std::vector<std::pair<const FcCharSet*, Face>> fallbacks;

  // The face that has `character`, and the glyph index within it.
  std::pair<FT_Face, FT_UInt> face_for(char32_t character) {
    if (FT_UInt index = FT_Get_Char_Index(primary.get(), character)) return {primary.get(), index};
    list_fallbacks();
    for (auto& [charset, face] : fallbacks) {
      if (!FcCharSetHasChar(charset, character)) continue;
      if (FT_UInt index = FT_Get_Char_Index(face.get(), character)) return {face.get(), index};
    }
    return {primary.get(), 0};
  }

  void list_fallbacks() {
    if (std::exchange(fallbacks_listed, true)) return;
    Pattern pattern = monospace_pattern();
    if (!pattern) return;
    FcResult result = FcResultNoMatch;
    fallback_list.reset(FcFontSort(nullptr, pattern.get(), FcTrue, nullptr, &result));
    if (!fallback_list) return;
    // The first entry is the primary font itself.
    for (int i = 1; i < fallback_list->nfont && fallbacks.size() < kMaxFallbackFonts; ++i) {
      const FcPattern* font = fallback_list->fonts[i];
      FcCharSet* charset = nullptr;
      if (FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) != FcResultMatch) continue;
      auto file = file_of(font);
      if (!file) continue;
      if (Face face = load_face(library.get(), file->first, file->second, pixels)) {
        fallbacks.emplace_back(charset, std::move(face));
      }
    }
  }
};

MonospaceGlyphs::MonospaceGlyphs(std::unique_ptr<Fonts> fonts) : fonts_(std::move(fonts)) {}
MonospaceGlyphs::MonospaceGlyphs(MonospaceGlyphs&&) noexcept = default;
MonospaceGlyphs& MonospaceGlyphs::operator=(MonospaceGlyphs&&) noexcept = default;
MonospaceGlyphs::~MonospaceGlyphs() = default;

std::expected<MonospaceGlyphs, std::string> MonospaceGlyphs::open(std::uint32_t pixel_size) {
  if (!FcInit()) return std::unexpected("fontconfig could not start");
  Pattern pattern = monospace_pattern();
  if (!pattern) return std::unexpected("no font pattern");
  FcResult result = FcResultNoMatch;
  Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
  if (!match) return std::unexpected("no monospace font is installed");
  const auto file = file_of(match.get());
  if (!file) return std::unexpected("the monospace font has no file");

  auto fonts = std::make_unique<Fonts>();
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return std::unexpected("FreeType could not start");
  fonts->library.reset(library);
  fonts->pixels = pixel_size;
  fonts->primary = load_face(library, file->first, file->second, pixel_size);
  if (!fonts->primary) return std::unexpected("cannot load the font " + file->first);
  return MonospaceGlyphs(std::move(fonts));
}

std::int64_t MonospaceGlyphs::advance_64() const {
  FT_Face face = fonts_->primary.get();
  if (FT_Load_Char(face, 'M', FT_LOAD_DEFAULT) == 0 && face->glyph->advance.x > 0) {
    return face->glyph->advance.x;
  }
  return std::int64_t{fonts_->pixels} * 64 * 6 / 10;
}

int MonospaceGlyphs::ascent() const {
  return static_cast<int>((fonts_->primary->size->metrics.ascender + 63) / 64);
}

const Glyph& MonospaceGlyphs::glyph(char32_t character) {
  if (auto found = cache_.find(character); found != cache_.end()) return found->second;
  Glyph glyph;
  const auto [face, index] = fonts_->face_for(character);
  if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) == 0 &&
      FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0 &&
      face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    glyph.left = face->glyph->bitmap_left;
    glyph.top = face->glyph->bitmap_top;
    glyph.width = bitmap.width;
    glyph.height = bitmap.rows;
    glyph.coverage.resize(std::size_t{bitmap.width} * bitmap.rows);
    for (unsigned y = 0; y < bitmap.rows; ++y) {
      const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
      std::copy(row, row + bitmap.width, glyph.coverage.begin() + std::size_t{y} * bitmap.width);
    }
  }
  return cache_.emplace(character, std::move(glyph)).first->second;
}

}  // namespace thumbnail::detail
