#pragma once
// SIGTERM and SIGINT end the event loop as closing the window does: the program returns
// from the launch entry, destructors run and temporary files are removed. The handlers
// reset themselves, so a second signal during shutdown ends the process at once. A signal
// that was ignored when the program started stays ignored.
#include <QSocketNotifier>
#include <csignal>
#include <memory>

namespace vesk_ui_qt {

class QuitOnSignals {
 public:
  // Installs the handlers; at most one instance at a time. Needs the application object.
  QuitOnSignals();
  // Restores the handlers that were there before.
  ~QuitOnSignals();
  QuitOnSignals(const QuitOnSignals&) = delete;
  QuitOnSignals& operator=(const QuitOnSignals&) = delete;

 private:
  int pipe_[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier_;
  struct sigaction previous_term_ {};
  struct sigaction previous_int_ {};
};

}  // namespace vesk_ui_qt
