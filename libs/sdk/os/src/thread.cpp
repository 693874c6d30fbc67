#include "vesk_os/thread.hpp"

#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <exception>
#include <iostream>
#include <mutex>
#include <system_error>
#include <thread>

#include "vesk_os/never_destroyed.hpp"

namespace vesk_os {
namespace {

// The registry is diagnostic record-keeping that tests read; it never steers behaviour.
struct SpawnRegistry {
  std::mutex mutex;
  std::vector<std::string> names;
};

// Never destroyed: detached threads may still start threads of their own while the
// process exits.
SpawnRegistry& registry() {
  static NeverDestroyed<SpawnRegistry> instance;
  return instance.get();
}

thread_local std::string this_thread_name;

}  // namespace

std::string os_thread_name(std::string_view name) {
  if (name.size() <= kOsThreadNameLimit) return std::string(name);
  std::size_t cut = kOsThreadNameLimit;
  // Step back over UTF-8 continuation bytes so the cut lands on a character boundary.
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  return std::string(name.substr(0, cut));
}

bool spawn_named(std::string name, std::move_only_function<void()> work) {
  {
    auto& reg = registry();
    std::lock_guard lock(reg.mutex);
    reg.names.push_back(name);
  }
  try {
    std::thread([name = std::move(name), work = std::move(work)]() mutable {
      this_thread_name = name;
      pthread_setname_np(pthread_self(), os_thread_name(name).c_str());
      try {
        work();
      } catch (const std::exception& error) {
        std::cerr << "thread " << name << " failed: " << error.what() << '\n';
      } catch (...) {
        std::cerr << "thread " << name << " failed with an unknown exception\n";
      }
    }).detach();
  } catch (const std::system_error& error) {
    std::cerr << "could not start a thread: " << error.what() << '\n';
    return false;
  }
  return true;
}

void lower_thread_priority() {
  // On Linux a thread id names just that thread.
  const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
  ::setpriority(PRIO_PROCESS, thread, 10);
}

std::vector<std::string> spawned_thread_names() {
  auto& reg = registry();
  std::lock_guard lock(reg.mutex);
  return reg.names;
}

void clear_spawned_thread_names() {
  auto& reg = registry();
  std::lock_guard lock(reg.mutex);
  reg.names.clear();
}

std::string current_thread_name() {
  return this_thread_name;
}

}  // namespace vesk_os
