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

// The words of a "wendlow.operation" request: each with its execution kind and the
// operation it builds from the target (empty when the word takes none). Published actions
// name their word through `word`, which is checked when the program is compiled, so a
// word cannot be published without a way back.
struct OperationWord {
  std::string_view word;
  ExecutionKind kind;
  bool needs_target;
  Operation (*build)(std::string target);
};

constexpr std::array<OperationWord, 15> kOperationWords = {{
    {"refresh", ExecutionKind::Command, false,
     [](std::string) -> Operation { return op::Refresh{}; }},
    {"discover", ExecutionKind::Command, false,
     [](std::string) -> Operation { return op::FindPrinters{}; }},
    {"default", ExecutionKind::Command, true,
     [](std::string t) -> Operation { return op::SetDefaultPrinter{std::move(t)}; }},
    {"pause", ExecutionKind::Command, true,
     [](std::string t) -> Operation {
       return op::SetPrinterEnabled{std::move(t), false};
     }},
    {"resume", ExecutionKind::Command, true,
     [](std::string t) -> Operation {
       return op::SetPrinterEnabled{std::move(t), true};
     }},
    {"cancel", ExecutionKind::Command, true,
     [](std::string t) -> Operation { return op::CancelJob{std::move(t)}; }},
    {"retry", ExecutionKind::Command, true,
     [](std::string t) -> Operation { return op::RetryJob{std::move(t)}; }},
    {"dashboard", ExecutionKind::Navigation, false,
     [](std::string) -> Operation { return op::ShowDashboard{}; }},
    {"queue", ExecutionKind::Navigation, false,
     [](std::string) -> Operation { return op::ShowQueue{}; }},
    {"history", ExecutionKind::Navigation, false,
     [](std::string) -> Operation { return op::ShowHistory{}; }},
    {"diagnostics", ExecutionKind::Navigation, false,
     [](std::string) -> Operation { return op::ShowDiagnostics{}; }},
    {"print", ExecutionKind::Navigation, false,
     [](std::string) -> Operation { return op::ChooseDocument{}; }},
    {"scan", ExecutionKind::Navigation, false,
     [](std::string) -> Operation { return op::StartScanning{}; }},
    {"device", ExecutionKind::Navigation, true,
     [](std::string t) -> Operation { return op::OpenPrinter{std::move(t)}; }},
    {"scan-device", ExecutionKind::Navigation, true,
     [](std::string t) -> Operation { return op::ChooseScanner{std::move(t)}; }},
}};

consteval const OperationWord& word(std::string_view name) {
  for (const auto& entry : kOperationWords) {
    if (entry.word == name) return entry;
  }
  throw "not an operation word";  // reached only at compile time: a build error
}

// An action running `entry` with an optional target; the operation text travels as one
// JSON string, its NUL separator as \u0000.
ActionSpec action(std::string id, std::string label, const OperationWord& entry,
                  std::optional<std::string_view> target = {}) {
  std::string text(entry.word);
  if (target) {
    text += '\0';
    text += *target;
  }
  return ActionSpec{
      std::move(id),
      std::move(label),
      entry.kind,
      std::string(kOperationName),
      nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace),
      {}};
}

// One resource per printer, document and scanner of the snapshot.
void add_device_resources(const DeviceSnapshot& snapshot, std::vector<Resource>& out) {
  if (snapshot.queues) {
    for (const auto& queue : *snapshot.queues) {
      Resource resource{"wendlow.printer." + resource_key(queue.name),
                        "wendlow.printer",
                        status::display_name(queue.name),
                        {}};
      resource.actions.push_back(action("open", "Open printer", word("device"), queue.name));
      if (!queue.is_default) {
        resource.actions.push_back(
            action("set-default", "Set as default printer", word("default"), queue.name));
      }
      // The same rule as the printer controls: a paused queue that still accepts documents
      // is resumed, not paused again.
      resource.actions.push_back(
          status::offers_resume(queue)
              ? action("toggle-enabled", "Resume printer", word("resume"), queue.name)
              : action("toggle-enabled", "Pause printer", word("pause"), queue.name));
      resource.state = status::printer_state_label(queue);
      out.push_back(std::move(resource));
    }
  }
  if (snapshot.jobs) {
    using os_actions::printing::JobState;
    for (const auto& job : *snapshot.jobs) {
      Resource resource{
          "wendlow.job." + resource_key(job.id), "wendlow.job", status::document_name(job), {}};
      resource.actions.push_back(action("open-queue", "Open queue", word("queue")));
      if (status::is_active(job)) {
        resource.actions.push_back(action("cancel", "Cancel document", word("cancel"), job.id));
      }
      if (job.state == JobState::Stopped || job.state == JobState::Canceled ||
          job.state == JobState::Aborted) {
        resource.actions.push_back(action("retry", "Print again", word("retry"), job.id));
      }
      // The queue's words cover every state a document can be in.
      resource.state = status::document_state_label(job, status::DocumentView::Queue).value_or("");
      out.push_back(std::move(resource));
    }
  }
  if (snapshot.scanners) {
    for (const auto& scanner : *snapshot.scanners) {
      out.push_back(Resource{
          "wendlow.scanner." + resource_key(scanner.id),
          "wendlow.scanner",
          scanner.name,
          {}}.with_action(action("scan", "Scan a document", word("scan-device"), scanner.id)));
    }
  }
}

}  // namespace

std::vector<Resource> resources(const surface::Wendlow& state) {
  std::vector<Resource> out;
  out.push_back(
      Resource{"wendlow", "wendlow.dashboard", "Wendlow", {}}
          .with_action(action("refresh", "Refresh printers and documents", word("refresh")))
          .with_action(action("open-dashboard", "Open dashboard", word("dashboard")))
          .with_action(action("open-queue", "Open print queue", word("queue")))
          .with_action(action("open-history", "Open print history", word("history")))
          .with_action(action("run-diagnostics", "Run printer diagnostics", word("diagnostics")))
          .with_action(action("find-printers", "Find network printers", word("discover")))
          .with_action(action("print-document", "Print a document", word("print")))
          .with_action(action("scan-document", "Scan a document", word("scan"))));
  if (state.snapshot) add_device_resources(*state.snapshot, out);
  // The scanned pages in document order, so a script can tell when a page's text is ready.
  for (std::size_t i = 0; i < state.pages.size(); ++i) {
    const ScannedPage& page = state.pages[i];
    Resource resource{"wendlow.page." + std::to_string(i + 1),
                      "wendlow.page",
                      "Page " + std::to_string(i + 1),
                      {}};
    resource.state = page.recognizing ? "Updating recognized text" : page.status;
    out.push_back(std::move(resource));
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
  const std::string name = text.substr(0, nul);
  std::string target = nul == std::string::npos ? std::string() : text.substr(nul + 1);

  auto found = std::ranges::find(kOperationWords, name, &OperationWord::word);
  if (found == kOperationWords.end()) return std::unexpected("unknown Wendlow operation");
  if (found->kind != kind) return std::unexpected("Wendlow operation has the wrong execution kind");
  if (found->needs_target && target.empty()) {
    return std::unexpected("Wendlow resource is no longer available");
  }
  return found->build(std::move(target));
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
