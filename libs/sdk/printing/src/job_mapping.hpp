#pragma once
// Pure rules that turn CUPS job attributes into PrintJob records in the order people expect.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "os_actions/printing/records.hpp"

namespace os_actions::printing::detail {

// One job as Get-Jobs reports it.
struct CupsJobAttributes {
  int id = 0;
  int state = 0;  // IPP job-state: 3 pending … 9 completed
  std::vector<std::string> state_reasons;
  std::string name;
  std::string user;
  std::string printer_uri;  // job-printer-uri: ipp://host/printers/NAME
  std::int64_t k_octets = 0;
  std::optional<std::int64_t> impressions;
  std::optional<std::int64_t> impressions_completed;
  std::int64_t created = 0;    // time-at-creation, seconds since the epoch
  std::int64_t completed = 0;  // time-at-completed, 0 while active
};

JobState map_job_state(int ipp_job_state);

// The queue name at the end of a job-printer-uri, percent-decoded.
std::string queue_from_printer_uri(const std::string& uri);

// "today 14:05", "yesterday 09:12", "3 Dec 10:00", or "3 Dec 2025 10:00" in another year;
// both times are local broken-down times.
std::string submitted_text(const std::tm& submitted, const std::tm& now);

// "Queue-Name-12" → ("Queue-Name", 12); absent when the id has no number after its last "-".
struct JobRef {
  std::string queue;
  int number = 0;
};
std::optional<JobRef> parse_job_id(const std::string& id);

// A finished job as the cheap part of a job listing gives it.
struct FinishedJobStamp {
  int id = 0;
  std::int64_t completed = 0;  // time-at-completed, seconds since the epoch
};

// The ids of the `limit` most recently finished jobs, newest first: by completion time,
// then by id (a later job has a higher id).
std::vector<int> newest_finished_ids(std::vector<FinishedJobStamp> stamps, std::size_t limit);

// Active documents first, oldest first; then finished ones, newest first. `now` fills the
// submitted texts (local time).
std::vector<PrintJob> map_jobs(std::vector<CupsJobAttributes> jobs, std::time_t now);

}  // namespace os_actions::printing::detail
