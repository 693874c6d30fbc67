// Shown while the device information is being fetched.
#include "screens/common.hpp"
#include "screens/screens.hpp"

namespace wendlow::screens {

namespace w = vesk_ui::widget;

WidgetBox loading(const EventSender& events) {
  // The header's buttons act as on the dashboard: a search or a picker started now simply
  // outlives the loading, and the refresh that ends it shows the dashboard as always.
  return page(w::Column()
                  .push(application_header("Checking printers and documents", events))
                  .push(w::Card("Getting things ready")
                            .push(w::Text("Looking for printers, scanners, and unfinished "
                                          "documents."))
                            .push(w::ProgressBar::indeterminate("Loading Wendlow"))));
}

}  // namespace wendlow::screens
