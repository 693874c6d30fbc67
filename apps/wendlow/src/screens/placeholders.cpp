// Screens whose content is not built yet. Each already has its real header, so the user
// can always go back to the dashboard and tests can tell the screens apart by their title.
#include "screens/common.hpp"
#include "screens/screens.hpp"

namespace wendlow::screens {
namespace {

WidgetBox pending(std::string title, std::string subtitle, const EventSender& events) {
  return page(vesk_ui::widget::Column().push(
      sub_screen_header(std::move(title), std::move(subtitle), events)));
}

}  // namespace

WidgetBox scan(const ScanScreenInput& input, const EventSender& events) {
  if (input.current_page) {
    return pending("Scanned document", "Review the page before saving it", events);
  }
  return pending("Scan a document", "Choose the scanner and how this page should look", events);
}

}  // namespace wendlow::screens
