#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <thread>
#include <vector>

#include "pdf/compressed_image.hpp"

namespace wendlow::pdf {

// Compresses page images ahead of the file's assembly and hands them out in document order.
//
// With more than one thread, `threads` workers compress while the caller assembles. A worker
// starts image i only once the caller has released every image before i − threads + 1, so at
// most `threads` compressed images are alive at a time, whatever the document's length. Each
// image depends only on its own pixels, so the bytes do not depend on the thread count. With
// one thread (or one image) the caller compresses each image when it asks for it.
class OrderedCompression {
 public:
  // `images` must outlive this object; `compress` is called concurrently.
  OrderedCompression(std::vector<std::span<const std::uint8_t>> images, unsigned threads,
                     ImageCompressor compress);
  ~OrderedCompression();
  OrderedCompression(const OrderedCompression&) = delete;
  OrderedCompression& operator=(const OrderedCompression&) = delete;

  // The next image in document order, nothing when its compression failed (or every image was
  // handed out); waits for it when needed. Calling again declares the previous image
  // released. Call once per image at most.
  std::optional<CompressedImage> next();

 private:
  struct Slot {
    std::optional<CompressedImage> image;
    std::atomic<bool> ready{false};
  };

  void work();

  std::vector<std::span<const std::uint8_t>> images_;
  ImageCompressor compress_;
  std::size_t window_;
  std::unique_ptr<Slot[]> slots_;
  std::atomic<std::size_t> next_to_compress_{0};
  std::atomic<std::size_t> released_{0};  // images before this index are gone
  std::atomic<bool> abandoned_{false};
  std::size_t next_to_hand_out_ = 0;
  std::vector<std::jthread> workers_;  // declared last: joined before the state above goes
};

}  // namespace wendlow::pdf
