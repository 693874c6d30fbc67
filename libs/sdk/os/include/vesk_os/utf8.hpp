#pragma once
// UTF-8 decoding shared by everything that reads text it did not write: file names,
// engine output, page text. Well-formed means no overlong forms, no surrogates and
// nothing above U+10FFFF.
#include <cstddef>
#include <string>
#include <string_view>

namespace vesk_os::utf8 {

inline constexpr char32_t kReplacement = U'\uFFFD';

struct Scalar {
  char32_t value = kReplacement;
  std::size_t length = 1;  // bytes consumed, at least 1
  bool valid = false;
};

// Decodes the scalar starting at `text[position]` (position < text.size()). A malformed
// sequence reads as U+FFFD and consumes its maximal well-formed prefix (at least one byte),
// so every byte of any input is consumed exactly once.
Scalar decode(std::string_view text, std::size_t position);

// Calls `visit(char32_t)` for each scalar of `text`, in order.
template <typename Visit>
void for_each_scalar(std::string_view text, Visit&& visit) {
  for (std::size_t position = 0; position < text.size();) {
    const Scalar scalar = decode(text, position);
    visit(scalar.value);
    position += scalar.length;
  }
}

bool is_valid(std::string_view text);
// `bytes` with each malformed sequence replaced by U+FFFD.
std::string to_valid(std::string_view bytes);
// The longest prefix of `text` holding at most `count` scalars; never ends inside a sequence.
std::string_view first_scalars(std::string_view text, std::size_t count);
// Unicode white space (the White_Space property).
bool is_white_space(char32_t scalar);

}  // namespace vesk_os::utf8
