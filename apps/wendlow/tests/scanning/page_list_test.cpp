#include "scanning/page_list.hpp"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace wendlow::scanning
