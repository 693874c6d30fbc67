#pragma once
// Bounds on what another program may hand the action registry, checked before anything is
// parsed, and the short excerpt that error texts quote instead of the whole input.
#include <cstddef>
#include <expected>
#include <string>
#include <string_view>

namespace vesk_actions::limits {

// Any one argument of a call (an operation type, a payload, a control id): 1 MiB.
inline constexpr std::size_t kMaxArgumentBytes = std::size_t{1} << 20;
// Brackets ("[" or "{") open at once in a payload read as JSON text.
inline constexpr std::size_t kMaxJsonDepth = 32;
// The most of an input that an error text quotes.
inline constexpr std::size_t kMaxEchoBytes = 64;
// The most of any error text that the registry passes on.
inline constexpr std::size_t kMaxErrorBytes = 512;

// An error when the argument is longer than kMaxArgumentBytes.
std::expected<void, std::string> check_size(std::string_view what, std::size_t bytes);

// How deep brackets nest outside JSON strings, counting no further than `stop`. Only
// brackets and strings are looked at: the text need not be valid JSON.
std::size_t json_depth(std::string_view text, std::size_t stop = kMaxJsonDepth + 1);

// Size, then nesting: what every payload must pass before a handler sees it.
std::expected<void, std::string> check_payload(std::string_view payload);

// At most `max` bytes of `text`, cut at a UTF-8 character boundary, with "…" when cut; a
// NUL shows as "\0" so that a text carried over D-Bus is never cut short at one.
std::string excerpt(std::string_view text, std::size_t max = kMaxEchoBytes);

}  // namespace vesk_actions::limits
