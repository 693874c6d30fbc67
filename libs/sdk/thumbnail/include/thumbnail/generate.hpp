#pragma once
// Document previews: page 1 of a PDF through a bounded `pdftoppm` child, images through the
// image library in a bounded helper child, plain text drawn as a printed page. Untrusted
// files are only ever parsed in a child process with time, output and memory limits.
#include <cstdint>
#include <expected>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "thumbnail/category.hpp"

namespace thumbnail::generate {

// RGBA8 pixels, rows top to bottom without gaps.
struct Thumbnail {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::shared_ptr<const std::vector<std::uint8_t>> pixels;
};

using Result = std::expected<Thumbnail, std::string>;

// The largest `size` accepted.
inline constexpr std::uint32_t kMaxSize = 2048;

// A preview whose longer side is `size`: PDF pages and text pages are drawn at that size,
// images are reduced to it and never enlarged. Errors are lower-case internal texts; Other,
// a failing or overrunning renderer and unreadable files are errors.
Result generate(const std::filesystem::path& source, category::Category category,
                std::uint32_t size);

}  // namespace thumbnail::generate
