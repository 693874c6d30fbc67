// Separable triangle-filter resampling: a vertical pass into floats, then a horizontal pass.
#include <algorithm>
#include <cmath>

#include "vesk_image/transform.hpp"

namespace vesk_image {
namespace {

// The source samples and normalised weights that make up one output coordinate.
struct Taps {
  std::size_t first = 0;
  std::vector<float> weights;
};

std::vector<Taps> compute_taps(std::size_t source_size, std::size_t target_size) {
  const double scale = static_cast<double>(source_size) / static_cast<double>(target_size);
  const double support = std::max(scale, 1.0);  // triangle radius in source pixels
  std::vector<Taps> all(target_size);
  for (std::size_t i = 0; i < target_size; ++i) {
    const double centre = (static_cast<double>(i) + 0.5) * scale;
    const auto lo = static_cast<std::ptrdiff_t>(std::floor(centre - support));
    const auto hi = static_cast<std::ptrdiff_t>(std::ceil(centre + support));
    const std::size_t first = static_cast<std::size_t>(std::max<std::ptrdiff_t>(lo, 0));
    const std::size_t last = static_cast<std::size_t>(
        std::min<std::ptrdiff_t>(hi, static_cast<std::ptrdiff_t>(source_size)));
    Taps taps{first, {}};
    double total = 0.0;
    std::vector<double> raw;
    for (std::size_t j = first; j < last; ++j) {
      const double distance = std::abs((static_cast<double>(j) + 0.5 - centre) / support);
      const double weight = std::max(0.0, 1.0 - distance);
      raw.push_back(weight);
      total += weight;
    }
    if (total <= 0.0) {  // cannot happen for sane sizes; fall back to the nearest sample
      const std::size_t nearest = std::min(static_cast<std::size_t>(centre), source_size - 1);
      all[i] = Taps{nearest, {1.0f}};
      continue;
    }
    for (double w : raw) taps.weights.push_back(static_cast<float>(w / total));
    all[i] = std::move(taps);
  }
  return all;
}

std::uint8_t to_byte(float value) {
  const float rounded = std::round(value);
  return static_cast<std::uint8_t>(std::clamp(rounded, 0.0f, 255.0f));
}

}  // namespace

Image resize_triangle(const Image& image, std::uint32_t width, std::uint32_t height) {
  const std::size_t channels = image.channels();
  if (width == 0 || height == 0)
    return *Image::from_pixels(width, height, image.format(), std::vector<std::uint8_t>{});
  if (image.width() == 0 || image.height() == 0) {  // nothing to sample: black
    return *Image::from_pixels(width, height, image.format(),
                               std::vector<std::uint8_t>(std::size_t{width} * height * channels));
  }
  if (width == image.width() && height == image.height()) return image;
  const std::size_t source_width = image.width();
  const std::size_t source_height = image.height();
  const auto in = image.pixels();

  // Vertical pass first: it runs over whole rows, which vectorises well, and leaves fewer
  // rows for the scalar horizontal pass when shrinking.
  const std::vector<Taps> rows = compute_taps(source_height, height);
  const std::size_t source_row_values = source_width * channels;
  std::vector<float> vertical(std::size_t{height} * source_row_values, 0.0f);
  for (std::size_t y = 0; y < height; ++y) {
    const Taps& taps = rows[y];
    float* accumulator = vertical.data() + y * source_row_values;
    for (std::size_t k = 0; k < taps.weights.size(); ++k) {
      const float weight = taps.weights[k];
      const std::uint8_t* source = in.data() + (taps.first + k) * source_row_values;
      for (std::size_t i = 0; i < source_row_values; ++i) accumulator[i] += weight * source[i];
    }
  }

  const std::vector<Taps> columns = compute_taps(source_width, width);
  std::vector<std::uint8_t> out(std::size_t{width} * height * channels);
  for (std::size_t y = 0; y < height; ++y) {
    const float* row = vertical.data() + y * source_row_values;
    std::uint8_t* target = out.data() + y * width * channels;
    for (std::size_t x = 0; x < width; ++x) {
      const Taps& taps = columns[x];
      for (std::size_t c = 0; c < channels; ++c) {
        float sum = 0.0f;
        for (std::size_t k = 0; k < taps.weights.size(); ++k) {
          sum += taps.weights[k] * row[(taps.first + k) * channels + c];
        }
        target[x * channels + c] = to_byte(sum);
      }
    }
  }
  return *Image::from_pixels(width, height, image.format(), std::move(out));
}

}  // namespace vesk_image
