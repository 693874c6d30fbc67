#pragma once
// A shared wake-up hook. Channels call `wake()` after every send so that the thread that
// reads them (the UI thread) can be woken without polling; the host installs the target.
#include <functional>
#include <memory>
#include <mutex>

namespace vesk_os {

class Waker {
 public:
  Waker() : slot_(std::make_shared<Slot>()) {}

  // Replaces the function run by `wake()`; an empty function turns waking off.
  void set_target(std::function<void()> target) const {
    std::lock_guard lock(slot_->mutex);
    slot_->target = std::move(target);
  }

  // Runs the target, if any, on the calling thread. Safe from any thread.
  void wake() const {
    std::function<void()> target;
    {
      std::lock_guard lock(slot_->mutex);
      target = slot_->target;
    }
    if (target) target();
  }

  bool same_as(const Waker& other) const { return slot_ == other.slot_; }

 private:
  struct Slot {
    std::mutex mutex;
    std::function<void()> target;
  };
  std::shared_ptr<Slot> slot_;
};

}  // namespace vesk_os
