#include "queue_mapping.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>

namespace os_actions::printing::detail {
namespace {

bool is_hex_color(const std::string& text) {
  return text.size() == 7 && text[0] == '#' &&
         std::all_of(text.begin() + 1, text.end(),
                     [](unsigned char c) { return std::isxdigit(c) != 0; });
}

// IPP levels: -1 unavailable, -2 unknown, -3 "some remaining"; above 100 is nonsense.
std::optional<std::uint8_t> level_from(int level) {
  if (level < 0) return std::nullopt;
  return static_cast<std::uint8_t>(std::min(level, 100));
}

// "key=value;key=value;" → map. printer-supply values are octet strings in this shape.
std::map<std::string, std::string> supply_fields(const std::string& text) {
  std::map<std::string, std::string> fields;
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    const auto item = text.substr(start, end - start);
    const auto eq = item.find('=');
    if (eq != std::string::npos) fields[item.substr(0, eq)] = item.substr(eq + 1);
    start = end + 1;
  }
  return fields;
}

std::optional<int> to_int(const std::string& text) {
  int value = 0;
  const auto* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::optional<std::string> colorant_color(const std::string& colorant) {
  static const std::map<std::string, std::string> known = {
      {"black", "#000000"},       {"cyan", "#00FFFF"},        {"magenta", "#FF00FF"},
      {"yellow", "#FFFF00"},      {"light-cyan", "#E0FFFF"},  {"light-magenta", "#FF77FF"},
      {"photo-black", "#000000"}, {"matte-black", "#000000"}, {"gray", "#808080"},
  };
  auto it = known.find(colorant);
  if (it == known.end()) return std::nullopt;
  return it->second;
}

std::vector<Supply> from_printer_supply(const SupplyAttributes& attributes) {
  std::vector<Supply> supplies;
  for (std::size_t i = 0; i < attributes.printer_supply.size(); ++i) {
    auto fields = supply_fields(attributes.printer_supply[i]);
    Supply supply;
    if (i < attributes.printer_supply_description.size() &&
        !attributes.printer_supply_description[i].empty()) {
      supply.name = attributes.printer_supply_description[i];
    } else if (!fields["colorantname"].empty() && fields["colorantname"] != "unknown") {
      supply.name = fields["colorantname"];
    } else {
      supply.name = fields["type"].empty() ? "Supply" : fields["type"];
    }
    supply.color = colorant_color(fields["colorantname"]);
    const auto level = to_int(fields["level"]);
    const auto capacity = to_int(fields["maxcapacity"]).value_or(100);
    if (level && *level >= 0 && capacity > 0) {
      supply.level = level_from(static_cast<int>(static_cast<long long>(*level) * 100 / capacity));
    }
    supplies.push_back(std::move(supply));
  }
  return supplies;
}

std::vector<std::string> without_none(const std::vector<std::string>& reasons) {
  std::vector<std::string> out;
  for (const auto& reason : reasons) {
    if (reason.empty() || reason == "none") continue;
    if (std::find(out.begin(), out.end(), reason) == out.end()) out.push_back(reason);
  }
  return out;
}

// Reasons only the scheduler knows about, kept when the printer's own answer replaces the
// scheduler's possibly stale picture of the device.
bool is_scheduler_reason(const std::string& reason) {
  return reason == "paused" || reason.rfind("cups-", 0) == 0 || reason == "hold-new-jobs";
}

}  // namespace

std::optional<std::string> supply_color(const std::string& marker_color) {
  if (marker_color.size() >= 7 && is_hex_color(marker_color.substr(0, 7))) {
    return marker_color.substr(0, 7);
  }
  return std::nullopt;
}

std::optional<std::vector<Supply>> supplies_from(const SupplyAttributes& attributes) {
  if (!attributes.marker_names.empty()) {
    std::vector<Supply> supplies;
    for (std::size_t i = 0; i < attributes.marker_names.size(); ++i) {
      Supply supply;
      supply.name = attributes.marker_names[i];
      if (i < attributes.marker_colors.size())
        supply.color = supply_color(attributes.marker_colors[i]);
      if (i < attributes.marker_levels.size())
        supply.level = level_from(attributes.marker_levels[i]);
      supplies.push_back(std::move(supply));
    }
    return supplies;
  }
  if (!attributes.printer_supply.empty()) return from_printer_supply(attributes);
  return std::nullopt;
}

bool is_ipp_device(const std::string& device_uri) {
  if (device_uri.rfind("ipp://", 0) == 0 || device_uri.rfind("ipps://", 0) == 0) return true;
  // Driverless queues made by desktop tools name the printer's DNS-SD service instead.
  return device_uri.rfind("dnssd://", 0) == 0 && device_uri.find("._ipp") != std::string::npos;
}

PrintQueue map_queue(const CupsQueueAttributes& cups, bool is_default, bool probed,
                     const std::optional<LiveStatus>& live) {
  PrintQueue queue;
  queue.name = cups.name;
  queue.is_default = is_default;
  queue.accepting = cups.accepting;
  queue.responded = live.has_value();
  if (!cups.info.empty() && cups.info != cups.name) {
    queue.info = cups.info;
  } else if (!cups.location.empty()) {
    queue.info = cups.location;
  } else if (!cups.make_and_model.empty()) {
    queue.info = cups.make_and_model;
  }

  if (live) {
    std::vector<std::string> reasons = live->state_reasons;
    for (const auto& reason : cups.state_reasons) {
      if (is_scheduler_reason(reason)) reasons.push_back(reason);
    }
    queue.state_reasons = without_none(reasons);
    queue.supplies = supplies_from(live->supplies);
    if (!queue.supplies) queue.supplies = supplies_from(cups.supplies);
  } else {
    queue.state_reasons = without_none(cups.state_reasons);
    queue.supplies = supplies_from(cups.supplies);
  }

  if (cups.state == kIppPrinterStopped) {
    queue.state = QueueState::Paused;
  } else if (probed && !live) {
    queue.state = QueueState::Unreachable;
  } else if (cups.state == kIppPrinterProcessing ||
             (live && live->state == kIppPrinterProcessing)) {
    queue.state = QueueState::Printing;
  } else {
    queue.state = QueueState::Idle;
  }
  return queue;
}

}  // namespace os_actions::printing::detail
