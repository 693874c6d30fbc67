#pragma once
// Runs a helper program with a time limit and output limits, through bounded_command: the
// child gets its own process group; on a limit the whole group is killed, so nothing it
// started lingers.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <expected>
#include <string>
#include <vector>

namespace os_actions::printing::detail {

struct ChildLimits {
  std::chrono::milliseconds time{10000};
  std::size_t stdout_bytes = 1 << 20;
  std::size_t stderr_bytes = 64 << 10;
};

struct ChildOutput {
  int exit_code = 0;  // meaningful when not killed by a signal
  int signal = 0;     // the signal that ended the child, 0 when it exited
  std::vector<std::uint8_t> out;
  std::string err;
};

// Errors: the program could not be started, ran out of time, or wrote more than allowed.
std::expected<ChildOutput, std::string> run_child(const std::vector<std::string>& argv,
                                                  const ChildLimits& limits);

}  // namespace os_actions::printing::detail
