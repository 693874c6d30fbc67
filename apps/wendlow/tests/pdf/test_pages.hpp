#pragma once
// Pages for the writer's tests.
#include <cstdint>
#include <string>
#include <vector>

#include "pdf/pdf_page.hpp"

namespace wendlow::pdf::testing {

// A width × height page with a deterministic pattern of pixels.
inline PdfPage patterned_page(std::uint32_t width, std::uint32_t height, std::string text = {}) {
  PdfPage page;
  page.width = width;
  page.height = height;
  page.text = std::move(text);
  page.rgb.resize(std::size_t{width} * height * 3);
  std::uint32_t state = width * 7919u + height;
  for (std::uint8_t& byte : page.rgb) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>((state >> 24) & 0xF0);  // some repetition for deflate
  }
  return page;
}

inline std::string as_text(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace wendlow::pdf::testing
