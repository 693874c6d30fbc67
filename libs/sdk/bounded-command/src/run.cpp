#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

#include "bounded_command/run.hpp"
#include "spawn.hpp"

namespace bounded_command {
namespace {

using Clock = std::chrono::steady_clock;
using detail::Child;
using detail::UniqueFd;

constexpr std::size_t kReadChunk = 64 * 1024;
// Without a process file descriptor, the child's exit is checked this often.
constexpr int kExitCheckMilliseconds = 10;

IoError io_error(std::string_view what, int error_number) {
  return IoError{error_number, std::string(what) + ": " + std::strerror(error_number)};
}

ExitStatus reap(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  ExitStatus exit;
  if (WIFEXITED(status)) exit.code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) exit.signal = WTERMSIG(status);
  return exit;
}

// The child is not reaped yet, so its pid still names its process group.
void kill_group_and_reap(pid_t pid) {
  ::kill(-pid, SIGKILL);
  reap(pid);
}

// A descriptor that becomes readable when the child exits; -1 where the kernel has none.
int open_process_fd(pid_t pid) {
  return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

bool has_exited(pid_t pid) {
  siginfo_t info{};
  if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
    return errno == ECHILD;
  }
  return info.si_pid == pid;
}

// Keeps SIGPIPE from ending the process while the child's input is written; a SIGPIPE raised
// meanwhile on this thread is consumed before the old mask returns.
class SigpipeBlock {
 public:
  SigpipeBlock() {
    sigemptyset(&pipe_only_);
    sigaddset(&pipe_only_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    was_pending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_only_, &previous_);
  }
  ~SigpipeBlock() {
    sigset_t pending;
    sigpending(&pending);
    if (!was_pending_ && sigismember(&pending, SIGPIPE) == 1) {
      const timespec zero{0, 0};
      sigtimedwait(&pipe_only_, nullptr, &zero);
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  SigpipeBlock(const SigpipeBlock&) = delete;
  SigpipeBlock& operator=(const SigpipeBlock&) = delete;

 private:
  sigset_t pipe_only_;
  sigset_t previous_;
  bool was_pending_ = false;
};

enum class ReadResult { More, End, OverLimit, Error };

// Reads what is available; more than `limit` bytes in total is over the limit.
ReadResult read_available(int fd, std::vector<std::uint8_t>& into, std::size_t limit, int& error) {
  std::uint8_t chunk[kReadChunk];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof(chunk));
    if (n > 0) {
      if (static_cast<std::size_t>(n) > limit - into.size()) return ReadResult::OverLimit;
      into.insert(into.end(), chunk, chunk + n);
      continue;
    }
    if (n == 0) return ReadResult::End;
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return ReadResult::More;
    error = errno;
    return ReadResult::Error;
  }
}

class Supervisor {
 public:
  Supervisor(Child child, std::span<const std::uint8_t> input, std::size_t stdout_limit,
             std::size_t stderr_limit, std::chrono::milliseconds time_limit,
             const OutputConsumer* consume)
      : child_(std::move(child)),
        input_(input),
        limits_{stdout_limit, stderr_limit},
        time_limit_(time_limit),
        deadline_(Clock::now() + time_limit),
        consume_(consume),
        process_(open_process_fd(child_.pid)) {}

  std::expected<Finished, Failure> run() {
    Finished finished;
    std::vector<std::uint8_t>* outputs[2] = {&finished.standard_output, &finished.standard_error};
    UniqueFd* pipes[2] = {&child_.output, &child_.error};
    bool exited = false;
    while (!exited || child_.output || child_.error) {
      const auto now = Clock::now();
      if (now >= deadline_) return fail(TimeLimitExceeded{});
      int timeout =
          static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(deadline_ - now).count());
      if (!process_ && !exited) timeout = std::min(timeout, kExitCheckMilliseconds);

      pollfd fds[4];
      nfds_t count = 0;
      int slot[4] = {};
      for (int stream = 0; stream < 2; ++stream) {
        if (*pipes[stream]) {
          slot[count] = stream;
          fds[count++] = pollfd{pipes[stream]->get(), POLLIN, 0};
        }
      }
      if (child_.input) {
        slot[count] = 2;
        fds[count++] = pollfd{child_.input.get(), POLLOUT, 0};
      }
      if (process_ && !exited) {
        slot[count] = 3;
        fds[count++] = pollfd{process_.get(), POLLIN, 0};
      }
      if (::poll(fds, count, timeout) < 0) {
        if (errno == EINTR) continue;
        return fail(io_error("could not wait for the child", errno));
      }
      for (nfds_t i = 0; i < count; ++i) {
        if (fds[i].revents == 0) continue;
        if (slot[i] < 2) {
          const int stream = slot[i];
          int error = 0;
          switch (read_available(pipes[stream]->get(), *outputs[stream], limits_[stream], error)) {
            case ReadResult::More:
              break;
            case ReadResult::End:
              pipes[stream]->reset();
              break;
            case ReadResult::OverLimit:
              return fail(OutputLimitExceeded{stream == 0 ? Stream::Stdout : Stream::Stderr});
            case ReadResult::Error:
              return fail(io_error("could not read the child's output", error));
          }
          if (stream == 0) hand_over(finished.standard_output);
        } else if (slot[i] == 2) {
          if (auto written = write_input(); !written) return fail(written.error());
        }
      }
      if (!exited && has_exited(child_.pid)) {
        exited = true;
        child_.input.reset();
        // Whatever the child left running would keep its pipes open past its end.
        ::kill(-child_.pid, SIGKILL);
      }
    }
    finished.status = reap(child_.pid);
    reaped_ = true;
    return finished;
  }

