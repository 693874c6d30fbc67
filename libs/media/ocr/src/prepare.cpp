#include "ocr/prepare.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "vesk_image/convert.hpp"
#include "vesk_image/transform.hpp"

namespace ocr {
namespace {

using vesk_image::Image;

constexpr std::uint32_t kWorkingSide = 1200;
constexpr std::uint32_t kMinSkewSide = 32;
constexpr double kMinReportedSkew = 0.4;

std::uint64_t saturating_add(std::uint64_t a, std::uint64_t b) {
  std::uint64_t sum = 0;
  return __builtin_add_overflow(a, b, &sum) ? UINT64_MAX : sum;
}

std::uint64_t saturating_multiply(std::uint64_t a, std::uint64_t b) {
  std::uint64_t product = 0;
  return __builtin_mul_overflow(a, b, &product) ? UINT64_MAX : product;
}

double radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}

// std::round (halves away from zero) without the library call: truncation and the exact
// fractional part decide.
double round_half_away(double value) {
  const double magnitude = std::abs(value);
  const auto whole = static_cast<double>(static_cast<std::int64_t>(magnitude));
  const double rounded = whole + (magnitude - whole >= 0.5 ? 1.0 : 0.0);
  return value < 0.0 ? -rounded : rounded;
}

struct DarkPixel {
  std::uint32_t x;
  std::uint32_t y;
};

std::vector<DarkPixel> dark_pixels(const Image& grey, std::uint8_t threshold) {
  std::vector<DarkPixel> dark;
  const auto pixels = grey.pixels();
  for (std::uint32_t y = 0; y < grey.height(); ++y) {
    const std::uint8_t* row = pixels.data() + std::size_t{y} * grey.width();
    for (std::uint32_t x = 0; x < grey.width(); ++x) {
      if (row[x] <= threshold) dark.push_back(DarkPixel{x, y});
    }
  }
  return dark;
}

std::uint64_t profile_score(const std::vector<DarkPixel>& dark, std::uint32_t width,
                            std::uint32_t height, double degrees) {
  const std::size_t w = width;
  const std::size_t h = height;
  const double s = std::sin(radians(degrees));
  const double c = std::cos(radians(degrees));
  const auto margin = static_cast<std::size_t>(std::ceil(std::abs(s) * static_cast<double>(w))) + 2;
  std::vector<std::uint64_t> counters(h + 2 * margin, 0);
  const double cx = (static_cast<double>(w) - 1.0) / 2.0;
  const double cy = (static_cast<double>(h) - 1.0) / 2.0;
  for (const DarkPixel& p : dark) {
    const double r = round_half_away(cy + s * (static_cast<double>(p.x) - cx) +
                                     c * (static_cast<double>(p.y) - cy));
    const double index = static_cast<double>(margin) + r;
    if (index >= 0.0 && index < static_cast<double>(counters.size())) {
      ++counters[static_cast<std::size_t>(index)];
    }
  }
  std::uint64_t score = 0;
  for (std::uint64_t count : counters)
    score = saturating_add(score, saturating_multiply(count, count));
  return score;
}

}  // namespace

std::uint8_t otsu_threshold(const Image& grey) {
  std::array<std::uint64_t, 256> histogram{};
  for (std::uint8_t v : grey.pixels()) histogram[v] = saturating_add(histogram[v], 1);
  std::uint64_t total = 0;
  std::uint64_t total_sum = 0;
  for (std::size_t level = 0; level < 256; ++level) {
    total = saturating_add(total, histogram[level]);
    total_sum = saturating_add(total_sum, saturating_multiply(histogram[level], level));
  }
  std::optional<std::uint8_t> best;
  double best_variance = 0.0;
  std::uint64_t dark = 0;
  std::uint64_t dark_sum = 0;
  for (std::size_t t = 0; t < 256; ++t) {
    dark = saturating_add(dark, histogram[t]);
    dark_sum = saturating_add(dark_sum, saturating_multiply(histogram[t], t));
    if (dark == 0 || dark >= total) continue;
    const auto w_dark = static_cast<double>(dark);
    const auto w_light = static_cast<double>(total - dark);
    const double mean_dark = static_cast<double>(dark_sum) / w_dark;
    const double mean_light = static_cast<double>(total_sum - dark_sum) / w_light;
    const double variance = w_dark * w_light * (mean_dark - mean_light) * (mean_dark - mean_light);
    if (!best || variance > best_variance) {
      best = static_cast<std::uint8_t>(t);
      best_variance = variance;
    }
  }
  return best.value_or(127);
}

std::uint64_t projection_score(const Image& grey, std::uint8_t threshold, double degrees) {
  return profile_score(dark_pixels(grey, threshold), grey.width(), grey.height(), degrees);
}

