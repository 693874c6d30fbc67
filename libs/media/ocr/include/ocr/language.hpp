#pragma once
#include <string_view>

namespace ocr {

// 1 to 64 bytes of ASCII letters, digits, "+", "-" and "_", beginning and ending with a letter
// or digit ("eng", "eng+deu", "chi_sim").
bool is_valid_language_code(std::string_view code);

}  // namespace ocr
