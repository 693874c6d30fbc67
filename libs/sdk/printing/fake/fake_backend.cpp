#include "os_actions/printing/fake_backend.hpp"

#include <algorithm>
#include <charconv>
#include <thread>
#include <utility>

namespace os_actions::printing {
namespace {

std::string quoted(const std::string& text) {
  return "\"" + text + "\"";
}
std::string yes_no(bool value) {
  return value ? "true" : "false";
}

// The number after the last '-' of a job id, 0 when there is none.
std::uint32_t job_number(const std::string& id) {
  const auto dash = id.rfind('-');
  if (dash == std::string::npos) return 0;
  std::uint32_t number = 0;
  std::from_chars(id.data() + dash + 1, id.data() + id.size(), number);
  return number;
}

}  // namespace

const char* method_name(FakeMethod method) {
  switch (method) {
    case FakeMethod::Queues:
      return "queues";
    case FakeMethod::Jobs:
      return "jobs";
    case FakeMethod::Scanners:
      return "scanners";
    case FakeMethod::DiscoverDriverless:
      return "discover_driverless";
    case FakeMethod::AddDriverless:
      return "add_driverless";
    case FakeMethod::SetDefault:
      return "set_default";
    case FakeMethod::SetEnabled:
      return "set_enabled";
    case FakeMethod::CancelJob:
      return "cancel_job";
    case FakeMethod::RetryJob:
      return "retry_job";
    case FakeMethod::PrintDocument:
      return "print_document";
    case FakeMethod::ScanPage:
      return "scan_page";
    case FakeMethod::ScanStack:
      return "scan_stack";
  }
  return "unknown";
}

std::string FakeCall::text() const {
  // Text arguments are quoted, numbers and truth values are not: the call reads as written.
  std::string out = std::string(method_name(method)) + "(";
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool is_text =
        !(method == FakeMethod::PrintDocument && i >= 2) &&
        !(method == FakeMethod::SetEnabled && i == 1) &&
        !((method == FakeMethod::ScanPage || method == FakeMethod::ScanStack) && i >= 1);
    if (i > 0) out += ", ";
    out += is_text ? quoted(args[i]) : args[i];
  }
  return out + ")";
}

void FakeBackend::set_queues(std::vector<PrintQueue> queues) {
  std::lock_guard lock(mutex_);
  queues_ = std::move(queues);
}
void FakeBackend::set_jobs(std::vector<PrintJob> jobs) {
  std::lock_guard lock(mutex_);
  jobs_ = std::move(jobs);
}
void FakeBackend::set_scanners(std::vector<Scanner> scanners) {
  std::lock_guard lock(mutex_);
  scanners_ = std::move(scanners);
}
void FakeBackend::set_discovered(std::vector<DriverlessPrinter> printers) {
  std::lock_guard lock(mutex_);
  discovered_ = std::move(printers);
}
void FakeBackend::set_scan_image(std::vector<std::uint8_t> encoded_image) {
  std::lock_guard lock(mutex_);
  scan_image_ = std::move(encoded_image);
}

void FakeBackend::set_scan_stack(std::vector<std::vector<std::uint8_t>> sheets,
                                 std::optional<std::string> fault) {
  std::lock_guard lock(mutex_);
  stack_sheets_ = std::move(sheets);
  stack_fault_ = std::move(fault);
}

std::vector<PrintQueue> FakeBackend::current_queues() const {
  std::lock_guard lock(mutex_);
  return queues_;
}
std::vector<PrintJob> FakeBackend::current_jobs() const {
  std::lock_guard lock(mutex_);
  return jobs_;
}

void FakeBackend::fail_next(FakeMethod method, std::string error) {
  std::lock_guard lock(mutex_);
  scripts_[method].next_failures.push_back(std::move(error));
}
void FakeBackend::fail_always(FakeMethod method, std::string error) {
  std::lock_guard lock(mutex_);
  scripts_[method].always_failure = std::move(error);
}
void FakeBackend::clear_failures() {
  std::lock_guard lock(mutex_);
  for (auto& [method, script] : scripts_) {
    script.next_failures.clear();
    script.always_failure.reset();
  }
}
void FakeBackend::set_delay(FakeMethod method, std::chrono::milliseconds delay) {
  std::lock_guard lock(mutex_);
  scripts_[method].delay = delay;
}

