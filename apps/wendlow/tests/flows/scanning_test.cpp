// The scan flow on the state: starting, the page list as the user moves through it,
// recognition results and copying text.
#include "flows/scanning.hpp"

#include <gtest/gtest.h>

#include "samples.hpp"
#include "scanning/settings.hpp"
#include "screen_support.hpp"
#include "surface.hpp"
#include "test_support.hpp"

namespace wendlow::flows {
namespace {

using surface::apply_operation;
using testing::shown_title;

Wendlow idle_state() {
  return Wendlow::new_scenario(3);
}

ScannedPage page_named(std::string status) {
  ScannedPage page = samples::scanned_page();
  page.status = std::move(status);
  page.encoded = std::make_shared<const std::vector<std::uint8_t>>();
  return page;
}

class PageList : public ::testing::Test {
 protected:
  void SetUp() override {
    state.snapshot = samples::snapshot();
    for (const char* name : {"a", "b", "c"}) state.pages.push_back(page_named(name));
  }
  std::vector<std::string> order() const {
    std::vector<std::string> names;
    for (const auto& page : state.pages) names.push_back(page.status);
    return names;
  }
  Wendlow state = idle_state();
};

TEST_F(PageList, PagingStopsAtTheEndsButStillShowsThePage) {
  state.crop.set({0.1, 0.1, 0.9, 0.9});
  apply_operation(state, op::PreviousPage{});
  EXPECT_EQ(state.page_index, 0u);
  EXPECT_EQ(state.current_page->status, "a");
  EXPECT_TRUE(state.crop.get().is_whole_page());
  state.page_index = 2;
  state.crop.set({0.1, 0.1, 0.9, 0.9});
  apply_operation(state, op::NextPage{});
  EXPECT_EQ(state.page_index, 2u);
  EXPECT_EQ(state.current_page->status, "c");
  EXPECT_TRUE(state.crop.get().is_whole_page());
}

TEST_F(PageList, MovingKeepsTheMovedPageOnDisplay) {
  state.page_index = 1;
  apply_operation(state, op::MovePageEarlier{});
  EXPECT_EQ(order(), (std::vector<std::string>{"b", "a", "c"}));
  EXPECT_EQ(state.page_index, 0u);
  apply_operation(state, op::MovePageEarlier{});
  EXPECT_EQ(order(), (std::vector<std::string>{"b", "a", "c"}));
  apply_operation(state, op::MovePageLater{});
  apply_operation(state, op::MovePageLater{});
  apply_operation(state, op::MovePageLater{});
  EXPECT_EQ(order(), (std::vector<std::string>{"a", "c", "b"}));
  EXPECT_EQ(state.page_index, 2u);
  EXPECT_EQ(state.current_page->status, "b");
}

TEST_F(PageList, DeletingTheLastPagesEndsOnTheSetupScreen) {
  state.page_index = 2;
  apply_operation(state, op::DeletePage{});
  EXPECT_EQ(state.page_index, 1u);
  EXPECT_EQ(state.current_page->status, "b");
  apply_operation(state, op::DeletePage{});
  apply_operation(state, op::DeletePage{});
  EXPECT_TRUE(state.pages.empty());
  EXPECT_EQ(state.page_index, 0u);
  EXPECT_FALSE(state.current_page);
  EXPECT_EQ(shown_title(state), "Scan a document");
  apply_operation(state, op::DeletePage{});  // nothing left: harmless
  EXPECT_EQ(state.page_index, 0u);
}

TEST_F(PageList, ScannedPagesAreAppendedAndFailuresOnlyNotify) {
  state.scanning = true;
  apply_operation(state, op::PageScanned{std::unexpected("jammed")});
  EXPECT_FALSE(state.scanning);
  EXPECT_EQ(state.pages.size(), 3u);
  EXPECT_EQ(state.notice->title, "Could not scan this page");
  apply_operation(state, op::PageScanned{page_named("d")});
  EXPECT_EQ(state.pages.size(), 4u);
  EXPECT_EQ(state.page_index, 3u);
  EXPECT_EQ(state.current_page->status, "d");
}

TEST_F(PageList, RecognitionResultsFindTheirPageByIdentityOnly) {
  state.pages[1].recognizing = true;
  const PageId id = state.pages[1].id();
  state.page_index = 1;
  state.current_page = state.pages[1];
  apply_operation(state, op::PageRecognized{id, Recognition{"hello", "Recognized 1 words."}});
  EXPECT_FALSE(state.pages[1].recognizing);
  EXPECT_EQ(state.pages[1].text, "hello");
  EXPECT_EQ(state.current_page->text, "hello");

  const PageId gone = state.pages[2].id();
  state.pages.pop_back();
  apply_operation(state, op::PageRecognized{gone, std::unexpected("engine crashed")});
  EXPECT_FALSE(state.notice) << "a result for a deleted page changes nothing";

  apply_operation(state, op::PageRecognized{id, std::unexpected("engine crashed")});
  EXPECT_EQ(*state.notice, (Notice{"Text was not updated", "engine crashed", false}));
}

TEST_F(PageList, CopyTextNeedsNonBlankTextAndAWorkingClipboard) {
  struct Recording : vesk_ui::text_selection::ClipboardBackend {
    std::expected<void, std::string> copy(const std::string& text) override {
      copied.push_back(text);
      return {};
    }
    std::vector<std::string> copied;
  };
  auto clipboard = std::make_shared<Recording>();
  std::optional<vesk_ui::text_selection::ScopedClipboard<Recording>> installed;
  installed.emplace(nullptr);
  state.current_page = state.pages[0];
  state.current_page->text = "  hello \n";
  apply_operation(state, op::CopyText{});
  EXPECT_FALSE(state.notice) << "a copy that failed is not reported as done";
  installed.reset();
  installed.emplace(clipboard);
  state.current_page->text = " \n\t";
  apply_operation(state, op::CopyText{});
  EXPECT_TRUE(clipboard->copied.empty());
  state.current_page->text = "  hello \n";
  apply_operation(state, op::CopyText{});
  EXPECT_EQ(clipboard->copied, std::vector<std::string>{"  hello \n"});
  EXPECT_EQ(*state.notice,
            (Notice{"Text copied", "Paste the recognized text into any app.", true}));
}

TEST(Scanning, StartScanningChoosesTheFirstScannerAndResetsThePages) {
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  state.pages.push_back(page_named("old"));
  state.page_index = 0;
  state.notice = Notice{"x", "y", true};
  apply_operation(state, op::StartScanning{});
  EXPECT_EQ(state.scan_scanner, "scanner0");
  EXPECT_TRUE(state.pages.empty());
  EXPECT_FALSE(state.notice);
  state.snapshot->scanners = std::unexpected("sane down");
  apply_operation(state, op::StartScanning{});
  EXPECT_FALSE(state.scan_scanner);
}

}  // namespace
}  // namespace wendlow::flows
