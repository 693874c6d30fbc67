#pragma once
// The action registry's exported D-Bus object (see action_registry.hpp) and its UI-thread
// side.
//
// Why two objects: libdbus stops reading a connection while more than 63 MiB of received
// messages are alive, and reads again once they are released. QtDBus hands a call to the
// exported object's thread together with its message; released on the UI thread, that
// message turns reading back on from the UI thread, Qt refuses to enable the connection's
// socket notifier from a thread other than its own ("Socket notifiers cannot be enabled or
// disabled from another thread"), and the connection never reads again. So the exported
// object, RegistryGate, lives in the bus connection's own thread: it refuses oversized
// arguments at once and hands the other calls to the UI thread as plain values. No message
// of the bus is ever held, or released, on the UI thread.
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusContext>
#include <QtDBus/QDBusMessage>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace vesk_ui_qt {

class Host;

// The calls as the UI thread runs them; each returns the reply's arguments.
class RegistryObject : public QObject {
 public:
  explicit RegistryObject(Host& host) : host_(host) {}

  QVariantList list_resources();
  QVariantList run_resource_operation(uchar kind, const QString& operation_type,
                                      const QString& payload);
  QVariantList invoke_control(const QString& id);
  QVariantList select_segment(const QString& id, int index);

 private:
  Host& host_;
};

// What the gate and the registry share: the UI-side object while the registry lives.
struct RegistryLink {
  std::mutex mutex;
  RegistryObject* ui = nullptr;  // null once the registry is going away
};

class RegistryGate : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.vesk.Actions1")

 public:
  // Calls waiting for the UI thread at once; more are refused until some are answered.
  static constexpr std::size_t kMaxWaitingCalls = 64;

  explicit RegistryGate(std::shared_ptr<RegistryLink> link) : link_(std::move(link)) {}
  // Answers the calls still waiting with an error.
  ~RegistryGate() override;

 public Q_SLOTS:
  QString ListResources();
  QString RunResourceOperation(uchar kind, const QString& operation_type, const QString& payload,
                               QString& error);
  QString InvokeControl(const QString& id, QString& error);
  QString SelectSegment(const QString& id, int index, QString& error);

 private:
  using Work = std::function<QVariantList(RegistryObject&)>;
  struct Waiting {
    QDBusConnection connection;
    QDBusMessage call;
  };

  // Hands the current call to the UI thread; its reply is sent when the work is done. An
  // error text when it cannot be handed on.
  QString hand_on(Work work);
  void finish(std::uint64_t ticket, const QVariantList& reply);

  std::shared_ptr<RegistryLink> link_;
  std::map<std::uint64_t, Waiting> waiting_;
  std::uint64_t next_ticket_ = 0;
};

}  // namespace vesk_ui_qt
