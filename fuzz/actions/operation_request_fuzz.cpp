// Arbitrary requests as the action registry hands them to the application: the first byte
// is the execution kind, the second picks the operation type, the rest is the payload.
//
// "wendlow.operation" payloads go through the parser, whose answer is compared with the
// request's own reading (a JSON string: word, NUL, target), and through the whole handler
// path (limits, not-mine, errors) on a live-shaped state. Operations that only change the
// screen are applied; the ones that start background work (refresh, discovery, the file
// picker, printer and job commands) are checked through the parser alone.
//
// Control-select payloads ({"id": ..., "index": n}) go through their parser and then select
// on the screen on display; crop payloads likewise, and a crop that is refused leaves the
// selection as it was.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "resources.hpp"
#include "samples.hpp"
#include "surface.hpp"
#include "vesk_actions/limits.hpp"
#include "vesk_ui/controls.hpp"

namespace {

using vesk_actions::resource::ExecutionKind;
using vesk_actions::resource::OperationOutcome;
namespace limits = vesk_actions::limits;
namespace op = wendlow::op;

constexpr std::array<std::string_view, 5> kTypes = {wendlow::kOperationName, "wendlow.operations",
                                                    vesk_ui::controls::kSelectOperation,
                                                    vesk_ui::controls::kCropOperation, ""};

void require(bool condition) {
  if (!condition) std::abort();
}

// The word an operation is published with, its kind byte and its target (if it has one);
// nothing for operations no word produces.
struct Reading {
  std::string_view word;
  int kind;
  std::optional<std::string> target;
};

std::optional<Reading> reading(const wendlow::Operation& operation) {
  return std::visit(
      [](const auto& o) -> std::optional<Reading> {
        using T = std::decay_t<decltype(o)>;
        if constexpr (std::is_same_v<T, op::Refresh>) return Reading{"refresh", 1, {}};
        if constexpr (std::is_same_v<T, op::FindPrinters>) return Reading{"discover", 1, {}};
        if constexpr (std::is_same_v<T, op::SetDefaultPrinter>) {
          return Reading{"default", 1, o.queue};
        }
        if constexpr (std::is_same_v<T, op::SetPrinterEnabled>) {
          return Reading{o.enabled ? "resume" : "pause", 1, o.queue};
        }
        if constexpr (std::is_same_v<T, op::CancelJob>) return Reading{"cancel", 1, o.job_id};
        if constexpr (std::is_same_v<T, op::RetryJob>) return Reading{"retry", 1, o.job_id};
        if constexpr (std::is_same_v<T, op::ShowDashboard>) return Reading{"dashboard", 2, {}};
        if constexpr (std::is_same_v<T, op::ShowQueue>) return Reading{"queue", 2, {}};
        if constexpr (std::is_same_v<T, op::ShowHistory>) return Reading{"history", 2, {}};
        if constexpr (std::is_same_v<T, op::ShowDiagnostics>) {
          return Reading{"diagnostics", 2, {}};
        }
        if constexpr (std::is_same_v<T, op::ChooseDocument>) return Reading{"print", 2, {}};
        if constexpr (std::is_same_v<T, op::StartScanning>) return Reading{"scan", 2, {}};
        if constexpr (std::is_same_v<T, op::OpenPrinter>) return Reading{"device", 2, o.queue};
        if constexpr (std::is_same_v<T, op::ChooseScanner>) {
          return Reading{"scan-device", 2, o.scanner_id};
        }
        return std::nullopt;
      },
      operation);
}

// Operations whose application only rebuilds the screen, on the calling thread.
bool applies_in_place(std::string_view word) {
  for (std::string_view in_place :
       {"dashboard", "queue", "history", "diagnostics", "scan", "device", "scan-device"}) {
    if (word == in_place) return true;
  }
  return false;
}

// Kind byte and target need of each of the fifteen words; 0 for any other word.
std::pair<int, bool> word_kind(std::string_view word) {
  for (std::string_view command : {"refresh", "discover"}) {
    if (word == command) return {1, false};
  }
  for (std::string_view command : {"default", "pause", "resume", "cancel", "retry"}) {
    if (word == command) return {1, true};
  }
  for (std::string_view navigation :
       {"dashboard", "queue", "history", "diagnostics", "print", "scan"}) {
    if (word == navigation) return {2, false};
  }
  for (std::string_view navigation : {"device", "scan-device"}) {
    if (word == navigation) return {2, true};
  }
  return {0, false};
}

// The parser's answer against the request's own reading.
void check_parse(int kind, std::string_view text,
                 const std::expected<wendlow::Operation, std::string>& parsed) {
  const auto json = nlohmann::json::parse(text, nullptr, false);
  if (json.is_discarded() || !json.is_string()) {
    require(!parsed && parsed.error().starts_with("invalid Wendlow operation: "));
    return;
  }
  const std::string request = json.get<std::string>();
  const auto nul = request.find('\0');
  const std::string word = request.substr(0, nul);
  const std::string target = nul == std::string::npos ? std::string() : request.substr(nul + 1);
  const auto [word_kind_byte, needs_target] = word_kind(word);
  if (word_kind_byte == 0) {
    require(!parsed && parsed.error() == "unknown Wendlow operation");
  } else if (word_kind_byte != kind) {
    require(!parsed && parsed.error() == "Wendlow operation has the wrong execution kind");
  } else if (needs_target && target.empty()) {
    require(!parsed && parsed.error() == "Wendlow resource is no longer available");
  } else {
    require(parsed.has_value());
    const auto read = reading(*parsed);
    require(read && read->word == word && read->kind == kind);
    require(read->target == (needs_target ? std::optional(target) : std::nullopt));
  }
}

// One state for the whole run, as the live program has: a snapshot, no background work.
wendlow::surface::Wendlow& fuzz_state() {
  static wendlow::surface::Wendlow state = [] {
    auto fresh = wendlow::surface::Wendlow::new_scenario(0);
    fresh.snapshot = wendlow::samples::snapshot();
    return fresh;
  }();
  return state;
}

void check_select(wendlow::surface::Wendlow& state, std::string_view text) {
  const auto request = vesk_ui::controls::parse_select_payload(text);
  if (auto checked = limits::check_payload(text); !checked) {
    require(!request && request.error() == checked.error());
    return;
  }
  const auto json = nlohmann::json::parse(text, nullptr, false);
  const bool shaped = !json.is_discarded() && json.is_object() && json.contains("id") &&
                      json["id"].is_string() && json.contains("index") &&
                      json["index"].is_number_integer();
  if (!shaped) {
    require(!request && request.error().starts_with("a select payload is "));
    return;
  }
  if (json["id"].get<std::string>().find('\0') != std::string::npos) {
    require(!request && request.error().starts_with("a control id holds no NUL character: "));
    return;
  }
  require(request.has_value());
  const auto selected = vesk_ui::controls::select(state, request->id, request->index);
  // An error quotes an excerpt of the id, never all of it.
  require(selected || selected.error().size() <= limits::kMaxEchoBytes + 64);
}

void check_crop(wendlow::surface::Wendlow& state, std::string_view text) {
  const auto request = vesk_ui::controls::parse_crop_payload(text);
  if (!request) {
    require(request.error().size() <= limits::kMaxEchoBytes + 128);
    return;
  }
  const auto before = state.crop.get();
  const auto cropped = vesk_ui::controls::crop(state, request->id, request->selection);
  const auto after = state.crop.get();
  if (!cropped) {
    require(after == before);
    return;
  }
  require(0.0 <= after.left && after.left < after.right && after.right <= 1.0 && 0.0 <= after.top &&
          after.top < after.bottom && after.bottom <= 1.0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int kind = data[0];
  const std::string_view type = kTypes[data[1] % kTypes.size()];
  const std::span<const std::uint8_t> payload(data + 2, size - 2);
  const std::string_view text = vesk_actions::resource::payload_text(payload);
  auto& state = fuzz_state();

  if (type == vesk_ui::controls::kSelectOperation) {
    check_select(state, text);
  } else if (type == vesk_ui::controls::kCropOperation) {
    check_crop(state, text);
  } else {
    const auto parsed = wendlow::parse_operation_request(static_cast<ExecutionKind>(kind), payload);
    check_parse(kind, text, parsed);

    const bool within = limits::check_payload(text).has_value();
    const bool mine = kind != 0 && type == wendlow::kOperationName;
    const auto read = parsed ? reading(*parsed) : std::nullopt;
    // Background work stays out of the run: those operations were checked by the parser.
    if (!within || !mine || !parsed || applies_in_place(read->word)) {
      const OperationOutcome outcome = vesk_ui::controls::run_resource_operation(
          state, static_cast<ExecutionKind>(kind), type, payload);
      if (!within) {
        require(outcome.kind == OperationOutcome::Kind::Error);
      } else if (!mine) {
        require(outcome == OperationOutcome::not_mine());
      } else if (!parsed) {
        require(outcome == OperationOutcome::failed(parsed.error()));
      } else {
        require(outcome == OperationOutcome::handled());
      }
    }
  }
  // Controls on screen post their operations; nothing here applies them.
  while (state.events_rx.try_recv()) {
  }
  return 0;
}
