#include "quit_signals.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <atomic>
#include <cerrno>
#include <utility>

namespace vesk_ui_qt {

namespace {

// A signal handler can reach nothing but globals; this one holds the pipe's writing end
// while a QuitOnSignals lives (-1 otherwise).
std::atomic<int> quit_pipe{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void on_quit_signal(int signal_number) {
  const int saved = errno;
  const int fd = quit_pipe.load();
  if (fd >= 0) {
    const char byte = static_cast<char>(signal_number);
    [[maybe_unused]] const auto written = ::write(fd, &byte, 1);
  }
  errno = saved;
}

}  // namespace

QuitOnSignals::QuitOnSignals() {
  if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
    char bytes[16];
    while (::read(pipe_[0], bytes, sizeof bytes) > 0) {
    }
    QCoreApplication::exit(0);
  });
  quit_pipe.store(pipe_[1]);
  struct sigaction action {};
  action.sa_handler = on_quit_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  // A signal ignored on entry stays ignored (a shell's background job ignores SIGINT).
  for (auto [number, previous] :
       {std::pair{SIGTERM, &previous_term_}, std::pair{SIGINT, &previous_int_}}) {
    ::sigaction(number, nullptr, previous);
    if (previous->sa_handler != SIG_IGN) ::sigaction(number, &action, nullptr);
  }
}

QuitOnSignals::~QuitOnSignals() {
  if (pipe_[0] < 0) return;
  ::sigaction(SIGTERM, &previous_term_, nullptr);
  ::sigaction(SIGINT, &previous_int_, nullptr);
  quit_pipe.store(-1);
  notifier_.reset();
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

}  // namespace vesk_ui_qt
