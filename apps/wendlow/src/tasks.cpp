#include "tasks.hpp"

#include "os_actions/printing/printing.hpp"
#include "scanning/recognition.hpp"
#include "status.hpp"
#include "vesk_image/encode.hpp"
#include "vesk_os/thread.hpp"

namespace wendlow::tasks {

namespace printing = os_actions::printing;

Notice OutcomeTexts::notice_for(bool success) const {
  return success ? Notice{success_title, success_detail, true}
                 : Notice{failure_title, failure_detail, false};
}

bool start_outcome_task(std::string thread_name, ServiceCall call, OutcomeTexts texts,
                        EventSender events) {
  return vesk_os::spawn_named(
      std::move(thread_name),
      [call = std::move(call), texts = std::move(texts), events = std::move(events)]() mutable {
        const bool success = call().has_value();
        events.send(op::TaskFinished{texts.notice_for(success)});
      });
}

std::optional<vesk_os::OneshotReceiver<DeviceSnapshot>> start_refresh(
    std::optional<vesk_os::Waker> waker) {
  auto [reply, answer] = vesk_os::oneshot<DeviceSnapshot>(std::move(waker));
  const bool started =
      vesk_os::spawn_named("vesk-wendlow-refresh", [reply = std::move(reply)]() mutable {
        DeviceSnapshot snapshot;
        snapshot.queues = printing::queues();
        snapshot.jobs = printing::jobs();
        snapshot.scanners = printing::scanners();
        std::move(reply).send(std::move(snapshot));
      });
  if (!started) return std::nullopt;
  return std::move(answer);
}

std::optional<vesk_os::OneshotReceiver<thumbnail::generate::Result>> start_preview(
    std::filesystem::path document, std::optional<vesk_os::Waker> waker) {
  auto [reply, answer] = vesk_os::oneshot<thumbnail::generate::Result>(std::move(waker));
  const bool started = vesk_os::spawn_named(
      "vesk-print-preview", [reply = std::move(reply), document = std::move(document)]() mutable {
        const auto category = thumbnail::category::category_for_path(document);
        std::move(reply).send(thumbnail::generate::generate(document, category, kPreviewSize));
      });
  if (!started) return std::nullopt;
  return std::move(answer);
}

bool start_discovery(EventSender events) {
  return vesk_os::spawn_named("vesk-printer-discovery", [events = std::move(events)] {
    events.send(op::DiscoveryFinished{printing::discover_driverless()});
  });
}

bool start_capture(scanning::CaptureInput input, EventSender events) {
  return vesk_os::spawn_named("vesk-scan-document",
                              [input = std::move(input), events = std::move(events)] {
                                scanning::run_capture(input, events);
                              });
}

bool start_recognition(PageId page, Bytes pixels, std::uint32_t width, std::uint32_t height,
                       std::string language, EventSender events) {
  return vesk_os::spawn_named(
      "vesk-recognize-scanned-page",
      [page = std::move(page), pixels = std::move(pixels), width, height,
       language = std::move(language), events = std::move(events)]() mutable {
        events.send(op::PageRecognized{std::move(page),
                                       scanning::recognize_again(pixels, width, height, language)});
      });
}

namespace {

void encode(scanning::PendingEncode& job) {
  auto png = vesk_image::encode_png(job.image);
  if (!png) {
    job.done.set_value(std::unexpected("could not update the scanned page: " + png.error()));
    return;
  }
  job.done.set_value(std::make_shared<const std::vector<std::uint8_t>>(std::move(*png)));
}

}  // namespace

void start_encode(scanning::PendingEncode job) {
  // The job is shared so that it is still here to run inline when no thread could start.
  auto shared = std::make_shared<scanning::PendingEncode>(std::move(job));
  // Nobody waits for this PNG but a later export: it gives way to everything else.
  if (!vesk_os::spawn_named("vesk-encode-scanned-page", [shared] {
        vesk_os::lower_thread_priority();
        encode(*shared);
      })) {
    encode(*shared);
  }
}

bool start_save(std::filesystem::path path, scanning::SaveContent content, OutcomeTexts texts,
                EventSender events) {
  return start_outcome_task(
      "vesk-save-scanned-page",
      [path = std::move(path), content = std::move(content)]() {
        return scanning::write_save(path, content);
      },
      std::move(texts), std::move(events));
}

OutcomeTexts add_printer_texts(const std::string& printer_name) {
  const std::string printer = status::display_name(printer_name);
  return {"Printer added", printer + " is ready for your apps.", "Could not add printer",
          "Check that " + printer + " is awake and connected, then try again."};
}

OutcomeTexts default_printer_texts(const std::string& queue) {
  const std::string printer = status::display_name(queue);
  return {"Preferred printer changed",
          "New documents will use " + printer + " unless you choose another printer.",
          "Could not change the preferred printer",
          printer + " is still available; try again in a moment."};
}

OutcomeTexts pause_printer_texts() {
  return {"Printer paused", "Documents will wait until you resume it.", "Could not pause printer",
          "Nothing changed. Check the printer connection and try again."};
}

OutcomeTexts resume_printer_texts() {
  return {"Printer resumed", "Waiting documents can print now.", "Could not resume printer",
          "Nothing changed. Check the printer connection and try again."};
}

OutcomeTexts cancel_job_texts() {
  return {"Document canceled", "It was removed from the printer.", "Could not cancel document",
          "The document may still print. Check the queue and try again."};
}

OutcomeTexts retry_job_texts() {
  return {"Document sent again", "It is back in the print queue.", "Could not try again",
          "Check the printer, then try again."};
}

OutcomeTexts print_document_texts(const std::string& document_label,
                                  const std::string& printer_label) {
  return {"Document sent to printer", document_label + " was sent to " + printer_label + ".",
          "Could not print document",
          document_label + " was not sent. Check the printer and try again."};
}

OutcomeTexts save_page_texts(const std::string& file_label) {
  return {"Scanned page saved", "Saved " + file_label + ".", "Could not save scanned page",
          "Choose another location and try again."};
}

OutcomeTexts save_document_texts(const std::string& file_label) {
  return {"Scanned document saved", "Saved " + file_label + ".", "Could not save scanned document",
          "Choose another location and try again."};
}

}  // namespace wendlow::tasks
