#pragma once
// Resources and actions: how an application describes what other programs may ask of it.
// A resource (a printer, a document, the application itself) carries actions; running an
// action sends a resource operation (execution kind, operation type, payload bytes) to the
// widget tree, which answers handled, not mine, or an error text.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vesk_actions::resource {

// A byte on the wire. Values other than the named ones pass through unchanged (the
// underlying type makes every byte a valid value); each handler decides what they mean.
enum class ExecutionKind : std::uint8_t {
  None = 0,
  Command = 1,     // changes something
  Navigation = 2,  // opens a screen
};

struct ActionParam {
  std::string name;
  std::string type;  // "integer" or "number"
  std::string description;
  // For an index into a list of options: the options' labels, in index order.
  std::vector<std::string> choices;

  bool operator==(const ActionParam&) const = default;
};

struct ActionSpec {
  std::string id;
  std::string label;
  ExecutionKind execution = ExecutionKind::None;
  std::string operation_type;
  std::string payload;  // bytes handed back with the operation (often JSON text)
  std::vector<ActionParam> params;

  bool operator==(const ActionSpec&) const = default;
};

struct Resource {
  std::string id;
  std::string kind;
  std::string title;
  std::vector<ActionSpec> actions;
  // The item's condition in plain words ("Ready", "Paused", "Printed"); empty when it has
  // none to tell.
  std::string state = {};

  Resource with_action(ActionSpec action) && {
    actions.push_back(std::move(action));
    return std::move(*this);
  }
  Resource with_state(std::string text) && {
    state = std::move(text);
    return std::move(*this);
  }
  bool operator==(const Resource&) const = default;
};

// The answer to one resource operation.
struct OperationOutcome {
  enum class Kind { NotMine, Handled, Error };
  Kind kind = Kind::NotMine;
  std::string error;  // only for Error

  static OperationOutcome not_mine() { return {Kind::NotMine, {}}; }
  static OperationOutcome handled() { return {Kind::Handled, {}}; }
  static OperationOutcome failed(std::string message) { return {Kind::Error, std::move(message)}; }
  bool operator==(const OperationOutcome&) const = default;
};

// True when an incoming operation type is exactly the one a handler serves.
inline bool enforce_operation_type(std::string_view expected, std::string_view actual) {
  return expected == actual;
}

inline std::string_view payload_text(std::span<const std::uint8_t> payload) {
  return {reinterpret_cast<const char*>(payload.data()), payload.size()};
}

}  // namespace vesk_actions::resource

namespace vesk_actions::params {

struct ActionArgs {
  static resource::ActionParam integer(std::string name, std::string description) {
    return {std::move(name), "integer", std::move(description), {}};
  }
  static resource::ActionParam number(std::string name, std::string description) {
    return {std::move(name), "number", std::move(description), {}};
  }
};

}  // namespace vesk_actions::params
