#include "vesk_os/thread.hpp"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>

#include "vesk_os/channel.hpp"

namespace vesk_os {
namespace {

TEST(SpawnNamed, OsNameIsCutTo15BytesAndFullNameIsRecorded) {
  const std::string name = "vesk-scan-document-page-one";  // 27 bytes
  ASSERT_EQ(name.size(), 27u);
  std::promise<std::pair<std::string, std::string>> seen;
  spawn_named(name, [&] {
    std::array<char, 32> buffer{};
    pthread_getname_np(pthread_self(), buffer.data(), buffer.size());
    seen.set_value({buffer.data(), current_thread_name()});
  });
  auto [os_name, full_name] = seen.get_future().get();
  EXPECT_EQ(os_name, "vesk-scan-docum");
  EXPECT_EQ(full_name, name);
  auto names = spawned_thread_names();
  EXPECT_NE(std::find(names.begin(), names.end(), name), names.end());
}

TEST(SpawnNamed, CutNeverSplitsAUtf8Character) {
  // 14 ASCII bytes, then a two-byte "é": the cut must fall before it.
  EXPECT_EQ(os_thread_name("abcdefghijklmn\xC3\xA9xyz"), "abcdefghijklmn");
  EXPECT_EQ(os_thread_name("short"), "short");
  EXPECT_EQ(os_thread_name("exactly-15-byte"), "exactly-15-byte");
}

TEST(SpawnNamed, ALoweredPriorityStaysWithItsThread) {
  std::promise<int> worker_nice;
  auto answer = worker_nice.get_future();
  const int own = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)));
  ASSERT_TRUE(spawn_named("vesk-lower-priority", [&worker_nice] {
    lower_thread_priority();
    worker_nice.set_value(::getpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid))));
  }));
  EXPECT_EQ(answer.get(), std::min(own + 10, 19));
  EXPECT_EQ(::getpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid))), own);
}

TEST(SpawnNamed, ThrowingWorkerLeavesTheProcessAlive) {
  auto [tx, rx] = oneshot<int>();
  spawn_named("vesk-throw-test", [] { throw std::runtime_error("worker failed on purpose"); });
  spawn_named("vesk-throw-other", [] { throw 42; });
  spawn_named("vesk-after-throw", [tx = std::move(tx)]() mutable { std::move(tx).send(1); });
  for (int i = 0; i < 500 && !rx.ready(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EXPECT_EQ(rx.try_recv().value(), 1);
}

}  // namespace
}  // namespace vesk_os
