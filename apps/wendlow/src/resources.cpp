#include "resources.hpp"

#include <nlohmann/json.hpp>

#include <array>

#include "status.hpp"
#include "surface.hpp"

namespace wendlow {

using vesk_actions::resource::ActionSpec;
using vesk_actions::resource::ExecutionKind;
using vesk_actions::resource::OperationOutcome;
using vesk_actions::resource::Resource;

std::string resource_key(std::string_view name) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string key;
  key.reserve(name.size() * 2);
  for (unsigned char byte : name) {
    key += kDigits[byte >> 4];
    key += kDigits[byte & 0xF];
  }
  return key;
}

namespace {

// The operation text as one JSON string; a NUL separator travels as \u0000.
std::string payload(std::string_view word, std::optional<std::string_view> target = {}) {
  std::string text(word);
  if (target) {
    text += '\0';
    text += *target;
  }
  return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

ActionSpec action(std::string id, std::string label, ExecutionKind kind, std::string text) {
  return ActionSpec{
      std::move(id), std::move(label), kind, std::string(kOperationName), std::move(text), {}};
}

}  // namespace

std::vector<Resource> resources(const surface::Wendlow& state) {
  using enum ExecutionKind;
  std::vector<Resource> out;
  out.push_back(
      Resource{"wendlow", "wendlow.dashboard", "Wendlow", {}}
          .with_action(
              action("refresh", "Refresh printers and documents", Command, payload("refresh")))
          .with_action(action("open-dashboard", "Open dashboard", Navigation, payload("dashboard")))
          .with_action(action("open-queue", "Open print queue", Navigation, payload("queue")))
          .with_action(action("open-history", "Open print history", Navigation, payload("history")))
          .with_action(action("run-diagnostics", "Run printer diagnostics", Navigation,
                              payload("diagnostics")))
          .with_action(
              action("find-printers", "Find network printers", Command, payload("discover")))
          .with_action(action("print-document", "Print a document", Navigation, payload("print")))
          .with_action(action("scan-document", "Scan a document", Navigation, payload("scan"))));
  if (!state.snapshot) return out;
  const DeviceSnapshot& snapshot = *state.snapshot;

  if (snapshot.queues) {
    for (const auto& queue : *snapshot.queues) {
      Resource resource{"wendlow.printer." + resource_key(queue.name),
                        "wendlow.printer",
                        status::display_name(queue.name),
                        {}};
      resource.actions.push_back(
          action("open", "Open printer", Navigation, payload("device", queue.name)));
      if (!queue.is_default) {
        resource.actions.push_back(action("set-default", "Set as default printer", Command,
                                          payload("default", queue.name)));
      }
      resource.actions.push_back(
          queue.accepting
              ? action("toggle-enabled", "Pause printer", Command, payload("pause", queue.name))
              : action("toggle-enabled", "Resume printer", Command, payload("resume", queue.name)));
      out.push_back(std::move(resource));
    }
  }
  if (snapshot.jobs) {
    using os_actions::printing::JobState;
    for (const auto& job : *snapshot.jobs) {
      Resource resource{
          "wendlow.job." + resource_key(job.id), "wendlow.job", status::document_name(job), {}};
      resource.actions.push_back(action("open-queue", "Open queue", Navigation, payload("queue")));
      if (status::is_active(job)) {
        resource.actions.push_back(
            action("cancel", "Cancel document", Command, payload("cancel", job.id)));
      }
      if (job.state == JobState::Stopped || job.state == JobState::Canceled ||
          job.state == JobState::Aborted) {
        resource.actions.push_back(
            action("retry", "Print again", Command, payload("retry", job.id)));
      }
      out.push_back(std::move(resource));
    }
  }
  if (snapshot.scanners) {
    for (const auto& scanner : *snapshot.scanners) {
      out.push_back(Resource{
          "wendlow.scanner." + resource_key(scanner.id),
          "wendlow.scanner",
          scanner.name,
          {}}.with_action(action("scan", "Scan a document", Navigation,
                                 payload("scan-device", scanner.id))));
    }
  }
  return out;
}

std::expected<Operation, std::string> parse_operation_request(ExecutionKind kind,
                                                              std::span<const std::uint8_t> bytes) {
  std::string text;
  try {
    auto parsed = nlohmann::json::parse(bytes.begin(), bytes.end());
    if (!parsed.is_string()) {
      return std::unexpected("invalid Wendlow operation: expected a JSON string, found " +
                             std::string(parsed.type_name()));
    }
    text = parsed.get<std::string>();
  } catch (const nlohmann::json::exception& error) {
    return std::unexpected(std::string("invalid Wendlow operation: ") + error.what());
  }

  const auto nul = text.find('\0');
  const std::string word = text.substr(0, nul);
  const std::string target = nul == std::string::npos ? std::string() : text.substr(nul + 1);

  struct Word {
    std::string_view name;
    ExecutionKind kind;
    bool needs_target;
  };
  static constexpr std::array<Word, 15> kWords = {{
      {"refresh", ExecutionKind::Command, false},
      {"discover", ExecutionKind::Command, false},
      {"default", ExecutionKind::Command, true},
      {"pause", ExecutionKind::Command, true},
      {"resume", ExecutionKind::Command, true},
      {"cancel", ExecutionKind::Command, true},
      {"retry", ExecutionKind::Command, true},
      {"dashboard", ExecutionKind::Navigation, false},
      {"queue", ExecutionKind::Navigation, false},
      {"history", ExecutionKind::Navigation, false},
      {"diagnostics", ExecutionKind::Navigation, false},
      {"print", ExecutionKind::Navigation, false},
      {"scan", ExecutionKind::Navigation, false},
      {"device", ExecutionKind::Navigation, true},
      {"scan-device", ExecutionKind::Navigation, true},
  }};
  auto found = std::ranges::find(kWords, word, &Word::name);
  if (found == kWords.end()) return std::unexpected("unknown Wendlow operation");
  if (found->kind != kind) return std::unexpected("Wendlow operation has the wrong execution kind");
  if (found->needs_target && target.empty()) {
    return std::unexpected("Wendlow resource is no longer available");
  }

  if (word == "refresh") return op::Refresh{};
  if (word == "discover") return op::FindPrinters{};
  if (word == "dashboard") return op::ShowDashboard{};
  if (word == "queue") return op::ShowQueue{};
  if (word == "history") return op::ShowHistory{};
  if (word == "diagnostics") return op::ShowDiagnostics{};
  if (word == "print") return op::ChooseDocument{};
  if (word == "scan") return op::StartScanning{};
  if (word == "device") return op::OpenPrinter{target};
  if (word == "scan-device") return op::ChooseScanner{target};
  if (word == "default") return op::SetDefaultPrinter{target};
  if (word == "pause") return op::SetPrinterEnabled{target, false};
  if (word == "resume") return op::SetPrinterEnabled{target, true};
  if (word == "cancel") return op::CancelJob{target};
  return op::RetryJob{target};
}

OperationOutcome handle_resource_operation(surface::Wendlow& state, ExecutionKind kind,
                                           std::string_view operation_type,
                                           std::span<const std::uint8_t> payload) {
  if (kind == ExecutionKind::None ||
      !vesk_actions::resource::enforce_operation_type(kOperationName, operation_type)) {
    return OperationOutcome::not_mine();
  }
  auto operation = parse_operation_request(kind, payload);
  if (!operation) return OperationOutcome::failed(std::move(operation.error()));
  surface::apply_operation(state, std::move(*operation));
  return OperationOutcome::handled();
}

}  // namespace wendlow
