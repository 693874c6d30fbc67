// Printing and jobs through all their states against the private print service.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <limits>

#include "bed.hpp"
#include "os_actions/printing/printing.hpp"

namespace os_actions::printing {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

class JobsOnBed : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_BED();
    bed::reset();
    install_backend(make_system_backend());
  }

  // The printer takes this long for every document, so tests can catch a job printing.
  void slow_printer(int seconds) {
    std::ofstream(bed::dir() / "ippeve" / "job-seconds") << seconds;
  }
};

std::vector<PrintJob> all_jobs() {
  auto listed = jobs();
  EXPECT_TRUE(listed) << listed.error();
  return listed.value_or(std::vector<PrintJob>{});
}

std::optional<PrintJob> job_titled(const std::string& title) {
  for (const auto& job : all_jobs()) {
    if (job.title == title) return job;
  }
  return std::nullopt;
}

bool reaches(const std::string& title, JobState state) {
  return bed::eventually([&] {
    auto job = job_titled(title);
    return job && job->state == state;
  });
}

// A copy of the sample document under another name: job names are file names.
std::filesystem::path document(const std::string& name) {
  auto path = bed::dir() / "files" / name;
  std::filesystem::copy_file(bed::sample_pdf(), path,
                             std::filesystem::copy_options::overwrite_existing);
  return path;
}

TEST_F(JobsOnBed, ADocumentReachesThePrinterWithCopiesSidesAndItsFileName) {
  ASSERT_TRUE(print_document(document("Letter to Ann.pdf"), "Test_printer", 3, false));
  ASSERT_TRUE(print_document(document("Report.pdf"), "Test_printer", 1, true));
  ASSERT_TRUE(reaches("Report.pdf", JobState::Completed));
  ASSERT_TRUE(reaches("Letter to Ann.pdf", JobState::Completed));

  const auto log = bed::printed_log();
  EXPECT_THAT(log, HasSubstr("Letter to Ann.pdf\tapplication/pdf\tone-sided\t3\t"));
  EXPECT_THAT(log, HasSubstr("Report.pdf\tapplication/pdf\ttwo-sided-long-edge\t1\t"));

  auto letter = *job_titled("Letter to Ann.pdf");
  EXPECT_EQ(letter.printer, "Test_printer");
  EXPECT_EQ(letter.id.rfind("Test_printer-", 0), 0u);
  EXPECT_FALSE(letter.user.empty());
  EXPECT_GT(letter.size, 0u);
  EXPECT_EQ(letter.submitted.rfind("today ", 0), 0u) << letter.submitted;
  EXPECT_TRUE(letter.pages_done);
}

TEST_F(JobsOnBed, PlainTextIsDetectedAndPrinted) {
  ASSERT_TRUE(print_document(bed::dir() / "files" / "test.txt", "Test_printer", 1, false));
  ASSERT_TRUE(reaches("test.txt", JobState::Completed));
  EXPECT_THAT(bed::printed_log(), HasSubstr("test.txt\t"));
}

TEST_F(JobsOnBed, ActiveDocumentsComeFirstOldestFirstThenFinishedNewestFirst) {
  // Long enough that the first document is still printing while the others are listed,
  // and finishes seconds (the scheduler's time unit) after the second is canceled.
  slow_printer(4);
  ASSERT_TRUE(set_enabled("Problem_printer", false));
  ASSERT_TRUE(print_document(document("first.pdf"), "Test_printer", 1, false));
  ASSERT_TRUE(reaches("first.pdf", JobState::Printing));
  ASSERT_TRUE(print_document(document("second.pdf"), "Problem_printer", 1, false));
  ASSERT_TRUE(print_document(document("third.pdf"), "Problem_printer", 1, false));
  ASSERT_TRUE(reaches("third.pdf", JobState::Waiting));

  auto listed = all_jobs();
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_EQ(listed[0].title, "first.pdf");
  EXPECT_EQ(listed[0].state, JobState::Printing);
  EXPECT_EQ(listed[1].title, "second.pdf");
  EXPECT_EQ(listed[1].state, JobState::Waiting);
  EXPECT_EQ(listed[2].title, "third.pdf");

  ASSERT_TRUE(cancel_job(listed[1].id));
  ASSERT_TRUE(reaches("first.pdf", JobState::Completed));
  ASSERT_TRUE(cancel_job(listed[2].id));
  listed = all_jobs();
  ASSERT_EQ(listed.size(), 3u);
  // All finished: the latest to finish first.
  EXPECT_EQ(listed[0].title, "third.pdf");
  EXPECT_EQ(listed[0].state, JobState::Canceled);
  EXPECT_EQ(listed[1].title, "first.pdf");
  EXPECT_EQ(listed[1].state, JobState::Completed);
  EXPECT_EQ(listed[2].title, "second.pdf");
  EXPECT_EQ(listed[2].state, JobState::Canceled);
}

