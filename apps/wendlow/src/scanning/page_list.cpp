#include "scanning/page_list.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "vesk_image/transform.hpp"

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

namespace {

constexpr double kRoundingAllowance = 1e-9;

// Clamped to 0 … 4294967295 and truncated.
std::uint32_t to_pixel(double value) {
  constexpr double kMax = std::numeric_limits<std::uint32_t>::max();
  return static_cast<std::uint32_t>(std::clamp(value, 0.0, kMax));
}

// The size along one axis: at least one pixel, at most what remains from `start`.
std::uint32_t extent(std::uint32_t start, std::uint32_t end, std::uint32_t size) {
  const std::uint32_t wanted = std::max<std::uint32_t>(end > start ? end - start : 0, 1);
  const std::uint32_t remaining = size > start ? size - start : 0;
  return std::min(wanted, remaining);
}

std::expected<vesk_image::Image, std::string> page_image(const ScannedPage& page) {
  auto image = vesk_image::Image::from_pixels(page.width, page.height,
                                              vesk_image::PixelFormat::Rgba8, page.pixels);
  if (!image) return std::unexpected(std::string("scanned page pixels were incomplete"));
  return std::move(*image);
}

PendingEncode replace_image(ScannedPage& page, vesk_image::Image image, std::string status) {
  auto [encoded, done] = EncodedImage::pending();
  page.pixels = image.shared_pixels();
  page.width = image.width();
  page.height = image.height();
  page.encoded = std::move(encoded);
  page.id = PageId::fresh();
  page.text.reset();
  page.status = std::move(status);
  page.text_stale = true;
  page.recognizing = false;
  return PendingEncode{std::move(image), std::move(done)};
}

}  // namespace

bool is_valid_crop(const CropSelection& s) {
  if (!std::isfinite(s.left) || !std::isfinite(s.top) || !std::isfinite(s.right) ||
      !std::isfinite(s.bottom)) {
    return false;
  }
  if (s.left < 0 || s.top < 0 || s.right > 1 || s.bottom > 1) return false;
  return s.right - s.left >= kMinimumCropFraction - kRoundingAllowance &&
         s.bottom - s.top >= kMinimumCropFraction - kRoundingAllowance;
}

std::expected<PixelRect, std::string> crop_rectangle(const CropSelection& s, std::uint32_t width,
                                                     std::uint32_t height) {
  if (!is_valid_crop(s)) return std::unexpected(std::string("crop selection was invalid"));
  const double w = width;
  const double h = height;
  const std::uint32_t x0 = to_pixel(std::floor(std::min(s.left, 0.95) * w));
  const std::uint32_t y0 = to_pixel(std::floor(std::min(s.top, 0.95) * h));
  const std::uint32_t x1 = to_pixel(std::ceil(std::min(std::max(s.right, 0.05), 1.0) * w));
  const std::uint32_t y1 = to_pixel(std::ceil(std::min(std::max(s.bottom, 0.05), 1.0) * h));
  return PixelRect{std::min(x0, width), std::min(y0, height), extent(x0, x1, width),
                   extent(y0, y1, height)};
}

std::expected<PendingEncode, std::string> rotate_page(ScannedPage& page) {
  auto image = page_image(page);
  if (!image) return std::unexpected(std::move(image.error()));
  return replace_image(page, vesk_image::rotate90_clockwise(*image),
                       "Text recognition needs updating after rotation.");
}

std::expected<PendingEncode, std::string> crop_page(ScannedPage& page,
                                                    const CropSelection& selection) {
  auto rect = crop_rectangle(selection, page.width, page.height);
  if (!rect) return std::unexpected(std::move(rect.error()));
  auto image = page_image(page);
  if (!image) return std::unexpected(std::move(image.error()));
  return replace_image(page,
                       vesk_image::crop(*image, rect->left, rect->top, rect->width, rect->height),
                       "Text recognition needs updating after cropping.");
}

}  // namespace wendlow::scanning
