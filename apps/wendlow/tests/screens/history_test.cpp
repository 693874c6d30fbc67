// The print history: finished documents only, at most fifty, each printable again.
#include <gtest/gtest.h>

#include "samples.hpp"
#include "screen_support.hpp"
#include "screens/screens.hpp"
#include "vesk_ui/controls.hpp"
#include "vesk_ui/icons.hpp"

namespace wendlow::screens {
namespace {

namespace w = vesk_ui::widget;
using os_actions::printing::JobState;
using os_actions::printing::PrintJob;
using testing::all_of_type;
using testing::Built;

Built build_history(const DeviceSnapshot& snapshot) {
  return testing::build([&](const EventSender& events) { return history(snapshot, events); });
}

TEST(HistoryScreen, ShowsTheFinishedSampleDocument) {
  auto built = build_history(samples::snapshot());
  const std::vector<std::string> expected = {"Wendlow",
                                             "Print history",
                                             "Documents retained by your print service",
                                             "Shipping labels.pdf",
                                             "Printed document",
                                             "Printed",
                                             "2 pages, sent to Studio printer, yesterday",
                                             "Print again"};
  EXPECT_EQ(built.texts(), expected);
  const auto pages = all_of_type<w::PagePreview>(*built.view);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0]->label, "Printed document");
  EXPECT_EQ(pages[0]->current_page, 2u);
  EXPECT_EQ(pages[0]->page_total, 2u);
  const auto* again = vesk_ui::controls::find_as<w::Button>(
      *built.view, "wendlow.history.repeat.Studio_printer-41");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->style, w::ButtonStyle::Primary);
  EXPECT_TRUE(again->icon);
  EXPECT_EQ(std::get<op::RetryJob>(built.press("wendlow.history.repeat.Studio_printer-41")).job_id,
            "Studio_printer-41");
}

TEST(HistoryScreen, FiftyFinishedInServiceOrderAndTheirLabels) {
  DeviceSnapshot snapshot = samples::snapshot();
  snapshot.jobs->clear();
  for (int i = 1; i <= 70; ++i) {
    PrintJob job;
    job.id = "Hall_printer-" + std::to_string(i);
    job.printer = "Hall_printer";
    job.submitted = "today";
    // Every fourth one still active; the others cycle through the three finished states.
    job.state = i % 4 == 0 ? JobState::Waiting
                           : std::array{JobState::Completed, JobState::Aborted,
                                        JobState::Canceled}[static_cast<std::size_t>(i % 3)];
    job.pages_total = static_cast<std::uint32_t>(i % 2);
    snapshot.jobs->push_back(job);
  }
  auto built = build_history(snapshot);
  const auto cards = all_of_type<w::Card>(*built.view);
  ASSERT_EQ(cards.size(), 50u);
  EXPECT_EQ(cards[0]->title, "Document 1");
  EXPECT_EQ(cards[1]->title, "Document 2");
  EXPECT_EQ(cards[2]->title, "Document 3");
  EXPECT_EQ(cards[3]->title, "Document 5");  // 4 is waiting
  EXPECT_EQ(cards.back()->title, "Document 66");
  const auto texts = built.texts();
  // Document 1: Aborted, one page; Document 2: Canceled, no pages reported as 0.
  EXPECT_NE(std::ranges::find(texts, "Did not print"), texts.end());
  EXPECT_NE(std::ranges::find(texts, "Canceled"), texts.end());
  EXPECT_NE(std::ranges::find(texts, "1 page, sent to Hall printer, today"), texts.end());
  EXPECT_NE(std::ranges::find(texts, "0 pages, sent to Hall printer, today"), texts.end());
  EXPECT_EQ(std::ranges::count(texts, "Waiting"), 0);
}

TEST(HistoryScreen, FailedDocumentsShowTheBannerAndTheEmptyCard) {
  DeviceSnapshot snapshot = samples::snapshot();
  snapshot.jobs = std::unexpected("no scheduler");
  auto built = build_history(snapshot);
  const auto banners = all_of_type<w::Banner>(*built.view);
  ASSERT_EQ(banners.size(), 1u);
  EXPECT_EQ(banners[0]->title, "Print jobs couldn't be checked");
  EXPECT_TRUE(built.shows("No completed documents yet"));
  EXPECT_TRUE(
      built.shows("After a document finishes or is canceled, its status will appear here."));

  snapshot.jobs = samples::snapshot().jobs;
  snapshot.jobs->pop_back();  // only the printing one is left
  auto active_only = build_history(snapshot);
  EXPECT_TRUE(all_of_type<w::Banner>(*active_only.view).empty());
  EXPECT_TRUE(active_only.shows("No completed documents yet"));
}

}  // namespace
}  // namespace wendlow::screens
