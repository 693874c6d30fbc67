#pragma once
// The desktop's application interface, org.freedesktop.Application, at the application id's
// object path ("/io/github/wendlow/wendlow"): Activate brings the window forward, Open hands
// files to the window (as the command line does), ActivateAction is answered with an error.
//
// Unlike the registry's gate it lives on the UI thread (deleting an object exported from
// the bus thread at a parent path of the gate's hangs the exit), so it takes calls the
// usual way; it still hands its work on as plain values and refuses oversized calls.
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <QtDBus/QDBusContext>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace vesk_ui_qt {

// What the application object and its owner share: the UI-thread handlers while they live.
struct ApplicationLink {
  std::mutex mutex;
  QObject* ui_context = nullptr;  // null once the owner is going away
  std::function<void()> activate;
  std::function<void(std::vector<std::filesystem::path>)> open;
};

class ApplicationGate : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

 public:
  // The most files one Open call may name.
  static constexpr qsizetype kMaxFiles = 1000;

  explicit ApplicationGate(std::shared_ptr<ApplicationLink> link) : link_(std::move(link)) {}

 public Q_SLOTS:
  void Activate(const QVariantMap& platform_data);
  void Open(const QStringList& uris, const QVariantMap& platform_data);
  void ActivateAction(const QString& action_name, const QVariantList& parameter,
                      const QVariantMap& platform_data);

 private:
  // Runs `work` on the UI thread with the link's handlers; false when they are gone.
  bool hand_on(std::function<void(ApplicationLink&)> work);

  std::shared_ptr<ApplicationLink> link_;
};

// "/io/github/wendlow/wendlow" for "io.github.wendlow.wendlow".
std::string application_object_path(std::string_view app_id);

// When a program with this id already runs on the session bus, hands it the files (Open) or
// asks it to come forward (Activate) and answers true: this start is then done. False
// when there is no bus, nobody holds the name, or the call was not taken.
bool hand_over_to_running(std::string_view app_id, const std::vector<std::string>& files);

}  // namespace vesk_ui_qt
