#pragma once
// Local states: shared value cells bound to inputs. An input writes its cell directly; the
// program reads the cell when it needs the value and may set it, which notifies every
// bound widget. Safe to use from any thread; observers run on the setter's thread, so a
// host marshals them onto its UI thread.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

namespace vesk_ui::widget::image_crop {

// Left, top, right, bottom as fractions of the page; the whole page is (0, 0, 1, 1).
struct CropSelection {
  double left = 0.0;
  double top = 0.0;
  double right = 1.0;
  double bottom = 1.0;

  bool is_whole_page() const { return left == 0.0 && top == 0.0 && right == 1.0 && bottom == 1.0; }
  bool operator==(const CropSelection&) const = default;
};

}  // namespace vesk_ui::widget::image_crop

namespace vesk_ui::local_state {

// Ends an observation when destroyed.
class Subscription {
 public:
  Subscription() = default;
  explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
  Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, {})) {}
  Subscription& operator=(Subscription&& other) noexcept {
    if (this != &other) {
      reset();
      cancel_ = std::exchange(other.cancel_, {});
    }
    return *this;
  }
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  ~Subscription() { reset(); }
  void reset() {
    if (cancel_) std::exchange(cancel_, {})();
  }

 private:
  std::function<void()> cancel_;
};

template <class T>
class LocalState {
 public:
  explicit LocalState(T start = T{}) : cell_(std::make_shared<Cell>(std::move(start))) {}

  T get() const {
    std::lock_guard lock(cell_->mutex);
    return cell_->value;
  }

  // Stores the value and notifies the observers (outside the cell's lock).
  void set(T value) const {
    std::map<std::uint64_t, std::function<void()>> observers;
    {
      std::lock_guard lock(cell_->mutex);
      cell_->value = std::move(value);
      observers = cell_->observers;
    }
    for (auto& [id, observer] : observers) observer();
  }

  // Calls `observer` after every set until the subscription ends.
  [[nodiscard]] Subscription subscribe(std::function<void()> observer) const {
    std::uint64_t id = 0;
    {
      std::lock_guard lock(cell_->mutex);
      id = cell_->next_id++;
      cell_->observers.emplace(id, std::move(observer));
    }
    std::weak_ptr<Cell> weak = cell_;
    return Subscription([weak, id] {
      if (auto cell = weak.lock()) {
        std::lock_guard lock(cell->mutex);
        cell->observers.erase(id);
      }
    });
  }

  // Two handles of the same cell.
  bool same_cell(const LocalState& other) const { return cell_ == other.cell_; }

 private:
  struct Cell {
    explicit Cell(T start) : value(std::move(start)) {}
    std::mutex mutex;
    T value;
    std::uint64_t next_id = 0;
    std::map<std::uint64_t, std::function<void()>> observers;
  };
  std::shared_ptr<Cell> cell_;
};

using NumberState = LocalState<double>;
using BoolState = LocalState<bool>;
using IndexState = LocalState<std::size_t>;
using TextState = LocalState<std::string>;
using CropState = LocalState<widget::image_crop::CropSelection>;

}  // namespace vesk_ui::local_state
