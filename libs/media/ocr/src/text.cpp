#include "text.hpp"

namespace ocr::detail {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Length of the valid sequence at `i`, or 0 when the bytes there are not valid UTF-8. For an
// invalid sequence, `skip` is set to the length of its maximal valid prefix (at least 1).
std::size_t sequence_length(std::span<const std::uint8_t> b, std::size_t i, std::size_t& skip) {
  const std::uint8_t lead = b[i];
  skip = 1;
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  std::uint8_t low = 0x80;
  std::uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  for (std::size_t k = 1; k < length; ++k) {
    if (i + k >= b.size()) return 0;
    const std::uint8_t c = b[i + k];
    const std::uint8_t lo = k == 1 ? low : 0x80;
    const std::uint8_t hi = k == 1 ? high : 0xBF;
    if (c < lo || c > hi) return 0;
    skip = k + 1;
  }
  return length;
}

// Decodes the code point at `i` of valid UTF-8 and its length.
char32_t code_point_at(std::string_view s, std::size_t i, std::size_t& length) {
  const auto lead = static_cast<unsigned char>(s[i]);
  length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (i + length > s.size()) {
    length = 1;
    return lead;
  }
  char32_t value = length == 1   ? lead
                   : length == 2 ? (lead & 0x1F)
                   : length == 3 ? (lead & 0x0F)
                                 : (lead & 0x07);
  for (std::size_t k = 1; k < length; ++k) {
    value = (value << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  }
  return value;
}

bool is_white_space(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

}  // namespace

std::string to_valid_utf8(std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    std::size_t skip = 1;
    const std::size_t length = sequence_length(bytes, i, skip);
    if (length == 0) {
      out += kReplacement;
      i += skip;
    } else {
      out.append(reinterpret_cast<const char*>(bytes.data() + i), length);
      i += length;
    }
  }
  return out;
}

std::string_view trim_white_space(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t length = 1;
    if (!is_white_space(code_point_at(text, begin, length))) break;
    begin += length;
  }
  std::size_t end = text.size();
  while (end > begin) {
    std::size_t start = end - 1;
    while (start > begin && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    std::size_t length = 1;
    if (!is_white_space(code_point_at(text, start, length))) break;
    end = start;
  }
  return text.substr(begin, end - begin);
}

std::string_view first_characters(std::string_view text, std::size_t count) {
  std::size_t i = 0;
  for (std::size_t n = 0; n < count && i < text.size(); ++n) {
    std::size_t length = 1;
    code_point_at(text, i, length);
    i += length;
  }
  return text.substr(0, i);
}

}  // namespace ocr::detail
