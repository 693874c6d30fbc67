#include "pdf/parallel_compression.hpp"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

namespace wendlow::pdf {

std::vector<CompressedImage> compress_images(std::span<const std::span<const std::uint8_t>> images,
                                             unsigned threads, const ImageCompressor& compress) {
  std::vector<CompressedImage> results(images.size());
  // Images are handed out in document order, so the early pages finish first.
  std::atomic<std::size_t> next_image{0};
  auto work = [&] {
    for (std::size_t index = next_image++; index < images.size(); index = next_image++) {
      std::optional<CompressedImage> compressed = compress(images[index]);
      if (compressed) results[index] = std::move(*compressed);
    }
  };

  std::size_t helpers = std::min<std::size_t>(std::max(threads, 1u), images.size());
  helpers = helpers > 0 ? helpers - 1 : 0;
  std::vector<std::jthread> pool;
  pool.reserve(helpers);
  try {
    while (pool.size() < helpers) pool.emplace_back(work);
  } catch (const std::system_error&) {
    // Fewer threads only make it slower; the caller's thread does the rest.
  }
  work();
  pool.clear();  // joins: helpers may still be finishing their last image
  return results;
}

}  // namespace wendlow::pdf
