#pragma once
#include <cstdint>
#include <expected>
#include <span>
#include <string>
#include <vector>

#include "pdf/compressed_image.hpp"
#include "pdf/pdf_page.hpp"
#include "pdf/serialize_pdf.hpp"

namespace wendlow::pdf {

// write_searchable_pdf with the image compressor passed in, so that a failing compressor can
// be tried.
std::vector<std::uint8_t> write_searchable_pdf_with(std::span<const PdfPage> pages,
                                                    unsigned compression_threads,
                                                    const ImageCompressor& compress);

// write_searchable_pdf_to with the compressor of the RGBA images passed in.
std::expected<void, std::string> write_searchable_pdf_to_with(std::span<const RgbaPdfPage> pages,
                                                              unsigned compression_threads,
                                                              const ImageCompressor& compress,
                                                              const PdfSink& sink);

}  // namespace wendlow::pdf
