#pragma once
// Pure rules that turn what CUPS and the printer itself report into a PrintQueue.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "os_actions/printing/records.hpp"

namespace os_actions::printing::detail {

// IPP printer-state values.
inline constexpr int kIppPrinterIdle = 3;
inline constexpr int kIppPrinterProcessing = 4;
inline constexpr int kIppPrinterStopped = 5;

// Supply attributes as either side reports them; every list may be missing, short or odd.
struct SupplyAttributes {
  std::vector<std::string> marker_names;
  std::vector<std::string> marker_colors;
  std::vector<int> marker_levels;
  std::vector<std::string> printer_supply;  // "type=toner;level=75;maxcapacity=100;…"
  std::vector<std::string> printer_supply_description;
};

// What CUPS says about one queue.
struct CupsQueueAttributes {
  std::string name;
  std::string device_uri;
  std::string info;
  std::string location;
  std::string make_and_model;
  int state = kIppPrinterIdle;
  std::vector<std::string> state_reasons;
  bool accepting = true;
  SupplyAttributes supplies;
};

// What the printer answered to a direct status check.
struct LiveStatus {
  int state = kIppPrinterIdle;
  std::vector<std::string> state_reasons;
  SupplyAttributes supplies;
};

// Supplies from marker-* lists (their count is the count of names; a missing or unknown
// level is absent) or, when there are none, from printer-supply. Absent when neither reports.
std::optional<std::vector<Supply>> supplies_from(const SupplyAttributes& attributes);

// "#RRGGBB" from a marker colour ("#00FFFF#FF00FF" takes the first); absent otherwise.
std::optional<std::string> supply_color(const std::string& marker_color);

// Whether the queue's device is a printer that can be asked directly over IPP: an ipp or
// ipps URI, or a DNS-SD service of one.
bool is_ipp_device(const std::string& device_uri);

// The queue as people see it. `probed`: the printer was asked; `live`: its answer, if any.
PrintQueue map_queue(const CupsQueueAttributes& cups, bool is_default, bool probed,
                     const std::optional<LiveStatus>& live);

}  // namespace os_actions::printing::detail
