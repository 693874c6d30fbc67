#pragma once
// Structural check of a written file, shared by the tests and the fuzz target: the
// cross-reference table, the trailer and every stream length must agree with the bytes.
#include <cstddef>
#include <cstdint>
#include <expected>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wendlow::pdf::testing {

struct PdfLayout {
  std::vector<std::size_t> object_offsets;      // object k at index k - 1
  std::vector<std::string_view> object_bodies;  // between "k 0 obj\n" and "\nendobj\n"
  std::size_t xref_offset = 0;
};

// Checks that the header comes first, that every cross-reference line is 20 bytes and points at
// "k 0 obj\n", that objects follow each other without gaps up to the "xref" line, that every
// stream's /Length matches its data, and that the trailer and startxref close the file. The
// views in the result point into `file`.
std::expected<PdfLayout, std::string> check_pdf_layout(std::span<const std::uint8_t> file);

}  // namespace wendlow::pdf::testing
