// The print queue: its limit, its per-state buttons and the two-step cancel.
#include <gtest/gtest.h>

#include "samples.hpp"
#include "screen_support.hpp"
#include "screens/screens.hpp"
#include "vesk_ui/controls.hpp"

namespace wendlow::screens {
namespace {

namespace w = vesk_ui::widget;
namespace controls = vesk_ui::controls;
using os_actions::printing::JobState;
using os_actions::printing::PrintJob;
using testing::all_of_type;
using testing::Built;

PrintJob job(std::string id, JobState state) {
  PrintJob job;
  job.id = std::move(id);
  job.printer = "Hall_printer";
  job.state = state;
  return job;
}

DeviceSnapshot with_jobs(std::vector<PrintJob> jobs) {
  DeviceSnapshot snapshot = samples::snapshot();
  snapshot.jobs = std::move(jobs);
  return snapshot;
}

Built build_queue(const DeviceSnapshot& snapshot, std::optional<std::string> cancel = {},
                  std::optional<Notice> notice = {}) {
  return testing::build(
      [&](const EventSender& events) { return print_queue(snapshot, events, cancel, notice); });
}

// The buttons of the document card titled `title`, as label → operation sent.
std::vector<std::pair<std::string, Operation>> row_buttons(Built& built, const std::string& title) {
  std::vector<std::pair<std::string, Operation>> pressed;
  for (const auto* card : all_of_type<w::Card>(*built.view)) {
    if (card->title != title) continue;
    for (const auto* button : all_of_type<w::Button>(*card)) {
      button->action();
      pressed.emplace_back(button->label, *built.rx.try_recv());
    }
  }
  return pressed;
}

TEST(QueueScreen, ShowsTheSampleDocumentsInOrder) {
  auto built = build_queue(samples::snapshot());
  const std::vector<std::string> expected = {"Wendlow",
                                             "Print queue",
                                             "Every document, in one place",
                                             "Travel itinerary.pdf",
                                             "Queued document",
                                             "In progress",
                                             "Sent to Studio printer",
                                             "Document progress",
                                             "Cancel",
                                             "Shipping labels.pdf",
                                             "Queued document",
                                             "Printed",
                                             "Sent to Studio printer",
                                             "Document progress"};
  EXPECT_EQ(built.texts(), expected);
  const auto pages = all_of_type<w::PagePreview>(*built.view);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0]->label, "Queued document");
  EXPECT_EQ(pages[0]->current_page, 9u);
  EXPECT_EQ(pages[0]->page_total, 12u);
  const auto bars = all_of_type<w::ProgressBar>(*built.view);
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_EQ(bars[0]->label, "Document progress");
  EXPECT_DOUBLE_EQ(*bars[0]->fraction, 0.66);  // 8 of 12 pages, as a whole percentage
  EXPECT_TRUE(std::holds_alternative<op::ShowDashboard>(built.press(ids::kBack)));
}

TEST(QueueScreen, ButtonsFitEachState) {
  std::vector<PrintJob> jobs;
  for (auto state : {JobState::Other, JobState::Waiting, JobState::Printing, JobState::Stopped,
                     JobState::Canceled, JobState::Aborted, JobState::Completed}) {
    jobs.push_back(job("Q-" + std::to_string(static_cast<int>(state)), state));
  }
  auto built = build_queue(with_jobs(jobs));
  auto labels = [&](const std::string& title) {
    std::vector<std::string> out;
    for (auto& [label, operation] : row_buttons(built, title)) out.push_back(label);
    return out;
  };
  using Labels = std::vector<std::string>;
  EXPECT_EQ(labels("Document 0"), Labels{"Cancel"});
  EXPECT_EQ(labels("Document 1"), Labels{"Cancel"});
  EXPECT_EQ(labels("Document 2"), Labels{"Cancel"});
  EXPECT_EQ(labels("Document 3"), (Labels{"Try again", "Cancel"}));
  EXPECT_EQ(labels("Document 4"), Labels{"Try again"});
  EXPECT_EQ(labels("Document 5"), (Labels{"Try again", "Cancel"}));
  EXPECT_EQ(labels("Document 6"), Labels{});

  const auto stopped = row_buttons(built, "Document 3");
  EXPECT_EQ(std::get<op::RetryJob>(stopped[0].second).job_id, "Q-3");
  EXPECT_EQ(std::get<op::RequestCancel>(stopped[1].second).job_id, "Q-3");
  const auto texts = built.texts();
  EXPECT_NE(std::ranges::find(texts, "Could not print"), texts.end());
  EXPECT_NE(std::ranges::find(texts, "Needs attention"), texts.end());
  EXPECT_EQ(controls::find_all(*built.view, ids::kJobRetry).size(), 3u);
  EXPECT_EQ(controls::find_all(*built.view, ids::kJobCancel).size(), 5u);
}

