#include "surface.hpp"

#include <utility>

#include "flows/devices.hpp"
#include "flows/printing.hpp"
#include "flows/scanning.hpp"
#include "resources.hpp"
#include "samples.hpp"
#include "screens/screens.hpp"
#include "tasks.hpp"

namespace wendlow::surface {

namespace portal = vesk_ui::portal;
using vesk_os::RecvError;

Wendlow::Wendlow(vesk_os::Sender<Operation> tx, vesk_os::Receiver<Operation> rx)
    : events_tx(std::move(tx)), events_rx(std::move(rx)) {}

Wendlow Wendlow::new_live() {
  auto [tx, rx] = vesk_os::channel<Operation>();
  Wendlow state(std::move(tx), std::move(rx));
  state.set_view(screens::loading(state.events_tx));
  flows::start_refresh(state);
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
  scan_on_display_ = false;
}

void Wendlow::show_dashboard() {
  if (!snapshot) {
    set_view(screens::first_printer(events_tx, snapshot.has_value()));
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
  scan_on_display_ = true;
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
  if (event.kind == vesk_ui::widget::Event::Kind::FileDropped) {
    flows::document_dropped(*this, event.path);
    return true;
  }
  if (event.kind == vesk_ui::widget::Event::Kind::FilesOpened) {
    flows::files_opened(*this, event.paths);
    return true;
  }
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
void Wendlow::announce(Notice told) {
  announcements_.push_back({told.title, told.detail, told.success});
  notice = std::move(told);
}
std::vector<vesk_ui::widget::Announcement> Wendlow::take_announcements() {
  return std::exchange(announcements_, {});
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

// Takes a one-shot result: nothing while it is pending, nullopt inside when its worker
// ended without sending.
template <class T>
std::optional<std::optional<T>> take_result(std::optional<vesk_os::OneshotReceiver<T>>& slot) {
  if (!slot) return std::nullopt;
  auto received = slot->try_recv();
  if (!received && received.error() == RecvError::Empty) return std::nullopt;
  slot.reset();
  if (!received) return std::optional<T>();
  return std::optional<T>(std::move(*received));
}

bool collect_one(Wendlow& state) {
  if (auto picked = take_pick(state.document_pick_rx)) {
    flows::document_picked(state, std::move(*picked));
    return true;
  }
  if (auto preview = take_result(state.preview_rx)) {
    flows::preview_arrived(state, std::move(*preview).value_or(
                                      std::unexpected("the preview task ended without an answer")));
    return true;
  }
  if (auto picked = take_pick(state.save_pick_rx)) {
    flows::save_picked(state, std::move(*picked));
    return true;
  }
  if (auto snapshot = take_result(state.refresh_rx)) {
    flows::refresh_arrived(state, std::move(*snapshot));
    return true;
  }
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

// Each operation is handled by its flow: flows/devices, flows/printing, flows/scanning.
void apply_operation(Wendlow& state, Operation operation) {
  std::visit([&state](auto&& o) { flows::apply(state, std::move(o)); }, std::move(operation));
}

}  // namespace wendlow::surface
