#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace wendlow::pdf {

// Where a page image lands on the A4 page, in points.
struct Placement {
  double width = 0;
  double height = 0;
  double x = 0;
  double y = 0;
};

// Scales a width × height pixel image uniformly to fit the 559 × 806 pt box inside an 18 pt
// margin of the 595 × 842 pt page and centres it. Both sizes must be non-zero.
Placement place_on_a4(std::uint32_t width, std::uint32_t height);

// The content stream of one page: draws image "/Im<image_index>" at `placement`, followed by
// the invisible text layer when `text` has anything besides white space.
std::string page_content(const Placement& placement, std::size_t image_index,
                         std::string_view text);

}  // namespace wendlow::pdf
