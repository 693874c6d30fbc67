#include "launch.hpp"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "surface.hpp"

namespace wendlow::launch {

namespace {

const Scenario* find_scenario(const std::optional<std::string>& name) {
  if (!name) return nullptr;
  auto found = std::ranges::find(kScenarios, std::string_view(*name), &Scenario::name);
  return found != kScenarios.end() ? &*found : nullptr;
}

}  // namespace

std::uint8_t scenario_number(const std::optional<std::string>& name) {
  const Scenario* scenario = find_scenario(name);
  return scenario ? scenario->number : 0;
}

vesk_ui::launch::WindowSize window_size(const std::optional<std::string>& name) {
  const Scenario* scenario = find_scenario(name);
  if (scenario && scenario->narrow) return {520, 820};
  return {1280, 800};
}

vesk_ui::launch::LaunchDescriptor descriptor() {
  vesk_ui::launch::LaunchDescriptor d;
  d.app_id = std::string(kAppId);
  for (const Scenario& scenario : kScenarios) d.scenarios.emplace_back(scenario.name);
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
