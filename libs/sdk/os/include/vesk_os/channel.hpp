#pragma once
// Channels between threads.
//
// `channel<T>()`: unbounded, many producers, one consumer. Senders are copyable; the
// channel closes for the receiver once every sender is gone and the queue is drained.
// `oneshot<T>()`: exactly one value. Both ends are move-only.
//
// Dropping either end is always safe: a send to a dropped receiver fails quietly (it
// returns false) and the value is discarded; that is how an abandoned result is lost.
#include <cstddef>
#include <deque>
#include <expected>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "vesk_os/waker.hpp"

namespace vesk_os {

enum class RecvError {
  Empty,   // nothing yet; a value may still come
  Closed,  // nothing, and nothing can come any more
};

namespace detail {

template <class T>
struct ChannelCore {
  std::mutex mutex;
  std::deque<T> queue;
  std::size_t senders = 0;
  bool receiver_alive = true;
  std::optional<Waker> waker;

  std::optional<Waker> current_waker() {
    std::lock_guard lock(mutex);
    return waker;
  }
};

}  // namespace detail

template <class T>
class Receiver;

template <class T>
class Sender {
 public:
  Sender(const Sender& other) : core_(other.core_) { attach(); }
  Sender& operator=(const Sender& other) {
    if (this != &other) {
      detach();
      core_ = other.core_;
      attach();
    }
    return *this;
  }
  Sender(Sender&& other) noexcept : core_(std::move(other.core_)) {}
  Sender& operator=(Sender&& other) noexcept {
    if (this != &other) {
      detach();
      core_ = std::move(other.core_);
    }
    return *this;
  }
  ~Sender() { detach(); }

  // Queues the value; false (value dropped) when the receiver is gone.
  bool send(T value) const {
    if (!core_) return false;
    {
      std::lock_guard lock(core_->mutex);
      if (!core_->receiver_alive) return false;
      core_->queue.push_back(std::move(value));
    }
    if (auto waker = core_->current_waker()) waker->wake();
    return true;
  }

  // The waker of this channel's receiver, when one is installed.
  std::optional<Waker> waker() const { return core_ ? core_->current_waker() : std::nullopt; }

 private:
  template <class U>
  friend std::pair<Sender<U>, Receiver<U>> channel();
  explicit Sender(std::shared_ptr<detail::ChannelCore<T>> core) : core_(std::move(core)) {
    attach();
  }
  void attach() {
    if (!core_) return;
    std::lock_guard lock(core_->mutex);
    ++core_->senders;
  }
  void detach() {
    if (!core_) return;
    bool closed_now = false;
    {
      std::lock_guard lock(core_->mutex);
      closed_now = --core_->senders == 0 && core_->receiver_alive;
    }
    // The receiver may be waiting for a close as much as for a value.
    if (closed_now) {
      if (auto waker = core_->current_waker()) waker->wake();
    }
    core_.reset();
  }

  std::shared_ptr<detail::ChannelCore<T>> core_;
};

template <class T>
class Receiver {
 public:
  Receiver(Receiver&&) noexcept = default;
  Receiver& operator=(Receiver&& other) noexcept {
    if (this != &other) {
      close();
      core_ = std::move(other.core_);
    }
    return *this;
  }
  Receiver(const Receiver&) = delete;
  Receiver& operator=(const Receiver&) = delete;
  ~Receiver() { close(); }

  // Takes the oldest value without blocking.
  std::expected<T, RecvError> try_recv() {
    std::lock_guard lock(core_->mutex);
    if (!core_->queue.empty()) {
      T value = std::move(core_->queue.front());
      core_->queue.pop_front();
      return value;
    }
    return std::unexpected(core_->senders == 0 ? RecvError::Closed : RecvError::Empty);
  }

  // True when a value is waiting.
  bool ready() const {
    std::lock_guard lock(core_->mutex);
    return !core_->queue.empty();
  }

  // Installs the waker that every later send runs. When values are already waiting the
  // waker runs at once, so nothing sent before the installation is overlooked.
  void set_waker(Waker waker) {
    bool pending = false;
    {
      std::lock_guard lock(core_->mutex);
      core_->waker = waker;
      pending = !core_->queue.empty() || core_->senders == 0;
    }
    if (pending) waker.wake();
  }
  std::optional<Waker> waker() const { return core_->current_waker(); }

 private:
  template <class U>
  friend std::pair<Sender<U>, Receiver<U>> channel();
  explicit Receiver(std::shared_ptr<detail::ChannelCore<T>> core) : core_(std::move(core)) {}
  void close() {
    if (!core_) return;
    std::lock_guard lock(core_->mutex);
    core_->receiver_alive = false;
    core_->queue.clear();
  }

