// Queues and printer administration against the private print service.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "bed.hpp"
#include "os_actions/printing/printing.hpp"

namespace os_actions::printing {
namespace {

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::Not;

class QueuesOnBed : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_BED();
    bed::reset();
    install_backend(make_system_backend());
  }
};

std::optional<PrintQueue> find(const std::vector<PrintQueue>& queues, const std::string& name) {
  auto it =
      std::find_if(queues.begin(), queues.end(), [&](const auto& q) { return q.name == name; });
  if (it == queues.end()) return std::nullopt;
  return *it;
}

PrintQueue queue_named(const std::string& name) {
  auto all = queues();
  EXPECT_TRUE(all) << all.error();
  auto found = all ? find(*all, name) : std::nullopt;
  EXPECT_TRUE(found) << name;
  return found.value_or(PrintQueue{});
}

TEST_F(QueuesOnBed, ListsEveryQueueWithLiveStateAndSuppliesAndTheDeadOneUnreachable) {
  const auto start = std::chrono::steady_clock::now();
  auto all = queues();
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(all) << all.error();
  ASSERT_EQ(all->size(), 3u);

  auto healthy = *find(*all, "Test_printer");
  EXPECT_TRUE(healthy.is_default);
  EXPECT_TRUE(healthy.accepting);
  EXPECT_TRUE(healthy.responded);
  EXPECT_EQ(healthy.state, QueueState::Idle);
  EXPECT_THAT(healthy.state_reasons, Not(Contains("none")));
  ASSERT_TRUE(healthy.supplies);
  ASSERT_FALSE(healthy.supplies->empty());
  EXPECT_TRUE(std::any_of(healthy.supplies->begin(), healthy.supplies->end(),
                          [](const Supply& s) { return s.level.has_value(); }));
  EXPECT_EQ(healthy.info, "Test printer");

  auto dead = *find(*all, "Dead_printer");
  EXPECT_FALSE(dead.is_default);
  EXPECT_FALSE(dead.responded);
  EXPECT_EQ(dead.state, QueueState::Unreachable);

  // A refresh with a dead printer stays within its bound.
  EXPECT_LT(took, 3s);
}

TEST_F(QueuesOnBed, APrinterThatAcceptsButNeverAnswersIsUnreachableWithinTheBound) {
  // A listener that takes connections and never replies: the worst kind of dead printer.
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ASSERT_EQ(::listen(listener, 64), 0);
  socklen_t length = sizeof(address);
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  const auto port = std::to_string(ntohs(address.sin_port));
  bed::shell("lpadmin -p Silent_printer -E -v ipp://127.0.0.1:" + port + "/ipp/print -P " +
             (bed::dir() / "etc/ppd/Test_printer.ppd").string() + " 2>/dev/null");
  const auto start = std::chrono::steady_clock::now();
  auto all = queues();
  const auto took = std::chrono::steady_clock::now() - start;
  ::close(listener);
  ASSERT_TRUE(all) << all.error();
  auto silent = find(*all, "Silent_printer");
  ASSERT_TRUE(silent);
  EXPECT_EQ(silent->state, QueueState::Unreachable);
  EXPECT_FALSE(silent->responded);
  EXPECT_TRUE(find(*all, "Test_printer")->responded);
  EXPECT_LT(took, 3s);
}

TEST_F(QueuesOnBed, TheProblemPrinterTellsItsOwnPaperAndTonerTrouble) {
  bed::set_problem_paper(0);
  bed::set_problem_toner(0);
  auto problem = queue_named("Problem_printer");
  EXPECT_TRUE(problem.responded);
  EXPECT_THAT(problem.state_reasons, Contains("media-empty-report"));
  EXPECT_THAT(problem.state_reasons, Contains("toner-empty-report"));
  ASSERT_TRUE(problem.supplies);
  auto black = std::find_if(problem.supplies->begin(), problem.supplies->end(),
                            [](const Supply& s) { return s.name == "Black Toner"; });
  ASSERT_NE(black, problem.supplies->end());
  EXPECT_EQ(black->level, 0);
  EXPECT_EQ(black->color, "#000000");

  bed::set_problem_paper(250);
  bed::set_problem_toner(75);
  problem = queue_named("Problem_printer");
  EXPECT_THAT(problem.state_reasons, Not(Contains("media-empty-report")));
  EXPECT_THAT(problem.state_reasons, Not(Contains("toner-empty-report")));
}

