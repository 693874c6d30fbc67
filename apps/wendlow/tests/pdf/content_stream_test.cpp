#include "pdf/content_stream.hpp"

#include <gtest/gtest.h>

#include "pdf/pdf_numbers.hpp"

namespace wendlow::pdf {
namespace {

std::string image_line(std::uint32_t width, std::uint32_t height, std::size_t position = 0) {
  return page_content(place_on_a4(width, height), position, "");
}

TEST(FormatReal, ShortestRoundTripWithoutExponent) {
  EXPECT_EQ(format_real(559.0), "559");
  EXPECT_EQ(format_real(141.5), "141.5");
  EXPECT_EQ(format_real(0.00001), "0.00001");
  EXPECT_EQ(format_real(1e22), "10000000000000000000000");
  EXPECT_EQ(format_real(0.1 + 0.2), "0.30000000000000004");
}

TEST(FormatXrefOffset, TenDigitsZeroPadded) {
  EXPECT_EQ(format_xref_offset(15), "0000000015");
  EXPECT_EQ(format_xref_offset(0), "0000000000");
  EXPECT_EQ(format_xref_offset(9999999999), "9999999999");
}

TEST(PageContent, PlacesSquarePortraitAndLandscapeImages) {
  EXPECT_EQ(image_line(100, 100), "q 559 0 0 559 18 141.5 cm /Im0 Do Q\n");
  EXPECT_EQ(image_line(2480, 3508),
            "q 559 0 0 790.7145161290323 18 25.642741935483855 cm /Im0 Do Q\n");
  EXPECT_EQ(image_line(3508, 2480),
            "q 559 0 0 395.18814139110606 18 223.40592930444697 cm /Im0 Do Q\n");
}

TEST(PageContent, TallAndExtremeImagesStayInsideTheBox) {
  Placement tall = place_on_a4(1, 1000);
  EXPECT_DOUBLE_EQ(tall.height, 806.0);
  EXPECT_DOUBLE_EQ(tall.y, 18.0);
  EXPECT_EQ(image_line(1, 4294967295u).find('e'), std::string::npos);
  EXPECT_EQ(image_line(4294967295u, 1).find('e'), std::string::npos);
}

TEST(PageContent, ImageNameCarriesTheInputPosition) {
  EXPECT_EQ(image_line(100, 100, 7), "q 559 0 0 559 18 141.5 cm /Im7 Do Q\n");
}

TEST(PageContent, WhiteSpaceOnlyTextAddsNoTextBlock) {
  EXPECT_EQ(page_content(place_on_a4(100, 100), 0, " \t\r\n \n"), image_line(100, 100));
}

TEST(PageContent, TextBecomesOneInvisibleBlockWithLinesJoinedByQuestionMarks) {
  std::string content = page_content(place_on_a4(100, 100), 0, "  Total (net)\nC:\\tmp\r\n");
  EXPECT_EQ(content, image_line(100, 100) +
                         "BT /F1 10 Tf 3 Tr 18 18 Td (  Total \\(net\\)?C:\\\\tmp?\?) Tj ET\n");
}

}  // namespace
}  // namespace wendlow::pdf
