#include "text.hpp"

#include "vesk_os/utf8.hpp"

namespace ocr::detail {

namespace utf8 = vesk_os::utf8;

std::string to_valid_utf8(std::span<const std::uint8_t> bytes) {
  return utf8::to_valid(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string_view trim_white_space(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    const utf8::Scalar scalar = utf8::decode(text, begin);
    if (!utf8::is_white_space(scalar.value)) break;
    begin += scalar.length;
  }
  std::size_t end = text.size();
  while (end > begin) {
    std::size_t start = end - 1;
    while (start > begin && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    if (!utf8::is_white_space(utf8::decode(text, start).value)) break;
    end = start;
  }
  return text.substr(begin, end - begin);
}

std::string_view first_characters(std::string_view text, std::size_t count) {
  return utf8::first_scalars(text, count);
}

}  // namespace ocr::detail
