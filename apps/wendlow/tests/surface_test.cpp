#include "surface.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>

#include "samples.hpp"
#include "scanning/settings.hpp"
#include "test_support.hpp"
#include "vesk_os/thread.hpp"
#include "vesk_ui/text_selection.hpp"

namespace wendlow::surface {
namespace {

using os_actions::printing::FakeMethod;
using testing::FakeService;
using testing::shows_text;
using testing::update_until;

// A view that counts the calls the state forwards to it.
class CountingView final : public vesk_ui::widget::Widget {
 public:
  explicit CountingView(int* updates, bool answer) : updates_(updates), answer_(answer) {}
  bool update() override {
    ++*updates_;
    return answer_;
  }
  std::string_view type_name() const override { return "CountingView"; }

 private:
  int* updates_;
  bool answer_;
};

Wendlow idle_state() {
  return Wendlow::new_scenario(3);
}

template <class T>
vesk_os::OneshotReceiver<T> ready(T value) {
  auto [tx, rx] = vesk_os::oneshot<T>();
  std::move(tx).send(std::move(value));
  return std::move(rx);
}

ScannedPage page_named(std::string status) {
  ScannedPage page = samples::scanned_page();
  page.status = std::move(status);
  page.encoded = std::make_shared<const std::vector<std::uint8_t>>();
  return page;
}

TEST(UpdateCycle, HandlesOneEventPerCallInTheFixedSourceOrder) {
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  state.events_tx.send(op::ShowHistory{});
  state.refresh_rx = ready(samples::snapshot());
  state.save_pick_rx = ready(vesk_ui::portal::PickResult{vesk_ui::portal::Cancelled{}});
  state.preview_rx = ready(DocumentPreview{preview::Unavailable{}});
  state.document_pick_rx = ready(vesk_ui::portal::PickResult{vesk_ui::portal::Cancelled{}});

  ASSERT_TRUE(update(state));
  EXPECT_FALSE(state.document_pick_rx);
  EXPECT_TRUE(state.preview_rx);
  ASSERT_TRUE(update(state));
  EXPECT_FALSE(state.preview_rx);
  EXPECT_TRUE(state.save_pick_rx);
  ASSERT_TRUE(update(state));
  EXPECT_FALSE(state.save_pick_rx);
  EXPECT_TRUE(state.refresh_rx);
  ASSERT_TRUE(update(state));
  EXPECT_FALSE(state.refresh_rx);
  EXPECT_TRUE(shows_text(state, "Your printers")) << "a refresh result always shows the dashboard";
  ASSERT_TRUE(update(state)) << "the operation waited behind the refresh result";
  EXPECT_TRUE(shows_text(state, "History screen"));
}

TEST(UpdateCycle, ForwardsToTheViewWhenNothingIsPending) {
  Wendlow state = idle_state();
  int updates = 0;
  state.set_view(std::make_unique<CountingView>(&updates, false));
  EXPECT_FALSE(update(state));
  state.set_view(std::make_unique<CountingView>(&updates, true));
  EXPECT_TRUE(update(state));
  EXPECT_EQ(updates, 2);
  state.events_tx.send(op::ScanAnother{});  // no snapshot: shows nothing new
  EXPECT_TRUE(update(state));
  EXPECT_EQ(updates, 2) << "a handled event is not forwarded";
}

TEST(UpdateCycle, NeedsIdleSyncOnlyForRefreshAndPickers) {
  Wendlow state = idle_state();
  EXPECT_FALSE(state.needs_idle_sync());
  auto [preview_tx, preview_rx] = vesk_os::oneshot<DocumentPreview>();
  state.preview_rx = std::move(preview_rx);
  state.events_tx.send(op::Refresh{});
  EXPECT_FALSE(state.needs_idle_sync()) << "a preview or queued messages do not hold idle sync";
  auto [refresh_tx, refresh_rx] = vesk_os::oneshot<DeviceSnapshot>();
  state.refresh_rx = std::move(refresh_rx);
  EXPECT_TRUE(state.needs_idle_sync());
  state.refresh_rx.reset();
  auto [pick_tx, pick_rx] = vesk_os::oneshot<vesk_ui::portal::PickResult>();
  state.document_pick_rx = std::move(pick_rx);
  EXPECT_TRUE(state.needs_idle_sync());
  state.document_pick_rx.reset();
  auto [save_tx, save_rx] = vesk_os::oneshot<vesk_ui::portal::PickResult>();
  state.save_pick_rx = std::move(save_rx);
  EXPECT_TRUE(state.needs_idle_sync());
}

TEST(UpdateCycle, ReplacingTheViewMarksTheStructureDirtyOnce) {
  Wendlow state = idle_state();
  EXPECT_TRUE(state.take_structure_dirty());
  EXPECT_FALSE(state.take_structure_dirty());
  state.events_tx.send(op::ShowDashboard{});
  update(state);
  EXPECT_TRUE(state.take_structure_dirty());
}

TEST(UpdateCycle, APickerThatGoesAwayIsAFailureWithAFixedNotice) {
  Wendlow state = idle_state();
  {
    auto [tx, rx] = vesk_os::oneshot<vesk_ui::portal::PickResult>();
    state.document_pick_rx = std::move(rx);
  }
  ASSERT_TRUE(update(state));
  EXPECT_FALSE(state.document_pick_rx);
  ASSERT_TRUE(state.notice);
  EXPECT_EQ(state.notice->title, "Could not open the file picker");
  EXPECT_EQ(state.notice->detail, "Try again, or print from the document's app.");
  EXPECT_FALSE(state.notice->success);
  EXPECT_TRUE(shows_text(state, "Set up your first printer"));
}

TEST(UpdateCycle, AChosenDocumentPicksThePreferredElseTheFirstPrinter) {
  Wendlow state = idle_state();
  auto snapshot = samples::snapshot();
  auto second = snapshot.queues->front();
  second.name = "Hall_printer";
  snapshot.queues->insert(snapshot.queues->begin(), second);  // first, but not preferred
  snapshot.queues->front().is_default = false;
  state.snapshot = snapshot;
  state.document_pick_rx =
      ready(vesk_ui::portal::PickResult{vesk_ui::portal::Chosen{"/docs/Letter.pdf"}});
  update(state);
  EXPECT_EQ(state.document, std::filesystem::path("/docs/Letter.pdf"));
  EXPECT_EQ(state.print_printer, "Studio_printer");
  EXPECT_TRUE(shows_text(state, "Print screen"));

  state.snapshot->queues->at(1).is_default = false;
  state.document_pick_rx = ready(vesk_ui::portal::PickResult{vesk_ui::portal::Chosen{"/a.pdf"}});
  update(state);
  EXPECT_EQ(state.print_printer, "Hall_printer");

  state.snapshot->queues = std::unexpected("down");
  state.document_pick_rx = ready(vesk_ui::portal::PickResult{vesk_ui::portal::Chosen{"/b.pdf"}});
  update(state);
  EXPECT_FALSE(state.print_printer);
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
}

TEST(Tasks, TaskFinishedOnTheScanResultKeepsTheScreenAndStartsNoRefresh) {
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  state.current_page = page_named("Recognized 1 words.");
  apply_operation(state, op::TaskFinished{{"Scanned page saved", "Saved a.png.", true}});
  EXPECT_FALSE(state.refresh_rx);
  EXPECT_TRUE(shows_text(state, "Scan result screen"));
  EXPECT_EQ(state.notice->title, "Scanned page saved");
}

TEST(Printing, SubmitSendsClampedCopiesOnceAndClearsTheSelection) {
  FakeService service;
  service->set_queues(samples::snapshot().queues.value());
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  for (double typed : {0.0, 150.0, 2.6}) {
    state.document = "/home/alex/Travel itinerary.pdf";
    state.print_printer = "Studio_printer";
    state.copies.set(typed);
    state.two_sided.set(true);
    apply_operation(state, op::SubmitPrint{});
    EXPECT_FALSE(state.document);
    EXPECT_FALSE(state.print_printer);
    apply_operation(state, op::SubmitPrint{});  // a second press finds no selection
  }
  ASSERT_TRUE(service->wait_for_calls(3, std::chrono::seconds(2)));
  std::vector<std::string> copies;
  for (const auto& call : service->calls_of(FakeMethod::PrintDocument)) {
    copies.push_back(call.args.at(2));
    EXPECT_EQ(call.args.at(3), "true");
  }
  std::ranges::sort(copies);
  EXPECT_EQ(copies, (std::vector<std::string>{"1", "3", "99"}));
  ASSERT_TRUE(update_until(state, [&] { return state.notice.has_value(); }));
  EXPECT_EQ(state.notice->detail, "Travel itinerary.pdf was sent to Studio printer.");
}

TEST(Printing, AFileNameThatIsNotTextIsCalledDocument) {
  FakeService service;
  service->fail_always(FakeMethod::PrintDocument, "no");
  Wendlow state = idle_state();
  state.document = "/tmp/\xff\xfe.pdf";
  state.print_printer = "Studio_printer";
  apply_operation(state, op::SubmitPrint{});
  ASSERT_TRUE(update_until(state, [&] { return state.notice.has_value(); }));
  EXPECT_EQ(*state.notice,
            (Notice{"Could not print document",
                    "Document was not sent. Check the printer and try again.", false}));
}

TEST(Printing, ChooseDocumentIsIgnoredWhileAPickIsPendingAndResetsTheOptions) {
  struct NeverAnswers : vesk_ui::portal::PickerBackend {
    void pick(const vesk_ui::portal::PickRequest& request,
              vesk_os::OneshotSender<vesk_ui::portal::PickResult> reply) override {
      std::lock_guard lock(mutex);
      requests.push_back(request);
      replies.push_back(std::move(reply));
    }
    std::mutex mutex;
    std::vector<vesk_ui::portal::PickRequest> requests;
    std::vector<vesk_os::OneshotSender<vesk_ui::portal::PickResult>> replies;
  };
  auto picker = std::make_shared<NeverAnswers>();
  vesk_ui::portal::install_picker_backend(picker);
  Wendlow state = idle_state();
  state.copies.set(4.0);
  state.two_sided.set(true);
  apply_operation(state, op::ChooseDocument{});
  state.copies.set(5.0);
  apply_operation(state, op::ChooseDocument{});
  EXPECT_EQ(state.copies.get(), 5.0) << "the second request was ignored";
  EXPECT_FALSE(state.two_sided.get());
  for (int i = 0; i < 500; ++i) {
    {
      std::lock_guard lock(picker->mutex);
      if (!picker->requests.empty()) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  std::lock_guard lock(picker->mutex);
  ASSERT_EQ(picker->requests.size(), 1u);
  const auto& request = picker->requests.front();
  EXPECT_EQ(request.title, "Choose a document to print");
  EXPECT_EQ(request.worker_name, "wendlow-document-picker");
  ASSERT_EQ(request.filters.size(), 1u);
  EXPECT_EQ(request.filters[0].label, "Documents and images");
  EXPECT_EQ(request.filters[0].mimetypes,
            (std::vector<std::string>{"application/pdf", "image/png", "image/jpeg", "text/plain"}));
  EXPECT_TRUE(request.include_all_files);
  vesk_ui::portal::install_picker_backend(nullptr);
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
  apply_operation(state, op::OpenPrinter{"Nope"});
  EXPECT_FALSE(shows_text(state, "Printer controls screen"));
  apply_operation(state, op::OpenPrinter{"Studio_printer"});
  EXPECT_TRUE(shows_text(state, "Printer controls screen"));
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
  EXPECT_TRUE(shows_text(state, "Scan setup screen"));
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
  vesk_ui::text_selection::install_clipboard_backend(nullptr);
  state.current_page = state.pages[0];
  state.current_page->text = "  hello \n";
  apply_operation(state, op::CopyText{});
  EXPECT_FALSE(state.notice) << "a copy that failed is not reported as done";
  vesk_ui::text_selection::install_clipboard_backend(clipboard);
  state.current_page->text = " \n\t";
  apply_operation(state, op::CopyText{});
  EXPECT_TRUE(clipboard->copied.empty());
  state.current_page->text = "  hello \n";
  apply_operation(state, op::CopyText{});
  EXPECT_EQ(clipboard->copied, std::vector<std::string>{"  hello \n"});
  EXPECT_EQ(*state.notice,
            (Notice{"Text copied", "Paste the recognized text into any app.", true}));
  vesk_ui::text_selection::install_clipboard_backend(nullptr);
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

TEST(Scanning, SettingsMapIndicesWithSafeDefaults) {
  EXPECT_EQ(scanning::scan_settings_for(1, 0, 0), (os_actions::printing::ScanSettings{300, 0, 0}));
  EXPECT_EQ(scanning::scan_settings_for(7, 2, 1), (os_actions::printing::ScanSettings{300, 2, 1}));
  EXPECT_EQ(scanning::scan_settings_for(0, 9, 9), (os_actions::printing::ScanSettings{150, 0, 0}));
  EXPECT_EQ(scanning::resolution_for(2), 600);
  EXPECT_EQ(scanning::language_for(0), (scanning::TextLanguage{"eng", "English"}));
  EXPECT_EQ(scanning::language_for(3), (scanning::TextLanguage{"spa", "Spanish"}));
  EXPECT_EQ(scanning::language_for(7), (scanning::TextLanguage{"eng", "English"}));
}

TEST(Waking, ATaskResultWakesTheHostWithoutInput) {
  FakeService service;
  Wendlow state = idle_state();
  std::atomic<int> wakes = 0;
  vesk_os::Waker waker;
  waker.set_target([&] { ++wakes; });
  state.install_waker(waker);
  apply_operation(state, op::Refresh{});
  for (int i = 0; i < 1000 && wakes == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_GE(wakes.load(), 1) << "the refresh result woke the host";
  state.events_tx.send(op::ShowDashboard{});
  EXPECT_GE(wakes.load(), 2);
}

}  // namespace
}  // namespace wendlow::surface

namespace wendlow::surface {
namespace {

TEST(Tasks, EachOperationStartsItsNamedThreadAndReportsOnce) {
  testing::FakeService service;
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
    ASSERT_TRUE(testing::update_until(state, [&] { return state.notice.has_value(); }));
    EXPECT_EQ(state.notice->title, c.success_title);
    EXPECT_TRUE(state.notice->success);
    EXPECT_EQ(state.events_rx.try_recv().error(), vesk_os::RecvError::Empty)
        << "exactly one message";
  }
}

TEST(Tasks, DiscoveryShowsItsScreenAndReportsTheResult) {
  testing::FakeService service;
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

}  // namespace
}  // namespace wendlow::surface