TEST_F(JobsOnBed, RetrySendsAFinishedDocumentAgain) {
  ASSERT_TRUE(print_document(document("again.pdf"), "Test_printer", 1, false));
  ASSERT_TRUE(reaches("again.pdf", JobState::Completed));
  const auto id = job_titled("again.pdf")->id;
  ASSERT_TRUE(retry_job(id));
  ASSERT_TRUE(bed::eventually([&] {
    const auto log = bed::printed_log();
    std::size_t count = 0;
    for (auto at = log.find("again.pdf"); at != std::string::npos;
         at = log.find("again.pdf", at + 1))
      ++count;
    return count == 2;
  }));
  ASSERT_TRUE(reaches("again.pdf", JobState::Completed));
  EXPECT_EQ(job_titled("again.pdf")->id, id);

  // A canceled document goes back to waiting on a paused printer.
  ASSERT_TRUE(set_enabled("Problem_printer", false));
  ASSERT_TRUE(print_document(document("held.pdf"), "Problem_printer", 1, false));
  ASSERT_TRUE(reaches("held.pdf", JobState::Waiting));
  const auto held = job_titled("held.pdf")->id;
  ASSERT_TRUE(cancel_job(held));
  ASSERT_TRUE(reaches("held.pdf", JobState::Canceled));
  ASSERT_TRUE(retry_job(held));
  ASSERT_TRUE(reaches("held.pdf", JobState::Waiting));
  ASSERT_TRUE(set_enabled("Problem_printer", true));
  ASSERT_TRUE(reaches("held.pdf", JobState::Completed));
}

TEST_F(JobsOnBed, ADocumentForAnUnreachablePrinterEndsAborted) {
  ASSERT_TRUE(print_document(document("lost.pdf"), "Dead_printer", 1, false));
  ASSERT_TRUE(reaches("lost.pdf", JobState::Aborted));
  auto lost = *job_titled("lost.pdf");
  EXPECT_EQ(lost.printer, "Dead_printer");
  // The printer's queue is not paused by it, and is shown unreachable.
  auto listed = queues();
  ASSERT_TRUE(listed);
  for (const auto& queue : *listed) {
    if (queue.name == "Dead_printer") {
      EXPECT_EQ(queue.state, QueueState::Unreachable);
    }
  }
}

TEST_F(JobsOnBed, PausingAPrinterMidDocumentStopsIt) {
  slow_printer(3);
  ASSERT_TRUE(print_document(document("long.pdf"), "Test_printer", 1, false));
  ASSERT_TRUE(reaches("long.pdf", JobState::Printing));
  ASSERT_TRUE(set_enabled("Test_printer", false));
  ASSERT_TRUE(bed::eventually([] {
    auto job = job_titled("long.pdf");
    return job && (job->state == JobState::Stopped || job->state == JobState::Waiting ||
                   job->state == JobState::Completed);
  }));
  ASSERT_TRUE(set_enabled("Test_printer", true));
  ASSERT_TRUE(reaches("long.pdf", JobState::Completed));
}

TEST_F(JobsOnBed, BadRequestsAreRefusedWithAnError) {
  EXPECT_FALSE(cancel_job("Test_printer-99999"));
  EXPECT_FALSE(retry_job("Test_printer-99999"));
  EXPECT_FALSE(cancel_job("no number"));
  EXPECT_FALSE(cancel_job(""));
  EXPECT_FALSE(print_document(bed::dir() / "files" / "missing.pdf", "Test_printer", 1, false));
  EXPECT_FALSE(print_document(bed::dir() / "files", "Test_printer", 1, false));
  EXPECT_TRUE(all_jobs().empty());
}

TEST_F(JobsOnBed, TheNewestFinishedDocumentsAreListedHoweverManyAreRetained) {
  // More finished documents than the scheduler answers with details (500): documents held
  // on a paused printer and canceled, then one that prints.
  ASSERT_TRUE(set_enabled("Problem_printer", false));
  const auto old = document("old.pdf");
  constexpr int kRetained = 520;
  for (int i = 0; i < kRetained; ++i) {
    ASSERT_TRUE(print_document(old, "Problem_printer", 1, false)) << i;
  }
  bed::shell("cancel -a Problem_printer");
  ASSERT_TRUE(print_document(document("this morning.pdf"), "Test_printer", 1, false));
  ASSERT_TRUE(reaches("this morning.pdf", JobState::Completed));

  const auto listed = all_jobs();
  ASSERT_EQ(listed.size(), kFinishedJobLimit);
  EXPECT_EQ(listed.front().title, "this morning.pdf");
  EXPECT_EQ(listed.front().state, JobState::Completed);
  EXPECT_TRUE(listed.front().pages_total) << "the newest come with their details";
  // The rest are the newest of the canceled ones, newest first; the oldest 21 are left out.
  int previous = std::numeric_limits<int>::max();
  for (std::size_t i = 1; i < listed.size(); ++i) {
    ASSERT_EQ(listed[i].state, JobState::Canceled) << i;
    const int number = std::stoi(listed[i].id.substr(listed[i].id.rfind('-') + 1));
    EXPECT_LT(number, previous);
    previous = number;
  }
  const int first_old = std::stoi(listed.back().id.substr(listed.back().id.rfind('-') + 1));
  const int newest_old = std::stoi(listed[1].id.substr(listed[1].id.rfind('-') + 1));
  EXPECT_EQ(newest_old - first_old + 1, static_cast<int>(kFinishedJobLimit) - 1);
}

}  // namespace
}  // namespace os_actions::printing
