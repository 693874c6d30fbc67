// Refresh, navigation among the device screens and the service tasks with their notices.
#include "flows/devices.hpp"

#include <gtest/gtest.h>

#include "samples.hpp"
#include "screen_support.hpp"
#include "surface.hpp"
#include "test_support.hpp"
#include "vesk_os/thread.hpp"

namespace wendlow::flows {
namespace {

using os_actions::printing::FakeMethod;
using surface::apply_operation;
using surface::update;
using testing::FakeService;
using testing::shown_title;
using testing::shows_text;
using testing::update_until;

using testing::idle_state;

ScannedPage sample_page() {
  ScannedPage page = samples::scanned_page();
  page.id = PageId::fresh();
  return page;
}

TEST(Refresh, ANewerRefreshReplacesThePendingOne) {
  FakeService service;
  service->set_delay(FakeMethod::Queues, std::chrono::milliseconds(50));
  Wendlow state = idle_state();
  state.events_tx.send(op::Refresh{});
  update(state);
  ASSERT_TRUE(state.refresh_rx);
  EXPECT_TRUE(shows_text(state, "Getting things ready"));
  service->set_queues({});
  state.events_tx.send(op::Refresh{});
  update(state);
  service->set_delay(FakeMethod::Queues, std::chrono::milliseconds(0));
  ASSERT_TRUE(update_until(state, [&] { return !state.refresh_rx; }));
  ASSERT_TRUE(state.snapshot);
  EXPECT_TRUE(state.snapshot->queues.has_value());
  EXPECT_TRUE(shows_text(state, "Your printers"));
}

TEST(Refresh, LiveStartShowsLoadingAndRefreshesEachAreaIndependently) {
  FakeService service;
  service->set_scanners({{"s1", "Desk scanner"}});
  service->fail_always(FakeMethod::Jobs, "cups went away");
  vesk_os::clear_spawned_thread_names();
  Wendlow state = Wendlow::new_live();
  EXPECT_TRUE(shows_text(state, "Getting things ready"));
  EXPECT_TRUE(state.needs_idle_sync());
  ASSERT_TRUE(update_until(state, [&] { return state.snapshot.has_value(); }));
  EXPECT_TRUE(state.snapshot->queues.has_value());
  EXPECT_EQ(state.snapshot->jobs.error(), "cups went away");
  ASSERT_TRUE(state.snapshot->scanners.has_value());
  EXPECT_EQ(state.snapshot->scanners->size(), 1u);
  const auto calls = service->calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].method, FakeMethod::Queues);
  EXPECT_EQ(calls[1].method, FakeMethod::Jobs);
  EXPECT_EQ(calls[2].method, FakeMethod::Scanners);
  EXPECT_EQ(vesk_os::spawned_thread_names(), std::vector<std::string>{"vesk-wendlow-refresh"});
}

TEST(Refresh, ABurstOfRequestsRunsOneWorkerAndOneFollowUp) {
  FakeService service;
  service->set_delay(FakeMethod::Queues, std::chrono::milliseconds(30));
  Wendlow state = idle_state();
  vesk_os::clear_spawned_thread_names();
  for (int i = 0; i < 1000; ++i) apply_operation(state, op::Refresh{});
  // Whatever the service says after the last request is what the window ends up showing.
  auto queues = samples::snapshot().queues.value();
  service->set_queues(queues);
  ASSERT_TRUE(update_until(state, [&] { return !state.refresh_rx; }));
  EXPECT_EQ(vesk_os::spawned_thread_names(),
            (std::vector<std::string>{"vesk-wendlow-refresh", "vesk-wendlow-refresh"}));
  ASSERT_TRUE(state.snapshot);
  EXPECT_EQ(state.snapshot->queues, queues);
  EXPECT_FALSE(state.refresh_again);
  EXPECT_EQ(shown_title(state), "Wendlow");
}

// A service whose every call throws: the refresh worker dies without answering.
class ThrowingBackend final : public os_actions::printing::Backend {
 public:
  template <class T>
  using Result = std::expected<T, std::string>;
  Result<std::vector<os_actions::printing::PrintQueue>> queues() override { fail(); }
  Result<std::vector<os_actions::printing::PrintJob>> jobs() override { fail(); }
  Result<std::vector<os_actions::printing::Scanner>> scanners() override { fail(); }
  Result<std::vector<os_actions::printing::DriverlessPrinter>> discover_driverless() override {
    fail();
  }
  Result<void> add_driverless(const std::string&, const std::string&) override { fail(); }
  Result<void> set_default(const std::string&) override { fail(); }
  Result<void> set_enabled(const std::string&, bool) override { fail(); }
  Result<void> cancel_job(const std::string&) override { fail(); }
  Result<void> retry_job(const std::string&) override { fail(); }
  Result<void> print_document(const std::filesystem::path&, const std::string&, std::uint16_t,
                              bool) override {
    fail();
  }
  Result<std::vector<std::uint8_t>> scan_page(const std::string&,
                                              const os_actions::printing::ScanSettings&) override {
    fail();
  }

