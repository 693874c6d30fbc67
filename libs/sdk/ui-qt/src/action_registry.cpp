#include "vesk_ui_qt/action_registry.hpp"

#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusConnectionInterface>
#include <QtDBus/QDBusError>
#include <nlohmann/json.hpp>
#include <optional>

#include "application_object.hpp"
#include "registry_object.hpp"
#include "vesk_actions/limits.hpp"
#include "vesk_ui/controls.hpp"
#include "vesk_ui_qt/host.hpp"

namespace vesk_ui_qt {

namespace {

using vesk_actions::resource::ExecutionKind;
using vesk_actions::resource::OperationOutcome;
namespace limits = vesk_actions::limits;

constexpr const char* kHandled = "handled";
constexpr const char* kNotMine = "not-mine";
constexpr const char* kError = "error";

std::string_view without_control_prefix(std::string_view id) {
  if (id.starts_with(vesk_ui::controls::kControlResourcePrefix)) {
    id.remove_prefix(vesk_ui::controls::kControlResourcePrefix.size());
  }
  return id;
}

// An error text as it goes out: at most kMaxErrorBytes, whatever a handler wrote.
QVariantList failed(std::string_view message) {
  return {QString::fromLatin1(kError),
          QString::fromStdString(limits::excerpt(message, limits::kMaxErrorBytes))};
}

QVariantList answer(const std::expected<void, std::string>& result) {
  if (result) return {QString::fromLatin1(kHandled), QString()};
  return failed(result.error());
}

// The UTF-8 length of a text, counted without converting it.
std::size_t utf8_length(const QString& text) {
  std::size_t bytes = 0;
  for (const QChar c : text) {
    const char16_t unit = c.unicode();
    // A surrogate pair is four bytes, two for each half.
    bytes += unit < 0x80 ? 1 : unit < 0x800 ? 2 : c.isSurrogate() ? 2 : 3;
  }
  return bytes;
}

// The refusal of an argument over the size limit, before anything reads it.
std::optional<QString> oversized(std::string_view what, const QString& argument) {
  // Each UTF-16 unit is at least one byte: most arguments need no counting.
  if (static_cast<std::size_t>(argument.size()) * 3 <= limits::kMaxArgumentBytes) {
    return std::nullopt;
  }
  auto checked = limits::check_size(what, utf8_length(argument));
  if (checked) return std::nullopt;
  return QString::fromStdString(checked.error());
}

QString refuse(const QString& message, QString& error) {
  error = message;
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
        nlohmann::json described = {
            {"name", param.name}, {"type", param.type}, {"description", param.description}};
        if (!param.choices.empty()) described["choices"] = param.choices;
        params.push_back(std::move(described));
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
                    {"state", resource.state},
                    {"actions", actions}});
  }
  // Texts from the program need not be valid UTF-8; replace rather than fail.
  return list.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

QVariantList RegistryObject::list_resources() {
  return {QString::fromStdString(resources_json(host_.root()))};
}

