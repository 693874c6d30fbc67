#pragma once
#include <expected>
#include <string>
#include <vector>

#include "os_actions/printing/records.hpp"

namespace wendlow {

template <class T>
using AreaResult = std::expected<std::vector<T>, std::string>;

// One refresh result: each area is a list or the error text of its service call, so a
// failure in one area never hides the others.
struct DeviceSnapshot {
  AreaResult<os_actions::printing::PrintQueue> queues;
  AreaResult<os_actions::printing::PrintJob> jobs;
  AreaResult<os_actions::printing::Scanner> scanners;

  bool operator==(const DeviceSnapshot&) const = default;
};

}  // namespace wendlow
