#include "vesk_ui_qt/action_registry.hpp"

#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusConnectionInterface>
#include <nlohmann/json.hpp>

#include "registry_object.hpp"
#include "vesk_ui/controls.hpp"
#include "vesk_ui_qt/host.hpp"

namespace vesk_ui_qt {

namespace {

using vesk_actions::resource::ExecutionKind;
using vesk_actions::resource::OperationOutcome;

constexpr const char* kHandled = "handled";
constexpr const char* kNotMine = "not-mine";
constexpr const char* kError = "error";

std::string_view without_control_prefix(std::string_view id) {
  if (id.starts_with(vesk_ui::controls::kControlResourcePrefix)) {
    id.remove_prefix(vesk_ui::controls::kControlResourcePrefix.size());
  }
  return id;
}

QString answer(const std::expected<void, std::string>& result, QString& error) {
  if (result) return QString::fromLatin1(kHandled);
  error = QString::fromStdString(result.error());
  return QString::fromLatin1(kError);
}

}  // namespace

std::string actions_object_path(std::string_view app_id) {
  std::string path = "/";
  for (char c : app_id) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    path += c == '.' ? '/' : plain ? c : '_';
  }
  if (path.size() > 1) path += '/';
  return path + "actions";
}

std::string resources_json(const vesk_ui::widget::Widget& root) {
  nlohmann::json list = nlohmann::json::array();
  for (const auto& resource : vesk_ui::controls::all_resources(root)) {
    nlohmann::json actions = nlohmann::json::array();
    for (const auto& action : resource.actions) {
      nlohmann::json params = nlohmann::json::array();
      for (const auto& param : action.params) {
        params.push_back(
            {{"name", param.name}, {"type", param.type}, {"description", param.description}});
      }
      actions.push_back({{"id", action.id},
                         {"label", action.label},
                         {"execution", static_cast<int>(action.execution)},
                         {"operation_type", action.operation_type},
                         {"payload", action.payload},
                         {"params", params}});
    }
    list.push_back({{"id", resource.id},
                    {"kind", resource.kind},
                    {"title", resource.title},
                    {"actions", actions}});
  }
  // Texts from the program need not be valid UTF-8; replace rather than fail.
  return list.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

QString RegistryObject::ListResources() {
  return QString::fromStdString(resources_json(host_.root()));
}

QString RegistryObject::RunResourceOperation(uchar kind, const QString& operation_type,
                                             const QString& payload, QString& error) {
  if (kind > static_cast<uchar>(ExecutionKind::Navigation)) {
    error = QStringLiteral("unknown execution kind %1").arg(kind);
    return QString::fromLatin1(kError);
  }
  const std::string type = operation_type.toStdString();
  const std::string bytes = payload.toStdString();
  QString outcome_text;
  if (type == vesk_ui::controls::kInvokeOperation) {
    // The control resources' own operations: the payload is the control id.
    outcome_text =
        answer(vesk_ui::controls::invoke(host_.root(), without_control_prefix(bytes)), error);
  } else if (type == vesk_ui::controls::kSelectOperation) {
    // The payload is {"id": "...", "index": n}.
    const auto request = nlohmann::json::parse(bytes, nullptr, false);
    if (request.is_discarded() || !request.is_object() || !request.contains("id") ||
        !request["id"].is_string() || !request.contains("index") ||
        !request["index"].is_number_integer()) {
      error =
          QStringLiteral("a select payload is {\"id\": \"<control id>\", \"index\": <segment>}");
      return QString::fromLatin1(kError);
    }
    outcome_text =
        answer(vesk_ui::controls::select(host_.root(),
                                         without_control_prefix(request["id"].get<std::string>()),
                                         request["index"].get<std::int64_t>()),
               error);
  } else {
    const OperationOutcome outcome = vesk_ui::controls::run_resource_operation(
        host_.root(), static_cast<ExecutionKind>(kind), type,
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    switch (outcome.kind) {
      case OperationOutcome::Kind::Handled:
        outcome_text = QString::fromLatin1(kHandled);
        break;
      case OperationOutcome::Kind::NotMine:
        outcome_text = QString::fromLatin1(kNotMine);
        break;
      case OperationOutcome::Kind::Error:
        outcome_text = QString::fromLatin1(kError);
        error = QString::fromStdString(outcome.error);
        break;
    }
  }
  host_.request_cycle();
  return outcome_text;
}

QString RegistryObject::InvokeControl(const QString& id, QString& error) {
  const std::string control = id.toStdString();
  QString outcome =
      answer(vesk_ui::controls::invoke(host_.root(), without_control_prefix(control)), error);
  host_.request_cycle();
  return outcome;
}

QString RegistryObject::SelectSegment(const QString& id, int index, QString& error) {
  const std::string control = id.toStdString();
  QString outcome = answer(
      vesk_ui::controls::select(host_.root(), without_control_prefix(control), index), error);
  host_.request_cycle();
  return outcome;
}

// ---------------------------------------------------------------------------------------

struct ActionRegistry::Impl {
  std::unique_ptr<RegistryObject> object;
  QString service;
  QString path;
  ~Impl() {
    if (!object) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(path);
    bus.unregisterService(service);
  }
};

ActionRegistry::ActionRegistry(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ActionRegistry::~ActionRegistry() = default;
ActionRegistry::ActionRegistry(ActionRegistry&&) noexcept = default;
ActionRegistry& ActionRegistry::operator=(ActionRegistry&&) noexcept = default;

std::expected<ActionRegistry, std::string> ActionRegistry::publish(Host& host,
                                                                   std::string_view app_id) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return std::unexpected("no session bus");
  auto impl = std::make_unique<Impl>();
  impl->object = std::make_unique<RegistryObject>(host);
  impl->service = QString::fromUtf8(app_id.data(), static_cast<qsizetype>(app_id.size()));
  impl->path = QString::fromStdString(actions_object_path(app_id));
  if (!bus.registerObject(impl->path, impl->object.get(), QDBusConnection::ExportAllSlots)) {
    return std::unexpected("could not register " + impl->path.toStdString() +
                           " on the session bus");
  }
  if (!bus.registerService(impl->service)) {
    bus.unregisterObject(impl->path);
    impl->object.reset();
    return std::unexpected("the bus name " + std::string(app_id) + " is taken");
  }
  return ActionRegistry(std::move(impl));
}

}  // namespace vesk_ui_qt
