#pragma once
// Records of the printing and scanning service: what the print system reports about
// queues, documents (jobs), scanners and driverless network printers.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace os_actions::printing {

enum class QueueState : std::uint8_t { Idle, Printing, Paused, Unreachable };

// In this order; the numeric values are stable.
enum class JobState : std::uint8_t {
  Other,
  Waiting,
  Printing,
  Stopped,
  Canceled,
  Aborted,
  Completed
};

struct Supply {
  std::string name;                   // "Black"
  std::optional<std::string> color;   // "#111111"
  std::optional<std::uint8_t> level;  // percent, 0..100

  bool operator==(const Supply&) const = default;
};

struct PrintQueue {
  std::string name;  // the queue name used in every call and control id
  std::vector<std::string> state_reasons;
  std::optional<std::vector<Supply>> supplies;  // absent: the printer reports none
  bool responded = false;                       // the printer answered the latest check
  std::optional<std::string> info;              // free text (location, model), may be absent
  bool is_default = false;
  bool accepting = true;
  QueueState state = QueueState::Idle;

  bool operator==(const PrintQueue&) const = default;
};

struct PrintJob {
  std::string id;         // queue name, "-", job number
  std::string submitted;  // display text: "today 14:05"
  std::string printer;    // queue name
  std::string user;       // owner
  std::vector<std::string> state_reasons;
  std::string title;  // document name; may be empty
  std::optional<std::uint32_t> pages_done;
  std::optional<std::uint32_t> pages_total;
  std::uint64_t size = 0;  // bytes
  JobState state = JobState::Other;

  // Pages done of pages total as a whole percentage, 0..100; absent when either count is
  // unknown or the total is zero.
  std::optional<std::uint8_t> progress_percent() const;

  bool operator==(const PrintJob&) const = default;
};

struct Scanner {
  std::string id;  // passed to scan_page
  std::string name;

  bool operator==(const Scanner&) const = default;
};

struct DriverlessPrinter {
  std::string uri;  // ipps://host:port/path
  std::string name;
  std::optional<std::string> location;

  bool operator==(const DriverlessPrinter&) const = default;
};

// Colour modes and paper sources of ScanSettings.
inline constexpr std::uint8_t kScanColor = 0;
inline constexpr std::uint8_t kScanGrayscale = 1;
inline constexpr std::uint8_t kScanText = 2;
inline constexpr std::uint8_t kScanFlatbed = 0;
inline constexpr std::uint8_t kScanFeeder = 1;
inline constexpr std::uint8_t kScanTwoSided = 2;

struct ScanSettings {
  std::uint16_t resolution = 300;  // dots per inch
  std::uint8_t color_mode = kScanColor;
  std::uint8_t source = kScanFlatbed;

  bool operator==(const ScanSettings&) const = default;
};

}  // namespace os_actions::printing