std::optional<double> estimate_skew(const Image& grey) {
  const std::uint64_t w = grey.width();
  const std::uint64_t h = grey.height();
  if (w < kMinSkewSide || h < kMinSkewSide) return std::nullopt;
  const std::uint64_t longer = std::max(w, h);
  const Image working =
      longer > kWorkingSide
          ? vesk_image::resize_triangle(grey, static_cast<std::uint32_t>(w * kWorkingSide / longer),
                                        static_cast<std::uint32_t>(h * kWorkingSide / longer))
          : grey;
  const std::uint64_t n = std::uint64_t{working.width()} * working.height();
  const std::uint8_t threshold = otsu_threshold(working);
  const std::vector<DarkPixel> dark = dark_pixels(working, threshold);
  if (dark.size() < n / 1000 || dark.size() > (2 * n) / 5) return std::nullopt;

  const std::uint64_t level_score = profile_score(dark, working.width(), working.height(), 0.0);
  double best_angle = 0.0;
  std::uint64_t best_score = level_score;
  for (int step = 0; step <= 20; ++step) {
    const double angle = -5.0 + 0.5 * step;
    const std::uint64_t score = profile_score(dark, working.width(), working.height(), angle);
    if (score > best_score) {
      best_score = score;
      best_angle = angle;
    }
  }
  if (std::abs(best_angle) >= kMinReportedSkew &&
      saturating_multiply(level_score, 108) / 100 < best_score) {
    return best_angle;
  }
  return std::nullopt;
}

Image rotate_about_centre(const Image& grey, double degrees) {
  const std::size_t w = grey.width();
  const std::size_t h = grey.height();
  const double cos_a = std::cos(radians(degrees));
  const double sin_a = std::sin(radians(degrees));
  const double cx = (static_cast<double>(w) - 1.0) / 2.0;
  const double cy = (static_cast<double>(h) - 1.0) / 2.0;
  const auto in = grey.pixels();
  std::vector<std::uint8_t> out(w * h);
  // The column terms of sx = cx + (x − cx)·cos a + (y − cy)·sin a and
  // sy = cy + (y − cy)·cos a − (x − cx)·sin a, evaluated once; the sums keep the same order.
  std::vector<double> column_x(w);
  std::vector<double> column_y(w);
  for (std::size_t x = 0; x < w; ++x) {
    const double dx = static_cast<double>(x) - cx;
    column_x[x] = cx + dx * cos_a;
    column_y[x] = dx * sin_a;
  }
  for (std::size_t y = 0; y < h; ++y) {
    const double dy = static_cast<double>(y) - cy;
    const double dy_sin = dy * sin_a;
    const double row_y = cy + dy * cos_a;
    for (std::size_t x = 0; x < w; ++x) {
      const double sx = column_x[x] + dy_sin;
      const double sy = row_y - column_y[x];
      if (sx < 0.0 || sy < 0.0 || sx >= static_cast<double>(w) || sy >= static_cast<double>(h)) {
        out[y * w + x] = 255;
        continue;
      }
      // Through a signed integer: the direct unsigned conversion is far slower on x86.
      const auto x0 = static_cast<std::size_t>(static_cast<std::int64_t>(sx));
      const auto y0 = static_cast<std::size_t>(static_cast<std::int64_t>(sy));
      const std::size_t x1 = std::min(x0 + 1, w - 1);
      const std::size_t y1 = std::min(y0 + 1, h - 1);
      const std::uint8_t p00 = in[y0 * w + x0];
      const std::uint8_t p10 = in[y0 * w + x1];
      const std::uint8_t p01 = in[y1 * w + x0];
      const std::uint8_t p11 = in[y1 * w + x1];
      // Four equal neighbours interpolate to their value (the rounding error of the weights
      // is far below one half), which spares most of a page's blank paper the arithmetic.
      if (p00 == p10 && p00 == p01 && p00 == p11) {
        out[y * w + x] = p00;
        continue;
      }
      const double fx = sx - static_cast<double>(x0);
      const double fy = sy - static_cast<double>(y0);
      const double top = p00 * (1.0 - fx) + p10 * fx;
      const double bottom = p01 * (1.0 - fx) + p11 * fx;
      const double value = round_half_away(top * (1.0 - fy) + bottom * fy);
      out[y * w + x] = static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0));
    }
  }
  return *Image::from_pixels(grey.width(), grey.height(), vesk_image::PixelFormat::Grey8,
                             std::move(out));
}

Image prepare_page(const Image& image) {
  const Image raised = vesk_image::adjust_contrast(vesk_image::to_grey8(image), kContrastRaise);
  if (const auto skew = estimate_skew(raised)) return rotate_about_centre(raised, *skew);
  return raised;
}

}  // namespace ocr
