#pragma once
// Launching an application: the program describes itself in one descriptor and hands it
// to `run_or_exit`, which the host implements (window, event loop, command line).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vesk_ui/persist.hpp"
#include "vesk_ui/widget.hpp"

namespace vesk_ui::launch {

// What the host tells the program at start.
struct LaunchContext {
  std::optional<std::string> scenario;  // the requested start scenario, if any
  const std::optional<std::string>& scenario_name() const { return scenario; }
};

struct WindowSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool operator==(const WindowSize&) const = default;
};

// Optional settings a scenario root may return; none are defined yet.
struct LaunchSettings {};

struct ScenarioRoot {
  widget::WidgetBox root;
  std::optional<LaunchSettings> settings;
};

struct LaunchDescriptor {
  std::string app_id;                  // reverse-domain, also the D-Bus name's base
  std::vector<std::string> scenarios;  // start scenario names offered
  std::function<widget::WidgetBox()> build_live_root;
  std::function<ScenarioRoot(const LaunchContext&)> build_scenario_root;
  std::function<WindowSize(const LaunchContext&)> window_size;
  std::function<bool()> always_true;
  persist::Opener persist_open;
  std::uint32_t flags = 0;
  // Fields the program may leave empty.
  std::vector<std::string> document_types;  // MIME types the program opens
  std::function<void()> on_exit;
};

// Runs the window until it closes and returns the process exit code. A failure to start
// (no display, bad arguments) is reported on standard error and ends the process.
int run_or_exit(LaunchDescriptor descriptor, int argc, char** argv);

}  // namespace vesk_ui::launch
