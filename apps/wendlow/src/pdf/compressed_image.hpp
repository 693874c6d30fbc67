#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>

namespace wendlow::pdf {

// The compressed bytes of one page image. The buffer is allocated once at the compressor's
// worst-case size and never copied; only its first `size` bytes are written (and, for large
// images, only those occupy memory).
struct CompressedImage {
  std::unique_ptr<std::uint8_t[]> buffer;
  std::size_t size = 0;

  std::span<const std::uint8_t> bytes() const { return {buffer.get(), size}; }
};

// Compresses one image; empty when the compressor failed. Called concurrently from several
// threads, each call with its own input.
using ImageCompressor =
    std::function<std::optional<CompressedImage>(std::span<const std::uint8_t> pixels)>;

}  // namespace wendlow::pdf
