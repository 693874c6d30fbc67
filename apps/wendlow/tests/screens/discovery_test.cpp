// The discovery screen's four states.
#include <gtest/gtest.h>

#include "samples.hpp"
#include "screen_support.hpp"
#include "screens/screens.hpp"
#include "vesk_ui/controls.hpp"

namespace wendlow::screens {
namespace {

namespace w = vesk_ui::widget;
using os_actions::printing::DriverlessPrinter;
using testing::all_of_type;
using testing::Built;

Built build_result(const DiscoveryResult& result) {
  return testing::build(
      [&](const EventSender& events) { return discovery_result(result, events); });
}

const std::vector<std::string> kHeader = {"Wendlow", "Add a printer",
                                          "Nearby printers appear automatically"};

std::vector<std::string> after_header(const Built& built) {
  auto texts = built.texts();
  EXPECT_TRUE(std::equal(kHeader.begin(), kHeader.end(), texts.begin()));
  return {texts.begin() + static_cast<std::ptrdiff_t>(kHeader.size()), texts.end()};
}

TEST(Discovery, SearchingShowsAnIndeterminateBar) {
  auto built =
      testing::build([](const EventSender& events) { return discovery_searching(events); });
  EXPECT_EQ(after_header(built),
            (std::vector<std::string>{"Looking nearby", "Finding nearby printers"}));
  const auto bars = all_of_type<w::ProgressBar>(*built.view);
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_FALSE(bars[0]->fraction);
  EXPECT_EQ(bars[0]->label, "Finding nearby printers");
}

TEST(Discovery, FailedAndEmptyOfferASecondSearchBelowTheCard) {
  auto failed = build_result(std::unexpected("avahi: daemon not running"));
  EXPECT_EQ(
      after_header(failed),
      (std::vector<std::string>{"Could not search right now",
                                "Check your network connection and try again.", "Try again"}));
  EXPECT_TRUE(std::holds_alternative<op::FindPrinters>(failed.press(ids::kDiscoverRetry)));

  auto none = build_result(std::vector<DriverlessPrinter>{});
  EXPECT_EQ(after_header(none),
            (std::vector<std::string>{"No printers found",
                                      "Make sure the printer is awake and connected to the same "
                                      "network, then search again.",
                                      "Search again"}));
  const auto* retry = vesk_ui::controls::find_as<w::Button>(*none.view, ids::kDiscoverRetry);
  ASSERT_NE(retry, nullptr);
  EXPECT_EQ(retry->style, w::ButtonStyle::Secondary);
  EXPECT_TRUE(std::holds_alternative<op::FindPrinters>(none.press(ids::kDiscoverRetry)));
}

TEST(Discovery, FoundPrintersCarryTheirOwnRecord) {
  auto printers = samples::discovery();
  printers.push_back({"ipps://10.0.0.9:631/ipp/print", "Hall_printer 3", std::nullopt});
  auto built = build_result(printers);
  EXPECT_EQ(after_header(built),
            (std::vector<std::string>{"Studio printer", "Ready to add", "Upstairs workspace", "Add",
                                      "Office laser", "Ready to add", "Downstairs office", "Add",
                                      "Hall_printer 3", "Ready to add", "Nearby", "Add"}));
  // The raw name, spaces and all, follows the prefix; the press adds that very record.
  const auto added = built.press("wendlow.discover.add.Hall_printer 3");
  EXPECT_EQ(std::get<op::AddPrinter>(added).printer, printers[2]);
  EXPECT_EQ(std::get<op::AddPrinter>(built.press("wendlow.discover.add.Office laser")).printer,
            printers[1]);
  EXPECT_FALSE(built.has(ids::kDiscoverRetry));
}

}  // namespace
}  // namespace wendlow::screens
