#include "vesk_ui_qt/launch_options.hpp"

#include <QUrl>
#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>

namespace vesk_ui_qt {

namespace {

// Qt's own options whose value is the next argument.
constexpr std::array<std::string_view, 16> kQtOptionsWithValue = {
    "-platform",      "-platformpluginpath",
    "-platformtheme", "-plugin",
    "-style",         "-stylesheet",
    "-session",       "-display",
    "-geometry",      "-title",
    "-name",          "-qwindowgeometry",
    "-qwindowtitle",  "-qwindowicon",
    "-qmljsdebugger", "-fontengine"};

}  // namespace

std::optional<std::string> local_file(std::string_view argument,
                                      const std::string& working_directory) {
  std::filesystem::path path;
  if (argument.starts_with("file:")) {
    const QUrl url(QString::fromUtf8(argument.data(), static_cast<qsizetype>(argument.size())));
    if (!url.isValid() || !url.isLocalFile()) return std::nullopt;
    path = url.toLocalFile().toStdString();
  } else if (argument.find("://") != std::string_view::npos) {
    return std::nullopt;  // a remote URI: nothing on this machine to print
  } else {
    path = std::string(argument);
  }
  if (path.is_relative()) {
    std::error_code error;
    const std::filesystem::path base = working_directory.empty()
                                           ? std::filesystem::current_path(error)
                                           : std::filesystem::path(working_directory);
    path = base / path;
  }
  return path.lexically_normal().string();
}

std::expected<LaunchOptions, std::string> parse_launch_options(
    int argc, const char* const* argv, const std::string& working_directory) {
  LaunchOptions options;
  if (argc > 0 && argv[0]) options.passed_on.emplace_back(argv[0]);
  bool only_files = false;
  for (int index = 1; index < argc; ++index) {
    const std::string_view argument = argv[index] ? argv[index] : "";
    if (only_files || (!argument.empty() && !argument.starts_with('-'))) {
      if (auto file = local_file(argument, working_directory)) options.files.push_back(*file);
      continue;
    }
    if (argument == "--") {
      only_files = true;
      continue;
    }
    // Qt takes its options with one dash or two.
    const std::string_view qt_name = argument.starts_with("--") ? argument.substr(1) : argument;
    if (std::ranges::find(kQtOptionsWithValue, qt_name) != kQtOptionsWithValue.end()) {
      options.passed_on.emplace_back(argument);
      if (index + 1 < argc && argv[index + 1]) options.passed_on.emplace_back(argv[++index]);
      continue;
    }
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
