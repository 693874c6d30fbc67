// The dashboard, loading and first-printer screens and the shared screen pieces, read
// headlessly from their widget trees.
#include <gtest/gtest.h>

#include <algorithm>

#include "samples.hpp"
#include "screen_support.hpp"
#include "screens/common.hpp"
#include "screens/screens.hpp"
#include "surface.hpp"
#include "vesk_ui/controls.hpp"
#include "vesk_ui/icons.hpp"

namespace wendlow::screens {
namespace {

namespace w = vesk_ui::widget;
namespace controls = vesk_ui::controls;
using os_actions::printing::JobState;
using os_actions::printing::PrintJob;

using testing::all_of_type;
using testing::Built;

Built build_dashboard(const DeviceSnapshot& snapshot, std::optional<Notice> notice = {}) {
  return testing::build(
      [&](const EventSender& events) { return dashboard(snapshot, events, notice); });
}

// Position of `text` among the screen's texts; the end when absent.
std::ptrdiff_t place(const std::vector<std::string>& texts, const std::string& text) {
  return std::ranges::find(texts, text) - texts.begin();
}

std::size_t dashboard_cards(const w::Widget& root) {
  return all_of_type<surface::DashboardCard>(root).size();
}

const w::Banner* banner_titled(const w::Widget& root, const std::string& title) {
  for (const auto* banner : all_of_type<w::Banner>(root)) {
    if (banner->title == title) return banner;
  }
  return nullptr;
}

PrintJob job(std::string id, JobState state, std::string title = "") {
  PrintJob job;
  job.id = std::move(id);
  job.title = std::move(title);
  job.printer = "Hall_printer";
  job.state = state;
  return job;
}

const std::string kFailed = "service unavailable";

// ---- Partial failures ----------------------------------------------------------------------

TEST(ServiceProblem, TitleAndTextFollowTheFailedAreasInOrder) {
  struct Case {
    bool printers, documents, scanners;
    std::string title;
    std::string areas;
  };
  const std::vector<Case> cases = {
      {true, false, false, "Printers couldn't be checked", "printers"},
      {false, true, false, "Print jobs couldn't be checked", "documents"},
      {false, false, true, "Scanners couldn't be checked", "scanners"},
      {true, true, false, "Some device information couldn't be checked", "printers or documents"},
      {true, false, true, "Some device information couldn't be checked", "printers or scanners"},
      {true, true, true, "Some device information couldn't be checked",
       "printers or documents or scanners"},
  };
  for (const auto& c : cases) {
    DeviceSnapshot snapshot = samples::snapshot();
    if (c.printers) snapshot.queues = std::unexpected(kFailed);
    if (c.documents) snapshot.jobs = std::unexpected(kFailed);
    if (c.scanners) snapshot.scanners = std::unexpected(kFailed);
    const auto areas = failed_areas(snapshot, true, true, true);
    SCOPED_TRACE(c.areas);
    EXPECT_EQ(service_problem_title(areas), c.title);
    EXPECT_EQ(service_problem_text(areas), "Wendlow couldn't get " + c.areas +
                                               " right now. Your saved devices and documents "
                                               "have not been removed.");
    // The dashboard cares about all three areas and shows the same words.
    auto built = build_dashboard(snapshot);
    const auto* banner = banner_titled(*built.view, c.title);
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->body, service_problem_text(areas));
    EXPECT_TRUE(built.shows("Some information needs refreshing"));
  }
}

TEST(ServiceProblem, AScreenOnlySeesTheAreasItCaresAbout) {
  DeviceSnapshot snapshot = samples::snapshot();
  snapshot.jobs = std::unexpected(kFailed);
  snapshot.scanners = std::unexpected(kFailed);
  EXPECT_TRUE(failed_areas(snapshot, true, false, false).empty()) << "the print screen";
  EXPECT_EQ(failed_areas(snapshot, true, false, true), std::vector<std::string>{"scanners"});
  EXPECT_EQ(failed_areas(snapshot, false, true, false), std::vector<std::string>{"documents"});

  auto [tx, rx] = vesk_os::channel<Operation>();
  EXPECT_EQ(service_problem_banner({}, tx), nullptr);
  // An unexpected single word still gets a title.
  EXPECT_EQ(service_problem_title({"toner"}), "Some device information couldn't be checked");
}

TEST(ServiceProblem, TryAgainRefreshes) {
  auto [tx, rx] = vesk_os::channel<Operation>();
  Built built{tx, std::move(rx), service_problem_banner({"scanners"}, tx)};
  ASSERT_TRUE(built.view);
  const auto* retry = controls::find_as<w::Button>(*built.view, ids::kServiceRetry);
  ASSERT_NE(retry, nullptr);
  EXPECT_EQ(retry->label, "Try again");
  EXPECT_EQ(retry->icon, vesk_ui::icon::kRefresh);
  EXPECT_TRUE(std::holds_alternative<op::Refresh>(built.press(ids::kServiceRetry)));
}

// ---- Dashboard -----------------------------------------------------------------------------

TEST(Dashboard, PrintersFailingAloneLeaveTheOtherCards) {
  DeviceSnapshot snapshot = samples::snapshot();
  snapshot.queues = std::unexpected(kFailed);
  auto built = build_dashboard(snapshot);
  EXPECT_TRUE(built.shows("Some information needs refreshing"));
  EXPECT_TRUE(built.shows("Printers couldn't be checked"));
  EXPECT_TRUE(built.shows("No printers added"));
  EXPECT_TRUE(
      built.shows("You can still scan documents below. Add a printer whenever you need "
                  "one."));
  EXPECT_TRUE(std::holds_alternative<op::FindPrinters>(built.press(ids::kDiscoverEmpty)));
  EXPECT_TRUE(built.shows("Scan a document"));
  EXPECT_TRUE(built.shows("Recent documents"));
  EXPECT_FALSE(built.shows(kFailed)) << "error texts never reach the screen";
}

TEST(Dashboard, DocumentsFailingHidesRecentDocumentsAndTheCurrentCard) {
  DeviceSnapshot snapshot = samples::snapshot();
  snapshot.jobs = std::unexpected(kFailed);
  auto built = build_dashboard(snapshot);
  EXPECT_TRUE(built.shows("Print jobs couldn't be checked"));
  EXPECT_FALSE(built.shows("Recent documents"));
  EXPECT_FALSE(built.has(ids::kHistoryOpen));
  EXPECT_FALSE(built.has(ids::kJobCancel));
  EXPECT_TRUE(built.shows("Device help"));
  EXPECT_TRUE(built.shows("Studio printer"));
}

TEST(Dashboard, EmptyScannerListShowsNoScannerCardAndNoBanner) {
  DeviceSnapshot snapshot = samples::snapshot();
  snapshot.scanners = std::vector<os_actions::printing::Scanner>{};
  auto built = build_dashboard(snapshot);
  EXPECT_FALSE(built.shows("Scan a document"));
  EXPECT_FALSE(built.has(ids::kScanOpen));
  EXPECT_FALSE(built.has(ids::kServiceRetry));
  EXPECT_TRUE(all_of_type<w::Banner>(*built.view).empty());
}

TEST(Dashboard, WithoutActiveDocumentsThereIsNoCurrentCard) {
  DeviceSnapshot snapshot = samples::snapshot();
  snapshot.jobs->front().state = JobState::Completed;
  auto built = build_dashboard(snapshot);
  EXPECT_TRUE(built.shows("Everything is ready"));
  EXPECT_FALSE(built.shows("Current document progress"));
  EXPECT_FALSE(built.has(ids::kJobCancel));
  EXPECT_FALSE(built.has(ids::kQueue));
  EXPECT_TRUE(built.shows("Review what printed and quickly print a retained job again."));
  // One printer card, the scanner, recent documents and device help.
  EXPECT_EQ(dashboard_cards(*built.view), 4u);
}

TEST(Dashboard, TheFirstActiveDocumentIsTheCurrentOne) {
  DeviceSnapshot snapshot = samples::snapshot();
  snapshot.jobs = std::vector{job("Hall_printer-3", JobState::Completed, "Old.pdf"),
                              job("Hall_printer-7", JobState::Waiting),
                              job("Hall_printer-8", JobState::Printing, "Second.pdf")};
  auto built = build_dashboard(snapshot);
  const auto texts = built.texts();
  EXPECT_TRUE(built.shows("2 documents are active"));
  EXPECT_TRUE(built.shows("Waiting to print"));
  EXPECT_FALSE(built.shows("Printing now"));
  EXPECT_TRUE(built.shows("Document 7")) << "a job without a title is named by its number";
  EXPECT_FALSE(built.shows("Second.pdf"));
  EXPECT_TRUE(built.shows("Sent to Hall printer"));
  EXPECT_TRUE(built.shows("Current document"));
  EXPECT_FALSE(built.shows("Completed documents will appear here."));

  auto cancel = built.press(ids::kJobCancel);
  ASSERT_TRUE(std::holds_alternative<op::RequestCancel>(cancel));
  EXPECT_EQ(std::get<op::RequestCancel>(cancel).job_id, "Hall_printer-7");
  EXPECT_TRUE(std::holds_alternative<op::ShowQueue>(built.press(ids::kQueue)));
}

TEST(Dashboard, CurrentDocumentShowsPagesAndProgress) {
  auto built = build_dashboard(samples::snapshot());
  const auto previews = all_of_type<w::PagePreview>(*built.view);
  ASSERT_EQ(previews.size(), 1u);
  EXPECT_EQ(previews[0]->label, "Current document");
  EXPECT_EQ(previews[0]->current_page, 9u) << "8 of 12 done: page 9 is printing";
  EXPECT_EQ(previews[0]->page_total, 12u);
  bool found = false;
  for (const auto* bar : all_of_type<w::ProgressBar>(*built.view)) {
    if (bar->label != "Current document progress") continue;
    found = true;
    ASSERT_TRUE(bar->fraction);
    EXPECT_NEAR(*bar->fraction, 0.66, 0.01);
  }
  EXPECT_TRUE(found);
  EXPECT_TRUE(built.shows("Travel itinerary.pdf"));
  EXPECT_TRUE(built.shows("Printing now"));
  EXPECT_TRUE(built.shows("One document is active"));
}

TEST(Dashboard, DocumentNameFallsBackToTheJobNumber) {
  DeviceSnapshot snapshot = samples::snapshot();
  snapshot.jobs = std::vector{job("plainid", JobState::Printing)};
  EXPECT_TRUE(build_dashboard(snapshot).shows("Document plainid")) << "no dash: the whole id";
  snapshot.jobs = std::vector{job("a-b-", JobState::Printing)};
  EXPECT_TRUE(build_dashboard(snapshot).shows("Document ")) << "nothing after the last dash";
}

TEST(Dashboard, SectionsComeInTheirFixedOrder) {
  auto built = build_dashboard(samples::snapshot(), Notice{"Printer added", "Ready.", true});
  auto texts = built.texts();
  const std::vector<std::string> order = {
      "Wendlow",         "One document is active", "Printer added",
      "Printing now",    "Your printers",          "Studio printer",
      "Scan a document", "Recent documents",       "Device help"};
  for (std::size_t i = 1; i < order.size(); ++i) {
    EXPECT_LT(place(texts, order[i - 1]), place(texts, order[i])) << order[i];
  }
  EXPECT_LT(place(texts, order.back()), static_cast<std::ptrdiff_t>(texts.size()));

  auto ids = controls::all_ids(*built.view);
  const std::vector<std::string> expected = {
      "wendlow.add",        "wendlow.print",        "wendlow.queue",
      "wendlow.job.cancel", "wendlow.refresh",      "wendlow.device.open.Studio_printer",
      "wendlow.scan.open",  "wendlow.history.open", "wendlow.diagnostics.open"};
  EXPECT_EQ(ids, expected);
  EXPECT_EQ(dashboard_cards(*built.view), 5u);
  // The page scrolls.
  EXPECT_EQ(built.view->type_name(), "Scrollable");
}

TEST(Dashboard, EveryButtonSendsItsOperation) {
  auto built = build_dashboard(samples::snapshot());
  EXPECT_TRUE(std::holds_alternative<op::FindPrinters>(built.press(ids::kAdd)));
  EXPECT_TRUE(std::holds_alternative<op::ChooseDocument>(built.press(ids::kPrint)));
  EXPECT_TRUE(std::holds_alternative<op::Refresh>(built.press(ids::kRefresh)));
  EXPECT_TRUE(std::holds_alternative<op::StartScanning>(built.press(ids::kScanOpen)));
  EXPECT_TRUE(std::holds_alternative<op::ShowHistory>(built.press(ids::kHistoryOpen)));
  EXPECT_TRUE(std::holds_alternative<op::ShowDiagnostics>(built.press(ids::kDiagnosticsOpen)));
  auto open = built.press("wendlow.device.open.Studio_printer");
  ASSERT_TRUE(std::holds_alternative<op::OpenPrinter>(open));
  EXPECT_EQ(std::get<op::OpenPrinter>(open).queue, "Studio_printer");

  const auto* print = controls::find_as<w::Button>(*built.view, ids::kPrint);
  ASSERT_NE(print, nullptr);
  EXPECT_EQ(print->style, w::ButtonStyle::Primary);
  EXPECT_EQ(controls::find_as<w::Button>(*built.view, ids::kScanOpen)->style,
            w::ButtonStyle::Primary);
  // Every control has an accessible name.
  controls::walk(*built.view, [](const w::Widget& widget) {
    if (controls::control_id(widget)) {
      EXPECT_FALSE(controls::control_label(widget).empty());
    }
  });
}

TEST(Dashboard, PrinterCardsTellStateSuppliesAndAvailability) {
  DeviceSnapshot snapshot = samples::snapshot();
  auto second = snapshot.queues->front();
  second.name = "Hall printer \"2\"";
  second.is_default = false;
  second.supplies.reset();
  second.state = os_actions::printing::QueueState::Paused;
  snapshot.queues->push_back(second);
  auto built = build_dashboard(snapshot);
  EXPECT_TRUE(built.shows("Studio printer"));
  EXPECT_TRUE(built.shows("Lowest supply: 64% remaining"));
  EXPECT_TRUE(built.shows("Preferred printer"));
  EXPECT_TRUE(built.shows("Paused"));
  EXPECT_TRUE(built.shows("Supply levels unavailable"));
  EXPECT_TRUE(built.shows("Available to your apps"));
  auto open = built.press("wendlow.device.open.Hall printer \"2\"");
  ASSERT_TRUE(std::holds_alternative<op::OpenPrinter>(open));
  EXPECT_EQ(std::get<op::OpenPrinter>(open).queue, "Hall printer \"2\"");
  const auto grids = all_of_type<w::CardGrid>(*built.view);
  ASSERT_FALSE(grids.empty());
  EXPECT_EQ(grids.front()->items.size(), 2u) << "one card per printer in one grid";
}

TEST(Dashboard, NoticeBannerStyleFollowsSuccess) {
  auto good = build_dashboard(samples::snapshot(), Notice{"Printer added", "It is ready.", true});
  const auto* banner = banner_titled(*good.view, "Printer added");
  ASSERT_NE(banner, nullptr);
  EXPECT_EQ(banner->style, w::BannerStyle::Success);
  EXPECT_EQ(banner->body, "It is ready.");

  auto bad = build_dashboard(samples::snapshot(), Notice{"Could not print", "Try again.", false});
  banner = banner_titled(*bad.view, "Could not print");
  ASSERT_NE(banner, nullptr);
  EXPECT_EQ(banner->style, w::BannerStyle::Error);

  EXPECT_TRUE(all_of_type<w::Banner>(*build_dashboard(samples::snapshot()).view).empty());
}

TEST(Dashboard, NoCompletedDocumentInvitesToPrint) {
  DeviceSnapshot snapshot = samples::snapshot();
  snapshot.jobs = std::vector<PrintJob>{};
  auto built = build_dashboard(snapshot);
  EXPECT_TRUE(built.shows("Completed documents will appear here."));
  EXPECT_TRUE(built.shows("Everything is ready"));
}

// ---- The sub-screen header ----------------------------------------------------------------------

TEST(SubScreenHeader, BackTitleAndCaption) {
  auto [tx, rx] = vesk_os::channel<Operation>();
  Built built{tx, std::move(rx), sub_screen_header("Add a printer", "Nearby", tx)};
  const auto* back = controls::find_as<w::Button>(*built.view, ids::kBack);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->label, "Wendlow");
  EXPECT_EQ(back->icon, vesk_ui::icon::kBack);
  const auto texts = all_of_type<w::Text>(*built.view);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0]->text, "Add a printer");
  EXPECT_EQ(texts[0]->style, w::TextStyle::LargeTitle);
  EXPECT_EQ(texts[1]->text, "Nearby");
  EXPECT_EQ(texts[1]->style, w::TextStyle::Caption);
  EXPECT_TRUE(std::holds_alternative<op::ShowDashboard>(built.press(ids::kBack)));
}

