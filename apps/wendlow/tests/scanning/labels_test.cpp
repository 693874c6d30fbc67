#include "scanning/labels.hpp"

#include <gtest/gtest.h>

namespace wendlow::scanning {
namespace {

TEST(TextExcerpt, CutsAt320CharactersNeverInsideOneAndTrims) {
  // 319 letters and then a three-byte character: all 320 characters are kept, whole.
  std::string text = "  \n" + std::string(317, 'a') + "\xE2\x82\xAC" + "tail";
  auto excerpt = text_excerpt(text);
  ASSERT_TRUE(excerpt);
  EXPECT_EQ(*excerpt, std::string(317, 'a'));
  std::string euros;
  for (int i = 0; i < 400; ++i) euros += "\xE2\x82\xAC";
  excerpt = text_excerpt(euros);
  ASSERT_TRUE(excerpt);
  EXPECT_EQ(excerpt->size(), 320u * 3) << "320 characters, not 320 bytes";
  EXPECT_EQ(text_excerpt(" Travel receipt \n"), "Travel receipt");
  // No-break and ideographic spaces are white space too.
  EXPECT_FALSE(text_excerpt(" \t\n\xC2\xA0\xE3\x80\x80"));
  EXPECT_FALSE(has_visible_text("\xE2\x80\x83\n"));
  EXPECT_TRUE(has_visible_text(" x "));
}

TEST(ScanLabels, CountsAndOrientation) {
  EXPECT_EQ(orientation_label(3508, 2480), "Landscape page");
  EXPECT_EQ(orientation_label(2480, 3508), "Portrait page");
  EXPECT_EQ(orientation_label(100, 100), "Portrait page") << "a square page is portrait";
  EXPECT_EQ(captured_summary(0), "No pages captured yet");
  EXPECT_EQ(captured_summary(1), "1 pages captured \xE2\x80\x94 new scans will be added");
  EXPECT_EQ(page_position(0, 3), "Page 1 of 3");
  EXPECT_EQ(pages_summary(0, 1), "Page 1 selected \xC2\xB7 1 page total");
  EXPECT_EQ(pages_summary(1, 2), "Page 2 selected \xC2\xB7 2 pages total");
  EXPECT_EQ(reading_language("German"), "Reading text as German");
}

}  // namespace
}  // namespace wendlow::scanning
