// The loading and first-printer screens and what their buttons do.
#include <gtest/gtest.h>

#include "screen_support.hpp"
#include "screens/screens.hpp"
#include "vesk_ui/controls.hpp"

namespace wendlow::screens {
namespace {

namespace w = vesk_ui::widget;
using testing::all_of_type;

TEST(LoadingScreen, HeaderButtonsActAsOnTheDashboardAndTheBarIsIndeterminate) {
  auto built = testing::build([](const EventSender& events) { return loading(events); });
  const std::vector<std::string> expected = {"Wendlow",
                                             "Checking printers and documents",
                                             "Add printer",
                                             "Print a document",
                                             "Getting things ready",
                                             "Looking for printers, scanners, and unfinished "
                                             "documents.",
                                             "Loading Wendlow"};
  EXPECT_EQ(built.texts(), expected);
  EXPECT_TRUE(std::holds_alternative<op::FindPrinters>(built.press(ids::kAdd)));
  EXPECT_TRUE(std::holds_alternative<op::ChooseDocument>(built.press(ids::kPrint)));
  const auto bars = all_of_type<w::ProgressBar>(*built.view);
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_FALSE(bars[0]->fraction);
}

TEST(FirstPrinterScreen, TwoCardsAndEveryButtonLeadsSomewhere) {
  auto built =
      testing::build([](const EventSender& events) { return first_printer(events, false); });
  const std::vector<std::string> expected = {
      "Wendlow",
      "Print and scan without digging through settings",
      "Add printer",
      "Print a document",
      "Set up your first printer",
      "Nearby printers appear automatically",
      "Choose Find printers and we\u2019ll guide you. Drivers and network details stay out of "
      "the way unless you need them.",
      "Find printers",
      "Connection help",
      "Already have a document?",
      "Open it and choose Print, or drop it here to preview pages and finishing options before "
      "anything is sent."};
  EXPECT_EQ(built.texts(), expected);
  EXPECT_TRUE(std::holds_alternative<op::FindPrinters>(built.press(ids::kAdd)));
  EXPECT_TRUE(std::holds_alternative<op::ChooseDocument>(built.press(ids::kPrint)));
  EXPECT_TRUE(std::holds_alternative<op::FindPrinters>(built.press(ids::kAddFirst)));
  EXPECT_TRUE(std::holds_alternative<op::Refresh>(built.press(ids::kHelp)));

  auto loaded =
      testing::build([](const EventSender& events) { return first_printer(events, true); });
  EXPECT_TRUE(std::holds_alternative<op::ShowDiagnostics>(loaded.press(ids::kHelp)));
}

}  // namespace
}  // namespace wendlow::screens
