#include "thumbnail/generate.hpp"

#include <system_error>

#include "renderers.hpp"

namespace thumbnail::generate {

Result generate(const std::filesystem::path& source, category::Category category,
                std::uint32_t size) {
  using category::Category;
  if (size == 0 || size > kMaxSize) return std::unexpected("preview size out of range");
  std::error_code error;
  const auto path = std::filesystem::absolute(source, error);
  if (error) return std::unexpected("cannot make the path absolute: " + error.message());
  // A pipe or a device could keep a renderer waiting for ever.
  if (!std::filesystem::is_regular_file(path, error)) {
    return std::unexpected("not a regular file");
  }
  switch (category) {
    case Category::Pdf:
      return detail::render_pdf(path, size);
    case Category::Png:
    case Category::Jpeg:
    case Category::Tiff:
    case Category::Pnm:
      return detail::render_image(path, size);
    case Category::PlainText:
      return detail::render_text(path, size);
    case Category::Other:
      break;
  }
  return std::unexpected("no preview for this kind of file");
}

}  // namespace thumbnail::generate
