// Jobs, job actions, printing and printer administration through the scheduler.
#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <iterator>
#include <system_error>

#include "cups_client.hpp"
#include "cups_session.hpp"
#include "job_mapping.hpp"
#include "os_actions/printing/printing.hpp"

namespace os_actions::printing::detail {
namespace {

using namespace std::chrono_literals;

constexpr auto kSchedulerConnect = 2000ms;
constexpr auto kSchedulerResponse = 15000ms;

std::expected<HttpPtr, std::string> scheduler() {
  return connect_scheduler(kSchedulerConnect, kSchedulerResponse);
}

CupsJobAttributes read_job(const std::vector<ipp_attribute_t*>& group) {
  CupsJobAttributes job;
  auto first_integer = [](ipp_attribute_t* attribute) -> std::optional<std::int64_t> {
    auto values = integer_values(attribute);
    if (values.empty()) return std::nullopt;
    return values.front();
  };
  for (auto* attribute : group) {
    const std::string name = ippGetName(attribute);
    if (name == "job-id")
      job.id = static_cast<int>(first_integer(attribute).value_or(0));
    else if (name == "job-state")
      job.state = static_cast<int>(first_integer(attribute).value_or(0));
    else if (name == "job-state-reasons")
      job.state_reasons = string_values(attribute);
    else if (name == "job-name")
      job.name = string_value(attribute);
    else if (name == "job-originating-user-name")
      job.user = string_value(attribute);
    else if (name == "job-printer-uri")
      job.printer_uri = string_value(attribute);
    else if (name == "job-k-octets")
      job.k_octets = first_integer(attribute).value_or(0);
    else if (name == "job-impressions")
      job.impressions = first_integer(attribute);
    else if (name == "job-impressions-completed")
      job.impressions_completed = first_integer(attribute);
    else if (name == "time-at-creation")
      job.created = first_integer(attribute).value_or(0);
    else if (name == "time-at-completed")
      job.completed = first_integer(attribute).value_or(0);
  }
  return job;
}

std::expected<void, std::string> job_operation(ipp_op_t operation, const std::string& job_id,
                                               const std::string& what) {
  const auto ref = parse_job_id(job_id);
  if (!ref) return std::unexpected("malformed job id '" + job_id + "'");
  auto http = scheduler();
  if (!http) return std::unexpected(http.error());
  auto request = new_request(operation, local_printer_uri(ref->queue));
  ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", ref->number);
  auto response =
      send_request(http->get(), std::move(request), "/jobs/", "could not " + what + " " + job_id);
  if (!response) return std::unexpected(response.error());
  return {};
}

std::expected<void, std::string> printer_operation(http_t* http, ipp_op_t operation,
                                                   const std::string& queue,
                                                   const std::string& what) {
  auto response = send_request(http, new_request(operation, local_printer_uri(queue)), "/admin/",
                               "could not " + what + " " + queue);
  if (!response) return std::unexpected(response.error());
  return {};
}

// The details a job record is made of; the page counts make the scheduler read each job's
// file, which is why it answers such a request with at most 500 jobs.
void request_job_details(ipp_t* request) {
  add_requested_attributes(
      request, {"job-id", "job-state", "job-state-reasons", "job-name", "job-originating-user-name",
                "job-printer-uri", "job-k-octets", "job-impressions", "job-impressions-completed",
                "time-at-creation", "time-at-completed"});
}

std::expected<std::vector<CupsJobAttributes>, std::string> read_jobs(http_t* http, IppPtr request) {
  std::vector<CupsJobAttributes> found;
  auto response = send_request(http, std::move(request), "/", "could not list jobs");
  if (!response) return std::unexpected(response.error());
  for_each_group(response->get(), IPP_TAG_JOB, [&](const auto& group) {
    auto job = read_job(group);
    if (job.id > 0) found.push_back(std::move(job));
  });
  return found;
}

// Every active job with its details. The scheduler keeps active jobs in a list of their own,
// which it answers in full.
std::expected<std::vector<CupsJobAttributes>, std::string> active_jobs(http_t* http) {
  auto request = new_request(IPP_OP_GET_JOBS, local_printer_uri(""));
  ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr,
               "not-completed");
  request_job_details(request.get());
  auto found = read_jobs(http, std::move(request));
  if (!found && cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) return {};
  return found;
}

// Id and completion time of every finished job. These come from the scheduler's memory, so
// it lists all of them however many it retains.
std::expected<std::vector<FinishedJobStamp>, std::string> finished_stamps(http_t* http) {
  auto request = new_request(IPP_OP_GET_JOBS, local_printer_uri(""));
  ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr,
               "completed");
  add_requested_attributes(request.get(), {"job-id", "time-at-completed"});
  auto found = read_jobs(http, std::move(request));
  if (!found) {
    if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) return {};
    return std::unexpected(found.error());
  }
  std::vector<FinishedJobStamp> stamps;
  stamps.reserve(found->size());
  for (const auto& job : *found) stamps.push_back({job.id, job.completed});
  return stamps;
}

