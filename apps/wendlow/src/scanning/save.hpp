#pragma once
// Saving scans: the chosen path's name and what the save worker writes there.
#include <expected>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "scanning/page.hpp"

namespace wendlow::scanning {

// The path with `extension` added when its file name has none; an existing extension stays,
// whatever it is.
std::filesystem::path with_default_extension(std::filesystem::path path,
                                             std::string_view extension);

// The path's final component as text (malformed bytes replaced), or "the page" when it has
// none.
std::string saved_file_label(const std::filesystem::path& path);

// What a save writes, fixed when the path arrived: one page's image file, or the pages of the
// document (copies that share their pixel buffers) for the PDF.
using SaveContent = std::variant<EncodedImage, std::vector<ScannedPage>>;

// Writes the content to `path` on the calling worker, replacing the file only once everything
// is written and flushed. An edited page's PNG is waited for here. The PDF fails when any of
// its page images could not be compressed.
std::expected<void, std::string> write_save(const std::filesystem::path& path,
                                            const SaveContent& content);

}  // namespace wendlow::scanning
