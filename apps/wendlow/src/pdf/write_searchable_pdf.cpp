#include "pdf/write_searchable_pdf.hpp"

#include <thread>

#include "pdf/document_objects.hpp"
#include "pdf/document_writer.hpp"
#include "pdf/parallel_compression.hpp"
#include "pdf/serialize_pdf.hpp"
#include "pdf/zlib_compression.hpp"

namespace wendlow::pdf {

std::vector<std::uint8_t> write_searchable_pdf_with(std::span<const PdfPage> pages,
                                                    unsigned compression_threads,
                                                    const ImageCompressor& compress) {
  std::vector<PageToDraw> drawn;
  std::vector<std::span<const std::uint8_t>> pixels;
  for (std::size_t position = 0; position < pages.size(); ++position) {
    if (!is_drawable(pages[position])) continue;
    drawn.push_back({&pages[position], position, {}});
    pixels.emplace_back(pages[position].rgb);
  }

  std::vector<CompressedImage> images = compress_images(pixels, compression_threads, compress);
  for (std::size_t index = 0; index < drawn.size(); ++index) {
    drawn[index].image = std::move(images[index]);
  }
  return serialize_pdf(build_document_objects(std::move(drawn)));
}

std::vector<std::uint8_t> write_searchable_pdf(std::span<const PdfPage> pages,
                                               unsigned compression_threads) {
  return write_searchable_pdf_with(pages, compression_threads, compress_zlib);
}

std::vector<std::uint8_t> write_searchable_pdf(std::span<const PdfPage> pages) {
  return write_searchable_pdf(pages, std::thread::hardware_concurrency());
}

}  // namespace wendlow::pdf
