#include "status.hpp"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include "vesk_os/utf8.hpp"

namespace wendlow::status {
namespace {

bool is_ascii_space(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Length in bytes of a non-ASCII Unicode white space character (NEL, no-break space, the
// typographic spaces, line and paragraph separators, ideographic space) starting at `at`,
// or 0. Printer names come from the network, so these do turn up.
std::size_t unicode_space_length(std::string_view text, std::size_t at) {
  auto byte = [&](std::size_t i) -> unsigned char {
    return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0;
  };
  const unsigned char b0 = byte(0);
  if (b0 == 0xC2 && (byte(1) == 0x85 || byte(1) == 0xA0)) return 2;  // U+0085, U+00A0
  if (b0 == 0xE1 && byte(1) == 0x9A && byte(2) == 0x80) return 3;    // U+1680
  if (b0 == 0xE2 && byte(1) == 0x80) {
    const unsigned char b2 = byte(2);
    if ((b2 >= 0x80 && b2 <= 0x8A) || b2 == 0xA8 || b2 == 0xA9 || b2 == 0xAF) return 3;
  }
  if (b0 == 0xE2 && byte(1) == 0x81 && byte(2) == 0x9F) return 3;  // U+205F
  if (b0 == 0xE3 && byte(1) == 0x80 && byte(2) == 0x80) return 3;  // U+3000
  return 0;
}

std::string percent_remaining(unsigned level) {
  return std::to_string(level) + "% remaining";
}

}  // namespace

std::string display_name(std::string_view name) {
  std::string shown;
  shown.reserve(name.size());
  bool pending_space = false;
  std::size_t i = 0;
  while (i < name.size()) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c == '_' || c == '-' || is_ascii_space(c)) {
      pending_space = true;
      ++i;
      continue;
    }
    if (const std::size_t n = unicode_space_length(name, i); n > 0) {
      pending_space = true;
      i += n;
      continue;
    }
    if (pending_space && !shown.empty()) shown.push_back(' ');
    pending_space = false;
    shown.push_back(name[i]);
    ++i;
  }
  return shown;
}

std::string document_name(const PrintJob& job) {
  if (!job.title.empty()) return job.title;
  const auto dash = job.id.rfind('-');
  return "Document " + (dash == std::string::npos ? job.id : job.id.substr(dash + 1));
}

std::string printer_state_label(const PrintQueue& queue) {
  switch (queue.state) {
    case QueueState::Idle:
      return queue.accepting ? "Ready" : "Not accepting new documents";
    case QueueState::Printing:
      return "Printing";
    case QueueState::Paused:
      return "Paused";
    case QueueState::Unreachable:
      break;
  }
  // A state value the service should never send is treated as an unreachable printer.
  return "Cannot reach this printer";
}

std::string availability_line(const PrintQueue& queue) {
  return queue.is_default ? "Preferred printer" : "Available to your apps";
}

std::string printer_choice_label(const PrintQueue& queue) {
  return display_name(queue.name) + " (" + printer_state_label(queue) + ")";
}

std::optional<std::string> chosen_file_label(const std::filesystem::path& path) {
  std::string name = path.filename().string();
  if (name.empty() || !vesk_os::utf8::is_valid(name)) return std::nullopt;
  return name;
}

bool offers_resume(const PrintQueue& queue) {
  return !queue.accepting || queue.state == QueueState::Paused;
}

std::string printer_response_line(const PrintQueue& queue) {
  return queue.responded
             ? "The printer answered the latest status check."
             : "Live details are unavailable. The printer may be asleep or disconnected.";
}

std::string enabled_control_label(const PrintQueue& queue) {
  return offers_resume(queue) ? "Resume printer" : "Pause printer";
}

std::string counted(std::size_t count, std::string_view singular, std::string_view plural) {
  std::string text = std::to_string(count);
  text += ' ';
  text += count == 1 ? singular : plural;
  return text;
}

std::string printers_responded_line(const std::vector<PrintQueue>& queues) {
  const auto responded = std::ranges::count_if(queues, &PrintQueue::responded);
  return std::to_string(responded) + " of " + counted(queues.size(), "printer", "printers") +
         " responded";
}

std::string supply_reporting_line(const std::vector<PrintQueue>& queues) {
  const auto reporting = std::ranges::count_if(
      queues, [](const PrintQueue& queue) { return queue.supplies && !queue.supplies->empty(); });
  return counted(static_cast<std::size_t>(reporting), "printer", "printers") +
         " report ink or toner levels";
}

std::string scanners_available_line(std::size_t count) {
  return counted(count, "scanner", "scanners") + " available";
}

bool is_active(JobState state) {
  return std::to_underlying(state) <= std::to_underlying(JobState::Stopped);
}

bool is_finished(JobState state) {
  const auto value = std::to_underlying(state);
  return value >= std::to_underlying(JobState::Canceled) &&
         value <= std::to_underlying(JobState::Completed);
}

std::optional<std::string> document_state_label(const PrintJob& job, DocumentView view) {
  // Other is a state the service does not classify; it reads exactly like Printing.
  switch (view) {
    case DocumentView::Queue:
      switch (job.state) {
        case JobState::Waiting:
          return "Waiting";
        case JobState::Stopped:
          return "Needs attention";
        case JobState::Canceled:
          return "Canceled";
        case JobState::Aborted:
          return "Could not print";
        case JobState::Completed:
          return "Printed";
        case JobState::Other:
        case JobState::Printing:
          break;
      }
      return "In progress";
    case DocumentView::Dashboard:
      switch (job.state) {
        case JobState::Other:
        case JobState::Printing:
          return "Printing now";
        case JobState::Waiting:
          return "Waiting to print";
        case JobState::Stopped:
          return "Needs attention";
        case JobState::Canceled:
        case JobState::Aborted:
        case JobState::Completed:
          break;
      }
      return std::nullopt;
    case DocumentView::History:
      switch (job.state) {
        case JobState::Canceled:
          return "Canceled";
        case JobState::Aborted:
          return "Did not print";
        case JobState::Completed:
          return "Printed";
        case JobState::Other:
        case JobState::Waiting:
        case JobState::Printing:
        case JobState::Stopped:
          break;
      }
      return std::nullopt;
  }
  return std::nullopt;
}

std::string page_count_text(const PrintJob& job) {
  if (!job.pages_total) return "Page count unavailable";
  const std::uint32_t n = *job.pages_total;
  return std::to_string(n) + (n == 1 ? " page" : " pages");
}

PagePosition current_page_and_total(const PrintJob& job) {
  const std::uint32_t total = std::max<std::uint32_t>(job.pages_total.value_or(0), 1);
  std::uint32_t current = 1;
  if (job.pages_done) {
    const std::uint32_t done = *job.pages_done;
    current = done == std::numeric_limits<std::uint32_t>::max() ? done : done + 1;
  }
  return {.current = std::min(current, total), .total = total};
}

double document_progress(const PrintJob& job) {
  const auto percent = job.progress_percent();
  if (!percent) return 0.0;
  return std::min<double>(*percent, 100.0) / 100.0;
}

PagePosition finished_page_and_total(const PrintJob& job) {
  const std::uint32_t total = std::max<std::uint32_t>(job.pages_total.value_or(0), 1);
  return {.current = total, .total = total};
}

std::string history_line(const PrintJob& job) {
  return page_count_text(job) + ", sent to " + display_name(job.printer) + ", " + job.submitted;
}

SupplyMeter supply_meter(std::string label, std::uint8_t level, std::optional<std::string> color) {
  const unsigned shown = std::min<unsigned>(level, 100);
  SupplyMeter meter;
  meter.value = percent_remaining(shown);
  meter.text = label + ": " + meter.value;
  meter.accessible_name = label + " level";
  meter.fraction = shown / 100.0;
  meter.label = std::move(label);
  meter.color = std::move(color);
  return meter;
}

std::optional<std::uint8_t> lowest_supply(const PrintQueue& queue) {
  if (!queue.supplies) return std::nullopt;
  std::optional<std::uint8_t> lowest;
  for (const Supply& supply : *queue.supplies) {
    if (supply.level && (!lowest || *supply.level < *lowest)) lowest = supply.level;
  }
  return lowest;
}

std::optional<SupplyMeter> lowest_supply_meter(const PrintQueue& queue) {
  const auto level = lowest_supply(queue);
  if (!level) return std::nullopt;
  return supply_meter(std::string(kLowestSupplyLabel), *level);
}

std::vector<SupplyMeter> controls_supply_meters(const PrintQueue& queue) {
  std::vector<SupplyMeter> meters;
  if (!queue.supplies) return meters;
  meters.reserve(queue.supplies->size());
  for (const Supply& supply : *queue.supplies) {
    meters.push_back(supply_meter(supply.name, supply.level.value_or(0), supply.color));
  }
  return meters;
}

std::vector<SupplyMeter> diagnostics_supply_meters(const PrintQueue& queue) {
  std::vector<SupplyMeter> meters;
  if (!queue.supplies) return meters;
  const std::size_t count = std::min(queue.supplies->size(), kDiagnosticsSupplyLimit);
  for (std::size_t i = 0; i < count; ++i) {
    const Supply& supply = (*queue.supplies)[i];
    if (supply.level) meters.push_back(supply_meter(supply.name, *supply.level, supply.color));
  }
  return meters;
}

std::string reason_guidance(std::string_view reason) {
  struct Rule {
    std::array<std::string_view, 2> keywords;
    std::string_view guidance;
  };
  // Tried in this order; a reason holding keywords of two rows gets the earlier row.
  static constexpr std::array<Rule, 6> kRules{{
      {{"media-empty", "out-of-paper"}, "Add paper to continue."},
      {{"jam", "jam"}, "Clear the paper jam, then resume the printer."},
      {{"cover-open", "door-open"}, "Close the printer cover."},
      {{"toner-low", "marker-supply-low"},
       "A supply is running low; printing can usually continue for now."},
      {{"toner-empty", "marker-supply-empty"}, "Replace the empty supply to continue."},
      {{"offline", "not-connected"}, "Check that the printer is awake and connected."},
  }};

  // Only ASCII letters are lower-cased; other bytes, including UTF-8 sequences, stay as sent.
  std::string lowered(reason);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  for (const Rule& rule : kRules) {
    for (std::string_view keyword : rule.keywords) {
      if (lowered.find(keyword) != std::string::npos) return std::string(rule.guidance);
    }
  }
  return "The printer reported a condition that may need attention.";
}

std::vector<std::string> reason_guidance_lines(const PrintQueue& queue) {
  std::vector<std::string> lines;
  const std::size_t count = std::min(queue.state_reasons.size(), kGuidanceReasonLimit);
  lines.reserve(count);
  for (std::size_t i = 0; i < count; ++i) lines.push_back(reason_guidance(queue.state_reasons[i]));
  return lines;
}

std::string discovered_location(const os_actions::printing::DriverlessPrinter& printer) {
  // An empty location says as little as none at all.
  if (!printer.location ||
      printer.location->find_first_not_of(" \t\n\v\f\r") == std::string::npos) {
    return "Nearby";
  }
  return *printer.location;
}

std::size_t active_document_count(const std::vector<PrintJob>& jobs) {
  return static_cast<std::size_t>(
      std::count_if(jobs.begin(), jobs.end(), [](const PrintJob& job) { return is_active(job); }));
}

std::string dashboard_summary(const std::expected<std::vector<PrintQueue>, std::string>& queues,
                              const std::expected<std::vector<PrintJob>, std::string>& jobs,
                              const std::expected<std::vector<Scanner>, std::string>& scanners) {
  if (!queues || !jobs || !scanners) return "Some information needs refreshing";
  const std::size_t active = active_document_count(*jobs);
  if (active == 0) return "Everything is ready";
  if (active == 1) return "One document is active";
  return std::to_string(active) + " documents are active";
}

}  // namespace wendlow::status
