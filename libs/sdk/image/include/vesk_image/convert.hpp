#pragma once
// Pixel format conversions and tone operations.
#include "vesk_image/image.hpp"

namespace vesk_image {

// Grey becomes equal R, G, B; a missing alpha becomes opaque.
Image to_rgba8(const Image& image);

// Luma with the Rec. 709 weights, rounded; alpha is ignored.
Image to_grey8(const Image& image);

// Contrast change by `amount` (percent-like; 0 leaves the image as it is): with
// f = ((100 + amount) / 100)², every channel value v becomes ((v / 255 − 0.5) × f + 0.5) × 255,
// clamped to 0 … 255 and truncated, in single precision. Alpha is kept.
Image adjust_contrast(const Image& image, float amount);

}  // namespace vesk_image
