#pragma once
#include <cstddef>
#include <cstdint>
#include <expected>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "pdf/compressed_image.hpp"
#include "pdf/object_table.hpp"

namespace wendlow::pdf {

// Receives the file piece by piece, in order; an error stops the file there.
using PdfSink = std::function<std::expected<void, std::string>(std::span<const std::uint8_t>)>;

// The complete file: header, binary-marker line, every object, the cross-reference table,
// trailer and startxref; the last object is the root. Each image stream takes its data from
// `next_image`, in object order, and drops it once written. Nothing but the small objects and
// the image at hand is held: the file grows in the sink. The sink's first error is returned.
std::expected<void, std::string> serialize_pdf(const ObjectTable& table,
                                               const std::function<CompressedImage()>& next_image,
                                               const PdfSink& sink);

}  // namespace wendlow::pdf
