#pragma once
// The whole application as one widget: it owns every piece of state and exactly one
// child, `view`, the screen on display. Every change of state is one Operation applied by
// apply_operation on the UI thread.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "dashboard_card.hpp"
#include "document.hpp"
#include "notice.hpp"
#include "operation.hpp"
#include "scanning/page.hpp"
#include "snapshot.hpp"
#include "thumbnail/generate.hpp"
#include "vesk_os/channel.hpp"
#include "vesk_ui/local_state.hpp"
#include "vesk_ui/portal.hpp"
#include "vesk_ui/widget.hpp"

namespace wendlow::surface {

using vesk_ui::widget::WidgetBox;

class Wendlow final : public vesk_ui::widget::Widget {
 public:
  // The live start: loading screen, refresh running.
  static Wendlow new_live();
  // A start scenario's sample screen; no background work, no snapshot.
  static Wendlow new_scenario(std::uint8_t scenario);

  Wendlow(Wendlow&&) noexcept = default;
  Wendlow& operator=(Wendlow&&) noexcept = default;

  // Fields, in this order.
  vesk_os::Sender<Operation> events_tx;
  vesk_os::Receiver<Operation> events_rx;
  std::optional<DeviceSnapshot> snapshot;
  std::optional<vesk_os::OneshotReceiver<DeviceSnapshot>> refresh_rx;
  // A refresh was asked for while one was running: its result is stale and one more
  // refresh follows it, however many requests came in between.
  bool refresh_again = false;
  std::optional<vesk_os::OneshotReceiver<vesk_ui::portal::PickResult>> document_pick_rx;
  std::optional<vesk_os::OneshotReceiver<thumbnail::generate::Result>> preview_rx;
  std::optional<vesk_os::OneshotReceiver<vesk_ui::portal::PickResult>> save_pick_rx;
  std::vector<ScannedPage> pages;
  std::optional<Notice> notice;
  std::optional<std::string> cancel_request;
  std::optional<std::filesystem::path> document;
  // Files handed to the program from outside that wait for their print screen, in order.
  std::deque<std::filesystem::path> files_to_print;
  std::optional<std::string> print_printer;
  std::optional<std::string> scan_scanner;
  std::optional<ScannedPage> current_page;
  DocumentPreview preview = preview::Unavailable{};
  WidgetBox view;
  vesk_ui::local_state::NumberState copies{1.0};
  vesk_ui::local_state::BoolState two_sided{false};
  vesk_ui::local_state::IndexState scan_resolution{1};
  vesk_ui::local_state::IndexState scan_color{0};
  vesk_ui::local_state::IndexState scan_source{0};
  vesk_ui::local_state::IndexState scan_language{0};
  vesk_ui::local_state::CropState crop{};
  std::size_t page_index = 0;
  std::uint8_t save_kind = 0;  // 0 page image, 1 whole document
  bool scanning = false;

  // Screens.
  void set_view(WidgetBox screen);
  void show_dashboard();
  void show_scan();
  void show_print();
  // Holds `told` as the notice on display and announces it to other programs.
  void announce(Notice told);

  // True while `view` is the scan screen built by show_scan.
  bool scan_on_display() const { return scan_on_display_; }
  // The waker that one-shot channels of this state should use, when the host gave one.
  std::optional<vesk_os::Waker> waker() const { return events_rx.waker(); }

  // Widget interface.
  void sync() override;
  bool update() override;
  void build_layout() override;
  void apply_layout(const vesk_ui::widget::Rect& rect) override;
  void draw() override;
  bool handle_event(const vesk_ui::widget::Event& event) override;
  std::vector<const Widget*> children() const override;
  std::vector<Widget*> children_mut() override;
  std::vector<std::string> resource_operation_names() const override;
  std::vector<vesk_ui::widget::NamedResourceOperationHandler> resource_operation_handlers()
      override;
  std::string_view type_name() const override { return "Wendlow"; }
  vesk_ui::widget::Rect get_rect() const override;
  bool needs_idle_sync() const override;
  std::vector<vesk_actions::resource::Resource> resources() const override;
  vesk_actions::resource::OperationOutcome handle_resource_operation(
      vesk_actions::resource::ExecutionKind kind, std::string_view operation_type,
      std::span<const std::uint8_t> payload) override;
  bool take_structure_dirty() override;
  std::vector<vesk_ui::widget::Announcement> take_announcements() override;
  void install_waker(vesk_ui::wake::WakeHandle waker) override;

 private:
  Wendlow(vesk_os::Sender<Operation> tx, vesk_os::Receiver<Operation> rx);

  bool structure_dirty_ = true;  // `view` was replaced since the host last looked
  bool scan_on_display_ = false;
  std::vector<vesk_ui::widget::Announcement> announcements_;  // told, not yet handed out
};

// One step of the update cycle; true when the state changed.
bool update(Wendlow& state);
void apply_operation(Wendlow& state, Operation operation);

}  // namespace wendlow::surface
