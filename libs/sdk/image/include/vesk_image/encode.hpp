#pragma once
// PNG encoding into memory or a file; the encoder for a file is chosen from its name.
#include <cstdint>
#include <expected>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "vesk_image/image.hpp"

namespace vesk_image {

struct PngOptions {
  int compression_level = 6;  // zlib level 0 … 9
  bool adaptive_filtering = true;

  // Level 1 without row filters: several times faster on large pages, still lossless.
  static PngOptions fast() { return PngOptions{1, false}; }
  // No compression at all: the quickest to write and to read back, about one byte per sample.
  static PngOptions stored() { return PngOptions{0, false}; }
};

std::expected<std::vector<std::uint8_t>, std::string> encode_png(const Image& image,
                                                                 const PngOptions& options = {});

// Encodes with the format that the file name's extension names (".png", any case).
std::expected<std::vector<std::uint8_t>, std::string> encode_for_file_name(
    const Image& image, std::string_view file_name, const PngOptions& options = {});

// Writes the encoded image to `path`, replacing any existing file.
std::expected<void, std::string> save(const Image& image, const std::filesystem::path& path,
                                      const PngOptions& options = {});

}  // namespace vesk_image
