#include "pdf/pdf_numbers.hpp"

#include <array>
#include <charconv>

namespace wendlow::pdf {

std::string format_real(double value) {
  // Fixed notation of the smallest doubles needs a few hundred digits.
  std::array<char, 512> buffer{};
  auto [end, error] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
  if (error != std::errc{}) return "0";
  return std::string(buffer.data(), end);
}

std::string format_xref_offset(std::size_t offset) {
  std::string digits = std::to_string(offset);
  if (digits.size() < 10) digits.insert(0, 10 - digits.size(), '0');
  return digits;
}

}  // namespace wendlow::pdf
