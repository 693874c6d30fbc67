#include "os_actions/printing/fake_backend.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "os_actions/printing/printing.hpp"

namespace os_actions::printing {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

PrintQueue queue_named(std::string name) {
  PrintQueue queue;
  queue.name = std::move(name);
  return queue;
}

PrintJob job(std::string id, JobState state) {
  PrintJob out;
  out.id = std::move(id);
  out.state = state;
  return out;
}

TEST(FakeBackend, LogsEveryCallWithItsArgumentsInOrder) {
  ScopedBackend<FakeBackend> fake;
  fake->set_queues({queue_named("Q")});
  fake->set_scanners({{"test:0", "Test scanner"}});

  ASSERT_TRUE(queues());
  ASSERT_TRUE(print_document("/x.pdf", "Q", 2, true));
  ASSERT_TRUE(set_enabled("Q", false));
  ASSERT_TRUE(scan_page("test:0", {150, kScanGrayscale, kScanFeeder}));
  // Refused before it reaches the backend: not logged.
  ASSERT_FALSE(print_document("/x.pdf", "Q", 0, true));

  EXPECT_THAT(fake->calls(),
              ElementsAre(FakeCall{FakeMethod::Queues, {}},
                          FakeCall{FakeMethod::PrintDocument, {"/x.pdf", "Q", "2", "true"}},
                          FakeCall{FakeMethod::SetEnabled, {"Q", "false"}},
                          FakeCall{FakeMethod::ScanPage, {"test:0", "150", "1", "1"}}));
  EXPECT_EQ(fake->calls()[1].text(), R"(print_document("/x.pdf", "Q", 2, true))");
  EXPECT_EQ(fake->calls()[3].text(), R"(scan_page("test:0", 150, 1, 1))");
  EXPECT_EQ(fake->calls_of(FakeMethod::SetEnabled).size(), 1u);
  fake->clear_calls();
  EXPECT_TRUE(fake->calls().empty());
}

TEST(FakeBackend, ScriptedFailuresAreUsedUpInOrderThenFallBackToAlways) {
  FakeBackend fake;
  fake.set_queues({queue_named("Q")});
  fake.fail_next(FakeMethod::Queues, "first");
  fake.fail_next(FakeMethod::Queues, "second");
  EXPECT_EQ(fake.queues().error(), "first");
  EXPECT_EQ(fake.queues().error(), "second");
  EXPECT_TRUE(fake.queues());

  fake.fail_always(FakeMethod::SetDefault, "not allowed");
  EXPECT_EQ(fake.set_default("Q").error(), "not allowed");
  EXPECT_EQ(fake.set_default("Q").error(), "not allowed");
  EXPECT_FALSE(fake.current_queues()[0].is_default);  // a failed call changes nothing
  EXPECT_TRUE(fake.jobs());                           // other calls are unaffected
  fake.clear_failures();
  EXPECT_TRUE(fake.set_default("Q"));
  EXPECT_EQ(fake.calls_of(FakeMethod::SetDefault).size(), 3u);  // failed calls are logged too
}

TEST(FakeBackend, ChangesRecordsTheWayAPrintSystemWould) {
  FakeBackend fake;
  auto a = queue_named("A");
  a.is_default = true;
  fake.set_queues({a, queue_named("B")});
  fake.set_jobs({job("A-7", JobState::Stopped), job("B-3", JobState::Printing)});

  ASSERT_TRUE(fake.set_default("B"));
  ASSERT_TRUE(fake.set_enabled("A", false));
  auto queues = fake.current_queues();
  EXPECT_FALSE(queues[0].is_default);
  EXPECT_TRUE(queues[1].is_default);
  EXPECT_TRUE(queues[0].accepting) << "a paused queue still accepts documents";
  EXPECT_EQ(queues[0].state, QueueState::Paused);
  queues[0].accepting = false;
  fake.set_queues(queues);
  ASSERT_TRUE(fake.set_enabled("A", true));
  EXPECT_TRUE(fake.current_queues()[0].accepting);
  EXPECT_EQ(fake.current_queues()[0].state, QueueState::Idle);

  ASSERT_TRUE(fake.retry_job("A-7"));
  ASSERT_TRUE(fake.retry_job("B-3"));  // a printing job stays printing
  ASSERT_TRUE(fake.cancel_job("B-3"));
  ASSERT_TRUE(fake.print_document("/home/u/Letter.pdf", "A", 1, false));
  ASSERT_TRUE(fake.add_driverless("ipps://printer.local:631/ipp/print", "Office"));
  auto jobs = fake.current_jobs();
  ASSERT_EQ(jobs.size(), 3u);
  EXPECT_EQ(jobs[0].state, JobState::Waiting);
  EXPECT_EQ(jobs[1].state, JobState::Canceled);
  EXPECT_EQ(jobs[2].id, "A-8");
  EXPECT_EQ(jobs[2].title, "Letter.pdf");
  EXPECT_EQ(jobs[2].state, JobState::Waiting);
  EXPECT_EQ(fake.current_queues().back().name, "Office");
}

TEST(FakeBackend, UnknownNamesAreRefused) {
  FakeBackend fake;
  fake.set_queues({queue_named("Q")});
  EXPECT_EQ(fake.set_default("Nope").error(), "no queue 'Nope'");
  EXPECT_EQ(fake.print_document("/x.pdf", "Nope", 1, false).error(), "no queue 'Nope'");
  EXPECT_EQ(fake.cancel_job("Q-1").error(), "no job 'Q-1'");
  EXPECT_EQ(fake.scan_page("none", {}).error(), "no scanner 'none'");
  EXPECT_EQ(fake.add_driverless("ipp://h/ipp/print", "Q").error(), "queue 'Q' already exists");
}

TEST(FakeBackend, AnswersWithTheSetRecordsAndImage) {
  FakeBackend fake;
  fake.set_scanners({{"test:0", "Flatbed"}});
  fake.set_discovered({{"ipps://h.local:631/ipp/print", "Laser", "Hall"}});
  fake.set_scan_image({0x89, 'P', 'N', 'G'});
  EXPECT_EQ(fake.scanners()->at(0).name, "Flatbed");
  EXPECT_EQ(fake.discover_driverless()->at(0).location, "Hall");
  EXPECT_EQ(*fake.scan_page("test:0", {}), (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G'}));
}

TEST(FakeBackend, DelayedCallsCanBeAwaitedFromAnotherThread) {
  FakeBackend fake;
  fake.set_delay(FakeMethod::Jobs, 200ms);
  std::thread caller([&] { (void)fake.jobs(); });
  // The call is logged as soon as it arrives, before its delay has passed.
  EXPECT_TRUE(fake.wait_for_calls(FakeMethod::Jobs, 1, 2s));
  const auto start = std::chrono::steady_clock::now();
  caller.join();
  EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
  EXPECT_FALSE(fake.wait_for_calls(FakeMethod::Jobs, 2, 10ms));
}

TEST(FakeBackend, WaitingForCallsOfOneKindIgnoresTheOthers) {
  FakeBackend fake;
  fake.set_queues({queue_named("Q")});
  // Calls left over from earlier work: a refresh's three listings.
  (void)fake.queues();
  (void)fake.jobs();
  (void)fake.scanners();
  EXPECT_FALSE(fake.wait_for_calls(FakeMethod::PrintDocument, 3, 10ms));
  std::thread printer([&] {
    for (int i = 0; i < 3; ++i) (void)fake.print_document("/x.pdf", "Q", 1, false);
  });
  EXPECT_TRUE(fake.wait_for_calls(FakeMethod::PrintDocument, 3, 2s));
  printer.join();
  EXPECT_EQ(fake.calls_of(FakeMethod::PrintDocument).size(), 3u);
  EXPECT_TRUE(fake.wait_for_any_calls(6, 10ms));
}

}  // namespace
}  // namespace os_actions::printing
