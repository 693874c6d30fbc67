#include "pdf/ordered_compression.hpp"

#include <algorithm>
#include <system_error>

namespace wendlow::pdf {

OrderedCompression::OrderedCompression(std::vector<std::span<const std::uint8_t>> images,
                                       unsigned threads, ImageCompressor compress)
    : images_(std::move(images)),
      compress_(std::move(compress)),
      window_(std::min<std::size_t>(std::max(threads, 1u), images_.size())),
      slots_(std::make_unique<Slot[]>(images_.size())) {
  if (window_ <= 1) return;
  workers_.reserve(window_);
  try {
    while (workers_.size() < window_) workers_.emplace_back([this] { work(); });
  } catch (const std::system_error&) {
    // Fewer workers only make it slower; with none the caller compresses.
  }
}

OrderedCompression::~OrderedCompression() {
  abandoned_ = true;
  ++released_;  // a changed value wakes workers waiting for the window
  released_.notify_all();
  workers_.clear();
}

void OrderedCompression::work() {
  for (std::size_t index = next_to_compress_++; index < images_.size();
       index = next_to_compress_++) {
    std::size_t released = released_.load();
    while (index >= released + window_ && !abandoned_) {
      released_.wait(released);
      released = released_.load();
    }
    if (abandoned_) return;
    Slot& slot = slots_[index];
    slot.image = compress_(images_[index]);
    slot.ready.store(true);
    slot.ready.notify_one();
  }
}

std::optional<CompressedImage> OrderedCompression::next() {
  std::size_t index = next_to_hand_out_++;
  if (index >= images_.size()) return std::nullopt;
  if (workers_.empty()) return compress_(images_[index]);

  released_.store(index);
  released_.notify_all();
  Slot& slot = slots_[index];
  slot.ready.wait(false);
  return std::move(slot.image);
}

}  // namespace wendlow::pdf
