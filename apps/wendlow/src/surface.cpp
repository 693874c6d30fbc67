#include "surface.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "os_actions/printing/printing.hpp"
#include "resources.hpp"
#include "samples.hpp"
#include "scanning/settings.hpp"
#include "screens/screens.hpp"
#include "status.hpp"
#include "tasks.hpp"
#include "vesk_ui/text_selection.hpp"

namespace wendlow::surface {

namespace printing = os_actions::printing;
namespace portal = vesk_ui::portal;
using vesk_os::RecvError;

Wendlow::Wendlow(vesk_os::Sender<Operation> tx, vesk_os::Receiver<Operation> rx)
    : events_tx(std::move(tx)), events_rx(std::move(rx)) {}

Wendlow Wendlow::new_live() {
  auto [tx, rx] = vesk_os::channel<Operation>();
  Wendlow state(std::move(tx), std::move(rx));
  state.set_view(screens::loading());
  state.refresh_rx = tasks::start_refresh(state.waker());
  return state;
}

Wendlow Wendlow::new_scenario(std::uint8_t scenario) {
  auto [tx, rx] = vesk_os::channel<Operation>();
  Wendlow state(std::move(tx), std::move(rx));
  state.set_view(samples::scenario_view(scenario, state.events_tx));
  return state;
}

void Wendlow::set_view(WidgetBox screen) {
  view.reset();  // the previous screen goes first
  view = std::move(screen);
  structure_dirty_ = true;
}

void Wendlow::show_dashboard() {
  if (!snapshot) {
    set_view(screens::first_printer());
    return;
  }
  set_view(screens::dashboard(*snapshot, events_tx, notice));
}

void Wendlow::show_scan() {
  if (!snapshot) return;
  set_view(
      screens::scan(screens::ScanScreenInput{*snapshot, scan_resolution, scan_color, scan_source,
                                             scan_language, crop, current_page, scanning, notice,
                                             pages.size(), page_index, scan_scanner},
                    events_tx));
}

void Wendlow::show_print() {
  if (!snapshot || !document) return;
  set_view(screens::print(
      screens::PrintScreenInput{*snapshot, *document, preview, print_printer, copies, two_sided},
      events_tx));
}

// ---------------------------------------------------------------------------------------
// Widget interface: everything but the cycle, resources and waking goes to `view`.

void Wendlow::sync() {
  if (view) view->sync();
}
bool Wendlow::update() {
  return surface::update(*this);
}
void Wendlow::build_layout() {
  if (view) view->build_layout();
}
void Wendlow::apply_layout(const vesk_ui::widget::Rect& rect) {
  if (view) view->apply_layout(rect);
}
void Wendlow::draw() {
  if (view) view->draw();
}
bool Wendlow::handle_event(const vesk_ui::widget::Event& event) {
  return view && view->handle_event(event);
}
std::vector<const vesk_ui::widget::Widget*> Wendlow::children() const {
  return {view.get()};
}
std::vector<vesk_ui::widget::Widget*> Wendlow::children_mut() {
  return {view.get()};
}
std::vector<std::string> Wendlow::resource_operation_names() const {
  return {std::string(kOperationName)};
}
std::vector<vesk_ui::widget::NamedResourceOperationHandler> Wendlow::resource_operation_handlers() {
  return {{std::string(kOperationName),
           [this](vesk_actions::resource::ExecutionKind kind, std::string_view type,
                  std::span<const std::uint8_t> payload) {
             return handle_resource_operation(kind, type, payload);
           }}};
}
vesk_ui::widget::Rect Wendlow::get_rect() const {
  return view ? view->get_rect() : vesk_ui::widget::Rect{};
}
bool Wendlow::needs_idle_sync() const {
  return refresh_rx.has_value() || document_pick_rx.has_value() || save_pick_rx.has_value();
}
std::vector<vesk_actions::resource::Resource> Wendlow::resources() const {
  return wendlow::resources(*this);
}
vesk_actions::resource::OperationOutcome Wendlow::handle_resource_operation(
    vesk_actions::resource::ExecutionKind kind, std::string_view operation_type,
    std::span<const std::uint8_t> payload) {
  return wendlow::handle_resource_operation(*this, kind, operation_type, payload);
}
bool Wendlow::take_structure_dirty() {
  const bool view_dirty = view && view->take_structure_dirty();
  return std::exchange(structure_dirty_, false) || view_dirty;
}
void Wendlow::install_waker(vesk_ui::wake::WakeHandle waker) {
  events_rx.set_waker(waker);
  if (refresh_rx) refresh_rx->set_waker(waker);
  if (document_pick_rx) document_pick_rx->set_waker(waker);
  if (preview_rx) preview_rx->set_waker(waker);
  if (save_pick_rx) save_pick_rx->set_waker(waker);
}

// ---------------------------------------------------------------------------------------
// The update cycle

namespace {

// Takes a picker's answer; a picker whose end went away counts as a failure.
template <class Receiver>
std::optional<portal::PickResult> take_pick(std::optional<Receiver>& slot) {
  if (!slot) return std::nullopt;
  auto received = slot->try_recv();
  if (!received && received.error() == RecvError::Empty) return std::nullopt;
  slot.reset();
  if (!received) return portal::PickResult{portal::Failed{"The file picker stopped responding"}};
  return std::move(*received);
}

std::optional<std::string> initial_printer(const std::optional<DeviceSnapshot>& snapshot) {
  if (!snapshot || !snapshot->queues || snapshot->queues->empty()) return std::nullopt;
  const auto& queues = *snapshot->queues;
  auto preferred = std::ranges::find_if(queues, [](const auto& q) { return q.is_default; });
  return preferred != queues.end() ? preferred->name : queues.front().name;
}

void start_preview(Wendlow& state, const std::filesystem::path& path);
void start_save(Wendlow& state, std::uint8_t kind, const std::filesystem::path& path);

bool collect_one(Wendlow& state) {
  // 1. The document picker.
  if (auto picked = take_pick(state.document_pick_rx)) {
    if (auto* chosen = std::get_if<portal::Chosen>(&*picked)) {
      state.document = chosen->path;
      state.print_printer = initial_printer(state.snapshot);
      start_preview(state, chosen->path);
      state.show_print();
    } else if (std::holds_alternative<portal::Failed>(*picked)) {
      state.notice = Notice{"Could not open the file picker",
                            "Try again, or print from the document's app.", false};
      state.show_dashboard();
    }
    return true;
  }
  // 2. The preview.
  if (state.preview_rx) {
    auto received = state.preview_rx->try_recv();
    if (received || received.error() == RecvError::Closed) {
      state.preview_rx.reset();
      state.preview = received ? std::move(*received) : DocumentPreview{preview::Unavailable{}};
      if (std::holds_alternative<preview::Preparing>(state.preview)) {
        state.preview = preview::Unavailable{};
      }
      state.show_print();
      return true;
    }
  }
  // 3. The save picker.
  if (auto picked = take_pick(state.save_pick_rx)) {
    const std::uint8_t kind = std::exchange(state.save_kind, 0);
    if (auto* chosen = std::get_if<portal::Chosen>(&*picked)) {
      start_save(state, kind, chosen->path);
    } else if (std::holds_alternative<portal::Failed>(*picked)) {
      state.notice =
          Notice{"Could not open the file picker", "Try saving the scanned page again.", false};
      state.show_scan();
    }
    return true;
  }
  // 4. The refresh. A worker that ended without sending leaves the refresh pending until a
  // newer one replaces it.
  if (state.refresh_rx) {
    if (auto snapshot = state.refresh_rx->try_recv()) {
      state.refresh_rx.reset();
      state.snapshot = std::move(*snapshot);
      state.show_dashboard();
      return true;
    }
  }
  // 5. One operation.
  if (auto operation = state.events_rx.try_recv()) {
    apply_operation(state, std::move(*operation));
    return true;
  }
  return false;
}

}  // namespace

bool update(Wendlow& state) {
  if (!collect_one(state)) return state.view ? state.view->update() : false;
  if (state.view) state.view->sync();
  return true;
}

// ---------------------------------------------------------------------------------------
// Operations

namespace {

void start_refresh(Wendlow& state) {
  state.refresh_rx = tasks::start_refresh(state.waker());
}

void show_page(Wendlow& state) {
  if (state.page_index < state.pages.size()) {
    state.current_page = state.pages[state.page_index];
  } else {
    state.current_page.reset();
  }
  state.crop.set({});
  state.show_scan();
}

// The file name of a path when it has one that is valid text.
std::optional<std::string> file_label(const std::filesystem::path& path) {
  std::string name = path.filename().string();
  if (name.empty()) return std::nullopt;
  // Reject names that are not valid UTF-8.
  for (std::size_t i = 0; i < name.size();) {
    const auto lead = static_cast<unsigned char>(name[i]);
    const std::size_t length = lead < 0x80           ? 1
                               : (lead >> 5) == 0x6  ? 2
                               : (lead >> 4) == 0xE  ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 0;
    if (length == 0 || i + length > name.size()) return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(name[i + k]) & 0xC0) != 0x80) return std::nullopt;
    }
    i += length;
  }
  return name;
}

