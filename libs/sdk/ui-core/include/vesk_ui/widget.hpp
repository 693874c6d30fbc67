#pragma once
// The widget interface.
//
// A widget tree is a plain model: labels, styles, icon codes, control ids, actions and
// bound local states, with no toolkit dependency. A host (the Qt host) realizes it as
// real widgets and drives it.
//
// Which slots do what:
// - `sync`, `update`, `needs_idle_sync`, `take_structure_dirty`, `children`, `resources`,
//   the resource-operation slots and `install_waker` are real: the host calls them.
// - `build_layout`, `apply_layout`, `draw`, `handle_event` and `get_rect` are forwarding
//   hooks only. Layout, drawing, fonts, scrolling and input are done by the host's own
//   toolkit; the hooks exist so that a wrapper widget stays transparent (it forwards them
//   to its child) and a host may report geometry back. The defaults do nothing.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vesk_actions/resource.hpp"
#include "vesk_ui/wake.hpp"

namespace vesk_ui::widget {

class Widget;
using WidgetBox = std::unique_ptr<Widget>;

struct Rect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  bool operator==(const Rect&) const = default;
};

// An outcome the program tells the user about (a notice), which hosts also announce to
// other programs.
struct Announcement {
  std::string title;
  std::string detail;
  bool success = false;
  bool operator==(const Announcement&) const = default;
};

struct Event {
  enum class Kind { Input, Wake, FileDropped, FilesOpened } kind = Kind::Input;
  // FileDropped: the local file dropped on the window.
  std::filesystem::path path;
  // FilesOpened: files the program was asked to open from outside (its command line, or
  // the desktop's Open call), as absolute paths, in order.
  std::vector<std::filesystem::path> paths;
};

class Visitor;

using ResourceOperationHandler = std::function<vesk_actions::resource::OperationOutcome(
    vesk_actions::resource::ExecutionKind, std::string_view operation_type,
    std::span<const std::uint8_t> payload)>;

struct NamedResourceOperationHandler {
  std::string name;
  ResourceOperationHandler handler;
};

class Widget {
 public:
  virtual ~Widget() = default;

  // Brings the widget's own derived state up to date before the host reads it.
  virtual void sync() {
    for (Widget* child : children_mut()) child->sync();
  }
  // One step of the widget's own work; true when something changed.
  virtual bool update() { return false; }

  // Forwarding hooks (see the header comment).
  virtual void build_layout() {}
  virtual void apply_layout(const Rect& rect) { rect_ = rect; }
  virtual void draw() {}
  virtual bool handle_event(const Event&) { return false; }
  virtual Rect get_rect() const { return rect_; }

  virtual std::vector<const Widget*> children() const { return {}; }
  virtual std::vector<Widget*> children_mut() { return {}; }

  virtual std::string_view type_name() const = 0;

  // True while the widget waits for results that need `update` calls without input.
  virtual bool needs_idle_sync() const { return false; }

  // What the widget publishes to other programs (controls with ids are published by the
  // host on their own; see controls.hpp).
  virtual std::vector<vesk_actions::resource::Resource> resources() const { return {}; }
  virtual std::vector<std::string> resource_operation_names() const { return {}; }
  virtual std::vector<NamedResourceOperationHandler> resource_operation_handlers() { return {}; }
  // The resource-operation entry.
  virtual vesk_actions::resource::OperationOutcome handle_resource_operation(
      vesk_actions::resource::ExecutionKind, std::string_view /*operation_type*/,
      std::span<const std::uint8_t> /*payload*/) {
    return vesk_actions::resource::OperationOutcome::not_mine();
  }

  // True once after the tree below this widget was replaced; the host then realizes it
  // anew.
  virtual bool take_structure_dirty() { return false; }

  // The outcomes told since the last call, oldest first; each is handed out once.
  virtual std::vector<Announcement> take_announcements() { return {}; }

  // The host hands over the hook that wakes its UI thread.
  virtual void install_waker(wake::WakeHandle) {}

  // Double dispatch for hosts. Widgets that only wrap others keep the default, which
  // treats them as transparent wrappers.
  virtual void accept(Visitor& visitor) const;

 private:
  Rect rect_;
};

// Moves a widget value into a box.
template <class T>
WidgetBox boxed(T&& widget) {
  return std::make_unique<std::decay_t<T>>(std::forward<T>(widget));
}

}  // namespace vesk_ui::widget
