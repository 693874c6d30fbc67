// Screens that are not built yet. Each shows only a plain text naming the screen it
// stands for, so nothing pretends to work.
#include "screens/screens.hpp"
#include "vesk_ui/widgets.hpp"

namespace wendlow::screens {
namespace {

WidgetBox placeholder(std::string name) {
  return vesk_ui::widget::Column()
      .push(vesk_ui::widget::Text(std::move(name), vesk_ui::widget::TextStyle::Heading))
      .boxed();
}

}  // namespace

WidgetBox print_queue(const DeviceSnapshot&, const EventSender&, const std::optional<std::string>&,
                      const std::optional<Notice>&) {
  return placeholder("Print queue screen");
}
WidgetBox history(const DeviceSnapshot&, const EventSender&) {
  return placeholder("History screen");
}
WidgetBox diagnostics(const DeviceSnapshot&, const EventSender&) {
  return placeholder("Diagnostics screen");
}
WidgetBox printer_controls(const os_actions::printing::PrintQueue&, const EventSender&) {
  return placeholder("Printer controls screen");
}
WidgetBox discovery_searching(const EventSender&) {
  return placeholder("Discovery screen");
}
WidgetBox discovery_result(const DiscoveryResult&, const EventSender&) {
  return placeholder("Discovery screen");
}
WidgetBox print(const PrintScreenInput&, const EventSender&) {
  return placeholder("Print screen");
}
WidgetBox scan(const ScanScreenInput& input, const EventSender&) {
  return placeholder(input.current_page ? "Scan result screen" : "Scan setup screen");
}

}  // namespace wendlow::screens
