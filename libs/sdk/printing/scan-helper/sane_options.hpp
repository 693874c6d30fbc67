#pragma once
// Sets resolution, colour mode and paper source on an open SANE device, by option name and
// by the option's own type and constraint.
#include <sane/sane.h>

#include <expected>
#include <string>
#include <vector>

namespace os_actions::printing::detail {

std::expected<void, std::string> apply_scan_options(SANE_Handle handle, int resolution, int color,
                                                    int source);

// The entry of `choices` that fits a colour mode (0 colour, 1 grey, 2 line art); empty
// when the device has none for it.
std::string pick_mode(const std::vector<std::string>& choices, int color);
// The entry of `choices` that fits a paper source (0 flatbed, 1 feeder, 2 two-sided).
std::string pick_source(const std::vector<std::string>& choices, int source);

}  // namespace os_actions::printing::detail
