#pragma once
// The plain-language lines of the scan screens, as rules of the state they describe.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wendlow::scanning {

inline constexpr std::size_t kTextExcerptCharacters = 320;

// Whether the text holds anything besides Unicode white space.
bool has_visible_text(std::string_view text);

// The first 320 characters of the text (never cut inside a character) with the white space
// around them removed; none when nothing is left.
std::optional<std::string> text_excerpt(std::string_view text);

// "Landscape page" when the page is wider than tall, else "Portrait page".
std::string orientation_label(std::uint32_t width, std::uint32_t height);

// The "Current document" card: "No pages captured yet" or "{n} pages captured — new scans
// will be added".
std::string captured_summary(std::size_t page_count);

// "Page {i} of {n}" for the page at `index`.
std::string page_position(std::size_t index, std::size_t page_count);

// "Page {i} selected · {n} page total" ("pages" from two on).
std::string pages_summary(std::size_t index, std::size_t page_count);

// "Reading text as {language}".
std::string reading_language(std::string_view language);

}  // namespace wendlow::scanning
