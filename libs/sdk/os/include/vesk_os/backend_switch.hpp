#pragma once
// Backend switches: the program runs on its real backend (a print service, the desktop's
// file dialog, its clipboard) and tests install doubles in its place.
#include <memory>
#include <mutex>
#include <utility>

#include "vesk_os/never_destroyed.hpp"

namespace vesk_os {

// One backend slot. Installing and reading are thread-safe.
template <class Backend>
class BackendSwitch {
 public:
  // Installs `backend` (empty: none) and returns the one it replaced.
  std::shared_ptr<Backend> install(std::shared_ptr<Backend> backend) {
    std::lock_guard lock(mutex_);
    return std::exchange(backend_, std::move(backend));
  }

  // The installed backend, empty when none is.
  std::shared_ptr<Backend> current() const {
    std::lock_guard lock(mutex_);
    return backend_;
  }

  // The installed backend; when none is, the one `make()` returns is installed first.
  template <class Make>
  std::shared_ptr<Backend> current_or_install(Make&& make) {
    std::lock_guard lock(mutex_);
    if (!backend_) backend_ = std::forward<Make>(make)();
    return backend_;
  }

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<Backend> backend_;
};

// The process-wide switch for `Backend`. Detached workers read it until the very end of
// the process, so it is never destroyed (and the installed backend stays alive with it).
template <class Backend>
BackendSwitch<Backend>& process_backend_switch() {
  static NeverDestroyed<BackendSwitch<Backend>> instance;
  return instance.get();
}

// Installs a backend on the process-wide switch for the guard's life, then puts back the
// one it replaced. `Installed` is the concrete type, which the guard gives access to:
//   ScopedBackend<PickerBackend, ScriptedPicker> picker;   picker->seen_title
template <class Backend, class Installed = Backend>
class ScopedBackend {
 public:
  explicit ScopedBackend(std::shared_ptr<Installed> backend = std::make_shared<Installed>())
      : installed_(std::move(backend)),
        previous_(process_backend_switch<Backend>().install(installed_)) {}
  ~ScopedBackend() { process_backend_switch<Backend>().install(std::move(previous_)); }
  ScopedBackend(const ScopedBackend&) = delete;
  ScopedBackend& operator=(const ScopedBackend&) = delete;

  Installed& operator*() const { return *installed_; }
  Installed* operator->() const { return installed_.get(); }
  const std::shared_ptr<Installed>& get() const { return installed_; }

 private:
  std::shared_ptr<Installed> installed_;
  std::shared_ptr<Backend> previous_;
};

}  // namespace vesk_os