 private:
  [[noreturn]] static void fail() { throw std::runtime_error("the service fell over"); }
};

TEST(Refresh, AWorkerThatEndsWithoutAnswerCountsAsAllAreasFailed) {
  std::optional<os_actions::printing::ScopedBackend<ThrowingBackend>> throwing;
  throwing.emplace();
  Wendlow state = Wendlow::new_live();
  ASSERT_TRUE(update_until(state, [&] { return !state.refresh_rx; }));
  throwing.reset();
  ASSERT_TRUE(state.snapshot);
  EXPECT_FALSE(state.snapshot->queues);
  EXPECT_FALSE(state.snapshot->jobs);
  EXPECT_FALSE(state.snapshot->scanners);
  EXPECT_FALSE(state.needs_idle_sync()) << "nothing is left pending";
  EXPECT_TRUE(shows_text(state, "Some device information couldn't be checked"));
  EXPECT_TRUE(testing::has_control(*state.view, ids::kServiceRetry));
}

TEST(Tasks, AFailedPauseReportsItsFixedNoticeAndStillRefreshes) {
  FakeService service;
  service->fail_next(FakeMethod::SetEnabled, "printer on fire");
  Wendlow state = idle_state();
  state.events_tx.send(op::SetPrinterEnabled{"Studio_printer", false});
  update(state);
  ASSERT_TRUE(update_until(state, [&] { return state.notice.has_value(); }));
  EXPECT_EQ(*state.notice,
            (Notice{"Could not pause printer",
                    "Nothing changed. Check the printer connection and try again.", false}));
  EXPECT_TRUE(state.refresh_rx) << "a finished task starts a refresh";
  EXPECT_FALSE(shows_text(state, "Getting things ready")) << "without the loading screen";
  ASSERT_TRUE(update_until(state, [&] { return state.snapshot.has_value(); }));
  EXPECT_EQ(service->calls_of(FakeMethod::SetEnabled).front().text(),
            "set_enabled(\"Studio_printer\", false)");
}

TEST(Tasks, AddedPrinterIsNamedByItsDisplayName) {
  FakeService service;
  Wendlow state = idle_state();
  state.events_tx.send(op::AddPrinter{{"ipps://h:631/ipp/print", "Office_laser-2", {}}});
  update(state);
  ASSERT_TRUE(update_until(state, [&] { return state.notice.has_value(); }));
  EXPECT_EQ(state.notice->title, "Printer added");
  EXPECT_EQ(state.notice->detail, "Office laser 2 is ready for your apps.");
  EXPECT_TRUE(testing::settle(state));
}

TEST(Tasks, TaskFinishedOnTheScanResultKeepsTheScreenAndStartsNoRefresh) {
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  state.pages.push_back(sample_page());
  apply_operation(state, op::NextPage{});  // shows the page
  ASSERT_TRUE(state.current_page);
  apply_operation(state, op::TaskFinished{{"Scanned page saved", "Saved a.png.", true}});
  EXPECT_FALSE(state.refresh_rx);
  EXPECT_EQ(shown_title(state), "Scanned document");
  EXPECT_EQ(state.notice->title, "Scanned page saved");
}

TEST(Tasks, APageLeftBehindOffScreenDoesNotHoldBackTheRefresh) {
  FakeService service;
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  state.pages.push_back(sample_page());
  apply_operation(state, op::NextPage{});
  ASSERT_TRUE(state.current_page);
  // A late discovery result takes the window away without clearing the page.
  apply_operation(state, op::DiscoveryFinished{samples::discovery()});
  ASSERT_TRUE(state.current_page);
  apply_operation(state, op::TaskFinished{{"Printer added", "Office is ready.", true}});
  EXPECT_TRUE(state.refresh_rx) << "the outcome is followed by a refresh";
  ASSERT_TRUE(update_until(state, [&] { return !state.refresh_rx; }));
  EXPECT_EQ(shown_title(state), "Wendlow");
  EXPECT_TRUE(shows_text(state, "Printer added"));
}

TEST(Navigation, ScreensThatNeedASnapshotLeaveTheViewAloneWithoutOne) {
  Wendlow state = idle_state();
  state.set_view(std::make_unique<vesk_ui::widget::Text>("Loading"));
  state.take_structure_dirty();
  for (Operation operation :
       std::vector<Operation>{op::ShowQueue{}, op::ShowHistory{}, op::ShowDiagnostics{},
                              op::OpenPrinter{"x"}, op::ChoosePrintPrinter{"x"}}) {
    apply_operation(state, operation);
    EXPECT_FALSE(state.take_structure_dirty());
  }
  apply_operation(state, op::ShowDashboard{});
  EXPECT_TRUE(shows_text(state, "Set up your first printer"))
      << "without a snapshot the dashboard request shows the first-printer screen";
}

TEST(Navigation, OpenPrinterNeedsAQueueOfThatName) {
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  apply_operation(state, op::ShowHistory{});
  state.take_structure_dirty();
  apply_operation(state, op::OpenPrinter{"Nope"});
  EXPECT_FALSE(state.take_structure_dirty());
  EXPECT_EQ(shown_title(state), "Print history");
  apply_operation(state, op::OpenPrinter{"Studio_printer"});
  EXPECT_EQ(shown_title(state), "Studio printer");
}

