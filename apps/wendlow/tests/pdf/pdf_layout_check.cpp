#include "pdf_layout_check.hpp"

#include <charconv>

namespace wendlow::pdf::testing {
namespace {

constexpr std::string_view kHeader = "%PDF-1.7\n\x25\xE2\xE3\xCF\xD3\n";

std::expected<std::size_t, std::string> parse_number(std::string_view text) {
  std::size_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || text.empty() ||
      (text.size() > 1 && text[0] == '0')) {
    return std::unexpected("not a plain number: '" + std::string(text) + "'");
  }
  return value;
}

std::expected<void, std::string> check_stream(std::size_t number, std::string_view body) {
  constexpr std::string_view kLength = "<< /Length ";
  if (!body.starts_with(kLength)) return {};
  std::size_t dictionary_end = body.find(" >>\nstream\n");
  if (dictionary_end == std::string_view::npos) {
    return std::unexpected("object " + std::to_string(number) + ": no stream keyword");
  }
  std::size_t length_end = body.find_first_not_of("0123456789", kLength.size());
  auto length = parse_number(body.substr(kLength.size(), length_end - kLength.size()));
  if (!length) return std::unexpected("object " + std::to_string(number) + ": " + length.error());
  std::size_t data_start = dictionary_end + 11;
  if (body.size() < data_start || body.size() - data_start != *length + 10 ||
      !body.ends_with("\nendstream")) {
    return std::unexpected("object " + std::to_string(number) + ": /Length " +
                           std::to_string(*length) + " does not match its data");
  }
  return {};
}

}  // namespace

std::expected<PdfLayout, std::string> check_pdf_layout(std::span<const std::uint8_t> bytes) {
  std::string_view file(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!file.starts_with(kHeader)) return std::unexpected("header missing");

  // Trailer: the file ends with "startxref\n<offset>\n%%EOF\n".
  constexpr std::string_view kEof = "\n%%EOF\n";
  if (!file.ends_with(kEof)) return std::unexpected("no %%EOF line at the end");
  std::size_t startxref = file.rfind("startxref\n");
  if (startxref == std::string_view::npos) return std::unexpected("no startxref");
  std::size_t number_start = startxref + 10;
  auto xref_offset =
      parse_number(file.substr(number_start, file.size() - kEof.size() - number_start));
  if (!xref_offset) return std::unexpected("startxref: " + xref_offset.error());

  PdfLayout layout;
  layout.xref_offset = *xref_offset;
  std::string_view xref = file.substr(std::min(*xref_offset, file.size()));
  if (!xref.starts_with("xref\n0 ")) return std::unexpected("startxref does not point at xref");
  std::size_t count_end = xref.find('\n', 7);
  if (count_end == std::string_view::npos) return std::unexpected("xref header cut short");
  auto entries = parse_number(xref.substr(7, count_end - 7));
  if (!entries || *entries == 0) return std::unexpected("bad xref entry count");
  std::string_view lines = xref.substr(count_end + 1);
  if (lines.size() / 20 < *entries) return std::unexpected("xref table cut short");
  if (lines.substr(0, 20) != "0000000000 65535 f \n") return std::unexpected("bad free entry");

  std::size_t objects = *entries - 1;
  for (std::size_t number = 1; number <= objects; ++number) {
    std::string_view line = lines.substr(number * 20, 20);
    if (line.substr(10) != " 00000 n \n") {
      return std::unexpected("xref line " + std::to_string(number) + " is malformed");
    }
    std::size_t offset = 0;
    auto [end, error] = std::from_chars(line.data(), line.data() + 10, offset);
    if (error != std::errc{} || end != line.data() + 10) {
      return std::unexpected("xref line " + std::to_string(number) + " offset is not 10 digits");
    }
    layout.object_offsets.push_back(offset);
  }

  // Objects follow each other from right after the header up to the xref line.
  std::size_t expected_offset = kHeader.size();
  for (std::size_t number = 1; number <= objects; ++number) {
    std::size_t offset = layout.object_offsets[number - 1];
    if (offset != expected_offset) {
      return std::unexpected("object " + std::to_string(number) + " at " + std::to_string(offset) +
                             ", expected " + std::to_string(expected_offset));
    }
    std::size_t next = number < objects ? layout.object_offsets[number] : *xref_offset;
    std::string open = std::to_string(number) + " 0 obj\n";
    if (next > file.size() || next < offset + open.size() + 8) {
      return std::unexpected("object " + std::to_string(number) + " overlaps the next");
    }
    std::string_view object = file.substr(offset, next - offset);
    if (!object.starts_with(open) || !object.ends_with("\nendobj\n")) {
      return std::unexpected("object " + std::to_string(number) + " is not framed");
    }
    std::string_view body = object.substr(open.size(), object.size() - open.size() - 8);
    if (auto stream = check_stream(number, body); !stream) return std::unexpected(stream.error());
    layout.object_bodies.push_back(body);
    expected_offset = next;
  }
  if (objects == 0 && *xref_offset != kHeader.size()) {
    return std::unexpected("bytes between the header and xref");
  }

  std::string trailer = "trailer\n<< /Size " + std::to_string(*entries) + " /Root " +
                        std::to_string(objects) + " 0 R >>\nstartxref\n" +
                        std::to_string(*xref_offset) + std::string(kEof);
  if (lines.substr(*entries * 20) != trailer) return std::unexpected("trailer does not match");
  return layout;
}

}  // namespace wendlow::pdf::testing
