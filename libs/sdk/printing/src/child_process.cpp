#include "child_process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

extern char** environ;

namespace os_actions::printing::detail {
namespace {

using Clock = std::chrono::steady_clock;

class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(other.release()) {}
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = other.release();
    }
    return *this;
  }
  ~Fd() { reset(); }
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }
  void reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

struct Pipe {
  Fd read, write;
};

std::expected<Pipe, std::string> make_pipe() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0)
    return std::unexpected(std::string("pipe: ") + std::strerror(errno));
  return Pipe{Fd(fds[0]), Fd(fds[1])};
}

// Ends the child's whole process group and collects the child.
void kill_and_reap(pid_t pid) {
  ::kill(-pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

std::expected<ChildOutput, std::string> run_child(const std::vector<std::string>& argv,
                                                  const ChildLimits& limits) {
  if (argv.empty()) return std::unexpected("no program to run");
  auto out_pipe = make_pipe();
  auto err_pipe = make_pipe();
  if (!out_pipe) return std::unexpected(out_pipe.error());
  if (!err_pipe) return std::unexpected(err_pipe.error());

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out_pipe->write.get(), 1);
  posix_spawn_file_actions_adddup2(&actions, err_pipe->write.get(), 2);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setpgroup(&attributes, 0);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int spawned =
      ::posix_spawn(&pid, argv[0].c_str(), &actions, &attributes, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (spawned != 0) {
    return std::unexpected("could not start " + argv[0] + ": " + std::strerror(spawned));
  }
  out_pipe->write.reset();
  err_pipe->write.reset();

  ChildOutput result;
  const auto deadline = Clock::now() + limits.time;
  std::array<pollfd, 2> polls{pollfd{out_pipe->read.get(), POLLIN, 0},
                              pollfd{err_pipe->read.get(), POLLIN, 0}};
  std::array<std::uint8_t, 65536> buffer;
  int open_streams = 2;
  while (open_streams > 0) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      kill_and_reap(pid);
      return std::unexpected(argv[0] + " ran out of time after " +
                             std::to_string(limits.time.count()) + " ms");
    }
    const int ready = ::poll(polls.data(), polls.size(), static_cast<int>(left));
    if (ready < 0 && errno != EINTR) {
      kill_and_reap(pid);
      return std::unexpected(std::string("poll: ") + std::strerror(errno));
    }
    for (std::size_t i = 0; i < polls.size(); ++i) {
      if (polls[i].fd < 0 || !(polls[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      const auto got = ::read(polls[i].fd, buffer.data(), buffer.size());
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        polls[i].fd = -1;
        --open_streams;
        continue;
      }
      const auto bytes = static_cast<std::size_t>(got);
      if (i == 0) {
        if (result.out.size() + bytes > limits.stdout_bytes) {
          kill_and_reap(pid);
          return std::unexpected(argv[0] + " wrote more than " +
                                 std::to_string(limits.stdout_bytes) + " bytes");
        }
        result.out.insert(result.out.end(), buffer.begin(), buffer.begin() + got);
      } else if (result.err.size() < limits.stderr_bytes) {
        // Diagnostics beyond the limit are dropped, not fatal.
        const auto keep = std::min(bytes, limits.stderr_bytes - result.err.size());
        result.err.append(reinterpret_cast<const char*>(buffer.data()), keep);
      }
    }
  }
  // Both streams closed: the child is exiting; a child that closed them and hangs on is
  // still held to the deadline.
  int status = 0;
  while (true) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return std::unexpected("waitpid failed");
    if (Clock::now() >= deadline) {
      kill_and_reap(pid);
      return std::unexpected(argv[0] + " ran out of time after " +
                             std::to_string(limits.time.count()) + " ms");
    }
    ::usleep(2000);
  }
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  return result;
}

}  // namespace os_actions::printing::detail
