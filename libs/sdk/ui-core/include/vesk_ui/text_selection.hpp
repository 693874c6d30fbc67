#pragma once
// Copying text to the desktop clipboard through the installed clipboard backend.
#include <expected>
#include <memory>
#include <string>

#include "vesk_os/backend_switch.hpp"

namespace vesk_ui::text_selection {

class ClipboardBackend {
 public:
  virtual ~ClipboardBackend() = default;
  virtual std::expected<void, std::string> copy(const std::string& text) = 0;
};

// The clipboard switch: the host installs the real clipboard, tests a recording one.
std::shared_ptr<ClipboardBackend> install_clipboard_backend(
    std::shared_ptr<ClipboardBackend> backend);

// Installs a clipboard for the guard's life (tests); ScopedClipboard<> none(nullptr)
// installs none.
//   ScopedClipboard<RecordingClipboard> clipboard;   clipboard->copied
template <class Installed = ClipboardBackend>
using ScopedClipboard = vesk_os::ScopedBackend<ClipboardBackend, Installed>;

// Copies `text`; an error when no clipboard is available.
std::expected<void, std::string> clipboard_copy(const std::string& text);

}  // namespace vesk_ui::text_selection
