#include "flows/devices.hpp"

#include <algorithm>
#include <utility>

#include "flows/printing.hpp"
#include "os_actions/printing/printing.hpp"
#include "screens/screens.hpp"
#include "surface.hpp"
#include "tasks.hpp"

namespace wendlow::flows {

namespace printing = os_actions::printing;

void start_refresh(Wendlow& state) {
  // One worker at a time: a request while one runs is served by a single follow-up.
  if (state.refresh_rx) {
    state.refresh_again = true;
    return;
  }
  state.refresh_rx = tasks::start_refresh(state.waker());
  // No thread for the refresh: the same as a worker that never answered.
  if (!state.refresh_rx) refresh_arrived(state, std::nullopt);
}

void refresh_arrived(Wendlow& state, std::optional<DeviceSnapshot> snapshot) {
  // The newest request is answered by the follow-up, not by a worker that began before it.
  if (std::exchange(state.refresh_again, false)) {
    start_refresh(state);
    return;
  }
  // A worker that ended without an answer (no thread for a probe, an exception, no memory)
  // reached none of the three areas: say so rather than wait on the loading screen.
  if (!snapshot) {
    const std::string lost = "the refresh ended without a result";
    snapshot = DeviceSnapshot{std::unexpected(lost), std::unexpected(lost), std::unexpected(lost)};
  }
  const bool first = !state.snapshot;
  state.snapshot = std::move(*snapshot);
  // A document chosen before the service first answered (a file handed over at start)
  // has been waiting for the printers: its print screen comes now.
  if (first && state.document) {
    show_waiting_document(state);
    return;
  }
  state.show_dashboard();
  // After a document went to the printer, the next file handed over gets its turn.
  print_next_file(state);
}

void apply(Wendlow& state, op::Refresh) {
  state.notice.reset();
  state.set_view(screens::loading(state.events_tx));
  start_refresh(state);
}

void apply(Wendlow& state, op::ShowDashboard) {
  state.current_page.reset();
  state.scanning = false;
  state.show_dashboard();
}

void apply(Wendlow& state, op::ShowQueue) {
  if (!state.snapshot) return;
  state.set_view(
      screens::print_queue(*state.snapshot, state.events_tx, state.cancel_request, state.notice));
}

void apply(Wendlow& state, op::ShowHistory) {
  if (state.snapshot) state.set_view(screens::history(*state.snapshot, state.events_tx));
}

void apply(Wendlow& state, op::ShowDiagnostics) {
  if (state.snapshot) state.set_view(screens::diagnostics(*state.snapshot, state.events_tx));
}

void apply(Wendlow& state, op::FindPrinters) {
  state.set_view(screens::discovery_searching(state.events_tx));
  tasks::start_discovery(state.events_tx);
}

void apply(Wendlow& state, op::DiscoveryFinished finished) {
  state.set_view(screens::discovery_result(finished.result, state.events_tx));
}

void apply(Wendlow& state, op::AddPrinter add) {
  tasks::start_outcome_task(
      "vesk-add-printer",
      [printer = add.printer] { return printing::add_driverless(printer.uri, printer.name); },
      tasks::add_printer_texts(add.printer.name), state.events_tx);
}

void apply(Wendlow& state, op::OpenPrinter open) {
  if (!state.snapshot || !state.snapshot->queues) return;
  const auto& queues = *state.snapshot->queues;
  auto found = std::ranges::find(queues, open.queue, &printing::PrintQueue::name);
  if (found != queues.end()) state.set_view(screens::printer_controls(*found, state.events_tx));
}

void apply(Wendlow& state, op::SetDefaultPrinter set) {
  tasks::start_outcome_task(
      "vesk-default-printer", [queue = set.queue] { return printing::set_default(queue); },
      tasks::default_printer_texts(set.queue), state.events_tx);
}

void apply(Wendlow& state, op::SetPrinterEnabled set) {
  tasks::start_outcome_task(
      "vesk-toggle-printer",
      [queue = set.queue, enabled = set.enabled] { return printing::set_enabled(queue, enabled); },
      set.enabled ? tasks::resume_printer_texts() : tasks::pause_printer_texts(), state.events_tx);
}

void apply(Wendlow& state, op::RequestCancel request) {
  state.cancel_request = std::move(request.job_id);
  apply(state, op::ShowQueue{});
}

void apply(Wendlow& state, op::CancelJob cancel) {
  state.cancel_request.reset();
  tasks::start_outcome_task(
      "vesk-cancel-print-job", [job = cancel.job_id] { return printing::cancel_job(job); },
      tasks::cancel_job_texts(), state.events_tx);
}

void apply(Wendlow& state, op::RetryJob retry) {
  tasks::start_outcome_task(
      "vesk-retry-print-job", [job = retry.job_id] { return printing::retry_job(job); },
      tasks::retry_job_texts(), state.events_tx);
}

void apply(Wendlow& state, op::TaskFinished finished) {
  state.announce(std::move(finished.notice));
  // A scanned page keeps its screen only while that screen is the one on display; a page
  // left behind by another way out must not hold back the dashboard's refresh.
  if (state.current_page && state.scan_on_display()) {
    state.show_scan();
  } else {
    start_refresh(state);
  }
}

}  // namespace wendlow::flows
