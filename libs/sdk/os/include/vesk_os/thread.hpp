#pragma once
// Short-lived, named, detached worker threads.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk_os {

// Linux keeps at most this many bytes of a thread's name.
inline constexpr std::size_t kOsThreadNameLimit = 15;

// `name` cut to the OS limit without splitting a UTF-8 sequence.
std::string os_thread_name(std::string_view name);

// Starts `work` on a detached thread. Its OS name is `os_thread_name(name)`; the full name
// is recorded in the spawn registry. Any exception escaping `work` is caught and logged to
// standard error: a failing worker never ends the process. False when the system could not
// start a thread (then `work` is dropped unrun).
bool spawn_named(std::string name, std::move_only_function<void()> work);

// Lowers the calling thread's scheduling priority (nice 10), so that long work on a worker
// gives way to the UI thread on a busy machine. Best effort: nothing happens where the system
// refuses.
void lower_thread_priority();

// Full names passed to spawn_named since start (or since the last clear), oldest first.
std::vector<std::string> spawned_thread_names();
void clear_spawned_thread_names();

// The calling thread's full name when it was started by spawn_named, else empty.
std::string current_thread_name();

}  // namespace vesk_os