std::vector<FakeCall> FakeBackend::calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}
std::vector<FakeCall> FakeBackend::calls_of(FakeMethod method) const {
  std::lock_guard lock(mutex_);
  std::vector<FakeCall> out;
  std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(out),
               [method](const FakeCall& call) { return call.method == method; });
  return out;
}
void FakeBackend::clear_calls() {
  std::lock_guard lock(mutex_);
  calls_.clear();
}
bool FakeBackend::wait_for_calls(FakeMethod method, std::size_t count,
                                 std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return call_arrived_.wait_for(lock, timeout, [&] {
    return static_cast<std::size_t>(std::count_if(calls_.begin(), calls_.end(), [&](const auto& c) {
             return c.method == method;
           })) >= count;
  });
}
bool FakeBackend::wait_for_any_calls(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return call_arrived_.wait_for(lock, timeout, [&] { return calls_.size() >= count; });
}

std::optional<std::string> FakeBackend::enter(FakeMethod method, std::vector<std::string> args) {
  std::chrono::milliseconds delay{0};
  std::optional<std::string> failure;
  {
    std::lock_guard lock(mutex_);
    calls_.push_back({method, std::move(args)});
    auto& script = scripts_[method];
    delay = script.delay;
    if (!script.next_failures.empty()) {
      failure = std::move(script.next_failures.front());
      script.next_failures.pop_front();
    } else if (script.always_failure) {
      failure = script.always_failure;
    }
  }
  call_arrived_.notify_all();
  if (delay.count() > 0) std::this_thread::sleep_for(delay);
  return failure;
}

PrintQueue* FakeBackend::find_queue(const std::string& name) {
  auto it = std::find_if(queues_.begin(), queues_.end(),
                         [&](const PrintQueue& queue) { return queue.name == name; });
  return it == queues_.end() ? nullptr : &*it;
}
PrintJob* FakeBackend::find_job(const std::string& id) {
  auto it =
      std::find_if(jobs_.begin(), jobs_.end(), [&](const PrintJob& job) { return job.id == id; });
  return it == jobs_.end() ? nullptr : &*it;
}

std::expected<std::vector<PrintQueue>, std::string> FakeBackend::queues() {
  if (auto failure = enter(FakeMethod::Queues, {})) return std::unexpected(*failure);
  std::lock_guard lock(mutex_);
  return queues_;
}

std::expected<std::vector<PrintJob>, std::string> FakeBackend::jobs() {
  if (auto failure = enter(FakeMethod::Jobs, {})) return std::unexpected(*failure);
  std::lock_guard lock(mutex_);
  return jobs_;
}

std::expected<std::vector<Scanner>, std::string> FakeBackend::scanners() {
  if (auto failure = enter(FakeMethod::Scanners, {})) return std::unexpected(*failure);
  std::lock_guard lock(mutex_);
  return scanners_;
}

std::expected<std::vector<DriverlessPrinter>, std::string> FakeBackend::discover_driverless() {
  if (auto failure = enter(FakeMethod::DiscoverDriverless, {})) return std::unexpected(*failure);
  std::lock_guard lock(mutex_);
  return discovered_;
}

std::expected<void, std::string> FakeBackend::add_driverless(const std::string& uri,
                                                             const std::string& name) {
  if (auto failure = enter(FakeMethod::AddDriverless, {uri, name})) {
    return std::unexpected(*failure);
  }
  std::lock_guard lock(mutex_);
  if (find_queue(name)) return std::unexpected("queue '" + name + "' already exists");
  PrintQueue queue;
  queue.name = name;
  queue.responded = true;
  queues_.push_back(std::move(queue));
  return {};
}

std::expected<void, std::string> FakeBackend::set_default(const std::string& queue) {
  if (auto failure = enter(FakeMethod::SetDefault, {queue})) return std::unexpected(*failure);
  std::lock_guard lock(mutex_);
  if (!find_queue(queue)) return std::unexpected("no queue '" + queue + "'");
  for (auto& each : queues_) each.is_default = each.name == queue;
  return {};
}

std::expected<void, std::string> FakeBackend::set_enabled(const std::string& queue, bool enabled) {
  if (auto failure = enter(FakeMethod::SetEnabled, {queue, yes_no(enabled)})) {
    return std::unexpected(*failure);
  }
  std::lock_guard lock(mutex_);
  auto* found = find_queue(queue);
  if (!found) return std::unexpected("no queue '" + queue + "'");
  // As CUPS does: pausing stops the queue but leaves it accepting documents; resuming
  // starts it and accepts documents again.
  found->state = enabled ? QueueState::Idle : QueueState::Paused;
  if (enabled) found->accepting = true;
  return {};
}

