#pragma once
// One QApplication for a whole test binary (Qt allows one per process). It is never
// destroyed: destroying it among the process's static destructors crashes inside Qt.
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace vesk_ui_qt::testing {

inline QApplication& test_app() {
  static int argc = 1;
  static char name[] = "vesk_ui_qt_test";
  static char* argv[] = {name, nullptr};
  static QApplication* const app = new QApplication(argc, argv);
  return *app;
}

// Runs the event loop until `done` answers true or `milliseconds` pass; the last answer.
inline bool process_until(const std::function<bool()>& done, int milliseconds = 2000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > milliseconds) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

// A few turns of the event loop.
inline void process_turns(int turns = 5) {
  for (int turn = 0; turn < turns; ++turn) QCoreApplication::processEvents();
}

}  // namespace vesk_ui_qt::testing
