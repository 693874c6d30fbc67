#pragma once
// Start-up: the launch descriptor, start scenario names and window sizes.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "vesk_ui/launch.hpp"

namespace wendlow::launch {

inline constexpr std::string_view kAppId = "io.github.wendlow.wendlow";
inline constexpr std::uint32_t kFlags = 0x01010001;

// A start scenario: its name, the sample screen it shows and whether its window is narrow.
struct Scenario {
  std::string_view name;
  std::uint8_t number;
  bool narrow;
};

// Every start scenario, in the order they are offered.
inline constexpr std::array<Scenario, 16> kScenarios = {{
    {"active", 1, false},
    {"attention", 2, false},
    {"empty", 3, false},
    {"narrow", 0, true},
    {"queue", 4, false},
    {"device", 5, false},
    {"discovery", 6, false},
    {"print", 7, false},
    {"print-narrow", 7, true},
    {"scan", 8, false},
    {"scan-result", 9, false},
    {"scan-result-narrow", 9, true},
    {"history", 10, false},
    {"diagnostics", 11, false},
    {"service-error", 12, false},
    {"service-error-narrow", 12, true},
}};

// The sample screen a start scenario name selects, 0..12; no name or an unknown one is 0.
std::uint8_t scenario_number(const std::optional<std::string>& name);
vesk_ui::launch::WindowSize window_size(const std::optional<std::string>& name);

vesk_ui::launch::LaunchDescriptor descriptor();

}  // namespace wendlow::launch