QVariantList RegistryObject::run_resource_operation(uchar kind, const QString& operation_type,
                                                    const QString& payload) {
  const std::string type = operation_type.toStdString();
  const std::string bytes = payload.toStdString();
  QVariantList reply;
  if (type == vesk_ui::controls::kInvokeOperation) {
    // The control resources' own operations: the payload is the control id.
    reply = answer(vesk_ui::controls::invoke(host_.root(), without_control_prefix(bytes)));
  } else if (type == vesk_ui::controls::kSelectOperation) {
    auto request = vesk_ui::controls::parse_select_payload(bytes);
    reply = request ? answer(vesk_ui::controls::select(
                          host_.root(), without_control_prefix(request->id), request->index))
                    : failed(request.error());
  } else if (type == vesk_ui::controls::kCropOperation) {
    auto request = vesk_ui::controls::parse_crop_payload(bytes);
    reply = request ? answer(vesk_ui::controls::crop(
                          host_.root(), without_control_prefix(request->id), request->selection))
                    : failed(request.error());
  } else {
    // Every kind byte reaches the handlers as it came: they decide what it means.
    const OperationOutcome outcome = vesk_ui::controls::run_resource_operation(
        host_.root(), static_cast<ExecutionKind>(kind), type,
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    switch (outcome.kind) {
      case OperationOutcome::Kind::Handled:
        reply = {QString::fromLatin1(kHandled), QString()};
        break;
      case OperationOutcome::Kind::NotMine:
        reply = {QString::fromLatin1(kNotMine), QString()};
        break;
      case OperationOutcome::Kind::Error:
        reply = failed(outcome.error);
        break;
    }
  }
  host_.request_cycle();
  return reply;
}

QVariantList RegistryObject::invoke_control(const QString& id) {
  const std::string control = id.toStdString();
  QVariantList reply =
      answer(vesk_ui::controls::invoke(host_.root(), without_control_prefix(control)));
  host_.request_cycle();
  return reply;
}

QVariantList RegistryObject::select_segment(const QString& id, int index) {
  const std::string control = id.toStdString();
  QVariantList reply =
      answer(vesk_ui::controls::select(host_.root(), without_control_prefix(control), index));
  host_.request_cycle();
  return reply;
}

// ---------------------------------------------------------------------------------------
// The gate, on the bus connection's thread

RegistryGate::~RegistryGate() {
  // The bus connection hears of an exported object's end through a blocking call into its
  // own thread, which is this one: it would wait for itself. The gate is unregistered by
  // now (ActionRegistry::Impl), so it leaves without telling.
  QObject::disconnect(this, &QObject::destroyed, nullptr, nullptr);
  for (auto& [ticket, waiting] : waiting_) {
    waiting.connection.send(waiting.call.createErrorReply(
        QDBusError::Failed, QStringLiteral("the application is closing")));
  }
}

QString RegistryGate::hand_on(Work work) {
  if (waiting_.size() >= kMaxWaitingCalls) {
    return QStringLiteral("too many calls are waiting; try again later");
  }
  const std::lock_guard lock(link_->mutex);
  RegistryObject* ui = link_->ui;
  if (!ui) return QStringLiteral("the application is closing");
  setDelayedReply(true);
  const std::uint64_t ticket = next_ticket_++;
  waiting_.emplace(ticket, Waiting{connection(), message()});
  // The UI object is the context: work still queued when it goes away is dropped. The gate
  // outlives every piece of work that ran (see ActionRegistry::Impl).
  QMetaObject::invokeMethod(
      ui,
      [ui, gate = this, ticket, work = std::move(work)] {
        QVariantList reply = work(*ui);
        QMetaObject::invokeMethod(
            gate, [gate, ticket, reply = std::move(reply)] { gate->finish(ticket, reply); },
            Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
  return {};
}

void RegistryGate::finish(std::uint64_t ticket, const QVariantList& reply) {
  auto node = waiting_.extract(ticket);
  if (node.empty()) return;
  node.mapped().connection.send(node.mapped().call.createReply(reply));
}

QString RegistryGate::ListResources() {
  if (QString refused = hand_on([](RegistryObject& ui) { return ui.list_resources(); });
      !refused.isEmpty()) {
    sendErrorReply(QDBusError::Failed, refused);
  }
  return {};
}

QString RegistryGate::RunResourceOperation(uchar kind, const QString& operation_type,
                                           const QString& payload, QString& error) {
  if (auto refused = oversized("the operation type", operation_type))
    return refuse(*refused, error);
  if (auto refused = oversized("the payload", payload)) return refuse(*refused, error);
  QString refused = hand_on([kind, operation_type, payload](RegistryObject& ui) {
    return ui.run_resource_operation(kind, operation_type, payload);
  });
  return refused.isEmpty() ? QString() : refuse(refused, error);
}

QString RegistryGate::InvokeControl(const QString& id, QString& error) {
  if (auto refused = oversized("the control id", id)) return refuse(*refused, error);
  QString refused = hand_on([id](RegistryObject& ui) { return ui.invoke_control(id); });
  return refused.isEmpty() ? QString() : refuse(refused, error);
}

QString RegistryGate::SelectSegment(const QString& id, int index, QString& error) {
  if (auto refused = oversized("the control id", id)) return refuse(*refused, error);
  QString refused =
      hand_on([id, index](RegistryObject& ui) { return ui.select_segment(id, index); });
  return refused.isEmpty() ? QString() : refuse(refused, error);
}

// ---------------------------------------------------------------------------------------

struct ActionRegistry::Impl {
  // The gate lives in another thread: it is deleted there, after the work already on its way.
  struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
  };

  std::shared_ptr<RegistryLink> link = std::make_shared<RegistryLink>();
  std::unique_ptr<RegistryObject> ui;
  std::unique_ptr<RegistryGate, DeleteLater> gate;
  std::shared_ptr<ApplicationLink> application_link = std::make_shared<ApplicationLink>();
  std::unique_ptr<ApplicationGate> application;
  Host* host = nullptr;
  QString service;
  QString path;
  QString application_path;
  bool object_registered = false;
  bool application_registered = false;
  bool service_registered = false;
  std::string published_resources;  // the list as last announced

  // Tells listeners what changed in a cycle: each announced outcome, then the resource
  // list when it differs from the one announced last.
  void after_cycle(std::vector<vesk_ui::widget::Announcement> told) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString interface = QString::fromUtf8(kActionsInterface.data(),
                                                static_cast<qsizetype>(kActionsInterface.size()));
    for (const auto& announcement : told) {
      QDBusMessage signal = QDBusMessage::createSignal(path, interface, QStringLiteral("Notice"));
      signal << QString::fromStdString(announcement.title)
             << QString::fromStdString(announcement.detail) << announcement.success;
      bus.send(signal);
    }
    std::string listing = resources_json(host->root());
    if (listing == published_resources) return;
    published_resources = std::move(listing);
    QDBusMessage signal =
        QDBusMessage::createSignal(path, interface, QStringLiteral("ResourcesChanged"));
    signal << QString::fromStdString(published_resources);
    bus.send(signal);
  }

  ~Impl() {
    if (host) host->set_after_cycle({});
    {
      const std::lock_guard lock(application_link->mutex);
      application_link->ui_context = nullptr;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (service_registered) bus.unregisterService(service);
    // The actions object's path lies below the application's: it goes first, so that each
    // node is gone (and stops watching its object) before its object is deleted.
    if (object_registered) bus.unregisterObject(path);
    if (application_registered) bus.unregisterObject(application_path);
    {
      // From here the gate hands nothing on; work already queued dies with `ui`.
      const std::lock_guard lock(link->mutex);
      link->ui = nullptr;
    }
    ui.reset();
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
  impl->ui = std::make_unique<RegistryObject>(host);
  impl->link->ui = impl->ui.get();
  impl->gate.reset(new RegistryGate(impl->link));
  // The bus's own interface object lives in the connection's thread; the gate joins it.
  if (QObject* bus_object = bus.interface()) impl->gate->moveToThread(bus_object->thread());
  impl->service = QString::fromUtf8(app_id.data(), static_cast<qsizetype>(app_id.size()));
  impl->path = QString::fromStdString(actions_object_path(app_id));
  if (!bus.registerObject(impl->path, impl->gate.get(), QDBusConnection::ExportAllSlots)) {
    return std::unexpected("could not register " + impl->path.toStdString() +
                           " on the session bus");
  }
  impl->object_registered = true;

  impl->application_link->ui_context = impl->ui.get();
  impl->application_link->activate = [&host] { host.bring_forward(); };
  impl->application_link->open = [&host](std::vector<std::filesystem::path> paths) {
    host.open_files(std::move(paths));
  };
  impl->application.reset(new ApplicationGate(impl->application_link));
  impl->application_path = QString::fromStdString(application_object_path(app_id));
  if (!bus.registerObject(impl->application_path, impl->application.get(),
                          QDBusConnection::ExportAllSlots)) {
    return std::unexpected("could not register " + impl->application_path.toStdString() +
                           " on the session bus");
  }
  impl->application_registered = true;

  if (!bus.registerService(impl->service)) {
    return std::unexpected("the bus name " + std::string(app_id) + " is taken");
  }
  impl->service_registered = true;
  impl->host = &host;
  impl->published_resources = resources_json(host.root());
  host.set_after_cycle([raw = impl.get()](std::vector<vesk_ui::widget::Announcement> told) {
    raw->after_cycle(std::move(told));
  });
  return ActionRegistry(std::move(impl));
}

}  // namespace vesk_ui_qt
