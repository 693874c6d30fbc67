#include "scanning/page_list.hpp"

#include <algorithm>
#include <utility>

namespace wendlow::scanning {

std::size_t previous_index(std::size_t index) {
  return index > 0 ? index - 1 : 0;
}

std::size_t next_index(std::size_t index, std::size_t count) {
  return index + 1 < count ? index + 1 : index;
}

std::size_t move_earlier(std::vector<ScannedPage>& pages, std::size_t index) {
  if (index == 0 || index >= pages.size()) return index;
  std::swap(pages[index - 1], pages[index]);
  return index - 1;
}

std::size_t move_later(std::vector<ScannedPage>& pages, std::size_t index) {
  if (index + 1 >= pages.size()) return index;
  std::swap(pages[index], pages[index + 1]);
  return index + 1;
}

std::size_t delete_page(std::vector<ScannedPage>& pages, std::size_t index) {
  if (index < pages.size()) pages.erase(pages.begin() + static_cast<std::ptrdiff_t>(index));
  return pages.empty() ? 0 : std::min(index, pages.size() - 1);
}

}  // namespace wendlow::scanning
