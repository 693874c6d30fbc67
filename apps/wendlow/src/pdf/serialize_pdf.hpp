#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "pdf/compressed_image.hpp"
#include "pdf/object_table.hpp"

namespace wendlow::pdf {

// The complete file: header, binary-marker line, every object, the cross-reference table,
// trailer and startxref; the last object is the root. Each image stream takes its data from
// `next_image`, in object order, and drops it once copied. `image_bytes_bound`, an upper bound
// of all image data, sizes the output once so it is never copied while growing; untouched
// capacity costs no memory.
std::vector<std::uint8_t> serialize_pdf(const ObjectTable& table,
                                        const std::function<CompressedImage()>& next_image,
                                        std::size_t image_bytes_bound);

}  // namespace wendlow::pdf
