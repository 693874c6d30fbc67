#include "sane_client.hpp"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "bounded_command/run.hpp"
#include "child_process.hpp"
#include "scan_frames.hpp"

namespace os_actions::printing::detail {
namespace {

using namespace std::chrono_literals;

constexpr const char* kHelperName = "os-printing-scan-helper";

// Next to the running program; else the build's own (a build tree never runs an older
// installed helper); else where it is installed, below the prefix the program runs from
// (<prefix>/bin/program -> <prefix>/libexec/...).
std::string helper_path() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    auto beside = self.parent_path() / kHelperName;
    if (::access(beside.c_str(), X_OK) == 0) return beside.string();
  }
#ifdef OS_PRINTING_SCAN_HELPER
  if (::access(OS_PRINTING_SCAN_HELPER, X_OK) == 0) return OS_PRINTING_SCAN_HELPER;
#endif
#ifdef OS_PRINTING_INSTALLED_SCAN_HELPER
  if (!error) {
    auto installed = self.parent_path().parent_path() / OS_PRINTING_INSTALLED_SCAN_HELPER;
    if (::access(installed.c_str(), X_OK) == 0) return installed.string();
  }
#endif
  return kHelperName;
}

std::string helper_error(const ChildOutput& output, const std::string& fallback) {
  // The helper's own message is its last line marked "scan-helper: "; without one, the last
  // line of whatever else was said (a backend's own words).
  constexpr std::string_view kPrefix = "scan-helper: ";
  std::string marked, last;
  std::string_view rest = output.err;
  while (!rest.empty()) {
    const auto end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.starts_with(kPrefix)) {
      marked = line.substr(kPrefix.size());
    } else if (!line.empty()) {
      last = line;
    }
  }
  const std::string& text = marked.empty() ? last : marked;
  if (output.signal != 0)
    return fallback + ": scan helper ended by signal " + std::to_string(output.signal);
  return text.empty() ? fallback : text;
}

}  // namespace

std::vector<Scanner> parse_scanner_list(const std::string& text) {
  std::vector<Scanner> scanners;
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const auto line = text.substr(start, end - start);
    const auto tab = line.find('\t');
    if (tab != std::string::npos && tab > 0) {
      Scanner scanner{line.substr(0, tab), line.substr(tab + 1)};
      if (scanner.name.find_first_not_of(' ') == std::string::npos) scanner.name = scanner.id;
      scanners.push_back(std::move(scanner));
    }
    start = end + 1;
  }
  return scanners;
}

std::expected<std::vector<Scanner>, std::string> judge_list_answer(const ChildOutput& output) {
  const std::string text(output.out.begin(), output.out.end());
  const std::string end_line = std::string(kScannerListEnd) + "\n";
  const bool complete = text == end_line || (text.ends_with(end_line) &&
                                             text[text.size() - end_line.size() - 1] == '\n');
  if (!complete) return std::unexpected(helper_error(output, "could not list scanners"));
  return parse_scanner_list(text);
}

std::expected<std::vector<std::uint8_t>, std::string> judge_scan_answer(ChildOutput output) {
  // A PNG starts with its signature and ends with the empty IEND chunk.
  static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  static constexpr std::uint8_t kEnd[] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  const auto& png = output.out;
  const bool complete = png.size() >= sizeof kSignature + sizeof kEnd &&
                        std::equal(std::begin(kSignature), std::end(kSignature), png.begin()) &&
                        std::equal(std::begin(kEnd), std::end(kEnd), png.end() - sizeof kEnd);
  if (!complete) return std::unexpected(helper_error(output, "scan failed"));
  return std::move(output.out);
}

