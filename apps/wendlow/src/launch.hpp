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

inline constexpr std::array<std::string_view, 16> kScenarioNames = {
    "active",       "attention",   "empty",         "narrow",
    "queue",        "device",      "discovery",     "print",
    "print-narrow", "scan",        "scan-result",   "scan-result-narrow",
    "history",      "diagnostics", "service-error", "service-error-narrow"};

// The sample screen a start scenario name selects, 0..12; no name or an unknown one is 0.
std::uint8_t scenario_number(const std::optional<std::string>& name);
vesk_ui::launch::WindowSize window_size(const std::optional<std::string>& name);

vesk_ui::launch::LaunchDescriptor descriptor();

}  // namespace wendlow::launch
