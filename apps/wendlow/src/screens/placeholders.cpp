// Screens whose content is not built yet. Each already has its real header, so the user
// can always go back to the dashboard and tests can tell the screens apart by their title.
#include "screens/common.hpp"
#include "screens/screens.hpp"
#include "status.hpp"

namespace wendlow::screens {
namespace {

WidgetBox pending(std::string title, std::string subtitle, const EventSender& events) {
  return page(vesk_ui::widget::Column().push(
      sub_screen_header(std::move(title), std::move(subtitle), events)));
}

}  // namespace

WidgetBox print_queue(const DeviceSnapshot&, const EventSender& events,
                      const std::optional<std::string>&, const std::optional<Notice>&) {
  return pending("Print queue", "Every document, in one place", events);
}
WidgetBox history(const DeviceSnapshot&, const EventSender& events) {
  return pending("Print history", "Documents retained by your print service", events);
}
WidgetBox diagnostics(const DeviceSnapshot&, const EventSender& events) {
  return pending("Device help", "Useful checks without printer jargon", events);
}
WidgetBox printer_controls(const os_actions::printing::PrintQueue& queue,
                           const EventSender& events) {
  return pending(status::display_name(queue.name), "Status, supplies, and controls", events);
}
WidgetBox discovery_searching(const EventSender& events) {
  return pending("Add a printer", "Nearby printers appear automatically", events);
}
WidgetBox discovery_result(const DiscoveryResult&, const EventSender& events) {
  return pending("Add a printer", "Nearby printers appear automatically", events);
}
WidgetBox print(const PrintScreenInput&, const EventSender& events) {
  return pending("Print a document", "Review the document and choose a printer", events);
}

}  // namespace wendlow::screens
