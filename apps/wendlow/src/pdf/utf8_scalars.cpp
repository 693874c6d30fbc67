#include "pdf/utf8_scalars.hpp"

#include <cstdint>

namespace wendlow::pdf {
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

DecodedScalar decode_scalar(std::string_view text, std::size_t position) {
  const auto byte_at = [&](std::size_t index) {
    return static_cast<std::uint8_t>(text[position + index]);
  };
  SequenceShape shape = shape_of(byte_at(0));
  if (shape.length == 0) return {kReplacementCharacter, 1};
  char32_t value = shape.lead_bits;
  for (std::size_t index = 1; index < shape.length; ++index) {
    if (position + index >= text.size()) return {kReplacementCharacter, index};
    std::uint8_t next = byte_at(index);
    std::uint8_t low = index == 1 ? shape.second_low : 0x80;
    std::uint8_t high = index == 1 ? shape.second_high : 0xBF;
    if (next < low || next > high) return {kReplacementCharacter, index};
    value = (value << 6) | (next & 0x3Fu);
  }
  return {value, shape.length};
}

}  // namespace wendlow::pdf
