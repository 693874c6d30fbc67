#include <gtest/gtest.h>

#include "test_images.hpp"
#include "vesk_image/convert.hpp"
#include "vesk_image/transform.hpp"

namespace vesk_image {
namespace {

using testing::bytes_of;
using testing::pattern;

Image grey(std::uint32_t w, std::uint32_t h, std::vector<std::uint8_t> values) {
  return *Image::from_pixels(w, h, PixelFormat::Grey8, std::move(values));
}

TEST(ImageTest, FromPixelsChecksTheByteCount) {
  EXPECT_TRUE(Image::from_pixels(2, 3, PixelFormat::Rgba8, std::vector<std::uint8_t>(24)));
  EXPECT_FALSE(Image::from_pixels(2, 3, PixelFormat::Rgba8, std::vector<std::uint8_t>(23)));
  EXPECT_FALSE(Image::from_pixels(2, 3, PixelFormat::Rgba8, SharedBytes{}));
  // 65536 × 65536 × 4 overflows 32 bits; the check must not wrap around to 0.
  EXPECT_FALSE(Image::from_pixels(65536, 65536, PixelFormat::Rgba8, std::vector<std::uint8_t>{}));
}

TEST(TransformTest, QuarterTurnMovesPixelsClockwise) {
  // 3 × 2:  a b c      rotated 2 × 3:  d a
  //         d e f                      e b
  //                                    f c
  const Image rotated = rotate90_clockwise(grey(3, 2, {1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(rotated.width(), 2u);
  EXPECT_EQ(rotated.height(), 3u);
  EXPECT_EQ(bytes_of(rotated), (std::vector<std::uint8_t>{4, 1, 5, 2, 6, 3}));

  const Image page = pattern(31, 17, PixelFormat::Rgba8);
  Image turned = page;
  for (int i = 0; i < 4; ++i) turned = rotate90_clockwise(turned);
  EXPECT_EQ(bytes_of(turned), bytes_of(page));
}

TEST(TransformTest, CropCutsTheRectangleAndClipsAtTheEdges) {
  const Image image = grey(4, 3, {0, 1, 2, 3, 10, 11, 12, 13, 20, 21, 22, 23});
  EXPECT_EQ(bytes_of(crop(image, 1, 1, 2, 2)), (std::vector<std::uint8_t>{11, 12, 21, 22}));
  const Image clipped = crop(image, 3, 2, 10, 10);
  EXPECT_EQ(clipped.width(), 1u);
  EXPECT_EQ(bytes_of(clipped), (std::vector<std::uint8_t>{23}));
  EXPECT_EQ(crop(image, 9, 9, 1, 1).width(), 0u);
}

TEST(TransformTest, TriangleResizeAveragesAndKeepsFlatAreas) {
  const Image flat = grey(100, 60, std::vector<std::uint8_t>(6000, 77));
  const Image small = resize_triangle(flat, 33, 21);
  EXPECT_EQ(small.width(), 33u);
  for (std::uint8_t v : small.pixels()) EXPECT_EQ(v, 77);

  // Halving alternating columns 0/200 gives their mean everywhere away from the edges.
  std::vector<std::uint8_t> stripes(40 * 4);
  for (std::size_t i = 0; i < stripes.size(); ++i) stripes[i] = (i % 2) ? 200 : 0;
  const Image halved = resize_triangle(grey(40, 4, stripes), 20, 4);
  for (std::uint32_t x = 1; x < 19; ++x) EXPECT_NEAR(halved.pixels()[x], 100, 1) << x;

  const Image enlarged = resize_triangle(grey(2, 1, {0, 100}), 4, 1);
  EXPECT_EQ(bytes_of(enlarged), (std::vector<std::uint8_t>{0, 25, 75, 100}));
}

TEST(ConvertTest, GreyAndRgbaConversions) {
  const Image rgb = *Image::from_pixels(
      3, 1, PixelFormat::Rgb8, std::vector<std::uint8_t>{255, 0, 0, 0, 255, 0, 255, 255, 255});
  EXPECT_EQ(bytes_of(to_grey8(rgb)), (std::vector<std::uint8_t>{54, 182, 255}));
  EXPECT_EQ(bytes_of(to_rgba8(grey(2, 1, {7, 9}))),
            (std::vector<std::uint8_t>{7, 7, 7, 255, 9, 9, 9, 255}));
}

TEST(ConvertTest, ContrastStretchesAroundTheMiddle) {
  // f = 1.4884 for 22: 0 → 0 (clamped), 255 → 255 (clamped), 128 ≈ 128.7 → 128,
  // 64 → ((64/255 − 0.5) × 1.4884 + 0.5) × 255 ≈ 32.5 → 32, 200 ≈ 235.4 → 235.
  const Image raised = adjust_contrast(grey(5, 1, {0, 64, 128, 200, 255}), 22.0f);
  EXPECT_EQ(bytes_of(raised), (std::vector<std::uint8_t>{0, 32, 128, 235, 255}));
  const Image same = adjust_contrast(grey(3, 1, {0, 99, 255}), 0.0f);
  EXPECT_EQ(bytes_of(same), (std::vector<std::uint8_t>{0, 99, 255}));
}

}  // namespace
}  // namespace vesk_image