TEST(QueueScreen, OnlyThePendingDocumentConfirmsAndTheWarningShows) {
  const auto snapshot = with_jobs({job("Q-1", JobState::Waiting), job("Q-2", JobState::Waiting),
                                   job("Q-3", JobState::Waiting)});
  auto plain = build_queue(snapshot);
  EXPECT_TRUE(all_of_type<w::Banner>(*plain.view).empty());

  auto asked = build_queue(snapshot, "Q-2");
  const auto banners = all_of_type<w::Banner>(*asked.view);
  ASSERT_EQ(banners.size(), 1u);
  EXPECT_EQ(banners[0]->style, w::BannerStyle::Warning);
  EXPECT_EQ(banners[0]->title, "Cancel this document?");
  EXPECT_EQ(banners[0]->body, "It will be removed from the printer. This cannot be undone.");
  EXPECT_FALSE(banners[0]->action) << "the confirmation is the row's own button";
  const auto first = row_buttons(asked, "Document 1");
  const auto second = row_buttons(asked, "Document 2");
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].first, "Confirm cancel");
  EXPECT_EQ(std::get<op::CancelJob>(second[0].second).job_id, "Q-2");
  EXPECT_EQ(first[0].first, "Cancel");
  EXPECT_EQ(std::get<op::RequestCancel>(first[0].second).job_id, "Q-1");

  // The pending document finished meanwhile: the warning stays, nothing confirms.
  auto gone = build_queue(snapshot, "Q-9");
  EXPECT_EQ(all_of_type<w::Banner>(*gone.view).size(), 1u);
  for (const auto* button : controls::find_all(*gone.view, ids::kJobCancel)) {
    EXPECT_EQ(controls::control_label(*button), "Cancel");
  }
}

TEST(QueueScreen, ListsTheFirstTwentyFour) {
  std::vector<PrintJob> jobs;
  for (int i = 1; i <= 30; ++i) jobs.push_back(job("Q-" + std::to_string(i), JobState::Waiting));
  auto built = build_queue(with_jobs(jobs));
  const auto cards = all_of_type<w::Card>(*built.view);
  ASSERT_EQ(cards.size(), 24u);
  EXPECT_EQ(cards.front()->title, "Document 1");
  EXPECT_EQ(cards.back()->title, "Document 24");
}

TEST(QueueScreen, NoticeAndServiceProblemBannersThenTheEmptyCard) {
  DeviceSnapshot failed = samples::snapshot();
  failed.jobs = std::unexpected("no scheduler");
  failed.queues = std::unexpected("no scheduler");  // not this screen's business
  auto built = build_queue(failed, "Q-1", Notice{"Document canceled", "It was removed.", true});
  const auto banners = all_of_type<w::Banner>(*built.view);
  ASSERT_EQ(banners.size(), 3u);
  EXPECT_EQ(banners[0]->title, "Document canceled");
  EXPECT_EQ(banners[0]->style, w::BannerStyle::Success);
  EXPECT_EQ(banners[1]->title, "Print jobs couldn't be checked");
  EXPECT_EQ(banners[2]->title, "Cancel this document?");
  const auto cards = all_of_type<w::Card>(*built.view);
  ASSERT_EQ(cards.size(), 1u);
  EXPECT_EQ(cards[0]->title, "Nothing waiting");
  EXPECT_TRUE(built.shows("New documents will appear here as soon as an app sends them."));
  EXPECT_TRUE(std::holds_alternative<op::Refresh>(built.press(ids::kServiceRetry)));
}

}  // namespace
}  // namespace wendlow::screens
