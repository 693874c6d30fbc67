#include "application_object.hpp"

#include <QMetaObject>
#include <QUrl>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusConnectionInterface>
#include <QtDBus/QDBusError>
#include <QtDBus/QDBusMessage>

#include "vesk_actions/limits.hpp"
#include "vesk_ui_qt/action_registry.hpp"
#include "vesk_ui_qt/launch_options.hpp"

namespace vesk_ui_qt {

namespace limits = vesk_actions::limits;

std::string application_object_path(std::string_view app_id) {
  std::string path = actions_object_path(app_id);
  return path.substr(0, path.size() - std::string_view("/actions").size());
}

bool hand_over_to_running(std::string_view app_id, const std::vector<std::string>& files) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !bus.interface()) return false;
  const QString service = QString::fromUtf8(app_id.data(), static_cast<qsizetype>(app_id.size()));
  const auto registered = bus.interface()->isServiceRegistered(service);
  if (!registered.isValid() || !registered.value()) return false;
  const QString path = QString::fromStdString(application_object_path(app_id));
  const QString interface = QStringLiteral("org.freedesktop.Application");
  QDBusMessage call;
  if (files.empty()) {
    call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Activate"));
    call << QVariantMap();
  } else {
    QStringList uris;
    for (const std::string& file : files) {
      uris << QUrl::fromLocalFile(QString::fromStdString(file)).toString(QUrl::FullyEncoded);
    }
    call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Open"));
    call << uris << QVariantMap();
  }
  const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
  return reply.type() == QDBusMessage::ReplyMessage;
}

bool ApplicationGate::hand_on(std::function<void(ApplicationLink&)> work) {
  const std::lock_guard lock(link_->mutex);
  if (!link_->ui_context) return false;
  QMetaObject::invokeMethod(
      link_->ui_context,
      [link = link_, work = std::move(work)] {
        {
          const std::lock_guard still(link->mutex);
          if (!link->ui_context) return;
        }
        work(*link);
      },
      Qt::QueuedConnection);
  return true;
}

void ApplicationGate::Activate(const QVariantMap&) {
  if (!hand_on([](ApplicationLink& link) { link.activate(); })) {
    sendErrorReply(QDBusError::Failed, QStringLiteral("the window is closing"));
  }
}

void ApplicationGate::Open(const QStringList& uris, const QVariantMap&) {
  if (uris.size() > kMaxFiles) {
    sendErrorReply(QDBusError::LimitsExceeded,
                   QStringLiteral("at most %1 files at once").arg(kMaxFiles));
    return;
  }
  std::size_t bytes = 0;
  std::vector<std::filesystem::path> paths;
  for (const QString& uri : uris) {
    const std::string text = uri.toStdString();
    bytes += text.size();
    if (auto too_big = limits::check_size("the file list", bytes); !too_big) {
      sendErrorReply(QDBusError::LimitsExceeded, QString::fromStdString(too_big.error()));
      return;
    }
    // Relative names mean nothing to a program started elsewhere: only absolute paths and
    // file URIs are taken.
    if (!text.starts_with('/') && !text.starts_with("file:")) continue;
    if (auto local = local_file(text, "/")) paths.emplace_back(*local);
  }
  auto opened = [paths = std::move(paths)](ApplicationLink& link) {
    link.activate();
    if (!paths.empty()) link.open(paths);
  };
  if (!hand_on(std::move(opened))) {
    sendErrorReply(QDBusError::Failed, QStringLiteral("the window is closing"));
  }
}

void ApplicationGate::ActivateAction(const QString& action_name, const QVariantList&,
                                     const QVariantMap&) {
  sendErrorReply(QDBusError::NotSupported,
                 QString::fromStdString("no action " + limits::excerpt(action_name.toStdString()) +
                                        "; see org.vesk.Actions1 for what this program offers"));
}

}  // namespace vesk_ui_qt
