#pragma once
#include <cstdint>
#include <expected>
#include <span>
#include <string>
#include <vector>

#include "pdf/pdf_page.hpp"
#include "pdf/serialize_pdf.hpp"

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

// The same file for pages given as RGBA pixels, written piece by piece into `sink` while the
// images are compressed, so that neither an RGB copy of every page nor the whole file is held.
// The bytes equal write_searchable_pdf over the matching PdfPages. Unlike it, this fails when a
// page image could not be compressed (its stream would be empty, a blank page) or when the
// sink reports an error; what was written by then is incomplete.
std::expected<void, std::string> write_searchable_pdf_to(std::span<const RgbaPdfPage> pages,
                                                         unsigned compression_threads,
                                                         const PdfSink& sink);

}  // namespace wendlow::pdf
