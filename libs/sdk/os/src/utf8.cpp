#include "vesk_os/utf8.hpp"

#include <cstdint>

namespace vesk_os::utf8 {
namespace {

struct SequenceShape {
  std::size_t length = 0;  // 0: the lead byte can never start a sequence
  std::uint8_t second_low = 0x80;
  std::uint8_t second_high = 0xBF;
  char32_t lead_bits = 0;
};

// Well-formed sequences by lead byte; the narrowed second-byte ranges exclude overlong forms,
// surrogates and values above U+10FFFF.
SequenceShape shape_of(std::uint8_t lead) {
  if (lead < 0x80) return {1, 0x80, 0xBF, lead};
  if (lead < 0xC2) return {};
  if (lead < 0xE0) return {2, 0x80, 0xBF, char32_t{lead} & 0x1Fu};
  if (lead == 0xE0) return {3, 0xA0, 0xBF, 0};
  if (lead == 0xED) return {3, 0x80, 0x9F, 0x0D};
  if (lead < 0xF0) return {3, 0x80, 0xBF, char32_t{lead} & 0x0Fu};
  if (lead == 0xF0) return {4, 0x90, 0xBF, 0};
  if (lead < 0xF4) return {4, 0x80, 0xBF, char32_t{lead} & 0x07u};
  if (lead == 0xF4) return {4, 0x80, 0x8F, 0x04};
  return {};
}

}  // namespace

Scalar decode(std::string_view text, std::size_t position) {
  const auto byte_at = [&](std::size_t index) {
    return static_cast<std::uint8_t>(text[position + index]);
  };
  const SequenceShape shape = shape_of(byte_at(0));
  if (shape.length == 0) return {};
  char32_t value = shape.lead_bits;
  for (std::size_t index = 1; index < shape.length; ++index) {
    if (position + index >= text.size()) return {kReplacement, index, false};
    const std::uint8_t next = byte_at(index);
    const std::uint8_t low = index == 1 ? shape.second_low : 0x80;
    const std::uint8_t high = index == 1 ? shape.second_high : 0xBF;
    if (next < low || next > high) return {kReplacement, index, false};
    value = (value << 6) | (next & 0x3Fu);
  }
  return {value, shape.length, true};
}

bool is_valid(std::string_view text) {
  for (std::size_t position = 0; position < text.size();) {
    const Scalar scalar = decode(text, position);
    if (!scalar.valid) return false;
    position += scalar.length;
  }
  return true;
}

std::string to_valid(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t position = 0; position < bytes.size();) {
    const Scalar scalar = decode(bytes, position);
    if (scalar.valid) {
      out.append(bytes.substr(position, scalar.length));
    } else {
      out += "\xEF\xBF\xBD";
    }
    position += scalar.length;
  }
  return out;
}

std::string_view first_scalars(std::string_view text, std::size_t count) {
  std::size_t position = 0;
  for (std::size_t n = 0; n < count && position < text.size(); ++n) {
    position += decode(text, position).length;
  }
  return text.substr(0, position);
}

bool is_white_space(char32_t scalar) {
  return (scalar >= 0x09 && scalar <= 0x0D) || scalar == 0x20 || scalar == 0x85 || scalar == 0xA0 ||
         scalar == 0x1680 || (scalar >= 0x2000 && scalar <= 0x200A) || scalar == 0x2028 ||
         scalar == 0x2029 || scalar == 0x202F || scalar == 0x205F || scalar == 0x3000;
}

}  // namespace vesk_os::utf8