TEST(Tasks, EachOperationStartsItsNamedThreadAndReportsOnce) {
  FakeService service;
  service->set_queues(samples::snapshot().queues.value());
  service->set_jobs(samples::snapshot().jobs.value());
  service->set_discovered(samples::discovery());
  struct Case {
    Operation operation;
    std::string thread;
    std::string success_title;
  };
  const std::vector<Case> cases = {
      {op::AddPrinter{samples::discovery().front()}, "vesk-add-printer", "Printer added"},
      {op::SetDefaultPrinter{"Studio_printer"}, "vesk-default-printer",
       "Preferred printer changed"},
      {op::SetPrinterEnabled{"Studio_printer", true}, "vesk-toggle-printer", "Printer resumed"},
      {op::CancelJob{"Studio_printer-42"}, "vesk-cancel-print-job", "Document canceled"},
      {op::RetryJob{"Studio_printer-41"}, "vesk-retry-print-job", "Document sent again"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.thread);
    Wendlow state = Wendlow::new_scenario(3);
    vesk_os::clear_spawned_thread_names();
    apply_operation(state, c.operation);
    EXPECT_EQ(vesk_os::spawned_thread_names(), std::vector<std::string>{c.thread});
    ASSERT_TRUE(update_until(state, [&] { return state.notice.has_value(); }));
    EXPECT_EQ(state.notice->title, c.success_title);
    EXPECT_TRUE(state.notice->success);
    EXPECT_EQ(state.events_rx.try_recv().error(), vesk_os::RecvError::Empty)
        << "exactly one message";
    EXPECT_TRUE(testing::settle(state));
  }
}

TEST(Tasks, DiscoveryShowsItsScreenAndReportsTheResult) {
  FakeService service;
  service->set_discovered(samples::discovery());
  Wendlow state = Wendlow::new_scenario(3);
  vesk_os::clear_spawned_thread_names();
  apply_operation(state, op::FindPrinters{});
  EXPECT_EQ(vesk_os::spawned_thread_names(), std::vector<std::string>{"vesk-printer-discovery"});
  std::optional<op::DiscoveryFinished> finished;
  for (int i = 0; i < 1000 && !finished; ++i) {
    if (auto message = state.events_rx.try_recv()) {
      finished = std::get<op::DiscoveryFinished>(std::move(*message));
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  ASSERT_TRUE(finished);
  ASSERT_TRUE(finished->result);
  EXPECT_EQ(*finished->result, samples::discovery());
}

TEST(Discovery, EachResultRebuildsTheScreenWhateverIsOnDisplay) {
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  apply_operation(state, op::ShowDashboard{});
  apply_operation(state, op::DiscoveryFinished{samples::discovery()});
  EXPECT_EQ(shown_title(state), "Add a printer");
  EXPECT_TRUE(shows_text(state, "Upstairs workspace"));
  // Two searches: whichever answer arrives last is the one shown.
  apply_operation(state,
                  op::DiscoveryFinished{std::vector<os_actions::printing::DriverlessPrinter>{}});
  EXPECT_TRUE(shows_text(state, "No printers found"));
  apply_operation(state, op::ShowHistory{});
  apply_operation(state, op::DiscoveryFinished{std::unexpected("no mDNS")});
  EXPECT_TRUE(shows_text(state, "Could not search right now"));
}

TEST(Cancel, TheRequestSurvivesNavigationAndTheConfirmationCancels) {
  FakeService service;
  service->set_jobs(samples::snapshot().jobs.value());
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  apply_operation(state, op::RequestCancel{"Studio_printer-42"});
  EXPECT_EQ(shown_title(state), "Print queue");
  EXPECT_TRUE(shows_text(state, "Confirm cancel"));
  EXPECT_TRUE(service->calls_of(FakeMethod::CancelJob).empty()) << "asking cancels nothing";
  apply_operation(state, op::ShowDashboard{});
  apply_operation(state, op::ShowQueue{});
  EXPECT_TRUE(shows_text(state, "Cancel this document?"));
  EXPECT_TRUE(shows_text(state, "Confirm cancel"));

  state.take_structure_dirty();
  apply_operation(state, op::CancelJob{"Studio_printer-42"});
  EXPECT_FALSE(state.cancel_request);
  EXPECT_FALSE(state.take_structure_dirty()) << "the screen waits for the refresh";
  ASSERT_TRUE(update_until(state, [&] { return state.notice && !state.refresh_rx; }));
  EXPECT_EQ(state.notice->title, "Document canceled");
  EXPECT_EQ(shown_title(state), "Wendlow");
  EXPECT_EQ(service->current_jobs().front().state, os_actions::printing::JobState::Canceled);
  apply_operation(state, op::ShowQueue{});
  EXPECT_FALSE(shows_text(state, "Cancel this document?"));
}

}  // namespace
}  // namespace wendlow::flows
