#include "pdf/document_objects.hpp"

#include <string>

#include "pdf/content_stream.hpp"

namespace wendlow::pdf {
namespace {

std::string reference(std::size_t number) {
  return std::to_string(number) + " 0 R";
}

std::string image_extras(const PageToDraw& page) {
  return " /Type /XObject /Subtype /Image /Width " + std::to_string(page.width) + " /Height " +
         std::to_string(page.height) +
         " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode";
}

std::string page_dictionary(std::size_t tree, std::size_t font, std::size_t image_position,
                            std::size_t image, std::size_t content) {
  std::string resources = "<< /Font << /F1 " + reference(font) + " >> /XObject << /Im" +
                          std::to_string(image_position) + " " + reference(image) + " >> >>";
  return "<< /Type /Page /Parent " + reference(tree) + " /MediaBox [0 0 595 842] /Resources " +
         resources + " /Contents " + reference(content) + " >>";
}

}  // namespace

ObjectTable build_document_objects(std::span<const PageToDraw> pages) {
  ObjectTable table;
  std::size_t font = table.append(
      {"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"});
  std::size_t tree = table.reserve();

  std::string kids;
  for (const PageToDraw& drawn : pages) {
    std::size_t image = table.append(image_stream_object(image_extras(drawn)));
    std::string content_data =
        page_content(place_on_a4(drawn.width, drawn.height), drawn.input_position, drawn.text);
    std::size_t content = table.append(stream_object("", content_data));
    std::size_t page_object =
        table.append({page_dictionary(tree, font, drawn.input_position, image, content)});
    if (!kids.empty()) kids += ' ';
    kids += reference(page_object);
  }

  table.fill(tree, {"<< /Type /Pages /Count " + std::to_string(pages.size()) + " /Kids [" + kids +
                    "] >>"});
  table.append({"<< /Type /Catalog /Pages " + reference(tree) + " >>"});
  return table;
}

}  // namespace wendlow::pdf
