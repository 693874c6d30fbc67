#pragma once
// The exported D-Bus object of the action registry (see action_registry.hpp).
#include <QObject>
#include <QString>
#include <QtDBus/QDBusContext>

namespace vesk_ui_qt {

class Host;

class RegistryObject : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.vesk.Actions1")

 public:
  explicit RegistryObject(Host& host) : host_(host) {}

 public Q_SLOTS:
  QString ListResources();
  QString RunResourceOperation(uchar kind, const QString& operation_type, const QString& payload,
                               QString& error);
  QString InvokeControl(const QString& id, QString& error);
  QString SelectSegment(const QString& id, int index, QString& error);

 private:
  Host& host_;
};

}  // namespace vesk_ui_qt
