#include "vesk_actions/limits.hpp"

#include <algorithm>

namespace vesk_actions::limits {

std::expected<void, std::string> check_size(std::string_view what, std::size_t bytes) {
  if (bytes <= kMaxArgumentBytes) return {};
  return std::unexpected(std::string(what) + " is too large: " + std::to_string(bytes) +
                         " bytes, at most " + std::to_string(kMaxArgumentBytes));
}

std::size_t json_depth(std::string_view text, std::size_t stop) {
  std::size_t depth = 0;
  std::size_t deepest = 0;
  bool in_string = false;
  bool escaped = false;
  for (char c : text) {
    if (in_string) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        in_string = false;
      }
      continue;
    }
    if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
      if (deepest >= stop) return deepest;
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
  return deepest;
}

std::expected<void, std::string> check_payload(std::string_view payload) {
  if (auto size = check_size("the payload", payload.size()); !size) return size;
  if (json_depth(payload) > kMaxJsonDepth) {
    return std::unexpected("the payload nests deeper than " + std::to_string(kMaxJsonDepth) +
                           " levels");
  }
  return {};
}

std::string excerpt(std::string_view text, std::size_t max) {
  std::size_t cut = text.size();
  if (cut > max) {
    cut = max;
    // Back off to the start of the character that the limit falls into.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  }
  std::string out;
  out.reserve(cut + 8);
  for (char c : text.substr(0, cut)) {
    if (c == '\0') {
      out += "\\0";
    } else {
      out += c;
    }
  }
  if (cut < text.size()) out += "…";
  return out;
}

}  // namespace vesk_actions::limits
