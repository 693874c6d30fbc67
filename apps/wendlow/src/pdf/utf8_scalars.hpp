#pragma once
#include <cstddef>
#include <string_view>

namespace wendlow::pdf {

inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

struct DecodedScalar {
  char32_t value = 0;
  std::size_t length = 0;  // bytes consumed, at least 1
};

// Decodes the scalar value starting at `text[position]` (position < text.size()). A malformed
// sequence reads as U+FFFD and consumes its maximal well-formed prefix (at least one byte), so
// every byte of any input is consumed exactly once.
DecodedScalar decode_scalar(std::string_view text, std::size_t position);

// Calls `visit(char32_t)` for each scalar value of `text`, in order.
template <typename Visit>
void for_each_scalar(std::string_view text, Visit&& visit) {
  for (std::size_t position = 0; position < text.size();) {
    DecodedScalar scalar = decode_scalar(text, position);
    visit(scalar.value);
    position += scalar.length;
  }
}

}  // namespace wendlow::pdf
