#include "thumbnail/category.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <string>
#include <vector>

#include "vesk_os/utf8.hpp"

namespace thumbnail::category {
namespace {

// Readers accept a PDF header a little after the start of the file; a file only counts as
// such when its name says so as well.
constexpr std::size_t kPdfHeaderReach = 1024;

bool starts_with(std::span<const std::uint8_t> bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), bytes.begin(),
                    [](char expected, std::uint8_t got) {
                      return static_cast<std::uint8_t>(expected) == got;
                    });
}

bool contains_early(std::span<const std::uint8_t> bytes, std::string_view needle,
                    std::size_t reach) {
  const auto window = bytes.first(std::min(bytes.size(), reach));
  return !std::ranges::search(window, needle, [](std::uint8_t got, char expected) {
            return got == static_cast<std::uint8_t>(expected);
          }).empty();
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Binary netpbm images: P4 (bitmap), P5 (grey), P6 (colour), then white space or a comment.
bool is_pnm_signature(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 3 || bytes[0] != 'P' || bytes[1] < '4' || bytes[1] > '6') return false;
  const std::uint8_t next = bytes[2];
  return next == ' ' || next == '\t' || next == '\n' || next == '\r' || next == '#';
}

bool is_text(std::span<const std::uint8_t> bytes, bool cut_at_window) {
  if (bytes.empty()) return false;
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  for (std::size_t position = 0; position < text.size();) {
    if (text[position] == '\0') return false;
    const auto scalar = vesk_os::utf8::decode(text, position);
    if (!scalar.valid) {
      // The start of a longer sequence that the window's end cut off.
      const auto lead = static_cast<std::uint8_t>(text[position]);
      return cut_at_window && position + scalar.length == text.size() && lead >= 0xC2 &&
             lead <= 0xF4;
    }
    position += scalar.length;
  }
  return true;
}

}  // namespace

Category category_for_content(std::span<const std::uint8_t> head, std::string_view extension,
                              bool cut_at_window) {
  const std::string hint = lower(extension);
  if (starts_with(head, "%PDF-")) return Category::Pdf;
  if (starts_with(head, "\x89PNG\r\n\x1a\n")) return Category::Png;
  if (starts_with(head, "\xff\xd8\xff")) return Category::Jpeg;
  if (starts_with(head, std::string_view("II*\0", 4)) ||
      starts_with(head, std::string_view("MM\0*", 4))) {
    return Category::Tiff;
  }
  if (hint == ".pdf" && contains_early(head, "%PDF-", kPdfHeaderReach)) return Category::Pdf;
  const bool text = is_text(head, cut_at_window);
  if (is_pnm_signature(head)) {
    // A line of text may begin "P5 "; only a netpbm name makes such a file an image.
    const bool netpbm_name = hint == ".pnm" || hint == ".pbm" || hint == ".pgm" || hint == ".ppm";
    if (!text || netpbm_name) return Category::Pnm;
  }
  return text ? Category::PlainText : Category::Other;
}

Category category_for_path(const std::filesystem::path& path) {
  // Only regular files: reading a pipe or a device could wait for ever.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return Category::Other;
  std::ifstream file(path, std::ios::binary);
  if (!file) return Category::Other;
  std::vector<std::uint8_t> head(kSniffBytes + 1);
  file.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
  const auto got = static_cast<std::size_t>(file.gcount());
  if (file.bad()) return Category::Other;
  const bool cut = got > kSniffBytes;
  head.resize(std::min(got, kSniffBytes));
  return category_for_content(head, path.extension().string(), cut);
}

std::string_view name(Category category) {
  static constexpr std::array<std::string_view, 7> kNames = {"pdf", "png",        "jpeg", "tiff",
                                                             "pnm", "plain text", "other"};
  return kNames[static_cast<std::size_t>(category)];
}

}  // namespace thumbnail::category
