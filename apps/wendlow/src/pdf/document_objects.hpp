#pragma once
#include <cstddef>
#include <span>
#include <vector>

#include "pdf/compressed_image.hpp"
#include "pdf/object_table.hpp"
#include "pdf/pdf_page.hpp"

namespace wendlow::pdf {

// A page that will be drawn: its position in the writer's input (which names its image) and
// its compressed pixels.
struct PageToDraw {
  const PdfPage* page = nullptr;
  std::size_t input_position = 0;
  CompressedImage image;
};

// Every object of the document: the font (1), the page tree (2), three objects per page
// (image, content stream, page dictionary) and the catalog last.
ObjectTable build_document_objects(std::vector<PageToDraw> pages);

}  // namespace wendlow::pdf
