#include "vesk_ui/text_selection.hpp"

#include <mutex>
#include <utility>

namespace vesk_ui::text_selection {
namespace {

struct ClipboardSwitch {
  std::mutex mutex;
  std::shared_ptr<ClipboardBackend> backend;
};

ClipboardSwitch& clipboard_switch() {
  static ClipboardSwitch instance;
  return instance;
}

}  // namespace

std::shared_ptr<ClipboardBackend> install_clipboard_backend(
    std::shared_ptr<ClipboardBackend> backend) {
  auto& sw = clipboard_switch();
  std::lock_guard lock(sw.mutex);
  return std::exchange(sw.backend, std::move(backend));
}

std::expected<void, std::string> clipboard_copy(const std::string& text) {
  std::shared_ptr<ClipboardBackend> backend;
  {
    auto& sw = clipboard_switch();
    std::lock_guard lock(sw.mutex);
    backend = sw.backend;
  }
  if (!backend) return std::unexpected("no clipboard available");
  return backend->copy(text);
}

}  // namespace vesk_ui::text_selection