std::expected<void, std::string> FakeBackend::cancel_job(const std::string& job_id) {
  if (auto failure = enter(FakeMethod::CancelJob, {job_id})) return std::unexpected(*failure);
  std::lock_guard lock(mutex_);
  auto* found = find_job(job_id);
  if (!found) return std::unexpected("no job '" + job_id + "'");
  found->state = JobState::Canceled;
  return {};
}

std::expected<void, std::string> FakeBackend::retry_job(const std::string& job_id) {
  if (auto failure = enter(FakeMethod::RetryJob, {job_id})) return std::unexpected(*failure);
  std::lock_guard lock(mutex_);
  auto* found = find_job(job_id);
  if (!found) return std::unexpected("no job '" + job_id + "'");
  if (found->state == JobState::Stopped || found->state == JobState::Aborted) {
    found->state = JobState::Waiting;
  }
  return {};
}

std::expected<void, std::string> FakeBackend::print_document(const std::filesystem::path& document,
                                                             const std::string& queue,
                                                             std::uint16_t copies, bool two_sided) {
  if (auto failure = enter(FakeMethod::PrintDocument,
                           {document.string(), queue, std::to_string(copies), yes_no(two_sided)})) {
    return std::unexpected(*failure);
  }
  std::lock_guard lock(mutex_);
  if (!find_queue(queue)) return std::unexpected("no queue '" + queue + "'");
  std::uint32_t number = 0;
  for (const auto& job : jobs_) number = std::max(number, job_number(job.id));
  PrintJob job;
  job.id = queue + "-" + std::to_string(number + 1);
  job.printer = queue;
  job.title = document.filename().string();
  job.state = JobState::Waiting;
  jobs_.push_back(std::move(job));
  return {};
}

std::expected<std::vector<std::uint8_t>, std::string> FakeBackend::scan_page(
    const std::string& scanner_id, const ScanSettings& settings) {
  if (auto failure = enter(FakeMethod::ScanPage, {scanner_id, std::to_string(settings.resolution),
                                                  std::to_string(settings.color_mode),
                                                  std::to_string(settings.source)})) {
    return std::unexpected(*failure);
  }
  std::lock_guard lock(mutex_);
  const bool known = std::any_of(scanners_.begin(), scanners_.end(),
                                 [&](const Scanner& scanner) { return scanner.id == scanner_id; });
  if (!known) return std::unexpected("no scanner '" + scanner_id + "'");
  return scan_image_;
}

std::expected<void, std::string> FakeBackend::scan_stack(const std::string& scanner_id,
                                                         const ScanSettings& settings,
                                                         const SheetListener& listener) {
  std::vector<std::vector<std::uint8_t>> sheets;
  std::optional<std::string> fault;
  std::chrono::milliseconds delay{0};
  bool scripted_failure = false;
  {
    std::lock_guard lock(mutex_);
    calls_.push_back({FakeMethod::ScanStack,
                      {scanner_id, std::to_string(settings.resolution),
                       std::to_string(settings.color_mode), std::to_string(settings.source)}});
    auto& script = scripts_[FakeMethod::ScanStack];
    delay = script.delay;
    if (!script.next_failures.empty()) {
      fault = std::move(script.next_failures.front());
      script.next_failures.pop_front();
    } else if (script.always_failure) {
      fault = script.always_failure;
    }
    const bool known = std::any_of(scanners_.begin(), scanners_.end(), [&](const Scanner& scanner) {
      return scanner.id == scanner_id;
    });
    if (!known) return std::unexpected("no scanner '" + scanner_id + "'");
    scripted_failure = fault.has_value();
    sheets =
        stack_sheets_.empty() ? std::vector<std::vector<std::uint8_t>>{scan_image_} : stack_sheets_;
    if (!fault) fault = stack_fault_;
  }
  call_arrived_.notify_all();
  // A scripted failure of the call itself comes before any sheet.
  if (scripted_failure) return std::unexpected(*fault);
  for (auto& sheet : sheets) {
    if (listener.sheet_started) listener.sheet_started();
    if (delay.count() > 0) std::this_thread::sleep_for(delay);
    if (listener.page) listener.page(std::move(sheet));
  }
  if (fault) return std::unexpected(*fault);
  return {};
}

}  // namespace os_actions::printing
