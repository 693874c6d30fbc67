#pragma once
// Synthetic scanned pages for the PDF writer's benchmark.
#include <cstdint>
#include <filesystem>
#include <string>

#include "pdf/pdf_page.hpp"

namespace wendlow::pdf::bench {

inline constexpr std::uint32_t kA4Width300Dpi = 2480;
inline constexpr std::uint32_t kA4Height300Dpi = 3508;

// An A4 300 dpi RGB page that looks like a scanned letter: slightly uneven paper with grain,
// paragraphs of dark text-like strokes and sensor noise. Different seeds give different pages.
PdfPage scan_like_page(std::uint32_t seed);

// Writes the page's pixels as an 8-bit RGB PNG; false when the file cannot be written.
bool write_png(const PdfPage& page, const std::filesystem::path& path);

}  // namespace wendlow::pdf::bench
