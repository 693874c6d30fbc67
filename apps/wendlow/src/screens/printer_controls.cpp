// One printer: its state, its supplies and what a person can do with it.
#include "screens/common.hpp"
#include "screens/screens.hpp"
#include "status.hpp"
#include "vesk_ui/icons.hpp"

namespace wendlow::screens {

namespace w = vesk_ui::widget;
namespace icon = vesk_ui::icon;
using os_actions::printing::PrintQueue;

namespace {

WidgetBox status_card(const PrintQueue& queue) {
  return w::Card()
      .push(w::Row()
                .spacing(kMetrics.card_gap)
                .push(w::IconWidget(icon::kPrinter, 48))
                .push(w::Column()
                          .spacing(kMetrics.unit / 2)
                          .push(w::Text(status::printer_state_label(queue), w::TextStyle::Heading))
                          .push(w::Text(status::availability_line(queue), w::TextStyle::Caption))))
      .boxed();
}

WidgetBox supplies_card(const PrintQueue& queue) {
  w::Card card("Ink and toner");
  const auto meters = status::controls_supply_meters(queue);
  if (meters.empty()) {
    card.push(w::Text(std::string(status::kNoSupplyLevelsText)));
  }
  for (const auto& meter : meters) card.push(supply_meter(meter));
  return std::move(card).boxed();
}

WidgetBox controls_card(const PrintQueue& queue, const EventSender& events) {
  const bool resume = status::offers_resume(queue);
  w::Row buttons;
  buttons.gap = kMetrics.unit;
  buttons.wraps = true;  // four buttons do not fit one line of the narrow window
  buttons.push(operation_button(status::enabled_control_label(queue), ids::kDeviceEnabled, events,
                                op::SetPrinterEnabled{queue.name, resume}, w::ButtonStyle::Plain)
                   .with_icon(resume ? icon::kResume : icon::kPause));
  if (!queue.is_default) {
    buttons.push(operation_button("Make preferred", ids::kDeviceDefault, events,
                                  op::SetDefaultPrinter{queue.name}, w::ButtonStyle::Plain)
                     .with_icon(icon::kStar));
  }
  buttons.push(operation_button("View print queue", ids::kDeviceQueue, events, op::ShowQueue{},
                                w::ButtonStyle::Plain)
                   .with_icon(icon::kQueue));
  buttons.push(operation_button("Check printer", ids::kDeviceDiagnostics, events,
                                op::ShowDiagnostics{}, w::ButtonStyle::Plain)
                   .with_icon(icon::kHelp));
  return w::Card("Printer controls").push(std::move(buttons)).boxed();
}

}  // namespace

WidgetBox printer_controls(const PrintQueue& queue, const EventSender& events) {
  return page(w::Column()
                  .push(sub_screen_header(status::display_name(queue.name),
                                          "Status, supplies, and controls", events))
                  .push(status_card(queue))
                  .push(supplies_card(queue))
                  .push(controls_card(queue, events)));
}

}  // namespace wendlow::screens
