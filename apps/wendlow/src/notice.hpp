#pragma once
#include <string>

namespace wendlow {

// The one outcome message the state holds; screens show it as a banner.
struct Notice {
  std::string title;
  std::string detail;
  bool success = false;

  bool operator==(const Notice&) const = default;
};

}  // namespace wendlow
