#pragma once
// The host's own command-line options, taken out before Qt sees the arguments:
//   --scenario NAME     start on the named sample screen (also --scenario=NAME)
//   --screenshot FILE   save the first settled frame as PNG and exit (also --screenshot=FILE)
//   --dark, --light     choose the palette (default: follow the desktop)
// Everything else is passed on to Qt unchanged, in order.
#include <expected>
#include <optional>
#include <string>
#include <vector>

namespace vesk_ui_qt {

struct LaunchOptions {
  std::optional<std::string> scenario;
  std::optional<std::string> screenshot;
  std::optional<bool> dark;
  std::vector<std::string> passed_on;  // argv[0] first
};

std::expected<LaunchOptions, std::string> parse_launch_options(int argc, const char* const* argv);

}  // namespace vesk_ui_qt
