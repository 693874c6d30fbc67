#pragma once
// UTF-8 helpers for the engine's output.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ocr::detail {

// The bytes as UTF-8, each invalid sequence replaced by U+FFFD.
std::string to_valid_utf8(std::span<const std::uint8_t> bytes);

// `text` (valid UTF-8) without Unicode white space at either end.
std::string_view trim_white_space(std::string_view text);

// The first `count` code points of valid UTF-8 `text`.
std::string_view first_characters(std::string_view text, std::size_t count);

}  // namespace ocr::detail
