#pragma once

namespace vesk_os {

// Holds a T that is never destroyed: exit handlers leave it alone, so threads that are
// still running while the process ends can keep using it.
template <class T>
class NeverDestroyed {
 public:
  NeverDestroyed() : value_() {}
  ~NeverDestroyed() {}
  NeverDestroyed(const NeverDestroyed&) = delete;
  NeverDestroyed& operator=(const NeverDestroyed&) = delete;

  T& get() { return value_; }

 private:
  union {
    T value_;
  };
};

}  // namespace vesk_os
