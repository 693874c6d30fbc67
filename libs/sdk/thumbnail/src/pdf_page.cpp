// Page 1 of a PDF, drawn by poppler's `pdftoppm` in a child process: a hostile or broken file
// can then neither crash Wendlow nor grow its memory, and the child's limits end it.
#include "child_render.hpp"
#include "renderers.hpp"

namespace thumbnail::detail {

generate::Result render_pdf(const std::filesystem::path& source, std::uint32_t size,
                            const RendererLimits& limits) {
  // The path is absolute, so it can never be read as an option ("-v") or as one of poppler's
  // special names ("fd://0"). Without an output name the image goes to standard output.
  return render_in_child(
      bounded_command::PreparedCommand{"pdftoppm",
                                       {"-q", "-f", "1", "-l", "1", "-cropbox", "-scale-to",
                                        std::to_string(size), "-singlefile", source.string()},
                                       {}},
      size, limits);
}

}  // namespace thumbnail::detail
