// Device help: every check at once, in plain language.
#include <vector>

#include "screens/common.hpp"
#include "screens/screens.hpp"
#include "status.hpp"
#include "vesk_ui/icons.hpp"

namespace wendlow::screens {

namespace w = vesk_ui::widget;
namespace icon = vesk_ui::icon;
using os_actions::printing::PrintQueue;

namespace {

w::Button check_again(const EventSender& events) {
  return operation_button("Check again", ids::kDiagnosticsRefresh, events, op::Refresh{})
      .with_icon(icon::kRefresh);
}

WidgetBox connection_card(const DeviceSnapshot& snapshot, const EventSender& events) {
  const std::vector<PrintQueue> printers(listed(snapshot.queues).begin(),
                                         listed(snapshot.queues).end());
  w::Card card("Connection check");
  card.push(w::Text(status::printers_responded_line(printers)));
  card.push(w::Text(status::supply_reporting_line(printers)));
  card.push(w::Text(status::scanners_available_line(listed(snapshot.scanners).size())));
  if (auto banner = service_problem_banner(failed_areas(snapshot, true, false, true), events)) {
    card.push(std::move(banner));
  }
  return std::move(card).with_action(check_again(events)).boxed();
}

WidgetBox printer_card(const PrintQueue& queue, const EventSender& events) {
  w::Card card(status::display_name(queue.name));
  card.push(w::Text(status::printer_state_label(queue)));
  card.push(w::Text(status::printer_response_line(queue), w::TextStyle::Caption));
  for (auto& line : status::reason_guidance_lines(queue)) {
    card.push(w::Row()
                  .spacing(kMetrics.unit)
                  .aligned(w::Alignment::Start)
                  .push(w::IconWidget(icon::kInfo, 16))
                  .push(w::Text(std::move(line))));
  }
  for (const auto& meter : status::diagnostics_supply_meters(queue)) {
    card.push(supply_meter(meter));
  }
  return std::move(card)
      .with_action(operation_button("Open printer controls", ids::kDiagnosticsDevice, events,
                                    op::OpenPrinter{queue.name}, w::ButtonStyle::Plain)
                       .with_icon(icon::kSettings))
      .boxed();
}

WidgetBox scanner_card(const DeviceSnapshot& snapshot, const EventSender& events) {
  if (!listed(snapshot.scanners).empty()) {
    return w::Card("Scanner")
        .push(w::Text("Your scanner is available for a new document."))
        .with_action(
            operation_button("Start scanning", ids::kDiagnosticsScan, events, op::StartScanning{})
                .with_icon(icon::kScanner))
        .boxed();
  }
  return w::Card("Scanner")
      .push(w::Text("No scanner was found. Check its cable or network connection, then refresh."))
      .with_action(check_again(events))
      .boxed();
}

}  // namespace

WidgetBox diagnostics(const DeviceSnapshot& snapshot, const EventSender& events) {
  w::Column content;
  content.push(sub_screen_header("Device help", "Useful checks without printer jargon", events));
  content.push(connection_card(snapshot, events));
  for (const auto& queue : listed(snapshot.queues)) content.push(printer_card(queue, events));
  content.push(scanner_card(snapshot, events));
  return page(std::move(content));
}

}  // namespace wendlow::screens
