#include "pdf/serialize_pdf.hpp"

#include <string>
#include <string_view>

#include "pdf/pdf_numbers.hpp"

namespace wendlow::pdf {
namespace {

constexpr std::string_view kHeader = "%PDF-1.7\n\x25\xE2\xE3\xCF\xD3\n";
constexpr std::string_view kObjectClose = "\nendobj\n";
constexpr std::size_t kXrefLineSize = 20;

std::string object_open(std::size_t number) {
  return std::to_string(number) + " 0 obj\n";
}

std::string cross_reference_and_trailer(const std::vector<std::size_t>& offsets,
                                        std::size_t xref_offset) {
  std::size_t entries = offsets.size() + 1;
  std::string text = "xref\n0 " + std::to_string(entries) + "\n";
  text.reserve(text.size() + entries * kXrefLineSize + 100);
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

// Generous: every number is given 20 digits.
std::size_t output_bound(const ObjectTable& table, std::size_t image_bytes_bound) {
  std::size_t bound = kHeader.size() + image_bytes_bound + 200;
  for (const ObjectBody& body : table.bodies()) {
    bound += 20 + 7 + body.text.size() + kObjectClose.size() + kXrefLineSize;
    if (body.image_stream) bound += stream_head("", 0).size() + 20 + kStreamTail.size();
  }
  return bound;
}

// Kept out of line: inlined into serialize_pdf, g++ 12 reports a false -Wstringop-overflow on
// the reallocation path that the reserve() makes unreachable.
[[gnu::noinline]] void append(std::vector<std::uint8_t>& out, std::string_view bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

std::vector<std::uint8_t> serialize_pdf(const ObjectTable& table,
                                        const std::function<CompressedImage()>& next_image,
                                        std::size_t image_bytes_bound) {
  std::vector<std::uint8_t> out;
  out.reserve(output_bound(table, image_bytes_bound));
  append(out, kHeader);

  std::vector<std::size_t> offsets;
  offsets.reserve(table.size());
  for (const ObjectBody& body : table.bodies()) {
    offsets.push_back(out.size());
    append(out, object_open(offsets.size()));
    if (body.image_stream) {
      CompressedImage image = next_image();
      append(out, stream_head(body.text, image.size));
      std::span<const std::uint8_t> data = image.bytes();
      out.insert(out.end(), data.begin(), data.end());
      append(out, kStreamTail);
    } else {
      append(out, body.text);
    }
    append(out, kObjectClose);
  }
  append(out, cross_reference_and_trailer(offsets, out.size()));
  return out;
}

}  // namespace wendlow::pdf
