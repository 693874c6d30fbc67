#include "ocr/language.hpp"

#include "ocr/recognize.hpp"

namespace ocr {
namespace {

bool is_letter_or_digit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

bool is_valid_language_code(std::string_view code) {
  if (code.empty() || code.size() > OcrLimits::kMaxLanguageBytes) return false;
  if (!is_letter_or_digit(code.front()) || !is_letter_or_digit(code.back())) return false;
  for (char c : code) {
    if (!is_letter_or_digit(c) && c != '+' && c != '-' && c != '_') return false;
  }
  return true;
}

}  // namespace ocr