// ---- Start scenarios -----------------------------------------------------------------------

bool shows(const surface::Wendlow& state, const std::string& text) {
  return std::ranges::count(testing::screen_texts(*state.view), text) > 0;
}

TEST(DashboardScenarios, ShowTheirAdjustedSamplesWithoutStateOrWork) {
  struct Case {
    std::uint8_t number;
    std::vector<std::string> shown;
    std::vector<std::string> hidden;
  };
  const std::vector<Case> cases = {
      {0,
       {"Everything is ready", "Ready", "Lowest supply: 64% remaining", "Studio scanner is ready",
        "Review what printed and quickly print a retained job again."},
       {"Printing now", "Current document"}},
      {1, {"One document is active", "Printing now", "Travel itinerary.pdf", "Printing"}, {}},
      {2, {"One document is active", "Needs attention", "Paused"}, {"Printing now"}},
      {3, {"Set up your first printer"}, {"Your printers"}},
      {12,
       {"Some information needs refreshing", "Some device information couldn't be checked",
        "Wendlow couldn't get printers or documents or scanners right now. Your saved devices "
        "and documents have not been removed.",
        "No printers added", "Device help"},
       {"Scan a document", "Recent documents", "Current document"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.number));
    auto state = surface::Wendlow::new_scenario(c.number);
    EXPECT_FALSE(state.snapshot);
    EXPECT_FALSE(state.refresh_rx);
    EXPECT_FALSE(state.notice);
    EXPECT_FALSE(state.needs_idle_sync());
    for (const auto& text : c.shown) EXPECT_TRUE(shows(state, text)) << text;
    for (const auto& text : c.hidden) EXPECT_FALSE(shows(state, text)) << text;
  }
}

}  // namespace
}  // namespace wendlow::screens
