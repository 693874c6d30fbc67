// The pure pieces: reading the renderer's image and laying out a text page.
#include <gtest/gtest.h>

#include "ppm.hpp"
#include "test_files.hpp"
#include "text_layout.hpp"

namespace thumbnail::detail {
namespace {

using testing::bytes_of;

TEST(Ppm, OneColourImageBecomesOpaqueRgba) {
  const auto image =
      parse_ppm(bytes_of("P6\n# made by a test\n2 1\n255\n\x01\x02\x03\xfa\xfb\xfc"), 4);
  ASSERT_TRUE(image) << image.error();
  EXPECT_EQ(image->width, 2u);
  EXPECT_EQ(image->height, 1u);
  EXPECT_EQ(*image->pixels, (std::vector<std::uint8_t>{1, 2, 3, 255, 0xfa, 0xfb, 0xfc, 255}));
}

TEST(Ppm, AnythingButExactlyOneImageOfTheRightSizeIsRefused) {
  const std::string pixels(6, 'x');
  EXPECT_FALSE(parse_ppm(bytes_of(""), 4));
  EXPECT_FALSE(parse_ppm(bytes_of("P5\n2 1\n255\n" + pixels.substr(0, 2)), 4));
  EXPECT_FALSE(parse_ppm(bytes_of("P6\n2 1\n65535\n" + pixels + pixels), 4));
  EXPECT_FALSE(parse_ppm(bytes_of("P6\n2 1\n255\n" + pixels.substr(1)), 4)) << "short";
  EXPECT_FALSE(parse_ppm(bytes_of("P6\n2 1\n255\n" + pixels + "x"), 4)) << "trailing";
  EXPECT_FALSE(parse_ppm(bytes_of("P6\n5 1\n255\n" + std::string(15, 'x')), 4)) << "too wide";
  EXPECT_FALSE(parse_ppm(bytes_of("P6\n0 1\n255\n"), 4));
  EXPECT_FALSE(parse_ppm(bytes_of("P6\n99999999999 1\n255\n"), 4));
  EXPECT_FALSE(parse_ppm(bytes_of("P6\n2 1\n255"), 4)) << "no pixels at all";
}

TEST(TextLayout, APortraitA4PageWithAMarginAndSixtyLines) {
  const TextPage page = text_page(720);
  EXPECT_EQ(page.height, 720u);
  EXPECT_EQ(page.width, 509u);
  EXPECT_EQ(page.margin, 36u);
  EXPECT_EQ(page.rows, 60u);
  EXPECT_NEAR(page.line_height, 10.8, 1e-9);
  EXPECT_EQ(page.font_pixels, 9u);
}

TEST(TextLayout, LinesWrapTabsAlignAndControlsAreDropped) {
  const auto lines = first_page_lines("ab\tc\r\nlong line here\x07!\n\nx\xffy", 6, 10);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], U"ab    ");  // the tab fills the line
  EXPECT_EQ(lines[1], U"c");
  EXPECT_EQ(lines[2], U"long l");
  EXPECT_EQ(lines[3], U"ine he");
  EXPECT_EQ(lines[4], U"re!");
  EXPECT_EQ(lines[5], U"");
  EXPECT_EQ(lines[6], U"x\uFFFDy");
}

TEST(TextLayout, ThePageEndsAfterItsRowsOrAtAFormFeed) {
  EXPECT_EQ(first_page_lines("1\n2\n3\n4\n", 10, 3).size(), 3u);
  const auto first_page = first_page_lines("one\ntwo\fthree\n", 10, 60);
  EXPECT_EQ(first_page, (std::vector<std::u32string>{U"one", U"two"}));
  EXPECT_TRUE(first_page_lines("", 10, 60).empty());
  EXPECT_TRUE(first_page_lines("abc", 0, 60).empty());
}

}  // namespace
}  // namespace thumbnail::detail
