#include "vesk_ui_qt/launch_options.hpp"

#include <string_view>

namespace vesk_ui_qt {

std::expected<LaunchOptions, std::string> parse_launch_options(int argc, const char* const* argv) {
  LaunchOptions options;
  if (argc > 0 && argv[0]) options.passed_on.emplace_back(argv[0]);
  for (int index = 1; index < argc; ++index) {
    const std::string_view argument = argv[index] ? argv[index] : "";
    // Both "--name value" and "--name=value".
    auto value_of = [&](std::string_view name,
                        std::optional<std::string>& into) -> std::expected<bool, std::string> {
      if (argument == name) {
        if (index + 1 >= argc || !argv[index + 1]) {
          return std::unexpected("option " + std::string(name) + " needs a value");
        }
        into = argv[++index];
        return true;
      }
      if (argument.size() > name.size() && argument.starts_with(name) &&
          argument[name.size()] == '=') {
        into = std::string(argument.substr(name.size() + 1));
        return true;
      }
      return false;
    };
    auto scenario = value_of("--scenario", options.scenario);
    if (!scenario) return std::unexpected(scenario.error());
    if (*scenario) continue;
    auto screenshot = value_of("--screenshot", options.screenshot);
    if (!screenshot) return std::unexpected(screenshot.error());
    if (*screenshot) {
      if (options.screenshot->empty())
        return std::unexpected("option --screenshot needs a file name");
      continue;
    }
    if (argument == "--dark" || argument == "--light") {
      options.dark = argument == "--dark";
      continue;
    }
    options.passed_on.emplace_back(argument);
  }
  return options;
}

}  // namespace vesk_ui_qt
