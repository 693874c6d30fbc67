// Shown while the device information is being fetched.
#include "screens/common.hpp"
#include "screens/screens.hpp"

namespace wendlow::screens {

namespace w = vesk_ui::widget;

WidgetBox loading() {
  return page(w::Column()
                  .push(inert_application_header("Checking printers and documents"))
                  .push(w::Card("Getting things ready")
                            .push(w::Text("Looking for printers, scanners, and unfinished "
                                          "documents."))
                            .push(w::ProgressBar::indeterminate("Loading Wendlow"))));
}

}  // namespace wendlow::screens
