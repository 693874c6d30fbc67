#pragma once
// File picker requests. A request is sent on a named background thread to the installed
// picker backend (the host's file dialog); the answer arrives on a one-shot channel.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "vesk_os/backend_switch.hpp"
#include "vesk_os/channel.hpp"

namespace vesk_ui::portal {

struct FileFilter {
  std::string label;
  std::vector<std::string> mimetypes;

  static FileFilter create(std::string name) { return FileFilter{std::move(name), {}}; }
  FileFilter&& mimetype(std::string type) && {
    mimetypes.push_back(std::move(type));
    return std::move(*this);
  }
  bool operator==(const FileFilter&) const = default;
};

struct Chosen {
  std::filesystem::path path;
  bool operator==(const Chosen&) const = default;
};
struct Cancelled {
  bool operator==(const Cancelled&) const = default;
};
struct Failed {
  std::string message;
  bool operator==(const Failed&) const = default;
};
using PickResult = std::variant<Chosen, Cancelled, Failed>;

struct PickRequest {
  enum class Kind { Open, Save };
  Kind kind = Kind::Open;
  std::string title;
  std::string accept_label;
  std::optional<std::string> suggested_name;  // save requests
  std::vector<FileFilter> filters;
  bool include_all_files = false;
  std::string worker_name = "vesk-file-picker";

  static PickRequest open(std::string title, std::string accept_label);
  static PickRequest save(std::string title, std::string accept_label, std::string suggested_name);
  PickRequest&& filter(FileFilter value) &&;
  PickRequest&& all_files() &&;
  PickRequest&& thread_name(std::string name) &&;

  // Starts the request on a thread named `worker_name`; `waker` runs when the answer
  // arrives. Without a backend the answer is a failure.
  vesk_os::OneshotReceiver<PickResult> send(std::optional<vesk_os::Waker> waker = {}) &&;
};

// What shows the picker. `pick` runs on the request's thread and must send exactly one
// result (dropping the sender counts as a failure for the caller).
class PickerBackend {
 public:
  virtual ~PickerBackend() = default;
  virtual void pick(const PickRequest& request, vesk_os::OneshotSender<PickResult> reply) = 0;
};

// The picker switch: the host installs its dialog, tests a scripted picker. Returns the
// previous backend.
std::shared_ptr<PickerBackend> install_picker_backend(std::shared_ptr<PickerBackend> backend);

// Installs a picker for the guard's life (tests); ScopedPicker<> none(nullptr) installs none.
//   ScopedPicker<ScriptedPicker> picker;   picker->requests
template <class Installed = PickerBackend>
using ScopedPicker = vesk_os::ScopedBackend<PickerBackend, Installed>;

}  // namespace vesk_ui::portal
