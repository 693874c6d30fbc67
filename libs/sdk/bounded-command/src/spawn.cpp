#include "spawn.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace bounded_command::detail {
namespace {

IoError io_error(std::string_view what, int error_number) {
  return IoError{error_number, std::string(what) + ": " + std::strerror(error_number)};
}

std::expected<std::pair<UniqueFd, UniqueFd>, IoError> make_pipe() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0)
    return std::unexpected(io_error("could not create a pipe", errno));
  return std::pair{UniqueFd(fds[0]), UniqueFd(fds[1])};
}

void set_non_blocking(int fd) {
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// The parent's environment with the extra variables added or replaced.
std::vector<std::string> child_environment(const PreparedCommand& command) {
  std::vector<std::string> entries;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    const std::string_view name = text.substr(0, text.find('='));
    bool replaced = false;
    for (const auto& [extra_name, value] : command.extra_environment)
      replaced |= extra_name == name;
    if (!replaced) entries.emplace_back(text);
  }
  for (const auto& [name, value] : command.extra_environment) entries.push_back(name + "=" + value);
  return entries;
}

std::vector<char*> pointers_to(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

class SpawnSetup {
 public:
  SpawnSetup() {
    ::posix_spawn_file_actions_init(&actions_);
    ::posix_spawnattr_init(&attributes_);
  }
  ~SpawnSetup() {
    ::posix_spawn_file_actions_destroy(&actions_);
    ::posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

// The program as execve needs it: a name with a slash is used as it is, any other is looked
// up on this process's executable search path, as posix_spawnp does.
std::expected<std::string, IoError> resolve_program(const std::string& program) {
  if (program.find('/') != std::string::npos) return program;
  const char* search = std::getenv("PATH");
  const std::string_view path = search && *search ? search : "/bin:/usr/bin";
  int last_error = ENOENT;
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t end = std::min(path.find(':', start), path.size());
    const std::string_view directory = path.substr(start, end - start);
    std::string candidate =
        (directory.empty() ? std::string(".") : std::string(directory)) + "/" + program;
    struct stat info {};
    if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
      if (::access(candidate.c_str(), X_OK) == 0) return candidate;
      last_error = EACCES;
    }
    start = end + 1;
  }
  return std::unexpected(io_error("could not start " + program, last_error));
}

// What the forked child does before it becomes the program: only calls that are safe
// between fork and exec in a process with threads. Reports a failure's errno on `report`.
[[noreturn]] void become_program(const char* path, char* const* argv, char* const* envp, int input,
                                 int output, int error, int report,
                                 std::uint64_t address_space_bytes) {
  ::setpgid(0, 0);
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  for (int signal_number = 1; signal_number < NSIG; ++signal_number) {
    ::sigaction(signal_number, &default_action, nullptr);
  }
  sigset_t no_signals;
  sigemptyset(&no_signals);
  ::sigprocmask(SIG_SETMASK, &no_signals, nullptr);
  if (input < 0) input = ::open("/dev/null", O_RDONLY);
  if (input < 0 || ::dup2(input, STDIN_FILENO) < 0 || ::dup2(output, STDOUT_FILENO) < 0 ||
      ::dup2(error, STDERR_FILENO) < 0) {
    const int failure = errno;
    (void)!::write(report, &failure, sizeof failure);
    ::_exit(127);
  }
  // Everything else closes, except the report pipe, which closes by itself on exec.
  const unsigned first = STDERR_FILENO + 1;
  if (static_cast<unsigned>(report) > first) {
    ::syscall(SYS_close_range, first, static_cast<unsigned>(report) - 1, 0);
  }
  ::syscall(SYS_close_range, static_cast<unsigned>(report) + 1, ~0U, 0);
  const rlimit limit{static_cast<rlim_t>(address_space_bytes),
                     static_cast<rlim_t>(address_space_bytes)};
  if (::setrlimit(RLIMIT_AS, &limit) == 0) ::execve(path, argv, envp);
  const int failure = errno;
  (void)!::write(report, &failure, sizeof failure);
  ::_exit(127);
}

}  // namespace

std::expected<Child, IoError> spawn_child(const PreparedCommand& command, bool with_input,
                                          std::optional<std::uint64_t> address_space_bytes) {
  auto output = make_pipe();
  if (!output) return std::unexpected(output.error());
  auto error = make_pipe();
  if (!error) return std::unexpected(error.error());
  std::pair<UniqueFd, UniqueFd> input;
  if (with_input) {
    auto made = make_pipe();
    if (!made) return std::unexpected(made.error());
    input = std::move(*made);
  }

  std::vector<std::string> argument_strings;
  argument_strings.push_back(command.program);
  argument_strings.insert(argument_strings.end(), command.arguments.begin(),
                          command.arguments.end());
  std::vector<char*> argv = pointers_to(argument_strings);
  std::vector<std::string> environment = child_environment(command);
  std::vector<char*> envp = pointers_to(environment);

  pid_t pid = -1;
  if (address_space_bytes) {
    auto path = resolve_program(command.program);
    if (!path) return std::unexpected(path.error());
    auto report = make_pipe();
    if (!report) return std::unexpected(report.error());
    pid = ::fork();
    if (pid < 0) return std::unexpected(io_error("could not start " + command.program, errno));
    if (pid == 0) {
      become_program(path->c_str(), argv.data(), envp.data(), with_input ? input.first.get() : -1,
                     output->second.get(), error->second.get(), report->second.get(),
                     *address_space_bytes);
    }
    // The report pipe closes without a word when the program started.
    report->second.reset();
    int failure = 0;
    ssize_t got = 0;
    do {
      got = ::read(report->first.get(), &failure, sizeof failure);
    } while (got < 0 && errno == EINTR);
    if (got == static_cast<ssize_t>(sizeof failure)) {
      int status = 0;
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      return std::unexpected(io_error("could not start " + command.program, failure));
    }
  } else {
    SpawnSetup setup;
    // A process group of its own, so that limits can end everything the child started;
    // default signal handling and an empty signal mask whatever the caller's thread had.
    sigset_t all_signals;
    sigset_t no_signals;
    sigfillset(&all_signals);
    sigemptyset(&no_signals);
    ::posix_spawnattr_setflags(
        &setup.attributes_, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    ::posix_spawnattr_setpgroup(&setup.attributes_, 0);
    ::posix_spawnattr_setsigmask(&setup.attributes_, &no_signals);
    ::posix_spawnattr_setsigdefault(&setup.attributes_, &all_signals);

    if (with_input) {
      ::posix_spawn_file_actions_adddup2(&setup.actions_, input.first.get(), STDIN_FILENO);
    } else {
      ::posix_spawn_file_actions_addopen(&setup.actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    ::posix_spawn_file_actions_adddup2(&setup.actions_, output->second.get(), STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(&setup.actions_, error->second.get(), STDERR_FILENO);
    ::posix_spawn_file_actions_addclosefrom_np(&setup.actions_, STDERR_FILENO + 1);

    const int result = ::posix_spawnp(&pid, command.program.c_str(), &setup.actions_,
                                      &setup.attributes_, argv.data(), envp.data());
    if (result != 0) {
      return std::unexpected(io_error("could not start " + command.program, result));
    }
  }

  Child child;
  child.pid = pid;
  child.output = std::move(output->first);
  child.error = std::move(error->first);
  child.input = std::move(input.second);
  set_non_blocking(child.output.get());
  set_non_blocking(child.error.get());
  if (child.input) set_non_blocking(child.input.get());
  return child;
}

}  // namespace bounded_command::detail
