#pragma once
// Access to the private print service the integration tests run in (tools/testbed). The
// tests run inside the bed's namespace with its environment (testbed.sh run).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace os_actions::printing::bed {

// The bed's folder, or empty when the tests run without a bed.
std::filesystem::path dir();

// Runs a shell command; its standard output.
std::string shell(const std::string& command);

// Polls until `done` holds; false on timeout.
bool eventually(const std::function<bool()>& done,
                std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Puts the bed back the way it starts: no jobs, all three queues enabled, accepting and
// healthy, Test_printer the default, no added queues, no scripted printer behaviour.
void reset();

// The Problem Printer's main tray and black toner, through its web interface.
void set_problem_paper(int sheets);
void set_problem_toner(int percent);

// A sample document inside the bed.
std::filesystem::path sample_pdf();

// Lines of the virtual printer's log of received documents:
// job id, name, format, sides, copies, pages, user (tab-separated).
std::string printed_log(const std::string& printer_dir = "ippeve");

}  // namespace os_actions::printing::bed

#define REQUIRE_BED()                                                      \
  do {                                                                     \
    if (::os_actions::printing::bed::dir().empty())                        \
      GTEST_SKIP() << "no test bed (run through ctest or testbed.sh run)"; \
  } while (0)
