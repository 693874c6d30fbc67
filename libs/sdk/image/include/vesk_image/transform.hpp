#pragma once
// Geometric operations; every result is a new image of the same pixel format.
#include <cstdint>

#include "vesk_image/image.hpp"

namespace vesk_image {

// A quarter turn clockwise: the result is height × width and the source pixel (x, y) lands at
// (height − 1 − y, x).
Image rotate90_clockwise(const Image& image);

// The part of the rectangle that lies inside the image (possibly empty).
Image crop(const Image& image, std::uint32_t left, std::uint32_t top, std::uint32_t width,
           std::uint32_t height);

// Resampling with a triangle (linear) filter whose support widens with the reduction factor,
// so that shrinking averages every source pixel.
Image resize_triangle(const Image& image, std::uint32_t width, std::uint32_t height);

}  // namespace vesk_image
