#include "flows/printing.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>

#include "os_actions/printing/printing.hpp"
#include "status.hpp"
#include "surface.hpp"
#include "tasks.hpp"
#include "vesk_os/utf8.hpp"

namespace wendlow::flows {

namespace printing = os_actions::printing;
namespace portal = vesk_ui::portal;

namespace {

std::optional<std::string> initial_printer(const std::optional<DeviceSnapshot>& snapshot) {
  if (!snapshot || !snapshot->queues || snapshot->queues->empty()) return std::nullopt;
  const auto& queues = *snapshot->queues;
  auto preferred = std::ranges::find_if(queues, [](const auto& q) { return q.is_default; });
  return preferred != queues.end() ? preferred->name : queues.front().name;
}

// The file name of a path when it has one that is valid text.
std::optional<std::string> file_label(const std::filesystem::path& path) {
  std::string name = path.filename().string();
  if (name.empty() || !vesk_os::utf8::is_valid(name)) return std::nullopt;
  return name;
}

// Copies as typed: clamped to 1..99, rounded to a whole number; anything unreadable is 1.
std::uint16_t copies_to_send(double typed) {
  if (!std::isfinite(typed)) return 1;
  return static_cast<std::uint16_t>(std::lround(std::clamp(typed, 1.0, 99.0)));
}

void start_preview(Wendlow& state, const std::filesystem::path&) {
  // Document previews are not made yet: the print screen says "Preview unavailable".
  state.preview = preview::Unavailable{};
  state.preview_rx.reset();
}

}  // namespace

void document_picked(Wendlow& state, portal::PickResult picked) {
  if (auto* chosen = std::get_if<portal::Chosen>(&picked)) {
    state.document = chosen->path;
    state.print_printer = initial_printer(state.snapshot);
    start_preview(state, chosen->path);
    state.show_print();
  } else if (std::holds_alternative<portal::Failed>(picked)) {
    state.notice = Notice{"Could not open the file picker",
                          "Try again, or print from the document's app.", false};
    state.show_dashboard();
  }
}

void preview_arrived(Wendlow& state, DocumentPreview preview) {
  // A worker never answers "still preparing"; treat it like no preview at all.
  if (std::holds_alternative<preview::Preparing>(preview)) preview = preview::Unavailable{};
  state.preview = std::move(preview);
  state.show_print();
}

void apply(Wendlow& state, op::ChooseDocument) {
  if (state.document_pick_rx) return;
  state.copies.set(1.0);
  state.two_sided.set(false);
  state.preview = preview::Unavailable{};
  state.preview_rx.reset();
  state.document_pick_rx = portal::PickRequest::open("Choose a document to print", "Choose")
                               .thread_name("wendlow-document-picker")
                               .filter(portal::FileFilter::create("Documents and images")
                                           .mimetype("application/pdf")
                                           .mimetype("image/png")
                                           .mimetype("image/jpeg")
                                           .mimetype("text/plain"))
                               .all_files()
                               .send(state.waker());
}

void apply(Wendlow& state, op::ChoosePrintPrinter choose) {
  state.print_printer = std::move(choose.queue);
  state.show_print();
}

void apply(Wendlow& state, op::SubmitPrint) {
  auto document = std::exchange(state.document, std::nullopt);
  auto queue = std::exchange(state.print_printer, std::nullopt);
  if (!document || !queue) return;
  const std::string document_label = file_label(*document).value_or("Document");
  const std::string printer_label = status::display_name(*queue);
  state.preview = preview::Unavailable{};
  state.preview_rx.reset();
  const std::uint16_t copies = copies_to_send(state.copies.get());
  const bool two_sided = state.two_sided.get();
  tasks::start_outcome_task(
      "vesk-print-document",
      [path = *document, queue = *queue, copies, two_sided] {
        return printing::print_document(path, queue, copies, two_sided);
      },
      tasks::print_document_texts(document_label, printer_label), state.events_tx);
}

void apply(Wendlow& state, op::CancelPrint) {
  state.document.reset();
  state.print_printer.reset();
  state.preview_rx.reset();
  state.preview = preview::Unavailable{};
  state.copies.set(1.0);
  state.two_sided.set(false);
  state.show_dashboard();
}

}  // namespace wendlow::flows
