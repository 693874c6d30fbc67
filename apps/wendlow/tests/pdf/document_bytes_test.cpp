#include <gtest/gtest.h>
#include <zlib.h>

#include <optional>
#include <string>
#include <vector>

#include "pdf/document_writer.hpp"
#include "pdf/write_searchable_pdf.hpp"
#include "pdf/zlib_compression.hpp"
#include "pdf_layout_check.hpp"
#include "test_pages.hpp"

namespace wendlow::pdf {
namespace {

using testing::as_text;
using testing::check_pdf_layout;
using testing::patterned_page;
using testing::PdfLayout;

const std::string kFont =
    "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>";

// A written file with its checked layout; the layout's views point into `bytes`.
struct CheckedFile {
  std::vector<std::uint8_t> bytes;
  PdfLayout layout;
};

CheckedFile checked(std::vector<std::uint8_t> file) {
  auto layout = check_pdf_layout(file);
  EXPECT_TRUE(layout.has_value()) << layout.error();
  // Moving the vector keeps its buffer, so the views stay valid.
  return {std::move(file), layout.value_or(PdfLayout{})};
}

std::string zlib_level6(const std::vector<std::uint8_t>& data) {
  uLongf length = compressBound(data.size());
  std::string out(length, '\0');
  EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &length, data.data(), data.size(), 6),
            Z_OK);
  out.resize(length);
  return out;
}

TEST(WriteSearchablePdf, EmptyListGivesTheExactZeroPageFile) {
  std::string expected = std::string("%PDF-1.7\n\x25\xE2\xE3\xCF\xD3\n") + "1 0 obj\n" + kFont +
                         "\nendobj\n" +
                         "2 0 obj\n<< /Type /Pages /Count 0 /Kids [] >>\nendobj\n"
                         "3 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
                         "xref\n0 4\n"
                         "0000000000 65535 f \n"
                         "0000000015 00000 n \n"
                         "0000000112 00000 n \n"
                         "0000000164 00000 n \n"
                         "trailer\n<< /Size 4 /Root 3 0 R >>\nstartxref\n213\n%%EOF\n";
  EXPECT_EQ(as_text(write_searchable_pdf({})), expected);
}

TEST(WriteSearchablePdf, PagesThatCannotBeDrawnAreLeftOut) {
  PdfPage zero_width = patterned_page(1, 1);
  zero_width.width = 0;
  PdfPage zero_height = patterned_page(1, 1);
  zero_height.height = 0;
  PdfPage short_pixels = patterned_page(4, 4);
  short_pixels.rgb.pop_back();
  PdfPage long_pixels = patterned_page(4, 4);
  long_pixels.rgb.push_back(0);
  PdfPage overflowing;  // 3 × (2^32 - 1)^2 does not fit in 64 bits
  overflowing.width = overflowing.height = 4294967295u;
  PdfPage alpha_pixels = patterned_page(2, 2);
  alpha_pixels.rgb.resize(2 * 2 * 4);

  std::vector<PdfPage> pages = {zero_width,  zero_height, short_pixels,
                                long_pixels, overflowing, alpha_pixels};
  EXPECT_EQ(write_searchable_pdf(pages), write_searchable_pdf({}));
}

TEST(WriteSearchablePdf, OnePageHasExactObjects) {
  PdfPage page;
  page.width = 1;
  page.height = 1;
  page.rgb = {255, 0, 0};
  page.text = "Hi";
  CheckedFile file = checked(write_searchable_pdf({&page, 1}));
  const PdfLayout& layout = file.layout;
  ASSERT_EQ(layout.object_bodies.size(), 6u);

  std::string compressed = zlib_level6(page.rgb);
  std::string content =
      "q 559 0 0 559 18 141.5 cm /Im0 Do Q\nBT /F1 10 Tf 3 Tr 18 18 Td (Hi) Tj ET\n";
  EXPECT_EQ(layout.object_bodies[0], kFont);
  EXPECT_EQ(layout.object_bodies[1], "<< /Type /Pages /Count 1 /Kids [5 0 R] >>");
  EXPECT_EQ(layout.object_bodies[2],
            "<< /Length " + std::to_string(compressed.size()) +
                " /Type /XObject /Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceRGB"
                " /BitsPerComponent 8 /Filter /FlateDecode >>\nstream\n" +
                compressed + "\nendstream");
  EXPECT_EQ(layout.object_bodies[3], "<< /Length " + std::to_string(content.size()) +
                                         " >>\nstream\n" + content + "\nendstream");
  EXPECT_EQ(layout.object_bodies[4],
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 1 "
            "0 R >> /XObject << /Im0 3 0 R >> >> /Contents 4 0 R >>");
  EXPECT_EQ(layout.object_bodies[5], "<< /Type /Catalog /Pages 2 0 R >>");
  EXPECT_EQ(layout.object_offsets.front(), 15u);
  EXPECT_EQ(std::string_view(as_text(file.bytes)).substr(layout.xref_offset, 5), "xref\n");
}

