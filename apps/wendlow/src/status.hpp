#pragma once
// Plain-language status rules: pure functions that turn the printing service's records into
// the words the screens show. Nothing here calls the service or keeps state.
#include <cstddef>
#include <cstdint>
#include <expected>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os_actions/printing/records.hpp"

namespace wendlow::status {

using os_actions::printing::JobState;
using os_actions::printing::PrintJob;
using os_actions::printing::PrintQueue;
using os_actions::printing::QueueState;
using os_actions::printing::Scanner;
using os_actions::printing::Supply;

// ---- Printers -------------------------------------------------------------------------------

// How every printer name is shown: "_" and "-" become spaces, white space runs collapse to
// one space and the ends are trimmed. "Hall_printer-2" -> "Hall printer 2". Control ids and
// service calls keep the raw name.
std::string display_name(std::string_view name);

// "Ready", "Not accepting new documents", "Printing", "Paused" or "Cannot reach this printer".
std::string printer_state_label(const PrintQueue& queue);

// "Preferred printer" or "Available to your apps".
std::string availability_line(const PrintQueue& queue);

// One entry of the print screen's printer list: "{display name} ({state label})".
std::string printer_choice_label(const PrintQueue& queue);

// Whether the printer's control offers "Resume printer" rather than "Pause printer": the
// queue refuses new documents, or it is paused (a paused queue may still accept them).
bool offers_resume(const PrintQueue& queue);

// Whether the printer answered its latest status check, in words.
std::string printer_response_line(const PrintQueue& queue);

// The label of the printer controls' pause or resume button.
std::string enabled_control_label(const PrintQueue& queue);

// ---- Counts in words ------------------------------------------------------------------------

// "{count} {noun}" with the singular noun for exactly one and the plural otherwise.
std::string counted(std::size_t count, std::string_view singular, std::string_view plural);

// "{responded} of {total} printer(s) responded"; the noun follows the total.
std::string printers_responded_line(const std::vector<PrintQueue>& queues);

// "{count} printer(s) report ink or toner levels": printers with at least one supply.
std::string supply_reporting_line(const std::vector<PrintQueue>& queues);

// "{count} scanner(s) available".
std::string scanners_available_line(std::size_t count);

// ---- Documents ------------------------------------------------------------------------------

// How a document is named: its title, or "Document {n}" with n the part of the job id after
// its last "-" (the whole id when it has none). "Hall_printer-7" -> "Document 7".
std::string document_name(const PrintJob& job);

// The name a chosen file goes by: its file name when the path has one that is valid UTF-8
// text; otherwise nothing, and the caller says "Selected document" or "Document".
std::optional<std::string> chosen_file_label(const std::filesystem::path& path);

// Active documents are still in the queue (Other, Waiting, Printing, Stopped); finished ones
// are Canceled, Aborted or Completed.
bool is_active(JobState state);
bool is_finished(JobState state);
inline bool is_active(const PrintJob& job) {
  return is_active(job.state);
}
inline bool is_finished(const PrintJob& job) {
  return is_finished(job.state);
}

// The three screens that name a document's state use different words.
enum class DocumentView : std::uint8_t { Queue, Dashboard, History };

// The document's state label for `view`; absent where that view does not list the document
// (finished documents on the dashboard, active ones in the history).
std::optional<std::string> document_state_label(const PrintJob& job, DocumentView view);

// "1 page", "12 pages", or "Page count unavailable".
std::string page_count_text(const PrintJob& job);

struct PagePosition {
  std::uint32_t current = 1;
  std::uint32_t total = 1;

  bool operator==(const PagePosition&) const = default;
};

// The page being printed and the page total, both at least 1 and current <= total.
PagePosition current_page_and_total(const PrintJob& job);

// The progress bar's fill, 0..1; 0 when the service gives no percentage.
double document_progress(const PrintJob& job);

// A finished document stands at its last page: both counts are the page total, at least 1.
PagePosition finished_page_and_total(const PrintJob& job);

// The history's line under the state: "{pages}, sent to {printer}, {submitted}".
std::string history_line(const PrintJob& job);

// ---- Supplies -------------------------------------------------------------------------------

inline constexpr std::string_view kLowestSupplyLabel = "Lowest supply";
inline constexpr std::string_view kSupplyLevelsUnavailableText = "Supply levels unavailable";
inline constexpr std::string_view kNoSupplyLevelsText =
    "This printer does not report supply levels.";
// Diagnostics look at no more than this many supplies per printer.
inline constexpr std::size_t kDiagnosticsSupplyLimit = 6;

// One level meter: a text line, then a level bar.
struct SupplyMeter {
  std::string label;                 // "Black" or "Lowest supply"
  std::string value;                 // "72% remaining"
  std::string text;                  // "Black: 72% remaining"
  std::string accessible_name;       // "Black level", the bar's name
  double fraction = 0.0;             // the bar's fill, level / 100
  std::optional<std::string> color;  // the supply's own colour when it reports one

  bool operator==(const SupplyMeter&) const = default;
};

// A meter for `level` percent. Levels above 100 are shown as 100 so the bar never overflows.
SupplyMeter supply_meter(std::string label, std::uint8_t level,
                         std::optional<std::string> color = std::nullopt);

// The smallest reported level among the queue's supplies; absent when the queue reports no
// supplies or none with a level.
std::optional<std::uint8_t> lowest_supply(const PrintQueue& queue);

// The printer card's meter, labelled "Lowest supply"; absent means the card shows
// kSupplyLevelsUnavailableText instead.
std::optional<SupplyMeter> lowest_supply_meter(const PrintQueue& queue);

// The printer controls' meters: every supply in service order, an unreported level as 0.
// Empty means the screen shows kNoSupplyLevelsText instead.
std::vector<SupplyMeter> controls_supply_meters(const PrintQueue& queue);

// The diagnostics meters: of the first six supplies, those that report a level.
std::vector<SupplyMeter> diagnostics_supply_meters(const PrintQueue& queue);

// ---- State reasons --------------------------------------------------------------------------

inline constexpr std::size_t kGuidanceReasonLimit = 3;

// Guidance for one state reason. The reason is lower-cased (ASCII letters only) and the
// keywords are tried in a fixed order; the first one found anywhere in it decides.
std::string reason_guidance(std::string_view reason);

// One guidance line for each of the queue's first three state reasons, in order.
std::vector<std::string> reason_guidance_lines(const PrintQueue& queue);

// ---- Discovery ------------------------------------------------------------------------------

// Where a discovered printer is: its reported location, or "Nearby" without one.
std::string discovered_location(const os_actions::printing::DriverlessPrinter& printer);

// ---- Dashboard ------------------------------------------------------------------------------

std::size_t active_document_count(const std::vector<PrintJob>& jobs);

// The line under the dashboard title: "Some information needs refreshing" when any area
// failed, otherwise by the number of active documents.
std::string dashboard_summary(const std::expected<std::vector<PrintQueue>, std::string>& queues,
                              const std::expected<std::vector<PrintJob>, std::string>& jobs,
                              const std::expected<std::vector<Scanner>, std::string>& scanners);

}  // namespace wendlow::status
