#pragma once
// The three ways a preview is made. Each takes an absolute path to a regular file.
#include <chrono>
#include <cstdint>
#include <filesystem>

#include "thumbnail/generate.hpp"

namespace thumbnail::detail {

// Limits of a renderer child. Real pages, a 300 dpi scan among them, render in well under a
// second and 13 MB; a 600 dpi colour scan takes about two seconds. A hostile file meets one
// of these instead: drawing that never ends meets the time, a path or image that grows
// without bound meets the address space.
// The output limit is one size × size image.
struct RendererLimits {
  std::chrono::milliseconds time{10'000};
  std::uint64_t address_space_bytes = std::uint64_t{1} << 30;
  std::size_t error_bytes = 64 * 1024;
};

// Page 1 through `pdftoppm`, which fits it into a size × size box.
generate::Result render_pdf(const std::filesystem::path& source, std::uint32_t size,
                            const RendererLimits& limits = {});

// PNG, JPEG, TIFF and PNM through the image library, in the helper program.
generate::Result render_image(const std::filesystem::path& source, std::uint32_t size,
                              const RendererLimits& limits = {});

// The first lines of a text file on a white page in a monospace font.
generate::Result render_text(const std::filesystem::path& source, std::uint32_t size);

}  // namespace thumbnail::detail
