// Shown before anything is known about the user's devices.
#include "screens/common.hpp"
#include "screens/screens.hpp"
#include "vesk_ui/icons.hpp"

namespace wendlow::screens {

namespace w = vesk_ui::widget;
namespace icon = vesk_ui::icon;

WidgetBox first_printer() {
  // None of these buttons carries an operation: this screen only introduces the app.
  return page(
      w::Column()
          .push(inert_application_header("Print and scan without digging through settings"))
          .push(
              w::Card("Set up your first printer")
                  .push(w::Text("Nearby printers appear automatically", w::TextStyle::Heading))
                  .push(w::Text("Choose Find printers and we\u2019ll guide you. Drivers and "
                                "network details stay out of the way unless you need them."))
                  .push(
                      w::Row()
                          .spacing(kMetrics.unit)
                          .push(
                              inert_button("Find printers", ids::kAddFirst, w::ButtonStyle::Primary)
                                  .with_icon(icon::kSearch))
                          .push(inert_button("Connection help", ids::kHelp).with_icon(icon::kHelp))
                          .push(w::Spacer())))
          .push(w::Card("Already have a document?")
                    .push(w::Text("Open it and choose Print, or drop it here to preview pages "
                                  "and finishing options before anything is sent."))));
}

}  // namespace wendlow::screens
