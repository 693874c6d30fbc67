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

// Counts what went to the sink, for the offsets, and keeps its first error.
class Output {
 public:
  explicit Output(const PdfSink& sink) : sink_(sink) {}
  void write(std::span<const std::uint8_t> bytes) {
    if (!error_.empty() || bytes.empty()) return;
    if (auto written = sink_(bytes); !written) {
      error_ = written.error().empty() ? std::string("could not write the file") : written.error();
      return;
    }
    offset_ += bytes.size();
  }
  void write(std::string_view text) {
    write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  }
  std::size_t offset() const { return offset_; }
  std::expected<void, std::string> result() const {
    if (error_.empty()) return {};
    return std::unexpected(error_);
  }

 private:
  const PdfSink& sink_;
  std::size_t offset_ = 0;
  std::string error_;
};

}  // namespace

std::expected<void, std::string> serialize_pdf(const ObjectTable& table,
                                               const std::function<CompressedImage()>& next_image,
                                               const PdfSink& sink) {
  Output out(sink);
  out.write(kHeader);

  std::vector<std::size_t> offsets;
  offsets.reserve(table.size());
  for (const ObjectBody& body : table.bodies()) {
    offsets.push_back(out.offset());
    std::string head = object_open(offsets.size());
    if (body.image_stream) {
      CompressedImage image = next_image();
      head += stream_head(body.text, image.size);
      out.write(head);
      out.write(image.bytes());
      out.write(std::string(kStreamTail) + std::string(kObjectClose));
    } else {
      head += body.text;
      head += kObjectClose;
      out.write(head);
    }
  }
  out.write(cross_reference_and_trailer(offsets, out.offset()));
  return out.result();
}

}  // namespace wendlow::pdf
