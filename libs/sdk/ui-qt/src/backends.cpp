#include "backends.hpp"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMimeDatabase>
#include <QStringList>
#include <QThread>
#include <optional>

namespace vesk_ui_qt {

namespace {

using vesk_ui::portal::PickRequest;
using vesk_ui::portal::PickResult;

QString name_filter(const vesk_ui::portal::FileFilter& filter) {
  const QMimeDatabase mimes;
  QStringList patterns;
  for (const std::string& type : filter.mimetypes) {
    const QMimeType mime = mimes.mimeTypeForName(QString::fromStdString(type));
    if (mime.isValid()) patterns << mime.globPatterns();
  }
  patterns.removeDuplicates();
  if (patterns.isEmpty()) return {};
  return QStringLiteral("%1 (%2)").arg(QString::fromStdString(filter.label),
                                       patterns.join(QLatin1Char(' ')));
}

// The reply's one sender, shared by the dialog's signal handlers; the first answer spends
// it. A dialog that goes away unanswered drops it, which the caller sees as a failure.
struct PendingReply {
  std::optional<vesk_os::OneshotSender<PickResult>> sender;
  void answer(PickResult result) {
    if (sender) std::move(*std::exchange(sender, std::nullopt)).send(std::move(result));
  }
};

void show_dialog(const PickRequest& request, std::shared_ptr<PendingReply> reply) {
  // Deleted on close; Qt uses the desktop portal by itself where the platform offers it.
  auto* dialog = new QFileDialog(nullptr, QString::fromStdString(request.title));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  const bool saving = request.kind == PickRequest::Kind::Save;
  dialog->setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog->setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!request.accept_label.empty()) {
    dialog->setLabelText(QFileDialog::Accept, QString::fromStdString(request.accept_label));
  }
  QStringList filters;
  for (const auto& filter : request.filters) {
    if (QString text = name_filter(filter); !text.isEmpty()) filters << text;
  }
  if (request.include_all_files || filters.isEmpty()) filters << QFileDialog::tr("All files (*)");
  dialog->setNameFilters(filters);
  if (saving && request.suggested_name)
    dialog->selectFile(QString::fromStdString(*request.suggested_name));
  QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, reply](int result) {
    const QStringList files = dialog->selectedFiles();
    if (result == QDialog::Accepted && !files.isEmpty()) {
      reply->answer(vesk_ui::portal::Chosen{files.front().toStdString()});
    } else {
      reply->answer(vesk_ui::portal::Cancelled{});
    }
  });
  dialog->open();
}

class DialogPicker : public vesk_ui::portal::PickerBackend {
 public:
  // Runs on the request's thread: the dialog itself is shown on the UI thread and this
  // thread returns at once.
  void pick(const PickRequest& request, vesk_os::OneshotSender<PickResult> reply) override {
    auto pending = std::make_shared<PendingReply>();
    pending->sender.emplace(std::move(reply));
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
      pending->answer(vesk_ui::portal::Failed{"no application to show a file dialog"});
      return;
    }
    QMetaObject::invokeMethod(
        app, [request, pending] { show_dialog(request, pending); }, Qt::QueuedConnection);
  }
};

class QtClipboard : public vesk_ui::text_selection::ClipboardBackend {
 public:
  std::expected<void, std::string> copy(const std::string& text) override {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app) return std::unexpected("no clipboard: the application has no window system");
    const QString value = QString::fromStdString(text);
    if (QThread::currentThread() == app->thread()) {
      QGuiApplication::clipboard()->setText(value);
    } else {
      // The clipboard belongs to the UI thread.
      QMetaObject::invokeMethod(
          app, [value] { QGuiApplication::clipboard()->setText(value); }, Qt::QueuedConnection);
    }
    return {};
  }
};

}  // namespace

std::shared_ptr<vesk_ui::portal::PickerBackend> make_dialog_picker() {
  return std::make_shared<DialogPicker>();
}

std::shared_ptr<vesk_ui::text_selection::ClipboardBackend> make_qt_clipboard() {
  return std::make_shared<QtClipboard>();
}

DesktopBackends::DesktopBackends()
    : previous_picker_(vesk_ui::portal::install_picker_backend(make_dialog_picker())),
      previous_clipboard_(vesk_ui::text_selection::install_clipboard_backend(make_qt_clipboard())) {
}

DesktopBackends::~DesktopBackends() {
  vesk_ui::portal::install_picker_backend(previous_picker_);
  vesk_ui::text_selection::install_clipboard_backend(previous_clipboard_);
}

}  // namespace vesk_ui_qt