TEST(WriteSearchablePdf, SkippedFirstPageKeepsInputPositionInImageName) {
  PdfPage invalid = patterned_page(3, 3);
  invalid.rgb.resize(5);
  std::vector<PdfPage> pages = {invalid, patterned_page(3, 3)};
  CheckedFile file = checked(write_searchable_pdf(pages));
  const PdfLayout& layout = file.layout;
  ASSERT_EQ(layout.object_bodies.size(), 6u);
  EXPECT_TRUE(layout.object_bodies[3].find("cm /Im1 Do Q\n") != std::string_view::npos);
  EXPECT_EQ(layout.object_bodies[4],
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 1 "
            "0 R >> /XObject << /Im1 3 0 R >> >> /Contents 4 0 R >>");
  EXPECT_EQ(layout.object_bodies[1], "<< /Type /Pages /Count 1 /Kids [5 0 R] >>");
}

TEST(WriteSearchablePdf, ThreePagesNumberedInOrderWithCatalogLast) {
  std::vector<PdfPage> pages = {patterned_page(10, 20, "one"), patterned_page(20, 10),
                                patterned_page(5, 5, " \n ")};
  CheckedFile file = checked(write_searchable_pdf(pages));
  const PdfLayout& layout = file.layout;
  ASSERT_EQ(layout.object_bodies.size(), 12u);
  EXPECT_EQ(layout.object_bodies[1], "<< /Type /Pages /Count 3 /Kids [5 0 R 8 0 R 11 0 R] >>");
  EXPECT_TRUE(layout.object_bodies[10].find("/XObject << /Im2 9 0 R >> >> /Contents 10 0 R") !=
              std::string_view::npos);
  EXPECT_EQ(layout.object_bodies[11], "<< /Type /Catalog /Pages 2 0 R >>");
  EXPECT_TRUE(layout.object_bodies[3].find("BT ") != std::string_view::npos);
  EXPECT_TRUE(layout.object_bodies[9].find("BT ") == std::string_view::npos);
}

TEST(WriteSearchablePdf, ImageStreamCarriesSizeAndInflatesToThePixels) {
  PdfPage page = patterned_page(37, 23);
  CheckedFile file = checked(write_searchable_pdf({&page, 1}));
  const PdfLayout& layout = file.layout;
  ASSERT_EQ(layout.object_bodies.size(), 6u);
  std::string_view image = layout.object_bodies[2];
  EXPECT_TRUE(image.find(" /Width 37 /Height 23 ") != std::string_view::npos);

  std::size_t data_start = image.find(">>\nstream\n") + 10;
  std::string_view data = image.substr(data_start, image.size() - data_start - 10);
  EXPECT_TRUE(image.starts_with("<< /Length " + std::to_string(data.size()) + " "));
  std::vector<std::uint8_t> inflated(page.rgb.size() + 1);
  uLongf inflated_size = inflated.size();
  ASSERT_EQ(uncompress(inflated.data(), &inflated_size, reinterpret_cast<const Bytef*>(data.data()),
                       data.size()),
            Z_OK);
  inflated.resize(inflated_size);
  EXPECT_EQ(inflated, page.rgb);
}

TEST(WriteSearchablePdf, SameBytesForEveryThreadCount) {
  std::vector<PdfPage> pages;
  for (std::uint32_t index = 0; index < 9; ++index) {
    pages.push_back(
        patterned_page(40 + index * 13, 30 + index * 7, "page " + std::to_string(index)));
  }
  pages[4].rgb.clear();
  std::vector<std::uint8_t> sequential = write_searchable_pdf(pages, 1);
  for (unsigned threads : {0u, 2u, 3u, 8u, 64u}) {
    EXPECT_EQ(write_searchable_pdf(pages, threads), sequential) << threads << " threads";
  }
  EXPECT_EQ(write_searchable_pdf(pages), sequential);
}

TEST(WriteSearchablePdf, FailedCompressionLeavesThatImageStreamEmpty) {
  std::vector<PdfPage> pages = {patterned_page(8, 8), patterned_page(9, 9)};
  ImageCompressor fail_on_81_pixels =
      [](std::span<const std::uint8_t> pixels) -> std::optional<CompressedImage> {
    if (pixels.size() == 9 * 9 * 3) return std::nullopt;
    return compress_zlib(pixels);
  };
  for (unsigned threads : {1u, 2u}) {
    CheckedFile file = checked(write_searchable_pdf_with(pages, threads, fail_on_81_pixels));
    const PdfLayout& layout = file.layout;
    ASSERT_EQ(layout.object_bodies.size(), 9u);
    EXPECT_EQ(layout.object_bodies[5],
              "<< /Length 0 /Type /XObject /Subtype /Image /Width 9 /Height 9 /ColorSpace "
              "/DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode >>\nstream\n\nendstream");
    EXPECT_FALSE(layout.object_bodies[2].starts_with("<< /Length 0 "));
  }
}

