// Adding a printer: the search for driverless printers nearby and its four states.
#include "screens/common.hpp"
#include "screens/screens.hpp"
#include "status.hpp"
#include "vesk_ui/icons.hpp"

namespace wendlow::screens {

namespace w = vesk_ui::widget;
namespace icon = vesk_ui::icon;
using os_actions::printing::DriverlessPrinter;

namespace {

w::Column discovery_page(const EventSender& events) {
  return std::move(w::Column().push(
      sub_screen_header("Add a printer", "Nearby printers appear automatically", events)));
}

WidgetBox found_card(const DriverlessPrinter& printer, const EventSender& events) {
  return w::Card(printer.name)
      .push(w::Row()
                .spacing(kMetrics.unit * 3 / 2)
                .push(w::IconWidget(icon::kPrinter))
                .push(w::Column()
                          .spacing(kMetrics.unit / 2)
                          .push(w::Text("Ready to add"))
                          .push(w::Text(status::discovered_location(printer),
                                        w::TextStyle::Caption))))
      .with_action(operation_button("Add", std::string(ids::kDiscoverAddPrefix) + printer.name,
                                    events, op::AddPrinter{printer})
                       .with_icon(icon::kAdd))
      .boxed();
}

// A card that says why nothing is listed, and the button that searches again below it.
w::Column nothing_listed(w::Column content, std::string title, std::string text, std::string retry,
                         const EventSender& events) {
  return std::move(content)
      .push(w::Card(std::move(title)).push(w::Text(std::move(text))))
      .push(operation_button(std::move(retry), ids::kDiscoverRetry, events, op::FindPrinters{})
                .with_icon(icon::kSearch));
}

}  // namespace

WidgetBox discovery_searching(const EventSender& events) {
  return page(discovery_page(events).push(
      w::Card("Looking nearby").push(w::ProgressBar::indeterminate("Finding nearby printers"))));
}

WidgetBox discovery_result(const DiscoveryResult& result, const EventSender& events) {
  auto content = discovery_page(events);
  if (!result) {
    // The service's error text stays out of sight: it would not help anyone here.
    return page(nothing_listed(std::move(content), "Could not search right now",
                               "Check your network connection and try again.", "Try again",
                               events));
  }
  if (result->empty()) {
    return page(nothing_listed(
        std::move(content), "No printers found",
        "Make sure the printer is awake and connected to the same network, then search again.",
        "Search again", events));
  }
  for (const auto& printer : *result) content.push(found_card(printer, events));
  return page(std::move(content));
}

}  // namespace wendlow::screens
