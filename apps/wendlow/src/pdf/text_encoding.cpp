#include "pdf/text_encoding.hpp"

#include "vesk_os/utf8.hpp"

namespace wendlow::pdf {
namespace {

using vesk_os::utf8::for_each_scalar;
using vesk_os::utf8::is_white_space;

char win_ansi_byte(char32_t scalar) {
  switch (scalar) {
    case U'\u2013':
      return '\x96';
    case U'\u2014':
      return '\x97';
    case U'\u2018':
      return '\x91';
    case U'\u2019':
      return '\x92';
    case U'\u201C':
      return '\x93';
    case U'\u201D':
      return '\x94';
    case U'\u2022':
      return '\x95';
    case U'\u2026':
      return '\x85';
    case U'\u00A0':
      return ' ';
    case U'\t':
      return ' ';
    default:
      break;
  }
  if (scalar >= 0x20 && scalar <= 0x7E) return static_cast<char>(scalar);
  if (scalar >= 0xA1 && scalar <= 0xFF) return static_cast<char>(scalar);
  return '?';
}

}  // namespace

std::string encode_win_ansi(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for_each_scalar(text, [&](char32_t scalar) { bytes.push_back(win_ansi_byte(scalar)); });
  return bytes;
}

std::string escape_pdf_string(std::string_view bytes) {
  std::string escaped;
  escaped.reserve(bytes.size());
  for (char byte : bytes) {
    if (byte == '(' || byte == ')' || byte == '\\') escaped.push_back('\\');
    escaped.push_back(byte);
  }
  return escaped;
}

bool has_visible_text(std::string_view text) {
  bool visible = false;
  for_each_scalar(text, [&](char32_t scalar) { visible = visible || !is_white_space(scalar); });
  return visible;
}

}  // namespace wendlow::pdf