TEST(CompressZlib, MatchesZlibLevelSixByteForByte) {
  for (std::uint32_t size : {0u, 1u, 1000u, 200000u}) {
    std::vector<std::uint8_t> data = patterned_page(1, size + 1).rgb;
    data.resize(size);
    std::optional<CompressedImage> compressed = compress_zlib(data);
    ASSERT_TRUE(compressed.has_value());
    std::span<const std::uint8_t> bytes = compressed->bytes();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), zlib_level6(data)) << size;
  }
}

// The RGBA form of a page: the same pixels with an alpha byte after each (never the same twice,
// so that a writer that kept it would show).
RgbaPdfPage with_alpha(const PdfPage& page) {
  std::vector<std::uint8_t> rgba;
  rgba.reserve(page.rgb.size() / 3 * 4);
  for (std::size_t i = 0; i + 2 < page.rgb.size(); i += 3) {
    rgba.insert(rgba.end(),
                {page.rgb[i], page.rgb[i + 1], page.rgb[i + 2], static_cast<std::uint8_t>(i * 31)});
  }
  return {std::make_shared<const std::vector<std::uint8_t>>(std::move(rgba)), page.text, page.width,
          page.height};
}

// Collects what a sink receives, optionally refusing after `limit` bytes.
struct Collected {
  std::vector<std::uint8_t> bytes;
  std::size_t pieces = 0;
  std::size_t limit = SIZE_MAX;
  PdfSink sink() {
    return [this](std::span<const std::uint8_t> piece) -> std::expected<void, std::string> {
      if (bytes.size() + piece.size() > limit) return std::unexpected(std::string("disk full"));
      bytes.insert(bytes.end(), piece.begin(), piece.end());
      ++pieces;
      return {};
    };
  }
};

TEST(WriteSearchablePdfTo, RgbaPagesGiveTheBytesOfTheirRgbForm) {
  std::vector<PdfPage> pages;
  for (std::uint32_t index = 0; index < 5; ++index) {
    pages.push_back(patterned_page(300 + index * 37, 200 + index * 11,
                                   index == 2 ? "" : "page (" + std::to_string(index) + ")"));
  }
  pages[3].width = 0;  // left out, as by the RGB writer
  std::vector<RgbaPdfPage> rgba;
  for (const auto& page : pages) rgba.push_back(with_alpha(page));
  rgba[1].rgba = nullptr;
  pages[1].rgb.clear();
  const std::vector<std::uint8_t> expected = write_searchable_pdf(pages, 1);
  for (unsigned threads : {1u, 2u, 4u}) {
    Collected out;
    ASSERT_TRUE(write_searchable_pdf_to(rgba, threads, out.sink()));
    EXPECT_EQ(out.bytes, expected) << threads << " threads";
    EXPECT_GT(out.pieces, 3u) << "the file arrives piece by piece";
  }
}

TEST(WriteSearchablePdfTo, AnUncompressedImageOrARefusingSinkIsAFailure) {
  std::vector<RgbaPdfPage> pages = {with_alpha(patterned_page(8, 8)),
                                    with_alpha(patterned_page(9, 9))};
  ImageCompressor fail_on_81_pixels =
      [](std::span<const std::uint8_t> pixels) -> std::optional<CompressedImage> {
    if (pixels.size() == 9 * 9 * 4) return std::nullopt;
    return compress_zlib_rgb_of_rgba(pixels);
  };
  Collected out;
  auto written = write_searchable_pdf_to_with(pages, 2, fail_on_81_pixels, out.sink());
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error(), "a page image could not be compressed");

  Collected full;
  full.limit = 500;
  written = write_searchable_pdf_to(pages, 1, full.sink());
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error(), "disk full");
  EXPECT_LE(full.bytes.size(), 500u) << "nothing is written after the first error";
}

TEST(CompressZlib, TheRgbaFormMatchesTheRgbOneAcrossPieces) {
  // Sizes around the converter's piece of 16384 pixels.
  for (std::uint32_t pixels : {0u, 1u, 16383u, 16384u, 16385u, 100000u}) {
    PdfPage page = patterned_page(1, pixels);
    RgbaPdfPage rgba = with_alpha(page);
    auto expected = compress_zlib(page.rgb);
    auto actual = compress_zlib_rgb_of_rgba(*rgba.rgba);
    ASSERT_TRUE(expected && actual) << pixels;
    EXPECT_EQ(std::string(actual->bytes().begin(), actual->bytes().end()),
              std::string(expected->bytes().begin(), expected->bytes().end()))
        << pixels;
  }
  std::vector<std::uint8_t> odd(7);
  EXPECT_FALSE(compress_zlib_rgb_of_rgba(odd)) << "not whole pixels";
}

}  // namespace
}  // namespace wendlow::pdf
