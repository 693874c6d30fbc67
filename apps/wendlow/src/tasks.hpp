#pragma once
// Background tasks: every service call runs on a short-lived, named, detached thread that
// owns copies of its inputs and sends exactly one result back.
#include <cstdint>
#include <expected>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "notice.hpp"
#include "operation.hpp"
#include "scanning/capture.hpp"
#include "scanning/page_list.hpp"
#include "scanning/save.hpp"
#include "snapshot.hpp"
#include "thumbnail/generate.hpp"
#include "vesk_os/channel.hpp"

namespace wendlow::tasks {

using EventSender = vesk_os::Sender<Operation>;
using ServiceCall = std::move_only_function<std::expected<void, std::string>()>;

// The four texts of an outcome task, formatted on the UI thread before it starts.
struct OutcomeTexts {
  std::string success_title;
  std::string success_detail;
  std::string failure_title;
  std::string failure_detail;

  Notice notice_for(bool success) const;
  bool operator==(const OutcomeTexts&) const = default;
};

// Runs `call` on a thread named `thread_name` and sends one TaskFinished with the success
// or failure notice; the call's error text is dropped unread. False when no thread could
// be started (nothing is sent then).
bool start_outcome_task(std::string thread_name, ServiceCall call, OutcomeTexts texts,
                        EventSender events);

// Starts "vesk-wendlow-refresh": queues, jobs and scanners, in that order, each kept
// whatever the others gave, delivered as one snapshot. Nothing when no thread could start.
std::optional<vesk_os::OneshotReceiver<DeviceSnapshot>> start_refresh(
    std::optional<vesk_os::Waker> waker);

// The size of a document preview's longer side.
inline constexpr std::uint32_t kPreviewSize = 720;

// Starts "vesk-print-preview": the thumbnail of `document` by its category, at
// kPreviewSize, sent unchanged. Nothing when no thread could start.
std::optional<vesk_os::OneshotReceiver<thumbnail::generate::Result>> start_preview(
    std::filesystem::path document, std::optional<vesk_os::Waker> waker);

// Starts "vesk-printer-discovery", which sends DiscoveryFinished.
bool start_discovery(EventSender events);

// Starts "vesk-scan-document": the capture of Scan page, which sends PageScanned (one per
// sheet for a feeder stack).
bool start_capture(scanning::CaptureInput input, EventSender events);

// Starts "vesk-recognize-scanned-page" for one page's pixels; sends PageRecognized with `page`.
bool start_recognition(PageId page, Bytes pixels, std::uint32_t width, std::uint32_t height,
                       std::string language, EventSender events);

// Starts "vesk-encode-scanned-page", which writes the PNG of an edited page into its promise.
// When no thread starts, the PNG is encoded on the calling thread instead.
void start_encode(scanning::PendingEncode job);

// Starts "vesk-save-scanned-page", which writes `content` to `path` and sends TaskFinished
// with the success or failure notice of `texts`.
bool start_save(std::filesystem::path path, scanning::SaveContent content, OutcomeTexts texts,
                EventSender events);

// The outcome rows. Printer names are shown by their display name.
OutcomeTexts add_printer_texts(const std::string& printer_name);
OutcomeTexts default_printer_texts(const std::string& queue);
OutcomeTexts pause_printer_texts();
OutcomeTexts resume_printer_texts();
OutcomeTexts cancel_job_texts();
OutcomeTexts retry_job_texts();
OutcomeTexts print_document_texts(const std::string& document_label,
                                  const std::string& printer_label);
OutcomeTexts save_page_texts(const std::string& file_label);
OutcomeTexts save_document_texts(const std::string& file_label);

}  // namespace wendlow::tasks
