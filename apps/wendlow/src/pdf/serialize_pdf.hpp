#pragma once
#include <cstdint>
#include <vector>

#include "pdf/object_table.hpp"

namespace wendlow::pdf {

// The complete file: header, binary-marker line, every object, the cross-reference table,
// trailer and startxref. The last object is the catalog. Image buffers are released as they
// are copied, so the table's compressed data and the output together stay near the output
// size.
std::vector<std::uint8_t> serialize_pdf(ObjectTable table);

}  // namespace wendlow::pdf
