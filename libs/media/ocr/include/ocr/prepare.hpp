#pragma once
// Image preparation before the engine sees a page: grey, more contrast, straightened.
#include <cstdint>
#include <optional>

#include "vesk_image/image.hpp"

namespace ocr {

inline constexpr float kContrastRaise = 22.0f;

// Otsu's threshold of a Grey8 image: the level t (pixels ≤ t are dark) with the largest
// between-class variance, the first one on ties; 127 when no level splits the pixels.
std::uint8_t otsu_threshold(const vesk_image::Image& grey);

// The sum of squared row counts of the dark pixels (≤ threshold) projected along `degrees`.
std::uint64_t projection_score(const vesk_image::Image& grey, std::uint8_t threshold,
                               double degrees);

// The skew of a Grey8 page in degrees, one of the half-degree steps in −5 … +5, when the page
// has enough dark content and the best angle clearly beats the level profile; else none.
// Works on a copy no longer than 1200 pixels.
std::optional<double> estimate_skew(const vesk_image::Image& grey);

// Rotation of a Grey8 image by `degrees` about its centre into the same size, bilinear, with
// white where the source lies outside.
vesk_image::Image rotate_about_centre(const vesk_image::Image& grey, double degrees);

// Grey conversion, contrast raised by 22 and, when a skew is found, the rotation by it.
vesk_image::Image prepare_page(const vesk_image::Image& image);

}  // namespace ocr
