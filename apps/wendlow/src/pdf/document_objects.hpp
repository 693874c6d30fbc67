#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "pdf/object_table.hpp"
#include "pdf/pdf_page.hpp"

namespace wendlow::pdf {

// A page that will be drawn, with its position in the writer's input (which names its image).
// The text is borrowed from the writer's input.
struct PageToDraw {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::string_view text;
  std::size_t input_position = 0;
};

// Every object of the document: the font (1), the page tree (2), three objects per page
// (image, content stream, page dictionary) and the catalog last. The image streams take the
// pages' compressed images in order when the file is serialised.
ObjectTable build_document_objects(std::span<const PageToDraw> pages);

}  // namespace wendlow::pdf
