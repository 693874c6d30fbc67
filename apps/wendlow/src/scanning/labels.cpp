#include "scanning/labels.hpp"

#include "vesk_os/utf8.hpp"

namespace wendlow::scanning {
namespace {

namespace utf8 = vesk_os::utf8;

// `text` without the white space at both ends.
std::string_view trimmed(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = 0;
  bool seen = false;
  for (std::size_t position = 0; position < text.size();) {
    const utf8::Scalar scalar = utf8::decode(text, position);
    if (!utf8::is_white_space(scalar.value)) {
      if (!seen) begin = position;
      seen = true;
      end = position + scalar.length;
    }
    position += scalar.length;
  }
  return seen ? text.substr(begin, end - begin) : std::string_view();
}

}  // namespace

bool has_visible_text(std::string_view text) {
  return !trimmed(text).empty();
}

std::optional<std::string> text_excerpt(std::string_view text) {
  const std::string_view excerpt = trimmed(utf8::first_scalars(text, kTextExcerptCharacters));
  if (excerpt.empty()) return std::nullopt;
  return std::string(excerpt);
}

std::string orientation_label(std::uint32_t width, std::uint32_t height) {
  return height < width ? "Landscape page" : "Portrait page";
}

std::string captured_summary(std::size_t page_count) {
  if (page_count == 0) return "No pages captured yet";
  return std::to_string(page_count) + " pages captured \xE2\x80\x94 new scans will be added";
}

std::string page_position(std::size_t index, std::size_t page_count) {
  return "Page " + std::to_string(index + 1) + " of " + std::to_string(page_count);
}

std::string pages_summary(std::size_t index, std::size_t page_count) {
  return "Page " + std::to_string(index + 1) + " selected \xC2\xB7 " + std::to_string(page_count) +
         (page_count == 1 ? " page total" : " pages total");
}

std::string reading_language(std::string_view language) {
  return "Reading text as " + std::string(language);
}

}  // namespace wendlow::scanning
