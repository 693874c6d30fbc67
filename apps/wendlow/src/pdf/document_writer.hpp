#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "pdf/compressed_image.hpp"
#include "pdf/pdf_page.hpp"

namespace wendlow::pdf {

// write_searchable_pdf with the image compressor passed in, so that a failing compressor can
// be tried.
std::vector<std::uint8_t> write_searchable_pdf_with(std::span<const PdfPage> pages,
                                                    unsigned compression_threads,
                                                    const ImageCompressor& compress);

}  // namespace wendlow::pdf
