#include "pdf/serialize_pdf.hpp"

#include <string>
#include <string_view>

#include "pdf/pdf_numbers.hpp"

namespace wendlow::pdf {
namespace {

constexpr std::string_view kHeader = "%PDF-1.7\n\x25\xE2\xE3\xCF\xD3\n";

std::string object_open(std::size_t number) {
  return std::to_string(number) + " 0 obj\n";
}
constexpr std::string_view kObjectClose = "\nendobj\n";

// Cross-reference table and trailer for objects at `offsets`, the table itself at
// `xref_offset`.
std::string cross_reference_and_trailer(const std::vector<std::size_t>& offsets,
                                        std::size_t xref_offset) {
  std::size_t entries = offsets.size() + 1;
  std::string text = "xref\n0 " + std::to_string(entries) + "\n";
  text.reserve(text.size() + entries * 20 + 100);
  text += "0000000000 65535 f \n";
  for (std::size_t offset : offsets) {
    text += format_xref_offset(offset);
    text += " 00000 n \n";
  }
  text += "trailer\n<< /Size " + std::to_string(entries) + " /Root " +
          std::to_string(offsets.size()) + " 0 R >>\nstartxref\n" + std::to_string(xref_offset) +
          "\n%%EOF\n";
  return text;
}

// Kept out of line: inlined into serialize_pdf, g++ 12 reports a false -Wstringop-overflow on
// the reallocation path that the exact reserve() never takes.
[[gnu::noinline]] void append(std::vector<std::uint8_t>& out, std::string_view bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

std::vector<std::uint8_t> serialize_pdf(ObjectTable table) {
  std::vector<ObjectBody>& bodies = table.bodies();

  // Offsets first, so the output is allocated once at its final size.
  std::vector<std::size_t> offsets;
  offsets.reserve(bodies.size());
  std::size_t position = kHeader.size();
  for (std::size_t index = 0; index < bodies.size(); ++index) {
    offsets.push_back(position);
    position += object_open(index + 1).size() + bodies[index].size() + kObjectClose.size();
  }
  std::string tail = cross_reference_and_trailer(offsets, position);

  std::vector<std::uint8_t> out;
  out.reserve(position + tail.size());
  append(out, kHeader);
  for (std::size_t index = 0; index < bodies.size(); ++index) {
    ObjectBody& body = bodies[index];
    append(out, object_open(index + 1));
    append(out, body.head);
    std::span<const std::uint8_t> image = body.image.bytes();
    out.insert(out.end(), image.begin(), image.end());
    body.image = CompressedImage{};
    append(out, body.tail);
    append(out, kObjectClose);
  }
  append(out, tail);
  return out;
}

}  // namespace wendlow::pdf
