#pragma once
// Runs a child process without a shell under a time limit, output limits and optionally a
// memory limit.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <expected>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace bounded_command {

struct PreparedCommand {
  // Looked up on the executable search path unless it contains a slash.
  std::string program;
  // Passed as they are, after the program name.
  std::vector<std::string> arguments;
  // Set in the child's environment on top of the parent's, replacing variables of that name.
  std::vector<std::pair<std::string, std::string>> extra_environment;
};

struct ExitStatus {
  std::optional<int> code;    // set when the child exited
  std::optional<int> signal;  // set when a signal ended it
  bool success() const { return code == 0; }
};

struct Finished {
  ExitStatus status;
  std::vector<std::uint8_t> standard_output;
  std::vector<std::uint8_t> standard_error;
};

enum class Stream { Stdout, Stderr };

// "stdout" or "stderr".
std::string_view stream_name(Stream stream);

// Starting, feeding or waiting for the child failed at the operating-system level.
struct IoError {
  int error_number = 0;
  std::string message;
  // The program does not exist (the system reported "no such file").
  bool program_not_found() const;
};

struct OutputLimitExceeded {
  Stream stream;
};

struct TimeLimitExceeded {};

struct OtherFailure {
  std::string message;
};

using Failure = std::variant<IoError, OutputLimitExceeded, TimeLimitExceeded, OtherFailure>;

struct Limits {
  std::size_t stdout_bytes = 0;
  std::size_t stderr_bytes = 0;
  std::chrono::milliseconds time{0};
  // The child's address-space limit (RLIMIT_AS), set before it executes the program: an
  // allocation beyond it fails inside the child. None when absent.
  std::optional<std::uint64_t> address_space_bytes;
};

// Starts `command` in a process group of its own with `standard_input` as its input (nothing,
// like /dev/null, when empty) and collects both outputs. When an output grows beyond its limit
// or the time limit passes, the whole process group is killed and the child reaped; partial
// output is discarded. After the child exits, anything left in its process group is killed.
std::expected<Finished, Failure> run_prepared_with_limits(
    const PreparedCommand& command, std::span<const std::uint8_t> standard_input,
    std::size_t stdout_limit, std::size_t stderr_limit, std::chrono::milliseconds time_limit);

// The same with every limit in one place, the memory limit included.
std::expected<Finished, Failure> run_prepared_with_limits(
    const PreparedCommand& command, std::span<const std::uint8_t> standard_input,
    const Limits& limits);

// Takes standard output as it arrives: called with everything not yet taken whenever more came,
// it returns how many bytes from the front it has taken; those are dropped from the output.
using OutputConsumer = std::function<std::size_t(std::span<const std::uint8_t> available)>;

// As above, for children that deliver their output in pieces (a scanner's sheets): the output
// limit applies to what is not taken yet, and the time limit starts again whenever the consumer
// takes something, so it bounds the wait for each piece. `Finished::standard_output` holds what
// was left untaken.
std::expected<Finished, Failure> run_prepared_with_limits(
    const PreparedCommand& command, std::span<const std::uint8_t> standard_input,
    std::size_t stdout_limit, std::size_t stderr_limit, std::chrono::milliseconds time_limit,
    const OutputConsumer& consume);

}  // namespace bounded_command
