#include "scanning/capture.hpp"

#include <algorithm>
#include <deque>
#include <future>
#include <thread>

#include "os_actions/printing/printing.hpp"
#include "scanning/recognition.hpp"
#include "vesk_os/thread.hpp"

namespace wendlow::scanning {

namespace printing = os_actions::printing;

namespace {

Bytes shared(std::vector<std::uint8_t> bytes) {
  return std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

void capture_one(const CaptureInput& input, const vesk_os::Sender<Operation>& events) {
  auto scanned = printing::scan_page(input.scanner_id, input.settings);
  if (!scanned) {
    events.send(op::PageScanned{std::unexpected(std::move(scanned.error()))});
    return;
  }
  events.send(op::PageScanned{page_from_scan(shared(std::move(*scanned)), input.language)});
}

// What follows a sheet in the stack: another sheet, or the end of the stack.
enum class After { AnotherSheet, StackDone, StackFailed };

// One sheet's recognition, on a worker of its own. It starts once the sheet `window` places
// earlier has been sent (so that no more recognitions than cores run at once), and sends its
// page once the sheet before it has been sent and what follows it is known.
struct SheetWork {
  Bytes encoded;
  TextLanguage language;
  vesk_os::Sender<Operation> events;
  std::shared_future<void> may_start;
  std::shared_future<void> previous_sent;
  std::shared_future<After> after;
  std::promise<void> sent;

  void operator()() {
    may_start.wait();
    auto page = page_from_scan(std::move(encoded), language);
    previous_sent.wait();
    After next = After::StackFailed;
    try {
      next = after.get();
    } catch (const std::future_error&) {
      // The scanning side went away; the message is still sent, and never as the last one.
    }
    events.send(op::PageScanned{std::move(page), next == After::StackDone});
    sent.set_value();
  }
};

std::shared_future<void> done_already() {
  std::promise<void> done;
  done.set_value();
  return done.get_future().share();
}

// The feeder: the scanner reports each sheet as it comes; recognition runs beside it.
class StackCapture {
 public:
  StackCapture(const CaptureInput& input, const vesk_os::Sender<Operation>& events)
      : input_(input),
        events_(events),
        window_(std::max(1u, std::thread::hardware_concurrency())) {}

  void run() {
    auto result = printing::scan_stack(
        input_.scanner_id, input_.settings,
        {[this] { sheet_started(); },
         [this](std::vector<std::uint8_t> page) { page_arrived(std::move(page)); }});
    // A sheet taken in but never delivered cannot end a stack well.
    if (result && (sheet_pending_ || sent_.empty())) {
      result = std::unexpected(std::string("the scanner ended the stack without its last sheet"));
    }
    if (after_) after_->set_value(result ? After::StackDone : After::StackFailed);
    after_.reset();
    if (result) return;
    // The failure comes after every sheet that was scanned before it.
    if (!sent_.empty()) sent_.back().wait();
    events_.send(op::PageScanned{std::unexpected(std::move(result.error())), true});
  }

 private:
  void sheet_started() {
    if (after_) after_->set_value(After::AnotherSheet);
    after_.reset();
    sheet_pending_ = true;
  }

  void page_arrived(std::vector<std::uint8_t> bytes) {
    sheet_pending_ = false;
    std::promise<After> after;
    SheetWork work{shared(std::move(bytes)),
                   input_.language,
                   events_,
                   sent_.size() >= window_ ? sent_[sent_.size() - window_] : done_already(),
                   sent_.empty() ? done_already() : sent_.back(),
                   after.get_future().share(),
                   {}};
    sent_.push_back(work.sent.get_future().share());
    after_ = std::move(after);
    // Should no thread start, the work is dropped unrun: its broken promise lets the sheets
    // after it go on, and the sheet is lost rather than the stack.
    vesk_os::spawn_named("vesk-recognize-scanned-sheet", std::move(work));
  }

  const CaptureInput& input_;
  const vesk_os::Sender<Operation>& events_;
  const std::size_t window_;
  std::deque<std::shared_future<void>> sent_;
  std::optional<std::promise<After>> after_;
  bool sheet_pending_ = false;
};

}  // namespace

void run_capture(const CaptureInput& input, const vesk_os::Sender<Operation>& events) {
  if (input.settings.source == printing::kScanFlatbed) {
    capture_one(input, events);
    return;
  }
  StackCapture(input, events).run();
}

}  // namespace wendlow::scanning
