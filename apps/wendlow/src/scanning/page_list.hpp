#pragma once
// Page-list editing as plain functions of the list and the index of the page on display.
// Every function returns the index to show next; an index outside the list is never
// produced for a non-empty list, and an empty list always gives 0.
#include <cstddef>
#include <vector>

#include "scanning/page.hpp"

namespace wendlow::scanning {

// One page back; stays at the first page.
std::size_t previous_index(std::size_t index);
// One page on; stays at the last page (and at 0 for an empty list).
std::size_t next_index(std::size_t index, std::size_t count);
// Swaps the page with the one before it; the moved page stays on display.
std::size_t move_earlier(std::vector<ScannedPage>& pages, std::size_t index);
// Swaps the page with the one after it; the moved page stays on display.
std::size_t move_later(std::vector<ScannedPage>& pages, std::size_t index);
// Removes the page; the page that took its place, or the new last page, is shown.
std::size_t delete_page(std::vector<ScannedPage>& pages, std::size_t index);

}  // namespace wendlow::scanning
