#include "scanning/page_list.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "scan_support.hpp"

namespace wendlow::scanning {
namespace {

std::vector<ScannedPage> pages(std::initializer_list<const char*> names) {
  std::vector<ScannedPage> list;
  for (const char* name : names) {
    ScannedPage page;
    page.status = name;
    list.push_back(std::move(page));
  }
  return list;
}

std::string order(const std::vector<ScannedPage>& list) {
  std::string names;
  for (const auto& page : list) names += page.status;
  return names;
}

TEST(PageIndex, PagingStopsAtBothEnds) {
  EXPECT_EQ(previous_index(0), 0u);
  EXPECT_EQ(previous_index(2), 1u);
  EXPECT_EQ(next_index(0, 3), 1u);
  EXPECT_EQ(next_index(2, 3), 2u);
  EXPECT_EQ(next_index(0, 0), 0u) << "an empty list stays at 0";
  EXPECT_EQ(next_index(0, 1), 0u);
}

TEST(PageMoves, SwapWithTheNeighbourAndFollowThePage) {
  auto list = pages({"a", "b", "c"});
  EXPECT_EQ(move_earlier(list, 0), 0u);
  EXPECT_EQ(order(list), "abc") << "the first page cannot move earlier";
  EXPECT_EQ(move_earlier(list, 2), 1u);
  EXPECT_EQ(order(list), "acb");
  EXPECT_EQ(move_later(list, 2), 2u);
  EXPECT_EQ(order(list), "acb") << "the last page cannot move later";
  EXPECT_EQ(move_later(list, 0), 1u);
  EXPECT_EQ(order(list), "cab");
  // An index outside the list changes nothing.
  EXPECT_EQ(move_earlier(list, 7), 7u);
  EXPECT_EQ(move_later(list, 7), 7u);
  EXPECT_EQ(order(list), "cab");
}

TEST(PageDelete, ShowsTheNextPageElseTheNewLastOne) {
  auto list = pages({"a", "b", "c"});
  EXPECT_EQ(delete_page(list, 1), 1u);
  EXPECT_EQ(order(list), "ac");
  EXPECT_EQ(delete_page(list, 1), 0u);
  EXPECT_EQ(order(list), "a");
  EXPECT_EQ(delete_page(list, 5), 0u) << "outside the list: nothing removed";
  EXPECT_EQ(order(list), "a");
  EXPECT_EQ(delete_page(list, 0), 0u);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(delete_page(list, 0), 0u);
}

struct CropCase {
  CropSelection selection;
  std::uint32_t width, height;
  std::optional<PixelRect> cut;  // none: refused as invalid
};

TEST(CropRectangle, EdgesRoundOutwardAndBadSelectionsAreRefused) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const CropCase cases[] = {
      {{0.25, 0.25, 0.75, 0.75}, 1000, 800, PixelRect{250, 200, 500, 400}},
      {{0.333, 0, 0.667, 1}, 100, 100, PixelRect{33, 0, 34, 100}},
      {{0.5, 0.5, 0.52, 0.9}, 100, 100, std::nullopt},  // narrower than 0.05
      {{-0.01, 0, 1, 1}, 100, 100, std::nullopt},       // outside the page
      {{0, 0, 1.0001, 1}, 100, 100, std::nullopt},
      {{0, 0.2, 1, 0.24}, 100, 100, std::nullopt},  // too short
      {{nan, 0, 1, 1}, 100, 100, std::nullopt},
      {{0, 0, inf, 1}, 100, 100, std::nullopt},
      {{0.6, 0, 0.4, 1}, 100, 100, std::nullopt},  // inside out
      // Exactly 0.05 apart, with the rounding error a subtraction of doubles leaves.
      {{0.25, 0, 0.30, 1}, 100, 100, PixelRect{25, 0, 5, 100}},
      // The far corner: at least one pixel, never past the page.
      {{0.95, 0.95, 1, 1}, 10, 10, PixelRect{9, 9, 1, 1}},
      {{0.95, 0.95, 1, 1}, 3, 3, PixelRect{2, 2, 1, 1}},
      {{0.96, 0.96, 1, 1}, 3, 3, std::nullopt},
      {{0, 0, 0.05, 0.05}, 1, 1, PixelRect{0, 0, 1, 1}},
      {{0.1, 0.1, 0.9, 0.9}, 4294967295u, 2, PixelRect{429496729, 0, 3435973837u, 2}},
  };
  for (const auto& c : cases) {
    auto cut = crop_rectangle(c.selection, c.width, c.height);
    if (!c.cut) {
      ASSERT_FALSE(cut) << c.selection.left << " " << c.selection.right;
      EXPECT_EQ(cut.error(), "crop selection was invalid");
      continue;
    }
    ASSERT_TRUE(cut) << c.selection.left << " " << c.selection.right;
    EXPECT_EQ(*cut, *c.cut) << c.selection.left << " " << c.selection.top << " "
                            << c.selection.right << " " << c.selection.bottom;
  }
}

// The RGBA value at (x, y) of a page.
std::uint32_t pixel(const ScannedPage& page, std::uint32_t x, std::uint32_t y) {
  const std::uint8_t* p = page.pixels->data() + (std::size_t{y} * page.width + x) * 4;
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

TEST(RotatePage, AQuarterTurnClockwiseFourTimesGivesThePageBack) {
  ScannedPage page = testing::page_of("Recognized 2 words.", 2480, 3508);
  const ScannedPage original = page;
  page.recognizing = true;
  ScannedPage turned_once;
  for (int turn = 1; turn <= 4; ++turn) {
    const PageId before = page.id;
    auto encode = rotate_page(page);
    ASSERT_TRUE(encode) << encode.error();
    EXPECT_FALSE(page.id == before) << "every turn is a new image with a new id";
    EXPECT_EQ(encode->image.width(), page.width);
    EXPECT_FALSE(page.encoded.is_ready()) << "the PNG is left to a worker";
    if (turn == 1) turned_once = page;
  }
  EXPECT_EQ(turned_once.width, 3508u);
  EXPECT_EQ(turned_once.height, 2480u);
  // Source (x, y) lands at (height − 1 − y, x).
  EXPECT_EQ(pixel(turned_once, 3507, 0), pixel(original, 0, 0));
  EXPECT_EQ(pixel(turned_once, 3507 - 7, 5), pixel(original, 5, 7));
  EXPECT_EQ(page.width, 2480u);
  EXPECT_EQ(page.height, 3508u);
  EXPECT_EQ(*page.pixels, *original.pixels);
  EXPECT_EQ(page.status, "Text recognition needs updating after rotation.");
  EXPECT_FALSE(page.text);
  EXPECT_TRUE(page.text_stale);
  EXPECT_FALSE(page.recognizing);
}

TEST(CropPage, CutsThePixelsAndMarksTheTextStale) {
  ScannedPage page = testing::page_of("Recognized 2 words.", 100, 100);
  const ScannedPage original = page;
  auto encode = crop_page(page, {0.333, 0, 0.667, 1});
  ASSERT_TRUE(encode);
  EXPECT_EQ(page.width, 34u);
  EXPECT_EQ(page.height, 100u);
  EXPECT_EQ(pixel(page, 0, 0), pixel(original, 33, 0));
  EXPECT_EQ(pixel(page, 33, 99), pixel(original, 66, 99));
  EXPECT_EQ(page.status, "Text recognition needs updating after cropping.");
  EXPECT_TRUE(page.text_stale);
  EXPECT_FALSE(page.id == original.id);
}

TEST(PageEdits, FailuresLeaveThePageAsItWas) {
  ScannedPage page = testing::page_of("Recognized 2 words.", 10, 10);
  page.pixels = std::make_shared<const std::vector<std::uint8_t>>(399);  // one byte short
  const PageId id = page.id;
  auto rotated = rotate_page(page);
  ASSERT_FALSE(rotated);
  EXPECT_EQ(rotated.error(), "scanned page pixels were incomplete");
  auto cropped = crop_page(page, {0.1, 0.1, 0.9, 0.9});
  ASSERT_FALSE(cropped);
  EXPECT_EQ(cropped.error(), "scanned page pixels were incomplete");
  auto invalid = crop_page(page, {0.5, 0.5, 0.52, 0.9});
  ASSERT_FALSE(invalid);
  EXPECT_EQ(invalid.error(), "crop selection was invalid");
  EXPECT_TRUE(page.id == id);
  EXPECT_EQ(page.status, "Recognized 2 words.");
  EXPECT_EQ(page.text, "some words");
  EXPECT_FALSE(page.text_stale);
}

}  // namespace
}  // namespace wendlow::scanning
