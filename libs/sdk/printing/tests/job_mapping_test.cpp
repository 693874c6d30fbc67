#include "job_mapping.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

namespace os_actions::printing::detail {
namespace {

std::tm local(int year, int month, int day, int hour, int minute) {
  std::tm time{};
  time.tm_year = year - 1900;
  time.tm_mon = month - 1;
  time.tm_mday = day;
  time.tm_hour = hour;
  time.tm_min = minute;
  return time;
}

CupsJobAttributes job(int id, int state, std::int64_t created, std::int64_t completed = 0) {
  CupsJobAttributes out;
  out.id = id;
  out.state = state;
  out.created = created;
  out.completed = completed;
  out.printer_uri = "ipp://localhost/printers/Hall";
  return out;
}

TEST(JobState, EveryIppStateMapsAsPeopleSeeIt) {
  EXPECT_EQ(map_job_state(3), JobState::Waiting);
  EXPECT_EQ(map_job_state(4), JobState::Waiting);  // held
  EXPECT_EQ(map_job_state(5), JobState::Printing);
  EXPECT_EQ(map_job_state(6), JobState::Stopped);
  EXPECT_EQ(map_job_state(7), JobState::Canceled);
  EXPECT_EQ(map_job_state(8), JobState::Aborted);
  EXPECT_EQ(map_job_state(9), JobState::Completed);
  EXPECT_EQ(map_job_state(0), JobState::Other);
  EXPECT_EQ(map_job_state(42), JobState::Other);
}

TEST(Submitted, TodayYesterdayAndDatesAcrossMonthAndYearEnds) {
  const auto now = local(2026, 12, 7, 16, 0);
  EXPECT_EQ(submitted_text(local(2026, 12, 7, 14, 5), now), "today 14:05");
  EXPECT_EQ(submitted_text(local(2026, 12, 6, 9, 12), now), "yesterday 09:12");
  EXPECT_EQ(submitted_text(local(2026, 12, 3, 10, 0), now), "3 Dec 10:00");
  EXPECT_EQ(submitted_text(local(2026, 12, 31, 23, 59), local(2027, 1, 1, 0, 1)),
            "yesterday 23:59");
  EXPECT_EQ(submitted_text(local(2026, 2, 28, 8, 0), local(2026, 3, 1, 8, 0)), "yesterday 08:00");
  EXPECT_EQ(submitted_text(local(2025, 12, 3, 10, 0), now), "3 Dec 2025 10:00");
}

TEST(JobIds, QueueNameAndNumberSplitAtTheLastHyphen) {
  auto ref = parse_job_id("Hall-printer-2-17");
  ASSERT_TRUE(ref);
  EXPECT_EQ(ref->queue, "Hall-printer-2");
  EXPECT_EQ(ref->number, 17);
  EXPECT_FALSE(parse_job_id("Hall"));
  EXPECT_FALSE(parse_job_id("Hall-"));
  EXPECT_FALSE(parse_job_id("-5"));
  EXPECT_FALSE(parse_job_id("Hall-5x"));
  EXPECT_FALSE(parse_job_id("Hall-0"));
  EXPECT_FALSE(parse_job_id("Hall-99999999999999"));
  EXPECT_EQ(queue_from_printer_uri("ipp://localhost/printers/Caf%C3%A9%20Hall"),
            "Caf\xC3\xA9 Hall");
  EXPECT_EQ(queue_from_printer_uri("ipp://localhost/printers/Bad%2"), "Bad%2");
}

TEST(JobOrder, ActiveOldestFirstThenFinishedNewestFirst) {
  setenv("TZ", "UTC", 1);
  tzset();
  auto jobs = map_jobs({job(1, 9, 100, 150), job(2, 3, 300), job(3, 5, 200), job(4, 7, 120, 400),
                        job(5, 8, 110, 160), job(6, 6, 250)},
                       1000);
  std::vector<std::string> ids;
  for (const auto& j : jobs) ids.push_back(j.id);
  EXPECT_EQ(ids,
            (std::vector<std::string>{"Hall-3", "Hall-6", "Hall-2", "Hall-4", "Hall-5", "Hall-1"}));
}

TEST(JobRecord, PagesSizeReasonsAndSubmitted) {
  setenv("TZ", "UTC", 1);
  tzset();
  auto waiting = job(7, 3, 86400 + 3600);
  waiting.state_reasons = {"none"};
  waiting.k_octets = 3;
  waiting.impressions_completed = 0;
  auto done = job(8, 9, 3600, 3700);
  done.impressions_completed = 4;
  done.state_reasons = {"job-completed-successfully"};
  auto jobs = map_jobs({waiting, done}, 86400 + 7200);
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_TRUE(jobs[0].state_reasons.empty());
  EXPECT_EQ(jobs[0].size, 3072u);
  EXPECT_EQ(jobs[0].pages_done, 0u);
  EXPECT_FALSE(jobs[0].pages_total);  // nobody knows yet
  EXPECT_EQ(jobs[0].submitted, "today 01:00");
  EXPECT_EQ(jobs[1].pages_total, 4u);  // a finished job printed what it counted
  EXPECT_EQ(jobs[1].progress_percent(), 100);
  EXPECT_EQ(jobs[1].submitted, "yesterday 01:00");
  EXPECT_EQ(jobs[1].printer, "Hall");
}

}  // namespace
}  // namespace os_actions::printing::detail

namespace os_actions::printing::detail {
namespace {

TEST(NewestFinished, LatestCompletionFirstThenHigherIdAndAtMostTheLimit) {
  // A long document finished after the later, shorter one; two finished in the same second.
  const std::vector<FinishedJobStamp> stamps = {{1, 100}, {2, 300}, {3, 200}, {4, 300}, {5, 150}};
  EXPECT_EQ(newest_finished_ids(stamps, 10), (std::vector<int>{4, 2, 3, 5, 1}));
  EXPECT_EQ(newest_finished_ids(stamps, 2), (std::vector<int>{4, 2}));
  EXPECT_TRUE(newest_finished_ids(stamps, 0).empty());
  EXPECT_TRUE(newest_finished_ids({}, 50).empty());
}

}  // namespace
}  // namespace os_actions::printing::detail
