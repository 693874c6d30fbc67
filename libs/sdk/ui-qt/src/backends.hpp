#pragma once
// The desktop backends of the toolkit: the file picker as a Qt file dialog and the
// clipboard as QClipboard.
#include <memory>

#include "vesk_ui/portal.hpp"
#include "vesk_ui/text_selection.hpp"

namespace vesk_ui_qt {

std::shared_ptr<vesk_ui::portal::PickerBackend> make_dialog_picker();
std::shared_ptr<vesk_ui::text_selection::ClipboardBackend> make_qt_clipboard();

// Installs both for its lifetime and puts the previous ones back afterwards.
class DesktopBackends {
 public:
  DesktopBackends();
  ~DesktopBackends();
  DesktopBackends(const DesktopBackends&) = delete;
  DesktopBackends& operator=(const DesktopBackends&) = delete;

 private:
  std::shared_ptr<vesk_ui::portal::PickerBackend> previous_picker_;
  std::shared_ptr<vesk_ui::text_selection::ClipboardBackend> previous_clipboard_;
};

}  // namespace vesk_ui_qt