std::expected<std::vector<Scanner>, std::string> sane_scanners() {
  // Backends wait out their network probes one after another: 3.4 s on a default
  // configuration, up to 5.3 s where mDNS answers as well. The listing runs ahead of the
  // refresh that shows it (scanner_list.hpp), so a generous bound costs refreshes nothing.
  auto output = run_child({helper_path(), "list"}, {15000ms, 1 << 20, 64 << 10});
  if (!output) return std::unexpected("could not list scanners: " + output.error());
  return judge_list_answer(*output);
}

std::expected<std::vector<std::uint8_t>, std::string> sane_scan_page(const std::string& scanner_id,
                                                                     const ScanSettings& settings) {
  if (scanner_id.empty()) return std::unexpected("no scanner given");
  auto output = run_child({helper_path(), "scan", scanner_id, std::to_string(settings.resolution),
                           std::to_string(settings.color_mode), std::to_string(settings.source)},
                          {180000ms, std::size_t{1} << 30, 64 << 10});
  if (!output) return std::unexpected("scan failed: " + output.error());
  return judge_scan_answer(std::move(*output));
}

std::expected<std::size_t, std::string> take_stack_records(std::span<const std::uint8_t> output,
                                                           const SheetListener& listener) {
  std::size_t taken = 0;
  while (taken < output.size()) {
    const std::uint8_t kind = output[taken];
    if (kind == kSheetStartedRecord) {
      ++taken;
      if (listener.sheet_started) listener.sheet_started();
      continue;
    }
    if (kind != kPageRecord)
      return std::unexpected(std::string("scan helper wrote an unknown record"));
    if (output.size() - taken < kPageRecordHead) break;
    std::uint64_t length = 0;
    for (std::size_t i = 1; i < kPageRecordHead; ++i) length = length << 8 | output[taken + i];
    if (length > output.size() - taken - kPageRecordHead) break;
    const auto page = output.subspan(taken + kPageRecordHead, static_cast<std::size_t>(length));
    taken += kPageRecordHead + page.size();
    if (listener.page) listener.page(std::vector<std::uint8_t>(page.begin(), page.end()));
  }
  return taken;
}

std::expected<void, std::string> sane_scan_stack(const std::string& scanner_id,
                                                 const ScanSettings& settings,
                                                 const SheetListener& listener) {
  if (scanner_id.empty()) return std::unexpected("no scanner given");
  bounded_command::PreparedCommand command{
      helper_path(),
      {"scan-stack", scanner_id, std::to_string(settings.resolution),
       std::to_string(settings.color_mode), std::to_string(settings.source)},
      {}};
  std::string record_error;
  bool any_page = false;
  const SheetListener counting{listener.sheet_started, [&](std::vector<std::uint8_t> page) {
                                 any_page = true;
                                 if (listener.page) listener.page(std::move(page));
                               }};
  // Every sheet gets the single scan's time; a page held in the pipe is at most what one
  // sheet may be.
  auto finished = bounded_command::run_prepared_with_limits(
      command, {}, std::size_t{1} << 30, 64 << 10, std::chrono::milliseconds(180000),
      [&](std::span<const std::uint8_t> output) -> std::size_t {
        if (!record_error.empty()) return 0;
        auto taken = take_stack_records(output, counting);
        if (!taken) {
          record_error = taken.error();
          return 0;
        }
        return *taken;
      });
  if (!finished) return std::unexpected("scan failed: the scan helper did not finish");
  ChildOutput output;
  output.exit_code = finished->status.code.value_or(0);
  output.signal = finished->status.signal.value_or(0);
  output.err.assign(finished->standard_error.begin(), finished->standard_error.end());
  if (output.signal != 0 || output.exit_code != 0) {
    return std::unexpected(helper_error(output, "scan failed"));
  }
  if (!record_error.empty()) return std::unexpected("scan failed: " + record_error);
  if (!finished->standard_output.empty()) {
    return std::unexpected(std::string("scan failed: the last sheet was cut short"));
  }
  if (!any_page) return std::unexpected(std::string("scan failed: no sheet was scanned"));
  return {};
}

}  // namespace os_actions::printing::detail
