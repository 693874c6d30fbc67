#pragma once
// What kind of document a file is, decided by its content.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

namespace thumbnail::category {

enum class Category : std::uint8_t { Pdf, Png, Jpeg, Tiff, Pnm, PlainText, Other };

// How many leading bytes decide the category.
inline constexpr std::size_t kSniffBytes = 64 * 1024;

// Signatures decide; the file name's extension only settles what the content leaves open (a
// PDF header after leading junk, an ASCII "P5 …" line in a text file). Plain text is valid
// UTF-8 without NUL in the first kSniffBytes bytes; a character cut by the end of that
// window still counts as text. An empty or unreadable file is Other.
Category category_for_path(const std::filesystem::path& path);

// The same over the first bytes of a file. `cut_at_window` tells that the file goes on
// after `head`, so a character cut at its end is not an error.
Category category_for_content(std::span<const std::uint8_t> head, std::string_view extension,
                              bool cut_at_window);

std::string_view name(Category category);

}  // namespace thumbnail::category
