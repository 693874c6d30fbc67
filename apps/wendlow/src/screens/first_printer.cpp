// Shown before anything is known about the user's devices.
#include "screens/common.hpp"
#include "screens/screens.hpp"
#include "vesk_ui/icons.hpp"

namespace wendlow::screens {

namespace w = vesk_ui::widget;
namespace icon = vesk_ui::icon;

WidgetBox first_printer(const EventSender& events, bool snapshot_loaded) {
  // "Connection help" is the device help once there is something to check; before the
  // first picture of the devices it asks for one.
  Operation help = snapshot_loaded ? Operation{op::ShowDiagnostics{}} : Operation{op::Refresh{}};
  return page(
      w::Column()
          .push(application_header("Print and scan without digging through settings", events))
          .push(w::Card("Set up your first printer")
                    .push(w::Text("Nearby printers appear automatically", w::TextStyle::Heading))
                    .push(w::Text("Choose Find printers and we\u2019ll guide you. Drivers and "
                                  "network details stay out of the way unless you need them."))
                    .push(w::Row()
                              .wrapping()
                              .push(operation_button("Find printers", ids::kAddFirst, events,
                                                     op::FindPrinters{}, w::ButtonStyle::Primary)
                                        .with_icon(icon::kSearch))
                              .push(operation_button("Connection help", ids::kHelp, events,
                                                     std::move(help))
                                        .with_icon(icon::kHelp))))
          .push(w::Card("Already have a document?")
                    .push(w::Text("Open it and choose Print, or drop it here to preview pages "
                                  "and finishing options before anything is sent."))));
}

}  // namespace wendlow::screens
