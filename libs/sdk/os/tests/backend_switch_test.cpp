#include "vesk_os/backend_switch.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "vesk_os/thread.hpp"

namespace vesk_os {
namespace {

struct Service {
  virtual ~Service() = default;
  virtual std::string name() const = 0;
};

struct Named : Service {
  explicit Named(std::string text = "named") : text(std::move(text)) {}
  std::string name() const override { return text; }
  std::string text;
};

TEST(BackendSwitch, InstallReturnsTheBackendItReplaced) {
  BackendSwitch<Service> sw;
  EXPECT_FALSE(sw.current());
  auto first = std::make_shared<Named>("first");
  EXPECT_FALSE(sw.install(first));
  EXPECT_EQ(sw.install(std::make_shared<Named>("second")), first);
  EXPECT_EQ(sw.current()->name(), "second");
  EXPECT_EQ(sw.install(nullptr)->name(), "second");
  EXPECT_FALSE(sw.current());
}

TEST(BackendSwitch, TheDefaultIsMadeOnceEvenWhenManyThreadsAskAtOnce) {
  BackendSwitch<Service> sw;
  std::atomic<int> made{0};
  std::vector<std::thread> threads;
  std::vector<std::shared_ptr<Service>> seen(8);
  for (std::size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&, i] {
      seen[i] = sw.current_or_install([&] {
        ++made;
        return std::make_shared<Named>("default");
      });
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(made.load(), 1);
  for (const auto& each : seen) EXPECT_EQ(each, seen.front());
  // An installed backend is kept; no default is made for it.
  sw.install(std::make_shared<Named>("installed"));
  EXPECT_EQ(sw.current_or_install([&]() -> std::shared_ptr<Service> {
                ++made;
                return nullptr;
              })->name(),
            "installed");
  EXPECT_EQ(made.load(), 1);
}

struct GuardedService {
  virtual ~GuardedService() = default;
  virtual std::string name() const { return "base"; }
};
struct Fake : GuardedService {
  std::string name() const override { return "fake"; }
  int calls = 0;
};

TEST(ScopedBackend, NestedGuardsPutBackWhatTheyReplaced) {
  auto& sw = process_backend_switch<GuardedService>();
  sw.install(std::make_shared<GuardedService>());
  {
    ScopedBackend<GuardedService, Fake> fake;
    fake->calls = 3;
    EXPECT_EQ(sw.current().get(), fake.get().get());
    {
      ScopedBackend<GuardedService> none(nullptr);
      EXPECT_FALSE(sw.current());
    }
    EXPECT_EQ(sw.current()->name(), "fake");
    EXPECT_EQ((*fake).calls, 3);
  }
  EXPECT_EQ(sw.current()->name(), "base");
  sw.install(nullptr);
}

// Ends the process from its destructor: if exit handlers destroyed the process-wide switch,
// the backend it holds would go with it while workers still read it.
struct EndsTheProcessWhenDestroyed : Service {
  ~EndsTheProcessWhenDestroyed() override { _exit(3); }
  std::string name() const override { return "canary"; }
};

TEST(ProcessBackendSwitchDeathTest, OutlivesTheExitHandlersWhileAWorkerStillReadsIt) {
  EXPECT_EXIT(
      {
        auto& sw = process_backend_switch<Service>();
        sw.install(std::make_shared<EndsTheProcessWhenDestroyed>());
        std::atomic<bool> reading{false};
        spawn_named("switch-reader", [&sw, &reading] {
          while (true) {
            if (sw.current()->name() != "canary") _exit(4);
            reading = true;
          }
        });
        while (!reading) std::this_thread::yield();
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vesk_os
