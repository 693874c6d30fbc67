#pragma once
// Roots and sample trees shared by the host tests and the D-Bus test host.
#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vesk_ui/local_state.hpp"
#include "vesk_ui/widgets.hpp"

namespace vesk_ui_qt::testing {

// A root whose only child `view` can be replaced, as an application root does.
class SwitchingRoot : public vesk_ui::widget::Widget {
 public:
  explicit SwitchingRoot(vesk_ui::widget::WidgetBox first) : view_(std::move(first)) {}

  // Replaces the view; the host sees a dirty structure on its next cycle.
  void replace(vesk_ui::widget::WidgetBox next);

  // Runs on every update; its answer is update's answer.
  std::function<bool()> on_update;
  std::atomic<int> updates{0};
  std::optional<vesk_os::Waker> waker;
  std::string resource_title = "Test root";
  std::string last_payload;
  std::vector<std::filesystem::path> dropped;  // files dropped on the window, in order
  int last_kind = -1;  // the execution kind byte of the last "test.ping"
  bool idle = false;

  bool update() override;
  bool take_structure_dirty() override { return std::exchange(dirty_, false); }
  bool needs_idle_sync() const override { return idle; }
  bool handle_event(const vesk_ui::widget::Event& event) override {
    if (event.kind != vesk_ui::widget::Event::Kind::FileDropped) return false;
    dropped.push_back(event.path);
    return true;
  }
  void install_waker(vesk_os::Waker handle) override { waker = std::move(handle); }
  std::vector<const Widget*> children() const override { return {view_.get()}; }
  std::vector<Widget*> children_mut() override { return {view_.get()}; }
  std::string_view type_name() const override { return "SwitchingRoot"; }
  std::vector<vesk_actions::resource::Resource> resources() const override;
  vesk_actions::resource::OperationOutcome handle_resource_operation(
      vesk_actions::resource::ExecutionKind kind, std::string_view operation_type,
      std::span<const std::uint8_t> payload) override;

 private:
  vesk_ui::widget::WidgetBox view_;
  bool dirty_ = false;
};

// Cells bound by the gallery.
struct GalleryCells {
  vesk_ui::local_state::BoolState duplex{true};
  vesk_ui::local_state::IndexState mode{1};
  vesk_ui::local_state::NumberState copies{2};
  vesk_ui::local_state::TextState paper{"a4"};
  vesk_ui::local_state::CropState crop{{0.1, 0.08, 0.9, 0.85}};
};

// A screen that uses every kind of widget; `on_press` runs for the "gallery.print" button.
vesk_ui::widget::WidgetBox gallery(const GalleryCells& cells, std::function<void()> on_press,
                                   bool narrow = false);

// RGBA pixels of a soft test picture.
vesk_ui::widget::Pixels test_picture(std::uint32_t width, std::uint32_t height);

}  // namespace vesk_ui_qt::testing
