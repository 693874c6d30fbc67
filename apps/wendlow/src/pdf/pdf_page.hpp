#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace wendlow::pdf {

// One scanned page as the writer receives it, in document order.
struct PdfPage {
  // R, G, B bytes per pixel, rows top to bottom, no row padding. The page is drawn only when
  // this holds exactly width × height × 3 bytes.
  std::vector<std::uint8_t> rgb;
  // Recognized text, UTF-8, lines separated by a line feed; may be empty.
  std::string text;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
};

// Whether the page has a non-zero size whose pixel count matches its `rgb` buffer.
bool is_drawable(const PdfPage& page);

// A page given by its RGBA pixels (shared, not copied). It is written exactly as the PdfPage
// that holds the first three bytes of every pixel: the alpha byte is dropped, nothing is
// composited.
struct RgbaPdfPage {
  std::shared_ptr<const std::vector<std::uint8_t>> rgba;
  std::string text;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
};

// Whether the page has a non-zero size whose pixel count matches its `rgba` buffer.
bool is_drawable(const RgbaPdfPage& page);

}  // namespace wendlow::pdf
