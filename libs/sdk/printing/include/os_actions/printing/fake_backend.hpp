#pragma once
// A scriptable in-memory backend for unit tests of code that uses the printing service.
// Tests set the records it answers with, script failures and delays per call, and read back
// every call it received with its arguments, in order. All members are thread-safe: the
// service is called from background threads.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "os_actions/printing/backend.hpp"

namespace os_actions::printing {

enum class FakeMethod : std::uint8_t {
  Queues,
  Jobs,
  Scanners,
  DiscoverDriverless,
  AddDriverless,
  SetDefault,
  SetEnabled,
  CancelJob,
  RetryJob,
  PrintDocument,
  ScanPage,
  ScanStack,
};

// "print_document", "queues", …: the call's name in the service interface.
const char* method_name(FakeMethod method);

// One received call. Arguments are rendered as text in the order of the interface:
// print_document("/x.pdf", "Q", 2, true) is {"/x.pdf", "Q", "2", "true"}; scan_page's
// settings are "resolution", "color_mode", "source" after the scanner id.
struct FakeCall {
  FakeMethod method;
  std::vector<std::string> args;

  std::string text() const;  // print_document("/x.pdf", "Q", 2, true)
  bool operator==(const FakeCall&) const = default;
};

class FakeBackend final : public Backend {
 public:
  FakeBackend() = default;

  // The records the backend answers with. Calls that change the print system change them
  // the way a print system would (see each call below).
  void set_queues(std::vector<PrintQueue> queues);
  void set_jobs(std::vector<PrintJob> jobs);
  void set_scanners(std::vector<Scanner> scanners);
  void set_discovered(std::vector<DriverlessPrinter> printers);
  void set_scan_image(std::vector<std::uint8_t> encoded_image);
  // The sheets a feeder scan delivers, in order; then `fault`, when given, ends the stack with
  // that error instead of an empty feeder. Each sheet takes the delay set for ScanStack.
  // Without sheets, a feeder scan delivers the scan image once.
  void set_scan_stack(std::vector<std::vector<std::uint8_t>> sheets,
                      std::optional<std::string> fault = std::nullopt);

  std::vector<PrintQueue> current_queues() const;
  std::vector<PrintJob> current_jobs() const;

  // The next call of `method` fails with `error`; several are used up in order.
  void fail_next(FakeMethod method, std::string error);
  // Every call of `method` fails with `error` until cleared.
  void fail_always(FakeMethod method, std::string error);
  void clear_failures();
  // Every call of `method` sleeps this long before answering (outside any lock).
  void set_delay(FakeMethod method, std::chrono::milliseconds delay);

  std::vector<FakeCall> calls() const;
  std::vector<FakeCall> calls_of(FakeMethod method) const;
  void clear_calls();
  // Waits until at least `count` calls of `method` arrived; false on timeout. Calls of
  // other kinds (a refresh left over from earlier work) do not count.
  bool wait_for_calls(FakeMethod method, std::size_t count,
                      std::chrono::milliseconds timeout) const;
  // Waits until at least `count` calls of any kind arrived; false on timeout.
  bool wait_for_any_calls(std::size_t count, std::chrono::milliseconds timeout) const;

  // Answers with the set queues.
  std::expected<std::vector<PrintQueue>, std::string> queues() override;
  // Answers with the set jobs.
  std::expected<std::vector<PrintJob>, std::string> jobs() override;
  std::expected<std::vector<Scanner>, std::string> scanners() override;
  std::expected<std::vector<DriverlessPrinter>, std::string> discover_driverless() override;
  // Adds an idle queue `name` (refused when the name is taken).
  std::expected<void, std::string> add_driverless(const std::string& uri,
                                                  const std::string& name) override;
  // Marks the queue as the only default (refused for an unknown queue).
  std::expected<void, std::string> set_default(const std::string& queue) override;
  // Enabled: accepting and idle; disabled: not accepting and paused.
  std::expected<void, std::string> set_enabled(const std::string& queue, bool enabled) override;
  // Marks the job canceled (refused for an unknown job).
  std::expected<void, std::string> cancel_job(const std::string& job_id) override;
  // Puts a stopped or aborted job back to waiting (refused for an unknown job).
  std::expected<void, std::string> retry_job(const std::string& job_id) override;
  // Adds a waiting job "<queue>-<n>" titled with the document's file name (refused for an
  // unknown queue).
  std::expected<void, std::string> print_document(const std::filesystem::path& document,
                                                  const std::string& queue, std::uint16_t copies,
                                                  bool two_sided) override;
  // Answers with the set image (refused for an unknown scanner).
  std::expected<std::vector<std::uint8_t>, std::string> scan_page(
      const std::string& scanner_id, const ScanSettings& settings) override;
  // Delivers the set sheets (refused for an unknown scanner, or as scripted for ScanStack).
  std::expected<void, std::string> scan_stack(const std::string& scanner_id,
                                              const ScanSettings& settings,
                                              const SheetListener& listener) override;

 private:
  struct Script {
    std::deque<std::string> next_failures;
    std::optional<std::string> always_failure;
    std::chrono::milliseconds delay{0};
  };

  // Logs the call, waits its delay and returns its scripted failure, if any.
  std::optional<std::string> enter(FakeMethod method, std::vector<std::string> args);
  PrintQueue* find_queue(const std::string& name);
  PrintJob* find_job(const std::string& id);

  mutable std::mutex mutex_;
  mutable std::condition_variable call_arrived_;
  std::vector<PrintQueue> queues_;
  std::vector<PrintJob> jobs_;
  std::vector<Scanner> scanners_;
  std::vector<DriverlessPrinter> discovered_;
  std::vector<std::uint8_t> scan_image_;
  std::vector<std::vector<std::uint8_t>> stack_sheets_;
  std::optional<std::string> stack_fault_;
  std::map<FakeMethod, Script> scripts_;
  std::vector<FakeCall> calls_;
};

}  // namespace os_actions::printing
