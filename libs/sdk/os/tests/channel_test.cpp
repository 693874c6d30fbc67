#include "vesk_os/channel.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace vesk_os {
namespace {

TEST(Channel, DeliversInOrderAndReportsEmptyThenClosed) {
  auto [tx, rx] = channel<int>();
  EXPECT_EQ(rx.try_recv().error(), RecvError::Empty);
  EXPECT_TRUE(tx.send(1));
  EXPECT_TRUE(tx.send(2));
  EXPECT_EQ(rx.try_recv().value(), 1);
  EXPECT_EQ(rx.try_recv().value(), 2);
  EXPECT_EQ(rx.try_recv().error(), RecvError::Empty);
  { auto gone = std::move(tx); }
  EXPECT_EQ(rx.try_recv().error(), RecvError::Closed);
}

TEST(Channel, ValuesQueuedBeforeTheLastSenderLeftAreStillDelivered) {
  auto [tx, rx] = channel<std::string>();
  {
    auto clone = tx;
    clone.send("from clone");
  }
  tx.send("from original");
  { auto gone = std::move(tx); }
  EXPECT_EQ(rx.try_recv().value(), "from clone");
  EXPECT_EQ(rx.try_recv().value(), "from original");
  EXPECT_EQ(rx.try_recv().error(), RecvError::Closed);
}

TEST(Channel, SendToADroppedReceiverFailsAndReleasesTheValue) {
  auto [tx, rx] = channel<std::shared_ptr<int>>();
  { auto gone = std::move(rx); }
  auto value = std::make_shared<int>(7);
  EXPECT_FALSE(tx.send(value));
  EXPECT_EQ(value.use_count(), 1);
}

TEST(Channel, DroppingTheReceiverReleasesQueuedValues) {
  auto [tx, rx] = channel<std::shared_ptr<int>>();
  auto value = std::make_shared<int>(7);
  tx.send(value);
  EXPECT_EQ(value.use_count(), 2);
  { auto gone = std::move(rx); }
  EXPECT_EQ(value.use_count(), 1);
}

TEST(Channel, ManyProducersLoseNothing) {
  auto [tx, rx] = channel<int>();
  constexpr int kThreads = 4;
  constexpr int kEach = 2000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([tx = tx, t] {
      for (int i = 0; i < kEach; ++i) tx.send(t * kEach + i);
    });
  }
  for (auto& thread : threads) thread.join();
  { auto gone = std::move(tx); }
  std::vector<bool> seen(kThreads * kEach, false);
  int count = 0;
  while (auto value = rx.try_recv()) {
    seen.at(*value) = true;
    ++count;
  }
  EXPECT_EQ(count, kThreads * kEach);
  EXPECT_EQ(rx.try_recv().error(), RecvError::Closed);
}

TEST(Channel, WakerRunsOnSendAndAtInstallationWhenValuesWait) {
  auto [tx, rx] = channel<int>();
  std::atomic<int> wakes = 0;
  tx.send(1);
  Waker waker;
  waker.set_target([&] { ++wakes; });
  rx.set_waker(waker);
  EXPECT_EQ(wakes, 1) << "a value sent before installation must still wake";
  tx.send(2);
  EXPECT_EQ(wakes, 2);
  ASSERT_TRUE(tx.waker().has_value());
  EXPECT_TRUE(tx.waker()->same_as(waker));
  waker.set_target({});
  tx.send(3);
  EXPECT_EQ(wakes, 2);
}

TEST(Channel, WakerRunsWhenTheLastSenderLeaves) {
  auto [tx, rx] = channel<int>();
  std::atomic<int> wakes = 0;
  Waker waker;
  waker.set_target([&] { ++wakes; });
  rx.set_waker(waker);
  { auto gone = std::move(tx); }
  EXPECT_EQ(wakes, 1);
}

TEST(Oneshot, DeliversExactlyOnce) {
  auto [tx, rx] = oneshot<std::string>();
  EXPECT_EQ(rx.try_recv().error(), RecvError::Empty);
  EXPECT_FALSE(rx.ready());
  EXPECT_TRUE(std::move(tx).send("done"));
  EXPECT_TRUE(rx.ready());
  EXPECT_EQ(rx.try_recv().value(), "done");
  EXPECT_EQ(rx.try_recv().error(), RecvError::Closed);
}

TEST(Oneshot, DroppedSenderClosesTheReceiver) {
  auto [tx, rx] = oneshot<int>();
  { auto gone = std::move(tx); }
  EXPECT_TRUE(rx.ready());
  EXPECT_EQ(rx.try_recv().error(), RecvError::Closed);
}

TEST(Oneshot, SendToDroppedReceiverFailsQuietly) {
  auto [tx, rx] = oneshot<std::shared_ptr<int>>();
  EXPECT_TRUE(tx.receiver_alive());
  { auto gone = std::move(rx); }
  EXPECT_FALSE(tx.receiver_alive());
  auto value = std::make_shared<int>(1);
  EXPECT_FALSE(std::move(tx).send(value));
  EXPECT_EQ(value.use_count(), 1);
}

TEST(Oneshot, ReplacingAReceiverAbandonsTheOldResult) {
  auto [old_tx, old_rx] = oneshot<int>();
  auto [new_tx, new_rx] = oneshot<int>();
  old_rx = std::move(new_rx);
  EXPECT_FALSE(std::move(old_tx).send(1));
  EXPECT_TRUE(std::move(new_tx).send(2));
  EXPECT_EQ(old_rx.try_recv().value(), 2);
}

TEST(Oneshot, WakesOnValueOnDropAndAtLateInstallation) {
  std::atomic<int> wakes = 0;
  Waker waker;
  waker.set_target([&] { ++wakes; });
  {
    auto [tx, rx] = oneshot<int>(waker);
    std::thread([tx = std::move(tx)]() mutable { std::move(tx).send(5); }).join();
    EXPECT_EQ(wakes, 1);
  }
  {
    auto [tx, rx] = oneshot<int>(waker);
    { auto gone = std::move(tx); }
    EXPECT_EQ(wakes, 2);
  }
  {
    auto [tx, rx] = oneshot<int>();
    std::move(tx).send(1);
    rx.set_waker(waker);
    EXPECT_EQ(wakes, 3);
  }
}

}  // namespace
}  // namespace vesk_os