// The newest finished jobs with their details: their ids first, then the details of just
// those. A job the scheduler forgets between the two requests fails the second one, which
// is then asked again with fresh ids.
std::expected<std::vector<CupsJobAttributes>, std::string> newest_finished_jobs(http_t* http) {
  constexpr int kAttempts = 3;
  std::string last_error;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    auto stamps = finished_stamps(http);
    if (!stamps) return std::unexpected(stamps.error());
    const auto ids = newest_finished_ids(std::move(*stamps), kFinishedJobLimit);
    if (ids.empty()) return {};
    auto request = new_request(IPP_OP_GET_JOBS, local_printer_uri(""));
    ippAddIntegers(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-ids",
                   static_cast<int>(ids.size()), ids.data());
    request_job_details(request.get());
    auto found = read_jobs(http, std::move(request));
    if (found || cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND) return found;
    last_error = found.error();
  }
  return std::unexpected(last_error);
}

}  // namespace

std::expected<std::vector<PrintJob>, std::string> cups_jobs() {
  auto http = scheduler();
  if (!http) return std::unexpected(http.error());
  // A request for finished jobs with their details is answered with the 500 oldest: the
  // active jobs and the newest finished ones are asked for on their own.
  auto active = active_jobs(http->get());
  if (!active) return std::unexpected(active.error());
  auto finished = newest_finished_jobs(http->get());
  if (!finished) return std::unexpected(finished.error());
  // A job that finished between the two requests is in both: its finished record wins.
  std::erase_if(*active, [&](const CupsJobAttributes& job) {
    return std::any_of(finished->begin(), finished->end(),
                       [&](const CupsJobAttributes& other) { return other.id == job.id; });
  });
  active->insert(active->end(), std::make_move_iterator(finished->begin()),
                 std::make_move_iterator(finished->end()));
  return map_jobs(std::move(*active), std::time(nullptr));
}

std::expected<void, std::string> cups_cancel_job(const std::string& job_id) {
  return job_operation(IPP_OP_CANCEL_JOB, job_id, "cancel");
}

std::expected<void, std::string> cups_retry_job(const std::string& job_id) {
  return job_operation(IPP_OP_RESTART_JOB, job_id, "restart");
}

std::expected<void, std::string> cups_set_default(const std::string& queue) {
  auto http = scheduler();
  if (!http) return std::unexpected(http.error());
  return printer_operation(http->get(), IPP_OP_CUPS_SET_DEFAULT, queue, "make default");
}

std::expected<void, std::string> cups_set_enabled(const std::string& queue, bool enabled) {
  auto http = scheduler();
  if (!http) return std::unexpected(http.error());
  if (!enabled) return printer_operation(http->get(), IPP_OP_PAUSE_PRINTER, queue, "pause");
  if (auto resumed = printer_operation(http->get(), IPP_OP_RESUME_PRINTER, queue, "resume");
      !resumed) {
    return resumed;
  }
  return printer_operation(http->get(), IPP_OP_CUPS_ACCEPT_JOBS, queue, "accept jobs on");
}

std::expected<void, std::string> cups_print_document(const std::filesystem::path& document,
                                                     const std::string& queue, std::uint16_t copies,
                                                     bool two_sided) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(document, error)) {
    return std::unexpected("not a readable file: " + document.string());
  }
  if (!std::ifstream(document, std::ios::binary)) {
    return std::unexpected("cannot read " + document.string());
  }
  auto http = scheduler();
  if (!http) return std::unexpected(http.error());
  cups_option_t* options = nullptr;
  int count = cupsAddIntegerOption("copies", copies, 0, &options);
  count = cupsAddOption("sides", two_sided ? "two-sided-long-edge" : "one-sided", count, &options);
  // No document-format: the scheduler detects the format from the content.
  const int job = cupsPrintFile2(http->get(), queue.c_str(), document.c_str(),
                                 document.filename().c_str(), count, options);
  cupsFreeOptions(count, options);
  if (job <= 0) {
    return std::unexpected("could not print on " + queue + ": " + cupsLastErrorString());
  }
  return {};
}

}  // namespace os_actions::printing::detail
