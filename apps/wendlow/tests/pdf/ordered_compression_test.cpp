#include "pdf/ordered_compression.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace wendlow::pdf {
namespace {

// Images of one byte each whose "compression" copies that byte, counting how many results
// are alive at once (started but not yet dropped by the caller).
struct CountingCompressor {
  std::atomic<int> started{0};
  std::atomic<int> dropped{0};
  std::atomic<int> most_alive{0};

  ImageCompressor function() {
    return [this](std::span<const std::uint8_t> pixels) -> std::optional<CompressedImage> {
      int alive = ++started - dropped;
      int most = most_alive;
      while (alive > most && !most_alive.compare_exchange_weak(most, alive)) {
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200 * (pixels[0] % 3)));
      if (pixels[0] == 13) return std::nullopt;
      CompressedImage image{std::make_unique<std::uint8_t[]>(1), 1};
      image.buffer[0] = pixels[0];
      return image;
    };
  }
};

std::vector<std::uint8_t> numbered(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t index = 0; index < count; ++index) bytes[index] = std::uint8_t(index);
  return bytes;
}

std::vector<std::span<const std::uint8_t>> one_byte_images(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::span<const std::uint8_t>> images;
  for (const std::uint8_t& byte : bytes) images.emplace_back(&byte, 1);
  return images;
}

TEST(OrderedCompression, HandsOutImagesInOrderAndKeepsAtMostThreadsAlive) {
  std::vector<std::uint8_t> bytes = numbered(40);
  for (unsigned threads : {1u, 2u, 3u, 5u}) {
    CountingCompressor counter;
    OrderedCompression images(one_byte_images(bytes), threads, counter.function());
    for (std::size_t index = 0; index < bytes.size(); ++index) {
      {
        std::optional<CompressedImage> image = images.next();
        if (index == 13) {
          EXPECT_FALSE(image) << "a failed compression gives no image";
        } else {
          ASSERT_TRUE(image);
          ASSERT_EQ(image->size, 1u);
          EXPECT_EQ(image->buffer[0], index) << threads << " threads";
        }
      }
      ++counter.dropped;
    }
    EXPECT_FALSE(images.next());
    EXPECT_LE(counter.most_alive, static_cast<int>(threads)) << threads << " threads";
    EXPECT_EQ(counter.started, 40);
  }
}

TEST(OrderedCompression, StopsCleanlyWhenAbandonedEarly) {
  std::vector<std::uint8_t> bytes = numbered(50);
  CountingCompressor counter;
  {
    OrderedCompression images(one_byte_images(bytes), 4, counter.function());
    EXPECT_EQ(images.next()->buffer[0], 0);
  }
  EXPECT_LT(counter.started, 50);
}

}  // namespace
}  // namespace wendlow::pdf
