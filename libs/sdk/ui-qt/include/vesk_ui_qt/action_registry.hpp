#pragma once
// The action registry: the host's D-Bus object on the session bus.
//
// Bus name: the application id ("io.github.wendlow.wendlow"). Object path: the
// application id with dots as slashes, under "/" ("/io/github/wendlow/wendlow"), then
// "/actions". Interface "org.vesk.Actions1":
//   ListResources() -> s                      JSON array of every resource and action
//   RunResourceOperation(y, s, s) -> (s, s)    kind, operation type, payload ->
//                                              "handled" | "not-mine" | "error", error text
//   InvokeControl(s) -> (s, s)                 control id -> outcome, error text
//   SelectSegment(s, i) -> (s, s)              control or select id, index -> outcome, error
// The kind byte reaches the widgets unchanged. Arguments over 1 MiB and payloads nesting
// deeper than vesk_actions::limits allow are answered with an error before anything parses
// them; error texts are cut to an excerpt. Calls are received on the bus connection's own
// thread and run on the UI thread (see registry_object.hpp for why).
#include <expected>
#include <memory>
#include <string>
#include <string_view>

#include "vesk_ui/widget.hpp"

namespace vesk_ui_qt {

class Host;

inline constexpr std::string_view kActionsInterface = "org.vesk.Actions1";

// "/io/github/wendlow/wendlow/actions" for "io.github.wendlow.wendlow".
std::string actions_object_path(std::string_view app_id);

// The JSON text that ListResources answers.
std::string resources_json(const vesk_ui::widget::Widget& root);

class ActionRegistry {
 public:
  ~ActionRegistry();
  ActionRegistry(ActionRegistry&&) noexcept;
  ActionRegistry& operator=(ActionRegistry&&) noexcept;

  // Registers the object and the bus name; an error when there is no session bus or
  // the name is taken. The registry must not outlive `host`.
  static std::expected<ActionRegistry, std::string> publish(Host& host, std::string_view app_id);

 private:
  struct Impl;
  explicit ActionRegistry(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace vesk_ui_qt
