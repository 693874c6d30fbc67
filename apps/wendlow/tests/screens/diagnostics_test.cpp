// Device help: the connection check with its counts, one card per printer, the scanner.
#include <gtest/gtest.h>

#include "samples.hpp"
#include "screen_support.hpp"
#include "screens/screens.hpp"
#include "vesk_ui/controls.hpp"

namespace wendlow::screens {
namespace {

namespace w = vesk_ui::widget;
namespace controls = vesk_ui::controls;
using os_actions::printing::PrintQueue;
using os_actions::printing::QueueState;
using os_actions::printing::Supply;
using testing::all_of_type;
using testing::Built;

Built build_diagnostics(const DeviceSnapshot& snapshot) {
  return testing::build([&](const EventSender& events) { return diagnostics(snapshot, events); });
}

TEST(Diagnostics, SampleSnapshotReadsInOrder) {
  auto built = build_diagnostics(samples::snapshot());
  const std::vector<std::string> expected = {"Wendlow",
                                             "Device help",
                                             "Useful checks without printer jargon",
                                             "Connection check",
                                             "1 of 1 printer responded",
                                             "1 printer report ink or toner levels",
                                             "1 scanner available",
                                             "Check again",
                                             "Studio printer",
                                             "Printing",
                                             "The printer answered the latest status check.",
                                             "Black: 72% remaining",
                                             "Black level",
                                             "Colour: 64% remaining",
                                             "Colour level",
                                             "Open printer controls",
                                             "Scanner",
                                             "Your scanner is available for a new document.",
                                             "Start scanning"};
  EXPECT_EQ(built.texts(), expected);
  EXPECT_TRUE(std::holds_alternative<op::Refresh>(built.press(ids::kDiagnosticsRefresh)));
  EXPECT_TRUE(std::holds_alternative<op::StartScanning>(built.press(ids::kDiagnosticsScan)));
  EXPECT_EQ(std::get<op::OpenPrinter>(built.press(ids::kDiagnosticsDevice)).queue,
            "Studio_printer");
}

TEST(Diagnostics, SilentPrinterReasonsAndSupplyRules) {
  DeviceSnapshot snapshot = samples::snapshot();
  PrintQueue second = snapshot.queues->front();
  second.name = "Hall_printer";
  second.responded = false;
  second.is_default = false;
  second.state = QueueState::Unreachable;
  second.state_reasons = {"toner-low", "media-jam", "cover-open", "offline"};
  second.supplies = std::vector<Supply>{{"Black", {}, std::nullopt},
                                        {"C", {}, 1},
                                        {"M", {}, 2},
                                        {"Y", {}, 3},
                                        {"K", {}, 4},
                                        {"Lc", {}, 5},
                                        {"Lm", {}, 6}};
  snapshot.queues->push_back(second);
  snapshot.scanners = std::vector<os_actions::printing::Scanner>{};
  auto built = build_diagnostics(snapshot);
  EXPECT_TRUE(built.shows("1 of 2 printers responded"));
  EXPECT_TRUE(built.shows("2 printers report ink or toner levels"));
  EXPECT_TRUE(built.shows("0 scanners available"));
  EXPECT_TRUE(
      built.shows("Live details are unavailable. The printer may be asleep or disconnected."));
  EXPECT_TRUE(built.shows("A supply is running low; printing can usually continue for now."));
  EXPECT_TRUE(built.shows("Clear the paper jam, then resume the printer."));
  EXPECT_TRUE(built.shows("Close the printer cover."));
  EXPECT_FALSE(built.shows("Check that the printer is awake and connected.")) << "fourth reason";
  // First six supplies, reported ones only: C, M, Y, K, Lc; not Black (unreported), not Lm.
  EXPECT_TRUE(built.shows("Lc: 5% remaining"));
  EXPECT_FALSE(built.shows("Lm: 6% remaining"));
  EXPECT_FALSE(built.shows("Black: 0% remaining"));
  EXPECT_EQ(all_of_type<w::ProgressBar>(*built.view).size(), 2u + 5u);

  // One "Open printer controls" per printer, each naming its own queue.
  const auto opens = controls::find_all(*built.view, ids::kDiagnosticsDevice);
  ASSERT_EQ(opens.size(), 2u);
  dynamic_cast<const w::Button*>(opens[1])->action();
  EXPECT_EQ(std::get<op::OpenPrinter>(*built.rx.try_recv()).queue, "Hall_printer");
  // Without a scanner its card offers another check.
  EXPECT_TRUE(
      built.shows("No scanner was found. Check its cable or network connection, then refresh."));
  EXPECT_EQ(controls::find_all(*built.view, ids::kDiagnosticsRefresh).size(), 2u);
  EXPECT_EQ(controls::find(*built.view, ids::kDiagnosticsScan), nullptr);
}

TEST(Diagnostics, FailedAreasShowTheirBannerInsideTheConnectionCard) {
  DeviceSnapshot snapshot = samples::snapshot();
  snapshot.queues = std::unexpected("no scheduler");
  snapshot.scanners = std::unexpected("no scanner helper");
  snapshot.jobs = std::unexpected("not this screen's business");
  auto built = build_diagnostics(snapshot);
  const auto cards = all_of_type<w::Card>(*built.view);
  ASSERT_EQ(cards.size(), 2u) << "no printer cards";
  EXPECT_EQ(cards[0]->title, "Connection check");
  const auto banners = all_of_type<w::Banner>(*cards[0]);
  ASSERT_EQ(banners.size(), 1u);
  EXPECT_EQ(banners[0]->title, "Some device information couldn't be checked");
  EXPECT_EQ(banners[0]->body,
            "Wendlow couldn't get printers or scanners right now. Your saved devices and "
            "documents have not been removed.");
  EXPECT_TRUE(built.shows("0 of 0 printers responded"));
  EXPECT_TRUE(built.shows("0 scanners available"));
  EXPECT_TRUE(
      built.shows("No scanner was found. Check its cable or network connection, then refresh."));
}

}  // namespace
}  // namespace wendlow::screens
