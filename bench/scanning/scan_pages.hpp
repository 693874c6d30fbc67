#pragma once
// Scanned A4 300 dpi pages for the scanning benchmarks, made from the PDF benchmark's
// scan-like pages: the PNG bytes a scanner would send, and pages as a capture makes them.
#include <cstdint>
#include <memory>
#include <vector>

#include "scan_like_page.hpp"
#include "scanning/page.hpp"
#include "vesk_image/encode.hpp"
#include "vesk_image/image.hpp"

namespace wendlow::bench {

// The page as the scan helper sends it: RGB PNG with fast compression.
inline std::vector<std::uint8_t> scanner_png(std::uint32_t seed) {
  pdf::PdfPage page = pdf::bench::scan_like_page(seed);
  auto image = vesk_image::Image::from_pixels(page.width, page.height,
                                              vesk_image::PixelFormat::Rgb8, std::move(page.rgb));
  return *vesk_image::encode_png(*image, vesk_image::PngOptions::fast());
}

}  // namespace wendlow::bench
