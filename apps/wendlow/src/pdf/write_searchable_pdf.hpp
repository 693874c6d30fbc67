#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "pdf/pdf_page.hpp"

namespace wendlow::pdf {

// Builds a complete searchable PDF 1.7 file: one A4 page per drawable input page, the image
// scaled to fit inside an 18 pt margin and the page text as an invisible text layer. Pages that
// are not drawable are left out silently. Never fails; an empty or all-invalid list gives a
// file with zero pages.
//
// The page images are compressed on all cores; the bytes do not depend on the thread count.
std::vector<std::uint8_t> write_searchable_pdf(std::span<const PdfPage> pages);

// The same with an explicit number of compression threads (the caller's thread included;
// 0 counts as 1).
std::vector<std::uint8_t> write_searchable_pdf(std::span<const PdfPage> pages,
                                               unsigned compression_threads);

}  // namespace wendlow::pdf
