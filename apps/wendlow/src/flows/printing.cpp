#include "flows/printing.hpp"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>

#include "os_actions/printing/printing.hpp"
#include "status.hpp"
#include "surface.hpp"
#include "tasks.hpp"

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

// Copies as typed: clamped to 1..99, written as a whole number and read back; what cannot
// be read back (a value that is not a number) is 1.
std::uint16_t copies_to_send(double typed) {
  const double clamped = std::clamp(typed, 1.0, 99.0);
  char text[32];
  const auto written =
      std::to_chars(std::begin(text), std::end(text), clamped, std::chars_format::fixed, 0);
  std::uint16_t copies = 0;
  if (written.ec != std::errc() || std::from_chars(text, written.ptr, copies).ec != std::errc()) {
    return 1;
  }
  return copies;
}

// A fresh receiver replaces the old one, so an earlier preview can no longer arrive.
void start_preview(Wendlow& state, const std::filesystem::path& document) {
  state.preview_rx = tasks::start_preview(document, state.waker());
  if (state.preview_rx) {
    state.preview = preview::Preparing{};
  } else {
    state.preview = preview::Unavailable{};
  }
}

}  // namespace

void document_picked(Wendlow& state, portal::PickResult picked) {
  if (auto* chosen = std::get_if<portal::Chosen>(&picked)) {
    state.document = chosen->path;
    state.print_printer = initial_printer(state.snapshot);
    start_preview(state, chosen->path);
    state.show_print();
  } else if (std::holds_alternative<portal::Failed>(picked)) {
    state.announce(Notice{"Could not open the file picker",
                          "Try again, or print from the document's app.", false});
    state.show_dashboard();
  }
}

void document_dropped(Wendlow& state, const std::filesystem::path& path) {
  // A drop is choosing and picking in one: the options start afresh, as ChooseDocument
  // makes them before the picker opens.
  state.copies.set(1.0);
  state.two_sided.set(false);
  document_picked(state, portal::Chosen{path});
}

void preview_arrived(Wendlow& state, thumbnail::generate::Result preview) {
  if (preview) {
    state.preview = preview::Ready{preview->width, preview->height, std::move(preview->pixels)};
  } else {
    state.preview = preview::Unavailable{};  // the reason is for developers, not the screen
  }
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
  const std::string document_label = status::chosen_file_label(*document).value_or("Document");
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
  print_next_file(state);
}

void files_opened(Wendlow& state, const std::vector<std::filesystem::path>& paths) {
  state.files_to_print.insert(state.files_to_print.end(), paths.begin(), paths.end());
  print_next_file(state);
}

void show_waiting_document(Wendlow& state) {
  if (!state.print_printer) state.print_printer = initial_printer(state.snapshot);
  state.show_print();
}

void print_next_file(Wendlow& state) {
  if (state.document || state.document_pick_rx || state.files_to_print.empty()) return;
  std::filesystem::path next = std::move(state.files_to_print.front());
  state.files_to_print.pop_front();
  document_dropped(state, next);
}

}  // namespace wendlow::flows
