#include "launch.hpp"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "surface.hpp"

namespace wendlow::launch {

std::uint8_t scenario_number(const std::optional<std::string>& name) {
  if (!name) return 0;
  static constexpr std::array<std::pair<std::string_view, std::uint8_t>, 15> kNumbers = {{
      {"active", 1},
      {"attention", 2},
      {"empty", 3},
      {"queue", 4},
      {"device", 5},
      {"discovery", 6},
      {"print", 7},
      {"print-narrow", 7},
      {"scan", 8},
      {"scan-result", 9},
      {"scan-result-narrow", 9},
      {"history", 10},
      {"diagnostics", 11},
      {"service-error", 12},
      {"service-error-narrow", 12},
  }};
  for (const auto& [candidate, number] : kNumbers) {
    if (*name == candidate) return number;
  }
  return 0;
}

vesk_ui::launch::WindowSize window_size(const std::optional<std::string>& name) {
  static constexpr std::array<std::string_view, 4> kNarrow = {
      "narrow", "print-narrow", "scan-result-narrow", "service-error-narrow"};
  if (name && std::ranges::find(kNarrow, *name) != kNarrow.end()) return {520, 820};
  return {1280, 800};
}

vesk_ui::launch::LaunchDescriptor descriptor() {
  vesk_ui::launch::LaunchDescriptor d;
  d.app_id = std::string(kAppId);
  d.scenarios.assign(kScenarioNames.begin(), kScenarioNames.end());
  d.build_live_root = [] {
    return std::make_unique<surface::Wendlow>(surface::Wendlow::new_live());
  };
  d.build_scenario_root = [](const vesk_ui::launch::LaunchContext& context) {
    const std::uint8_t number = scenario_number(context.scenario_name());
    return vesk_ui::launch::ScenarioRoot{
        std::make_unique<surface::Wendlow>(surface::Wendlow::new_scenario(number)), std::nullopt};
  };
  d.window_size = [](const vesk_ui::launch::LaunchContext& context) {
    return window_size(context.scenario_name());
  };
  d.always_true = [] { return true; };
  d.persist_open = vesk_ui::persist::open;
  d.flags = kFlags;
  return d;
}

}  // namespace wendlow::launch
