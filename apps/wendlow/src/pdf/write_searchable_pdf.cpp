#include "pdf/write_searchable_pdf.hpp"

#include <malloc.h>

#include <thread>

#include "pdf/document_objects.hpp"
#include "pdf/document_writer.hpp"
#include "pdf/ordered_compression.hpp"
#include "pdf/zlib_compression.hpp"

namespace wendlow::pdf {
namespace {

constexpr std::size_t kLargePiece = 1 << 20;

struct Drawable {
  std::vector<PageToDraw> pages;
  std::vector<std::span<const std::uint8_t>> pixels;
};

template <class Page>
Drawable drawable_pages(std::span<const Page> pages) {
  Drawable drawn;
  for (std::size_t position = 0; position < pages.size(); ++position) {
    const Page& page = pages[position];
    if (!is_drawable(page)) continue;
    drawn.pages.push_back({page.width, page.height, page.text, position});
    if constexpr (std::is_same_v<Page, RgbaPdfPage>) {
      drawn.pixels.emplace_back(*page.rgba);
    } else {
      drawn.pixels.emplace_back(page.rgb);
    }
  }
  return drawn;
}

// Writes the document; `compressed_all` tells whether every image could be compressed (a
// failed one is written as an empty stream).
std::expected<void, std::string> write_document(Drawable drawn, unsigned compression_threads,
                                                const ImageCompressor& compress,
                                                const PdfSink& sink, bool& compressed_all) {
  compressed_all = true;
  OrderedCompression images(std::move(drawn.pixels), compression_threads, compress);
  return serialize_pdf(
      build_document_objects(drawn.pages),
      [&] {
        std::optional<CompressedImage> image = images.next();
        if (!image) compressed_all = false;
        return image ? std::move(*image) : CompressedImage{};
      },
      sink);
}

}  // namespace

std::vector<std::uint8_t> write_searchable_pdf_with(std::span<const PdfPage> pages,
                                                    unsigned compression_threads,
                                                    const ImageCompressor& compress) {
  // The file is kept in pieces of exactly the written size and joined at the end, each piece
  // dropped as soon as it is copied. No worst case is reserved (for twenty colour pages at
  // 600 dpi that would be about 2 GB) and no growing buffer is copied on the way, so the memory
  // held stays close to the file's own size. The allocator may keep a freed image buffer for
  // later; large pieces hand theirs back.
  std::vector<std::vector<std::uint8_t>> pieces;
  std::size_t total = 0;
  const PdfSink keep =
      [&](std::span<const std::uint8_t> bytes) -> std::expected<void, std::string> {
    pieces.emplace_back(bytes.begin(), bytes.end());
    total += bytes.size();
    if (bytes.size() >= kLargePiece) ::malloc_trim(0);
    return {};
  };
  bool compressed_all = true;
  (void)write_document(drawable_pages(pages), compression_threads, compress, keep, compressed_all);
  std::vector<std::uint8_t> out;
  out.reserve(total);
  for (auto& piece : pieces) {
    out.insert(out.end(), piece.begin(), piece.end());
    const bool large = piece.size() >= kLargePiece;
    std::vector<std::uint8_t>().swap(piece);
    if (large) ::malloc_trim(0);
  }
  return out;
}

std::vector<std::uint8_t> write_searchable_pdf(std::span<const PdfPage> pages,
                                               unsigned compression_threads) {
  return write_searchable_pdf_with(pages, compression_threads, compress_zlib);
}

std::vector<std::uint8_t> write_searchable_pdf(std::span<const PdfPage> pages) {
  return write_searchable_pdf(pages, std::thread::hardware_concurrency());
}

std::expected<void, std::string> write_searchable_pdf_to_with(std::span<const RgbaPdfPage> pages,
                                                              unsigned compression_threads,
                                                              const ImageCompressor& compress,
                                                              const PdfSink& sink) {
  bool compressed_all = true;
  auto written =
      write_document(drawable_pages(pages), compression_threads, compress, sink, compressed_all);
  if (!written) return written;
  if (!compressed_all) return std::unexpected(std::string("a page image could not be compressed"));
  return {};
}

std::expected<void, std::string> write_searchable_pdf_to(std::span<const RgbaPdfPage> pages,
                                                         unsigned compression_threads,
                                                         const PdfSink& sink) {
  return write_searchable_pdf_to_with(pages, compression_threads, compress_zlib_rgb_of_rgba, sink);
}

}  // namespace wendlow::pdf