  std::shared_ptr<detail::ChannelCore<T>> core_;
};

template <class T>
std::pair<Sender<T>, Receiver<T>> channel() {
  auto core = std::make_shared<detail::ChannelCore<T>>();
  return {Sender<T>(core), Receiver<T>(core)};
}

// ---------------------------------------------------------------------------------------
// One-shot channel

template <class T>
class OneshotReceiver;

template <class T>
class OneshotSender {
 public:
  OneshotSender(OneshotSender&&) noexcept = default;
  OneshotSender& operator=(OneshotSender&& other) noexcept {
    if (this != &other) {
      close();
      core_ = std::move(other.core_);
    }
    return *this;
  }
  OneshotSender(const OneshotSender&) = delete;
  OneshotSender& operator=(const OneshotSender&) = delete;
  ~OneshotSender() { close(); }

  // Delivers the value and spends the sender; false when the receiver is gone.
  bool send(T value) && {
    auto core = std::move(core_);
    if (!core) return false;
    {
      std::lock_guard lock(core->mutex);
      core->sender_alive = false;
      if (!core->receiver_alive) return false;
      core->value = std::move(value);
    }
    if (auto waker = core->current_waker()) waker->wake();
    return true;
  }

  bool receiver_alive() const {
    if (!core_) return false;
    std::lock_guard lock(core_->mutex);
    return core_->receiver_alive;
  }

 private:
  template <class U>
  friend std::pair<OneshotSender<U>, OneshotReceiver<U>> oneshot(std::optional<Waker>);
  struct Core {
    std::mutex mutex;
    std::optional<T> value;
    bool sender_alive = true;
    bool receiver_alive = true;
    bool taken = false;
    std::optional<Waker> waker;
    std::optional<Waker> current_waker() {
      std::lock_guard lock(mutex);
      return waker;
    }
  };
  friend class OneshotReceiver<T>;
  explicit OneshotSender(std::shared_ptr<Core> core) : core_(std::move(core)) {}
  void close() {
    if (!core_) return;
    {
      std::lock_guard lock(core_->mutex);
      core_->sender_alive = false;
    }
    if (auto waker = core_->current_waker()) waker->wake();
    core_.reset();
  }

  std::shared_ptr<Core> core_;
};

template <class T>
class OneshotReceiver {
 public:
  OneshotReceiver(OneshotReceiver&&) noexcept = default;
  OneshotReceiver& operator=(OneshotReceiver&& other) noexcept {
    if (this != &other) {
      close();
      core_ = std::move(other.core_);
    }
    return *this;
  }
  OneshotReceiver(const OneshotReceiver&) = delete;
  OneshotReceiver& operator=(const OneshotReceiver&) = delete;
  ~OneshotReceiver() { close(); }

  // The value once it has arrived (then Closed for ever), Empty before, Closed when the
  // sender was dropped without sending.
  std::expected<T, RecvError> try_recv() {
    std::lock_guard lock(core_->mutex);
    if (core_->value) {
      T value = std::move(*core_->value);
      core_->value.reset();
      core_->taken = true;
      return value;
    }
    return std::unexpected(core_->sender_alive && !core_->taken ? RecvError::Empty
                                                                : RecvError::Closed);
  }

  // True when try_recv would not answer Empty.
  bool ready() const {
    std::lock_guard lock(core_->mutex);
    return core_->value.has_value() || !core_->sender_alive || core_->taken;
  }

  void set_waker(Waker waker) {
    bool pending = false;
    {
      std::lock_guard lock(core_->mutex);
      core_->waker = waker;
      pending = core_->value.has_value() || !core_->sender_alive;
    }
    if (pending) waker.wake();
  }

 private:
  template <class U>
  friend std::pair<OneshotSender<U>, OneshotReceiver<U>> oneshot(std::optional<Waker>);
  using Core = typename OneshotSender<T>::Core;
  explicit OneshotReceiver(std::shared_ptr<Core> core) : core_(std::move(core)) {}
  void close() {
    if (!core_) return;
    std::lock_guard lock(core_->mutex);
    core_->receiver_alive = false;
    core_->value.reset();
  }

  std::shared_ptr<Core> core_;
};

// A fresh one-shot channel; `waker`, when given, runs when the value arrives or the
// sender goes away.
template <class T>
std::pair<OneshotSender<T>, OneshotReceiver<T>> oneshot(std::optional<Waker> waker = {}) {
  auto core = std::make_shared<typename OneshotSender<T>::Core>();
  core->waker = std::move(waker);
  return {OneshotSender<T>(core), OneshotReceiver<T>(core)};
}

}  // namespace vesk_os
