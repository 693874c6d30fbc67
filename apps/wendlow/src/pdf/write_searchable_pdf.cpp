#include "pdf/write_searchable_pdf.hpp"

#include <thread>

#include "pdf/document_objects.hpp"
#include "pdf/document_writer.hpp"
#include "pdf/ordered_compression.hpp"
#include "pdf/serialize_pdf.hpp"
#include "pdf/zlib_compression.hpp"

namespace wendlow::pdf {

std::vector<std::uint8_t> write_searchable_pdf_with(std::span<const PdfPage> pages,
                                                    unsigned compression_threads,
                                                    const ImageCompressor& compress) {
  std::vector<PageToDraw> drawn;
  std::vector<std::span<const std::uint8_t>> pixels;
  std::size_t image_bytes_bound = 0;
  for (std::size_t position = 0; position < pages.size(); ++position) {
    const PdfPage& page = pages[position];
    if (!is_drawable(page)) continue;
    drawn.push_back({&page, position});
    pixels.emplace_back(page.rgb);
    image_bytes_bound += zlib_size_bound(page.rgb.size());
  }

  OrderedCompression images(std::move(pixels), compression_threads, compress);
  return serialize_pdf(
      build_document_objects(drawn), [&images] { return images.next(); }, image_bytes_bound);
}

std::vector<std::uint8_t> write_searchable_pdf(std::span<const PdfPage> pages,
                                               unsigned compression_threads) {
  return write_searchable_pdf_with(pages, compression_threads, compress_zlib);
}

std::vector<std::uint8_t> write_searchable_pdf(std::span<const PdfPage> pages) {
  return write_searchable_pdf(pages, std::thread::hardware_concurrency());
}

}  // namespace wendlow::pdf
