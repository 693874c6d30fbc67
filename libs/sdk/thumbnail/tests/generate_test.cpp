#include "thumbnail/generate.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "renderers.hpp"
#include "test_files.hpp"

namespace thumbnail::generate {
namespace {

using namespace std::chrono_literals;
using category::Category;
using category::category_for_path;
using testing::Bytes;
using testing::TempDir;

Result preview_of(const std::filesystem::path& path, std::uint32_t size = 720) {
  return generate(path, category_for_path(path), size);
}

// The share of pixels, by luma, darker than mid grey.
double dark_share(const Thumbnail& image) {
  std::size_t dark = 0;
  const auto& px = *image.pixels;
  for (std::size_t i = 0; i < px.size(); i += 4) {
    if (px[i] * 2 + px[i + 1] * 5 + px[i + 2] < 128 * 8) ++dark;
  }
  return static_cast<double>(dark) / (px.size() / 4);
}

void expect_page(const Result& result, std::uint32_t width, std::uint32_t height) {
  ASSERT_TRUE(result) << result.error();
  EXPECT_EQ(result->width, width);
  EXPECT_EQ(result->height, height);
  ASSERT_TRUE(result->pixels);
  EXPECT_EQ(result->pixels->size(), std::size_t{width} * height * 4);
}

TEST(Generate, PdfPageOneIsFittedIntoTheSize) {
  TempDir dir;
  const auto text = preview_of(dir.write("letter.pdf", testing::text_pdf()));
  expect_page(text, 509, 720);
  EXPECT_GT(dark_share(*text), 0.005) << "the text shows";
  EXPECT_LT(dark_share(*text), 0.2);
  const auto scan = preview_of(dir.write("scan.pdf", testing::scanned_pdf()), 300);
  expect_page(scan, 212, 300);
  EXPECT_GT(dark_share(*scan), 0.01);
}

TEST(Generate, ImagesAreReducedToTheSizeButNeverEnlarged) {
  TempDir dir;
  expect_page(preview_of(dir.write("wide.png", testing::png_image(1600, 400, true))), 720, 180);
  expect_page(preview_of(dir.write("small.png", testing::png_image(40, 30, false))), 40, 30);
  expect_page(preview_of(dir.write("tall.jpg", testing::jpeg_image(300, 1500))), 144, 720);
  // A PNG named like a PDF is shown as the image it is.
  expect_page(preview_of(dir.write("photo.pdf", testing::png_image(64, 48, true))), 64, 48);
}

TEST(Generate, PlainTextIsDrawnAsAPrintedPage) {
  TempDir dir;
  std::string letter = "Dear Sam,\n\n";
  for (int i = 0; i < 80; ++i) letter += "Line " + std::to_string(i) + " of the letter — über\n";
  const auto page = preview_of(dir.write("letter.txt", testing::bytes_of(letter)));
  expect_page(page, 509, 720);
  const auto& px = *page->pixels;
  auto at = [&](std::uint32_t x, std::uint32_t y) { return px[(std::size_t{y} * 509 + x) * 4]; };
  for (std::uint32_t y = 0; y < 720; ++y) {
    for (std::uint32_t x : {0u, 10u, 30u, 480u, 508u}) ASSERT_EQ(at(x, y), 255) << x << "," << y;
  }
  for (std::uint32_t x = 0; x < 509; ++x) ASSERT_EQ(at(x, 20), 255) << "top margin";
  EXPECT_GT(dark_share(*page), 0.01);
}

TEST(Generate, BrokenOrUnknownFilesAreErrors) {
  TempDir dir;
  Bytes pdf = testing::text_pdf();
  pdf.resize(pdf.size() / 3);
  EXPECT_FALSE(preview_of(dir.write("cut.pdf", pdf)));
  EXPECT_FALSE(preview_of(dir.write("empty.pdf", {})));
  EXPECT_FALSE(preview_of(dir.write("binary.txt", {0x00, 0x01, 0x02, 0xfe, 0xff})));
  Bytes png = testing::png_image(64, 64, true);
  png.resize(png.size() / 2);
  EXPECT_FALSE(preview_of(dir.write("cut.png", png)));
  EXPECT_FALSE(preview_of(dir.path() / "missing.pdf"));
  EXPECT_FALSE(generate(dir.write("a.pdf", testing::text_pdf()), Category::Pdf, 0));
  EXPECT_FALSE(generate(dir.write("a.txt", testing::bytes_of("x")), Category::Other, 720));
}

TEST(Generate, ARelativePathThatLooksLikeAnOptionIsStillAFile) {
  TempDir dir;
  dir.write("-v", testing::text_pdf());
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const auto page = generate("-v", Category::Pdf, 200);
  std::filesystem::current_path(previous);
  expect_page(page, 142, 200);
}

// Every hostile file ends as an error within its limit, and the work happens in a child:
// this process's memory does not grow.
class Hostile : public ::testing::Test {
 protected:
  void SetUp() override { peak_before_ = testing::peak_resident_bytes(); }
  void TearDown() override { EXPECT_LT(testing::peak_resident_bytes(), peak_before_ + (64 << 20)); }

  template <class Render>
  void expect_refused_within(Render render, std::chrono::milliseconds limit) {
    const auto start = std::chrono::steady_clock::now();
    const Result result = render();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(result) << "a preview was made";
    EXPECT_LT(took, limit + 2s);
  }

  TempDir dir_;
  std::size_t peak_before_ = 0;
};

TEST_F(Hostile, DrawingThatNeverEndsMeetsTheTimeLimit) {
  const auto file = dir_.write("forms.pdf", testing::endless_forms_pdf());
  detail::RendererLimits limits;
  limits.time = 1500ms;
  expect_refused_within([&] { return detail::render_pdf(file, 720, limits); }, limits.time);
}

TEST_F(Hostile, ADeflateBombMeetsTheTimeLimit) {
  const auto file = dir_.write("bomb.pdf", testing::deflate_bomb_pdf());
  detail::RendererLimits limits;
  limits.time = 1500ms;
  expect_refused_within([&] { return detail::render_pdf(file, 720, limits); }, limits.time);
}

TEST_F(Hostile, APathThatGrowsWithoutBoundMeetsTheMemoryLimit) {
  const auto file = dir_.write("path.pdf", testing::huge_path_pdf());
  expect_refused_within([&] { return preview_of(file); }, detail::RendererLimits{}.time);
}

TEST_F(Hostile, ImagesDeclaringHugeSizesAreRefusedAtOnce) {
  const auto png = dir_.write(
      "huge.png", testing::with_png_size(testing::png_image(16, 16, false), 20000, 20000));
  expect_refused_within([&] { return preview_of(png); }, 1s);
  const auto jpeg =
      dir_.write("huge.jpg", testing::with_jpeg_size(testing::jpeg_image(16, 16), 20000, 20000));
  expect_refused_within([&] { return preview_of(jpeg); }, 1s);
}

TEST_F(Hostile, AProgressiveJpegWithManyScansIsRefused) {
  const auto jpeg =
      dir_.write("scans.jpg", testing::jpeg_image(1200, 1200, testing::many_scans(127)));
  expect_refused_within([&] { return preview_of(jpeg); }, 2s);
}

}  // namespace
}  // namespace thumbnail::generate
