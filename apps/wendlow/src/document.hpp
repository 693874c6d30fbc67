#pragma once
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

namespace wendlow {

// The preview of the document chosen for printing.
namespace preview {
struct Preparing {
  bool operator==(const Preparing&) const = default;
};
struct Ready {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::shared_ptr<const std::vector<std::uint8_t>> pixels;  // RGBA8
  bool operator==(const Ready&) const = default;
};
struct Unavailable {
  bool operator==(const Unavailable&) const = default;
};
}  // namespace preview

using DocumentPreview = std::variant<preview::Preparing, preview::Ready, preview::Unavailable>;

}  // namespace wendlow
