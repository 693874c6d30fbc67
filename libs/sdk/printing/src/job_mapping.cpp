#include "job_mapping.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <tuple>

namespace os_actions::printing::detail {
namespace {

std::string two_digits(int value) {
  std::string text = std::to_string(value);
  if (text.size() < 2) text.insert(text.begin(), '0');
  return text;
}

std::string clock_text(const std::tm& time) {
  return two_digits(time.tm_hour) + ":" + two_digits(time.tm_min);
}

// Days since the epoch of a local calendar date, for "is this yesterday" across month
// and year ends.
long day_number(const std::tm& time) {
  const int y = time.tm_year + 1900 - (time.tm_mon < 2 ? 1 : 0);
  const int m = time.tm_mon + 1;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + time.tm_mday - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return static_cast<long>(era) * 146097 + doe - 719468;
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool is_active(JobState state) {
  return static_cast<int>(state) <= static_cast<int>(JobState::Stopped);
}

}  // namespace

JobState map_job_state(int ipp_job_state) {
  switch (ipp_job_state) {
    case 3:  // pending
    case 4:  // pending-held
      return JobState::Waiting;
    case 5:
      return JobState::Printing;
    case 6:
      return JobState::Stopped;
    case 7:
      return JobState::Canceled;
    case 8:
      return JobState::Aborted;
    case 9:
      return JobState::Completed;
    default:
      return JobState::Other;
  }
}

std::string queue_from_printer_uri(const std::string& uri) {
  auto path_end = uri.find_first_of("?#");
  const auto path = uri.substr(0, path_end);
  const auto slash = path.rfind('/');
  const auto raw = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string name;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '%' && i + 2 < raw.size()) {
      const int high = hex_value(raw[i + 1]);
      const int low = hex_value(raw[i + 2]);
      if (high >= 0 && low >= 0) {
        name += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    name += raw[i];
  }
  return name;
}

std::string submitted_text(const std::tm& submitted, const std::tm& now) {
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const long days_ago = day_number(now) - day_number(submitted);
  if (days_ago == 0) return "today " + clock_text(submitted);
  if (days_ago == 1) return "yesterday " + clock_text(submitted);
  // Appended piece by piece: g++ 12 warns falsely about operator+ chains at -O2.
  std::string text = std::to_string(submitted.tm_mday);
  text += ' ';
  text += kMonths[static_cast<std::size_t>(std::clamp(submitted.tm_mon, 0, 11))];
  if (submitted.tm_year != now.tm_year) {
    text += ' ';
    text += std::to_string(submitted.tm_year + 1900);
  }
  text += ' ';
  text += clock_text(submitted);
  return text;
}

std::optional<JobRef> parse_job_id(const std::string& id) {
  const auto dash = id.rfind('-');
  if (dash == std::string::npos || dash == 0 || dash + 1 == id.size()) return std::nullopt;
  int number = 0;
  const auto* end = id.data() + id.size();
  auto [ptr, ec] = std::from_chars(id.data() + dash + 1, end, number);
  if (ec != std::errc() || ptr != end || number <= 0) return std::nullopt;
  return JobRef{id.substr(0, dash), number};
}

std::vector<int> newest_finished_ids(std::vector<FinishedJobStamp> stamps, std::size_t limit) {
  auto newer = [](const FinishedJobStamp& a, const FinishedJobStamp& b) {
    return std::tie(a.completed, a.id) > std::tie(b.completed, b.id);
  };
  const auto kept = std::min(limit, stamps.size());
  std::partial_sort(stamps.begin(), stamps.begin() + static_cast<std::ptrdiff_t>(kept),
                    stamps.end(), newer);
  std::vector<int> ids;
  ids.reserve(kept);
  for (std::size_t i = 0; i < kept; ++i) ids.push_back(stamps[i].id);
  return ids;
}

std::vector<PrintJob> map_jobs(std::vector<CupsJobAttributes> jobs, std::time_t now) {
  auto key = [](const CupsJobAttributes& job) {
    const bool active = is_active(map_job_state(job.state));
    // Active: oldest first. Finished: newest first (by completion, then submission).
    return active
               ? std::make_tuple(0, job.created, std::int64_t{job.id})
               : std::make_tuple(1, -std::max(job.completed, job.created), -std::int64_t{job.id});
  };
  std::stable_sort(jobs.begin(), jobs.end(),
                   [&](const auto& a, const auto& b) { return key(a) < key(b); });

  std::tm now_tm{};
  localtime_r(&now, &now_tm);
  std::vector<PrintJob> out;
  out.reserve(jobs.size());
  for (const auto& job : jobs) {
    PrintJob record;
    record.printer = queue_from_printer_uri(job.printer_uri);
    record.id = record.printer + "-" + std::to_string(job.id);
    record.state = map_job_state(job.state);
    for (const auto& reason : job.state_reasons) {
      if (reason != "none") record.state_reasons.push_back(reason);
    }
    record.title = job.name;
    record.user = job.user;
    record.size = static_cast<std::uint64_t>(std::max<std::int64_t>(job.k_octets, 0)) * 1024;
    if (job.impressions_completed && *job.impressions_completed >= 0) {
      record.pages_done = static_cast<std::uint32_t>(*job.impressions_completed);
    }
    if (job.impressions && *job.impressions > 0) {
      record.pages_total = static_cast<std::uint32_t>(*job.impressions);
    } else if (record.state == JobState::Completed && record.pages_done.value_or(0) > 0) {
      record.pages_total = record.pages_done;  // a finished job printed what it counted
    }
    const std::time_t created = static_cast<std::time_t>(job.created);
    std::tm created_tm{};
    localtime_r(&created, &created_tm);
    record.submitted = submitted_text(created_tm, now_tm);
    out.push_back(std::move(record));
  }
  return out;
}

}  // namespace os_actions::printing::detail
