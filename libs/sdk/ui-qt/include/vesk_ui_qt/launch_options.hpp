#pragma once
// The host's own command-line options, taken out before Qt sees the arguments:
//   --scenario NAME     start on the named sample screen (also --scenario=NAME)
//   --screenshot FILE   save the first settled frame as PNG and exit (also --screenshot=FILE)
//   --dark, --light     choose the palette (default: follow the desktop)
//   FILE...             files to open (also file:// URIs; everything after "--" is a file)
// Everything else is passed on to Qt unchanged, in order, with the value of Qt's own
// options that take one ("-platform offscreen").
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk_ui_qt {

struct LaunchOptions {
  std::optional<std::string> scenario;
  std::optional<std::string> screenshot;
  std::optional<bool> dark;
  std::vector<std::string> files;      // absolute paths, in order
  std::vector<std::string> passed_on;  // argv[0] first
};

// Relative file names are made absolute against `working_directory` (the current one when
// empty).
std::expected<LaunchOptions, std::string> parse_launch_options(
    int argc, const char* const* argv, const std::string& working_directory = {});

// A file argument or URI as an absolute local path; nullopt for a URI that names no local
// file.
std::optional<std::string> local_file(std::string_view argument,
                                      const std::string& working_directory);

}  // namespace vesk_ui_qt
