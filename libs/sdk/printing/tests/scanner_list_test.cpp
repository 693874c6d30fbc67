#include "scanner_list.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace os_actions::printing::detail {
namespace {

using namespace std::chrono_literals;

// A SANE stand-in: every enumeration reports the scanners attached when it started, and
// enumerations after the first can be held until the test lets them finish.
class ScriptedSane {
 public:
  ScannerList::Answer enumerate() {
    std::unique_lock lock(mutex_);
    const auto attached = attached_;
    const int number = ++enumerations_;
    changed_.notify_all();
    if (number > 1) changed_.wait(lock, [&] { return released_ >= number; });
    return attached;
  }

  void attach(std::string id) {
    std::lock_guard lock(mutex_);
    attached_.push_back({id, id});
  }
  // Lets every enumeration up to `number` finish.
  void release(int number) {
    std::lock_guard lock(mutex_);
    released_ = number;
    changed_.notify_all();
  }
  bool wait_started(int number) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 5s, [&] { return enumerations_ >= number; });
  }
  int enumerations() {
    std::lock_guard lock(mutex_);
    return enumerations_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Scanner> attached_;
  int enumerations_ = 0;
  int released_ = 1;
};

// Background enumerations may outlive the test that started them: they share the stand-in.
ScannerList list_of(const std::shared_ptr<ScriptedSane>& sane) {
  return ScannerList([sane] { return sane->enumerate(); }, "test-scanner-list");
}

std::vector<std::string> ids(const ScannerList::Answer& answer) {
  std::vector<std::string> out;
  for (const auto& scanner : answer.value()) out.push_back(scanner.id);
  return out;
}

TEST(ScannerList, OnlyTheFirstAskWaitsAndLaterAsksShowThePreviousAsksEnumeration) {
  auto sane = std::make_shared<ScriptedSane>();
  sane->attach("a");
  auto list = list_of(sane);
  EXPECT_EQ(ids(list.get()), std::vector<std::string>{"a"});
  EXPECT_EQ(sane->enumerations(), 1) << "the first ask starts nothing further";

  sane->attach("b");
  // The second ask answers at once with the first list, while its own enumeration is held.
  EXPECT_EQ(ids(list.get()), std::vector<std::string>{"a"});
  ASSERT_TRUE(sane->wait_started(2));

  // The third ask shows the second ask's enumeration, so it waits for that one to finish.
  auto third = std::async(std::launch::async, [&] { return list.get(); });
  EXPECT_EQ(third.wait_for(50ms), std::future_status::timeout);
  sane->release(2);
  EXPECT_EQ(ids(third.get()), (std::vector<std::string>{"a", "b"}));
  ASSERT_TRUE(sane->wait_started(3));
  sane->release(100);
}

TEST(ScannerList, AScannerAttachedBetweenTwoAsksIsListedByTheAskAfterNext) {
  auto sane = std::make_shared<ScriptedSane>();
  sane->release(100);
  auto list = list_of(sane);
  for (int ask = 0; ask < 3; ++ask) EXPECT_TRUE(list.get()->empty());
  sane->attach("usb:new");
  (void)list.get();  // may show an enumeration from before the scanner came
  EXPECT_EQ(ids(list.get()), std::vector<std::string>{"usb:new"});
}

TEST(ScannerList, AFailedOrCrashedEnumerationIsAnErrorForOneAskOnly) {
  // Each enumeration reports one scanner named by its number; the second fails, the fourth
  // throws.
  auto calls = std::make_shared<std::atomic<int>>(0);
  ScannerList list([calls]() -> ScannerList::Answer {
    const int call = ++*calls;
    if (call == 2) return std::unexpected("could not list scanners: timeout");
    if (call == 4) throw std::runtime_error("backend crashed");
    return std::vector<Scanner>{{std::to_string(call), "scanner"}};
  });
  EXPECT_EQ(ids(list.get()), std::vector<std::string>{"1"});
  EXPECT_EQ(ids(list.get()), std::vector<std::string>{"1"});
  EXPECT_EQ(list.get().error(), "could not list scanners: timeout");
  EXPECT_EQ(ids(list.get()), std::vector<std::string>{"3"});
  EXPECT_EQ(list.get().error(), "could not list scanners: backend crashed");
  EXPECT_EQ(ids(list.get()), std::vector<std::string>{"5"});
}

TEST(ScannerList, ABackgroundEnumerationOutlivesItsList) {
  auto sane = std::make_shared<ScriptedSane>();
  {
    auto list = list_of(sane);
    ASSERT_TRUE(list.get());
    ASSERT_TRUE(list.get());
    ASSERT_TRUE(sane->wait_started(2));
  }
  sane->release(2);  // finishes after the list is gone
  std::this_thread::sleep_for(20ms);
}

}  // namespace
}  // namespace os_actions::printing::detail
