#include "ocr/prepare.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace ocr {
namespace {

using vesk_image::Image;
using vesk_image::PixelFormat;

Image grey(std::uint32_t w, std::uint32_t h, std::vector<std::uint8_t> values) {
  return *Image::from_pixels(w, h, PixelFormat::Grey8, std::move(values));
}

Image filled(std::uint32_t w, std::uint32_t h, std::uint8_t value) {
  return grey(w, h, std::vector<std::uint8_t>(std::size_t{w} * h, value));
}

// White page with dark horizontal bars `thickness` rows high every `period` rows, inset from
// the left and right edges, like lines of text.
Image ruled_page(std::uint32_t w, std::uint32_t h, std::uint32_t period, std::uint32_t thickness) {
  std::vector<std::uint8_t> pixels(std::size_t{w} * h, 255);
  for (std::uint32_t y = period; y + thickness < h - period / 2; y += period) {
    for (std::uint32_t t = 0; t < thickness; ++t) {
      for (std::uint32_t x = w / 10; x < w - w / 10; ++x) pixels[std::size_t{y + t} * w + x] = 0;
    }
  }
  return grey(w, h, std::move(pixels));
}

TEST(OtsuTest, ThresholdsDerivedByHand) {
  // Two levels: every t from 50 to 199 splits them the same way; the first one wins.
  EXPECT_EQ(otsu_threshold(grey(4, 1, {50, 50, 200, 200})), 50);
  // 0, 128, 255, 255: t < 128 gives 1·3·(0 − 212.67)² ≈ 135,680; 128 ≤ t < 255 gives
  // 2·2·(64 − 255)² = 145,924, which is larger.
  EXPECT_EQ(otsu_threshold(grey(4, 1, {0, 128, 255, 255})), 128);
  // A single level cannot be split.
  EXPECT_EQ(otsu_threshold(filled(8, 8, 30)), 127);
}

TEST(SkewTest, ScoresFavourTheAngleThatAlignsTheRows) {
  const Image page = ruled_page(200, 200, 20, 3);
  const std::uint64_t level = projection_score(page, 127, 0.0);
  // At 0° the dark pixels of each bar fall into 3 counters: 9 bars × 3 × 160².
  EXPECT_EQ(level, 9u * 3u * 160u * 160u);
  EXPECT_LT(projection_score(page, 127, 2.0), level);
}

TEST(SkewTest, FindsTheHalfDegreeStepOfAKnownSkew) {
  const Image page = ruled_page(1000, 700, 40, 6);
  EXPECT_EQ(estimate_skew(page), std::nullopt);
  // Rotating by a makes the rows slope by a; the estimate is the angle that undoes it.
  EXPECT_EQ(estimate_skew(rotate_about_centre(page, 2.0)), -2.0);
  EXPECT_EQ(estimate_skew(rotate_about_centre(page, -3.5)), 3.5);
  // A slight tilt of lines as tall as text lines is not worth a rotation.
  EXPECT_EQ(estimate_skew(rotate_about_centre(ruled_page(1000, 700, 80, 30), 0.3)), std::nullopt);
  // Pages longer than 1200 pixels are judged on a reduced copy with the same answer.
  EXPECT_EQ(estimate_skew(rotate_about_centre(ruled_page(1300, 2600, 80, 10), 2.0)), -2.0);
}

TEST(SkewTest, PagesThatAreNeverRotated) {
  const Image tilted = rotate_about_centre(ruled_page(400, 300, 20, 4), 3.0);
  ASSERT_TRUE(estimate_skew(tilted));
  // 31 pixels high.
  EXPECT_EQ(estimate_skew(rotate_about_centre(ruled_page(400, 31, 10, 2), 3.0)), std::nullopt);
  // Nearly blank: 100 dark pixels of 400 × 300 are fewer than 0.1 %.
  std::vector<std::uint8_t> blank(400 * 300, 255);
  for (int i = 0; i < 100; ++i) blank[150 * 400 + 100 + i] = 0;
  EXPECT_EQ(estimate_skew(grey(400, 300, blank)), std::nullopt);
  // Very dark: the complement of the tilted page is over 40 % dark.
  std::vector<std::uint8_t> inverted(tilted.pixels().begin(), tilted.pixels().end());
  for (auto& v : inverted) v = static_cast<std::uint8_t>(255 - v);
  EXPECT_EQ(estimate_skew(grey(400, 300, inverted)), std::nullopt);
}

TEST(RotationTest, BilinearSamplesAndWhiteOutside) {
  // A horizontal ramp v = 10·x is linear, so bilinear sampling reproduces it exactly:
  // output (x, y) = round(10 · sx) with sx = cx + (x − cx)·cos a + (y − cy)·sin a.
  const std::uint32_t w = 21;
  const std::uint32_t h = 21;
  std::vector<std::uint8_t> ramp(w * h);
  for (std::uint32_t y = 0; y < h; ++y) {
    for (std::uint32_t x = 0; x < w; ++x) ramp[y * w + x] = static_cast<std::uint8_t>(10 * x);
  }
  const double a = 10.0;
  const Image rotated = rotate_about_centre(grey(w, h, ramp), a);
  const double c = std::cos(a * 3.14159265358979323846 / 180.0);
  const double s = std::sin(a * 3.14159265358979323846 / 180.0);
  for (std::uint32_t y = 5; y < 16; ++y) {
    for (std::uint32_t x = 5; x < 16; ++x) {
      const double sx = 10.0 + (x - 10.0) * c + (y - 10.0) * s;
      EXPECT_EQ(rotated.pixels()[y * w + x], static_cast<int>(std::round(10.0 * sx)))
          << x << "," << y;
    }
  }
  // The top-left corner maps outside the source and turns white.
  const Image black = rotate_about_centre(filled(21, 21, 0), 45.0);
  EXPECT_EQ(black.pixels()[0], 255);
  EXPECT_EQ(black.pixels()[10 * 21 + 10], 0);
  EXPECT_EQ(black.width(), 21u);
}

TEST(PrepareTest, GreyContrastAndStraightening) {
  const auto rgba = *Image::from_pixels(
      2, 1, PixelFormat::Rgba8, std::vector<std::uint8_t>{64, 64, 64, 255, 200, 200, 200, 255});
  const Image prepared = prepare_page(rgba);
  EXPECT_EQ(prepared.format(), PixelFormat::Grey8);
  EXPECT_EQ(std::vector<std::uint8_t>(prepared.pixels().begin(), prepared.pixels().end()),
            (std::vector<std::uint8_t>{32, 235}));

  const Image tilted = rotate_about_centre(ruled_page(1000, 700, 40, 6), 2.0);
  const Image straightened = prepare_page(tilted);
  EXPECT_EQ(estimate_skew(straightened), std::nullopt);
  EXPECT_EQ(straightened.width(), 1000u);
  EXPECT_EQ(straightened.height(), 700u);
}

}  // namespace
}  // namespace ocr
