#pragma once
// Helpers for driving the application state in tests.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "os_actions/printing/fake_backend.hpp"
#include "os_actions/printing/printing.hpp"
#include "surface.hpp"
#include "vesk_ui/controls.hpp"
#include "vesk_ui/portal.hpp"
#include "vesk_ui/text_selection.hpp"

namespace wendlow::testing {

// A fresh fake printing backend for the life of the test.
using FakeService = os_actions::printing::ScopedBackend<os_actions::printing::FakeBackend>;

// A state on a sample screen with no snapshot and no work running.
inline surface::Wendlow idle_state() {
  return surface::Wendlow::new_scenario(3);
}

// A one-shot receiver whose value has already arrived.
template <class T>
vesk_os::OneshotReceiver<T> ready(T value) {
  auto [tx, rx] = vesk_os::oneshot<T>();
  std::move(tx).send(std::move(value));
  return std::move(rx);
}

// Calls update until `done` holds (or about two seconds pass).
inline bool update_until(surface::Wendlow& state, const std::function<bool()>& done) {
  for (int i = 0; i < 1000; ++i) {
    if (done()) return true;
    if (!surface::update(state)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return done();
}

// Lets the refresh the state started (after a task's outcome, say) finish, so that no
// worker outlives the test that started it.
inline bool settle(surface::Wendlow& state) {
  return update_until(state, [&] { return !state.refresh_rx; });
}

inline bool shows_text(const surface::Wendlow& state, const std::string& text) {
  if (!state.view) return false;
  for (const auto& seen : vesk_ui::controls::all_texts(*state.view)) {
    if (seen == text) return true;
  }
  return false;
}

}  // namespace wendlow::testing
