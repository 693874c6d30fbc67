#pragma once
// Page-list editing as plain functions of the list and the index of the page on display.
// Every index function returns the index to show next; an index outside the list is never
// produced for a non-empty list, and an empty list always gives 0.
#include <cstddef>
#include <cstdint>
#include <expected>
#include <future>
#include <string>
#include <vector>

#include "scanning/page.hpp"
#include "vesk_image/image.hpp"
#include "vesk_ui/local_state.hpp"

namespace wendlow::scanning {

using vesk_ui::widget::image_crop::CropSelection;

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

// ---- Rotation and crop ------------------------------------------------------------------

inline constexpr double kMinimumCropFraction = 0.05;

// A rectangle of pixels.
struct PixelRect {
  std::uint32_t left = 0;
  std::uint32_t top = 0;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool operator==(const PixelRect&) const = default;
};

// Whether the selection can crop: finite, inside the page and at least 0.05 of the page in
// each direction (with a rounding allowance of 1e-9, so that an editor that keeps exactly
// 0.05 apart is never refused for the last bit of a double).
bool is_valid_crop(const CropSelection& selection);

// The pixels the selection cuts from a width × height page: the left and top edges round
// down, the right and bottom edges round up, at least one pixel and never past the page.
// "crop selection was invalid" when the selection is not valid.
std::expected<PixelRect, std::string> crop_rectangle(const CropSelection& selection,
                                                     std::uint32_t width, std::uint32_t height);

// A page image whose PNG still has to be written: the worker encodes `image` and fulfils
// `done`, which the page's `encoded` waits on.
struct PendingEncode {
  vesk_image::Image image;
  std::promise<EncodedImage::Outcome> done;
};

// A quarter turn clockwise. The page gets its new pixels, size and id at once, its text is
// cleared and marked stale; the PNG is left to the caller's worker. On failure ("scanned
// page pixels were incomplete") the page is unchanged.
std::expected<PendingEncode, std::string> rotate_page(ScannedPage& page);

// Cuts the page to `selection` (crop_rectangle), otherwise like rotate_page.
std::expected<PendingEncode, std::string> crop_page(ScannedPage& page,
                                                    const CropSelection& selection);

}  // namespace wendlow::scanning
