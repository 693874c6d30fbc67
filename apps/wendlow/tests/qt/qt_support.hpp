#pragma once
// The dashboard start scenarios and one QApplication for a whole Qt test binary.
#include <QApplication>
#include <QCoreApplication>
#include <ostream>
#include <string>
#include <vector>

#include "vesk_ui/launch.hpp"

namespace wendlow::qt_testing {

struct Scenario {
  std::string name;
  unsigned width;
  unsigned height;

  friend void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }
};

// The scenarios that show the dashboard and its neighbours, with their window sizes.
inline const std::vector<Scenario>& dashboard_scenarios() {
  static const std::vector<Scenario> kScenarios = {
      {"default", 1280, 800},
      {"narrow", 520, 820},
      {"active", 1280, 800},
      {"attention", 1280, 800},
      {"empty", 1280, 800},
      {"service-error", 1280, 800},
      {"service-error-narrow", 520, 820},
  };
  return kScenarios;
}

// The device screens' scenarios, each in the wide and in the narrow window.
inline const std::vector<Scenario>& device_scenarios() {
  static const std::vector<Scenario> kScenarios = [] {
    std::vector<Scenario> all;
    for (const char* name : {"queue", "device", "discovery", "history", "diagnostics"}) {
      all.push_back({name, 1280, 800});
      all.push_back({name, 520, 820});
    }
    return all;
  }();
  return kScenarios;
}

// Never destroyed: destroying it among the process's static destructors crashes inside Qt.
inline QApplication& app() {
  static int argc = 1;
  static char name[] = "wendlow_qt_test";
  static char* argv[] = {name, nullptr};
  static QApplication* const application = new QApplication(argc, argv);
  return *application;
}

inline void process_turns(int turns = 10) {
  for (int turn = 0; turn < turns; ++turn) QCoreApplication::processEvents();
}

}  // namespace wendlow::qt_testing