// Copies as typed: clamped to 1..99, rounded to a whole number; anything unreadable is 1.
std::uint16_t copies_to_send(double typed) {
  if (!std::isfinite(typed)) return 1;
  return static_cast<std::uint16_t>(std::lround(std::clamp(typed, 1.0, 99.0)));
}

void submit_print(Wendlow& state) {
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

void choose_document(Wendlow& state) {
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

void start_scanning(Wendlow& state) {
  state.notice.reset();
  state.current_page.reset();
  state.pages.clear();
  state.page_index = 0;
  state.scanning = false;
  state.scan_scanner.reset();
  if (state.snapshot && state.snapshot->scanners && !state.snapshot->scanners->empty()) {
    state.scan_scanner = state.snapshot->scanners->front().id;
  }
  state.show_scan();
}

void scan_page(Wendlow& state) {
  if (!state.scan_scanner) return;
  // The settings are read now; the capture itself is the scanning flow's work.
  [[maybe_unused]] const auto settings = scanning::scan_settings_for(
      state.scan_resolution.get(), state.scan_color.get(), state.scan_source.get());
  [[maybe_unused]] const auto language = scanning::language_for(state.scan_language.get());
  state.scanning = true;
  state.show_scan();
}

void page_scanned(Wendlow& state, op::PageScanned scanned) {
  state.scanning = false;
  if (!scanned.result) {
    state.notice = Notice{"Could not scan this page",
                          "Check that the scanner is connected and the paper is positioned, "
                          "then try again.",
                          false};
  } else {
    state.pages.push_back(std::move(*scanned.result));
    state.page_index = state.pages.size() - 1;
    state.current_page = state.pages.back();
    state.crop.set({});
  }
  state.show_scan();
}

void copy_text(Wendlow& state) {
  if (!state.current_page || !state.current_page->text) return;
  const std::string& text = *state.current_page->text;
  if (text.find_first_not_of(" \t\n\r\f\v") == std::string::npos) return;
  // Only a copy that reached the clipboard is reported as done.
  if (!vesk_ui::text_selection::clipboard_copy(text)) return;
  state.notice = Notice{"Text copied", "Paste the recognized text into any app.", true};
  state.show_scan();
}

void page_recognized(Wendlow& state, op::PageRecognized recognized) {
  auto page = std::ranges::find_if(state.pages, [&](const ScannedPage& candidate) {
    return recognized.page.refers_to(candidate.encoded);
  });
  if (page == state.pages.end()) return;
  page->recognizing = false;
  if (recognized.outcome) {
    page->text = recognized.outcome->text;
    page->status = recognized.outcome->status;
    page->text_stale = false;
  } else {
    state.notice = Notice{"Text was not updated", recognized.outcome.error(), false};
  }
  if (state.current_page && recognized.page.refers_to(state.current_page->encoded)) {
    state.current_page = *page;
  }
  state.show_scan();
}

void start_preview(Wendlow& state, const std::filesystem::path&) {
  // Document previews are not made yet: the print screen says "Preview unavailable".
  state.preview = preview::Unavailable{};
  state.preview_rx.reset();
}

void start_save(Wendlow&, std::uint8_t, const std::filesystem::path&) {
  // Saving scans is not built yet; the save picker is never opened, so no path arrives.
}

}  // namespace

void apply_operation(Wendlow& state, Operation operation) {
  std::visit(
      [&state](auto&& o) {
        using T = std::decay_t<decltype(o)>;
        if constexpr (std::is_same_v<T, op::Refresh>) {
          state.notice.reset();
          state.set_view(screens::loading());
          start_refresh(state);
        } else if constexpr (std::is_same_v<T, op::ShowDashboard>) {
          state.current_page.reset();
          state.scanning = false;
          state.show_dashboard();
        } else if constexpr (std::is_same_v<T, op::ShowQueue>) {
          if (state.snapshot) {
            state.set_view(screens::print_queue(*state.snapshot, state.events_tx,
                                                state.cancel_request, state.notice));
          }
        } else if constexpr (std::is_same_v<T, op::ShowHistory>) {
          if (state.snapshot) state.set_view(screens::history(*state.snapshot, state.events_tx));
        } else if constexpr (std::is_same_v<T, op::ShowDiagnostics>) {
          if (state.snapshot) {
            state.set_view(screens::diagnostics(*state.snapshot, state.events_tx));
          }
        } else if constexpr (std::is_same_v<T, op::FindPrinters>) {
          state.set_view(screens::discovery_searching(state.events_tx));
          tasks::start_discovery(state.events_tx);
        } else if constexpr (std::is_same_v<T, op::DiscoveryFinished>) {
          state.set_view(screens::discovery_result(o.result, state.events_tx));
        } else if constexpr (std::is_same_v<T, op::AddPrinter>) {
          tasks::start_outcome_task(
              "vesk-add-printer",
              [printer = o.printer] { return printing::add_driverless(printer.uri, printer.name); },
              tasks::add_printer_texts(o.printer.name), state.events_tx);
        } else if constexpr (std::is_same_v<T, op::OpenPrinter>) {
          if (state.snapshot && state.snapshot->queues) {
            const auto& queues = *state.snapshot->queues;
            auto found =
                std::ranges::find_if(queues, [&](const auto& q) { return q.name == o.queue; });
            if (found != queues.end()) {
              state.set_view(screens::printer_controls(*found, state.events_tx));
            }
          }
        } else if constexpr (std::is_same_v<T, op::SetDefaultPrinter>) {
          tasks::start_outcome_task(
              "vesk-default-printer", [queue = o.queue] { return printing::set_default(queue); },
              tasks::default_printer_texts(o.queue), state.events_tx);
        } else if constexpr (std::is_same_v<T, op::SetPrinterEnabled>) {
          tasks::start_outcome_task(
              "vesk-toggle-printer",
              [queue = o.queue, enabled = o.enabled] {
                return printing::set_enabled(queue, enabled);
              },
              o.enabled ? tasks::resume_printer_texts() : tasks::pause_printer_texts(),
              state.events_tx);
        } else if constexpr (std::is_same_v<T, op::RequestCancel>) {
          state.cancel_request = o.job_id;
          if (state.snapshot) {
            state.set_view(screens::print_queue(*state.snapshot, state.events_tx,
                                                state.cancel_request, state.notice));
          }
        } else if constexpr (std::is_same_v<T, op::CancelJob>) {
          state.cancel_request.reset();
          tasks::start_outcome_task(
              "vesk-cancel-print-job", [job = o.job_id] { return printing::cancel_job(job); },
              tasks::cancel_job_texts(), state.events_tx);
        } else if constexpr (std::is_same_v<T, op::RetryJob>) {
          tasks::start_outcome_task(
              "vesk-retry-print-job", [job = o.job_id] { return printing::retry_job(job); },
              tasks::retry_job_texts(), state.events_tx);
        } else if constexpr (std::is_same_v<T, op::TaskFinished>) {
          state.notice = o.notice;
          if (state.current_page) {
            state.show_scan();
          } else {
            start_refresh(state);
          }
        } else if constexpr (std::is_same_v<T, op::ChooseDocument>) {
          choose_document(state);
        } else if constexpr (std::is_same_v<T, op::ChoosePrintPrinter>) {
          state.print_printer = o.queue;
          state.show_print();
        } else if constexpr (std::is_same_v<T, op::SubmitPrint>) {
          submit_print(state);
        } else if constexpr (std::is_same_v<T, op::CancelPrint>) {
          state.document.reset();
          state.print_printer.reset();
          state.preview_rx.reset();
          state.preview = preview::Unavailable{};
          state.copies.set(1.0);
          state.two_sided.set(false);
          state.show_dashboard();
        } else if constexpr (std::is_same_v<T, op::StartScanning>) {
          start_scanning(state);
        } else if constexpr (std::is_same_v<T, op::ChooseScanner>) {
          state.scan_scanner = o.scanner_id;
          state.show_scan();
        } else if constexpr (std::is_same_v<T, op::ScanPage>) {
          scan_page(state);
        } else if constexpr (std::is_same_v<T, op::PageScanned>) {
          page_scanned(state, std::move(o));
        } else if constexpr (std::is_same_v<T, op::SavePage> ||
                             std::is_same_v<T, op::SaveDocument>) {
          // Saving scans is not built yet.
        } else if constexpr (std::is_same_v<T, op::CopyText>) {
          copy_text(state);
        } else if constexpr (std::is_same_v<T, op::ScanAnother>) {
          state.notice.reset();
          state.current_page.reset();
          state.show_scan();
        } else if constexpr (std::is_same_v<T, op::PreviousPage>) {
          if (state.page_index > 0) --state.page_index;
          show_page(state);
        } else if constexpr (std::is_same_v<T, op::NextPage>) {
          if (state.page_index + 1 < state.pages.size()) ++state.page_index;
          show_page(state);
        } else if constexpr (std::is_same_v<T, op::MovePageEarlier>) {
          if (state.page_index > 0 && state.page_index < state.pages.size()) {
            std::swap(state.pages[state.page_index - 1], state.pages[state.page_index]);
            --state.page_index;
          }
          show_page(state);
        } else if constexpr (std::is_same_v<T, op::MovePageLater>) {
          if (state.page_index + 1 < state.pages.size()) {
            std::swap(state.pages[state.page_index], state.pages[state.page_index + 1]);
            ++state.page_index;
          }
          show_page(state);
        } else if constexpr (std::is_same_v<T, op::DeletePage>) {
          if (state.page_index < state.pages.size()) {
            state.pages.erase(state.pages.begin() + static_cast<std::ptrdiff_t>(state.page_index));
          }
          state.page_index =
              state.pages.empty() ? 0 : std::min(state.page_index, state.pages.size() - 1);
          show_page(state);
        } else if constexpr (std::is_same_v<T, op::RotatePage> ||
                             std::is_same_v<T, op::ApplyCrop> ||
                             std::is_same_v<T, op::RecognizePage>) {
          // Page editing and recognition are not built yet.
          state.show_scan();
        } else if constexpr (std::is_same_v<T, op::PageRecognized>) {
          page_recognized(state, std::move(o));
        }
      },
      std::move(operation));
}

}  // namespace wendlow::surface