TEST_F(QueuesOnBed, PauseResumeAndDefaultChangeWhatTheNextRefreshShows) {
  ASSERT_TRUE(set_enabled("Problem_printer", false));
  auto paused = queue_named("Problem_printer");
  EXPECT_EQ(paused.state, QueueState::Paused);
  EXPECT_THAT(paused.state_reasons, Contains("paused"));

  // A queue that also rejects jobs is opened again by resuming.
  bed::shell("cupsreject Problem_printer");
  EXPECT_FALSE(queue_named("Problem_printer").accepting);
  ASSERT_TRUE(set_enabled("Problem_printer", true));
  auto resumed = queue_named("Problem_printer");
  EXPECT_EQ(resumed.state, QueueState::Idle);
  EXPECT_TRUE(resumed.accepting);

  ASSERT_TRUE(set_default("Problem_printer"));
  EXPECT_TRUE(queue_named("Problem_printer").is_default);
  EXPECT_FALSE(queue_named("Test_printer").is_default);

  // A dead printer that is paused is shown paused, not unreachable.
  ASSERT_TRUE(set_enabled("Dead_printer", false));
  EXPECT_EQ(queue_named("Dead_printer").state, QueueState::Paused);
}

TEST_F(QueuesOnBed, ActionsOnAQueueThatVanishedFailWithAnError) {
  EXPECT_FALSE(set_enabled("Gone_printer", false));
  EXPECT_FALSE(set_enabled("Gone_printer", true));
  EXPECT_FALSE(set_default("Gone_printer"));
  EXPECT_FALSE(print_document(bed::sample_pdf(), "Gone_printer", 1, false));
}

TEST_F(QueuesOnBed, QueueNamesWithOddCharactersWork) {
  // CUPS allows UTF-8 and most punctuation in names; the service must quote them.
  const std::string name =
      "Caf\xC3\xA9-Drucker_\xE2\x84\x96"
      "1";
  bed::shell("lpadmin -p '" + name + "' -E -v ipp://localhost:8632/ipp/print -P " +
             (bed::dir() / "etc/ppd/Test_printer.ppd").string() + " 2>/dev/null");
  auto odd = queue_named(name);
  EXPECT_TRUE(odd.responded);
  ASSERT_TRUE(set_enabled(name, false));
  EXPECT_EQ(queue_named(name).state, QueueState::Paused);
  ASSERT_TRUE(set_enabled(name, true));
  ASSERT_TRUE(set_default(name));
  EXPECT_TRUE(queue_named(name).is_default);
}

TEST_F(QueuesOnBed, WithTheSchedulerDownEveryCallFailsFast) {
  // libcups keeps its server per thread: a fresh thread reads the changed environment.
  std::string saved = std::getenv("CUPS_SERVER");
  setenv("CUPS_SERVER", (bed::dir() / "run/no-such.sock").c_str(), 1);
  std::thread([] {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(queues());
    EXPECT_FALSE(jobs());
    EXPECT_FALSE(set_default("Test_printer"));
    EXPECT_FALSE(set_enabled("Test_printer", false));
    EXPECT_FALSE(cancel_job("Test_printer-1"));
    EXPECT_FALSE(retry_job("Test_printer-1"));
    EXPECT_FALSE(print_document(bed::sample_pdf(), "Test_printer", 1, false));
    EXPECT_FALSE(add_driverless("ipp://localhost:8632/ipp/print", "X"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    // Scanners do not depend on the print scheduler.
    EXPECT_TRUE(scanners());
  }).join();
  setenv("CUPS_SERVER", saved.c_str(), 1);
}

}  // namespace
}  // namespace os_actions::printing
