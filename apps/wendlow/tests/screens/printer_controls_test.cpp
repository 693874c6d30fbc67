// One printer's controls: state, every supply, and the buttons in their order.
#include <gtest/gtest.h>

#include "samples.hpp"
#include "screen_support.hpp"
#include "screens/screens.hpp"
#include "vesk_ui/controls.hpp"

namespace wendlow::screens {
namespace {

namespace w = vesk_ui::widget;
using os_actions::printing::PrintQueue;
using os_actions::printing::QueueState;
using testing::all_of_type;
using testing::Built;

PrintQueue sample_queue() {
  return samples::snapshot().queues->front();
}

Built build_controls(const PrintQueue& queue) {
  return testing::build([&](const EventSender& events) { return printer_controls(queue, events); });
}

std::vector<std::string> button_ids(const Built& built) {
  std::vector<std::string> ids;
  for (const auto* button : all_of_type<w::Button>(*built.view)) ids.push_back(*button->id);
  return ids;
}

TEST(PrinterControls, SampleQueueReadsInOrder) {
  auto built = build_controls(sample_queue());
  const std::vector<std::string> expected = {"Wendlow",
                                             "Studio printer",
                                             "Status, supplies, and controls",
                                             "Printing",
                                             "Preferred printer",
                                             "Ink and toner",
                                             "Black: 72% remaining",
                                             "Black level",
                                             "Colour: 64% remaining",
                                             "Colour level",
                                             "Printer controls",
                                             "Pause printer",
                                             "View print queue",
                                             "Check printer"};
  EXPECT_EQ(built.texts(), expected);
  const auto bars = all_of_type<w::ProgressBar>(*built.view);
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_EQ(bars[1]->label, "Colour level");
  EXPECT_DOUBLE_EQ(*bars[1]->fraction, 0.64);
  const auto pause = std::get<op::SetPrinterEnabled>(built.press(ids::kDeviceEnabled));
  EXPECT_EQ(pause.queue, "Studio_printer");
  EXPECT_FALSE(pause.enabled);
  EXPECT_TRUE(std::holds_alternative<op::ShowQueue>(built.press(ids::kDeviceQueue)));
  EXPECT_TRUE(std::holds_alternative<op::ShowDiagnostics>(built.press(ids::kDeviceDiagnostics)));
}

TEST(PrinterControls, ResumeWhenRefusingOrPausedAndMakePreferredWhenNot) {
  PrintQueue queue = sample_queue();
  queue.name = "Hall_printer-2";
  queue.is_default = false;
  queue.accepting = false;
  queue.state = QueueState::Idle;
  auto refusing = build_controls(queue);
  EXPECT_EQ(refusing.title(), "Hall printer 2");
  EXPECT_TRUE(refusing.shows("Not accepting new documents"));
  EXPECT_TRUE(refusing.shows("Available to your apps"));
  EXPECT_EQ(
      button_ids(refusing),
      (std::vector<std::string>{std::string(ids::kBack), std::string(ids::kDeviceEnabled),
                                std::string(ids::kDeviceDefault), std::string(ids::kDeviceQueue),
                                std::string(ids::kDeviceDiagnostics)}));
  const auto resume = std::get<op::SetPrinterEnabled>(refusing.press(ids::kDeviceEnabled));
  EXPECT_EQ(resume.queue, "Hall_printer-2");
  EXPECT_TRUE(resume.enabled);
  EXPECT_EQ(std::get<op::SetDefaultPrinter>(refusing.press(ids::kDeviceDefault)).queue,
            "Hall_printer-2");

  // Paused but still accepting (what the scheduler does with a paused queue).
  queue.accepting = true;
  queue.state = QueueState::Paused;
  auto paused = build_controls(queue);
  EXPECT_TRUE(paused.shows("Resume printer"));
  EXPECT_EQ(std::get<op::SetPrinterEnabled>(paused.press(ids::kDeviceEnabled)).enabled, true);
}

TEST(PrinterControls, UnreportedLevelsShowZeroAndNoListSaysSo) {
  PrintQueue queue = sample_queue();
  queue.supplies->push_back({"Cyan", "#00ffff", std::nullopt});
  auto built = build_controls(queue);
  EXPECT_TRUE(built.shows("Cyan: 0% remaining"));
  EXPECT_EQ(all_of_type<w::ProgressBar>(*built.view).size(), 3u);

  for (auto supplies : {std::optional<std::vector<os_actions::printing::Supply>>{},
                        std::optional(std::vector<os_actions::printing::Supply>{})}) {
    queue.supplies = supplies;
    auto none = build_controls(queue);
    EXPECT_TRUE(none.shows("This printer does not report supply levels."));
    EXPECT_TRUE(all_of_type<w::ProgressBar>(*none.view).empty());
  }
}

}  // namespace
}  // namespace wendlow::screens
