#include "vesk_ui/text_selection.hpp"

#include <utility>

namespace vesk_ui::text_selection {

std::shared_ptr<ClipboardBackend> install_clipboard_backend(
    std::shared_ptr<ClipboardBackend> backend) {
  return vesk_os::process_backend_switch<ClipboardBackend>().install(std::move(backend));
}

std::expected<void, std::string> clipboard_copy(const std::string& text) {
  auto backend = vesk_os::process_backend_switch<ClipboardBackend>().current();
  if (!backend) return std::unexpected("no clipboard available");
  return backend->copy(text);
}

}  // namespace vesk_ui::text_selection