  ~Supervisor() {
    if (!reaped_) kill_group_and_reap(child_.pid);
  }

  Supervisor(const Supervisor&) = delete;
  Supervisor& operator=(const Supervisor&) = delete;

 private:
  std::unexpected<Failure> fail(Failure failure) {
    kill_group_and_reap(child_.pid);
    reaped_ = true;
    return std::unexpected(std::move(failure));
  }

  // Gives new output to the consumer; what it takes is dropped and restarts the time limit.
  void hand_over(std::vector<std::uint8_t>& output) {
    if (!consume_ || !*consume_ || output.empty()) return;
    const std::size_t taken = std::min((*consume_)(output), output.size());
    if (taken == 0) return;
    output.erase(output.begin(), output.begin() + static_cast<std::ptrdiff_t>(taken));
    deadline_ = Clock::now() + time_limit_;
  }

  std::expected<void, IoError> write_input() {
    while (input_written_ < input_.size()) {
      const ssize_t n = ::write(child_.input.get(), input_.data() + input_written_,
                                input_.size() - input_written_);
      if (n >= 0) {
        input_written_ += static_cast<std::size_t>(n);
        continue;
      }
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return {};
      if (errno == EPIPE) break;  // the child stopped reading; that is its business
      return std::unexpected(io_error("could not write the child's input", errno));
    }
    child_.input.reset();
    return {};
  }

  Child child_;
  std::span<const std::uint8_t> input_;
  std::size_t input_written_ = 0;
  std::size_t limits_[2];
  std::chrono::milliseconds time_limit_;
  Clock::time_point deadline_;
  const OutputConsumer* consume_;
  UniqueFd process_;
  bool reaped_ = false;
};

}  // namespace

std::string_view stream_name(Stream stream) {
  return stream == Stream::Stdout ? "stdout" : "stderr";
}

bool IoError::program_not_found() const {
  return error_number == ENOENT;
}

namespace {

std::expected<Finished, Failure> run_supervised(const PreparedCommand& command,
                                                std::span<const std::uint8_t> standard_input,
                                                const Limits& limits,
                                                const OutputConsumer* consume) {
  if (command.program.empty()) return std::unexpected(OtherFailure{"no program given"});
  std::optional<SigpipeBlock> sigpipe_block;
  if (!standard_input.empty()) sigpipe_block.emplace();
  auto child = detail::spawn_child(command, !standard_input.empty(), limits.address_space_bytes);
  if (!child) return std::unexpected(child.error());
  Supervisor supervisor(std::move(*child), standard_input, limits.stdout_bytes, limits.stderr_bytes,
                        limits.time, consume);
  return supervisor.run();
}

}  // namespace

std::expected<Finished, Failure> run_prepared_with_limits(
    const PreparedCommand& command, std::span<const std::uint8_t> standard_input,
    const Limits& limits) {
  return run_supervised(command, standard_input, limits, nullptr);
}

std::expected<Finished, Failure> run_prepared_with_limits(
    const PreparedCommand& command, std::span<const std::uint8_t> standard_input,
    std::size_t stdout_limit, std::size_t stderr_limit, std::chrono::milliseconds time_limit,
    const OutputConsumer& consume) {
  return run_supervised(command, standard_input,
                        Limits{stdout_limit, stderr_limit, time_limit, std::nullopt}, &consume);
}

std::expected<Finished, Failure> run_prepared_with_limits(
    const PreparedCommand& command, std::span<const std::uint8_t> standard_input,
    std::size_t stdout_limit, std::size_t stderr_limit, std::chrono::milliseconds time_limit) {
  return run_supervised(command, standard_input,
                        Limits{stdout_limit, stderr_limit, time_limit, std::nullopt}, nullptr);
}

}  // namespace bounded_command
