#include "vesk_ui_qt/host.hpp"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDropEvent>
#include <QEvent>
#include <QMimeData>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <filesystem>
#include <optional>

#include "vesk_ui_qt/realize.hpp"

namespace vesk_ui_qt {

namespace {

// Updates per event-loop turn; a root that keeps answering true continues next turn, so
// input and painting are never starved.
constexpr int kMaxUpdatesPerTurn = 64;
constexpr int kIdleSyncMilliseconds = 16;
constexpr int kScrollRestoreMilliseconds = 500;

// Schedules the cycle after input anywhere in the application: a released mouse button
// or key has been handled by the time the queued cycle runs.
class InputWatcher : public QObject {
 public:
  InputWatcher(QWidget* window, std::function<void()> after_input)
      : window_(window), after_input_(std::move(after_input)) {}

 protected:
  bool eventFilter(QObject* target, QEvent* event) override {
    const auto type = event->type();
    if (type == QEvent::MouseButtonRelease || type == QEvent::KeyRelease || type == QEvent::Wheel) {
      auto* widget = qobject_cast<QWidget*>(target);
      if (widget && window_ && (widget == window_ || window_->isAncestorOf(widget))) after_input_();
    }
    return false;
  }

 private:
  QPointer<QWidget> window_;
  std::function<void()> after_input_;
};

// The first local file among the dragged items, if any.
std::optional<std::filesystem::path> dragged_file(const QMimeData* data) {
  if (!data || !data->hasUrls()) return std::nullopt;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return std::filesystem::path(url.toLocalFile().toStdString());
  }
  return std::nullopt;
}

// Takes a local file dropped anywhere on the window to the root as a FileDropped event.
class DropWatcher : public QObject {
 public:
  explicit DropWatcher(std::function<void(std::filesystem::path)> dropped)
      : dropped_(std::move(dropped)) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!dragged_file(drag->mimeData())) return false;
        drag->acceptProposedAction();
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        auto file = dragged_file(drop->mimeData());
        if (!file) return false;
        drop->acceptProposedAction();
        dropped_(std::move(*file));
        return true;
      }
      default:
        return false;
    }
  }

 private:
  std::function<void(std::filesystem::path)> dropped_;
};

// A tree's scroll areas, the tree itself included, in tree order.
QList<QAbstractScrollArea*> scroll_areas(QWidget* tree) {
  QList<QAbstractScrollArea*> areas;
  if (!tree) return areas;
  if (auto* area = qobject_cast<QAbstractScrollArea*>(tree)) areas.append(area);
  areas.append(tree->findChildren<QAbstractScrollArea*>());
  return areas;
}

std::vector<int> scroll_positions(QWidget* tree) {
  std::vector<int> positions;
  for (auto* area : scroll_areas(tree)) {
    positions.push_back(area->verticalScrollBar()->value());
  }
  return positions;
}

// Scrolls the new tree's areas back to where the old ones were. The new content gets its
// height only once laid out, so each area follows its range until the position fits (or
// briefly, when the new content is shorter).
void restore_scroll_positions(QWidget* tree, const std::vector<int>& positions) {
  const auto areas = scroll_areas(tree);
  for (std::size_t index = 0;
       index < positions.size() && index < static_cast<std::size_t>(areas.size()); ++index) {
    QScrollBar* bar = areas[static_cast<qsizetype>(index)]->verticalScrollBar();
    const int wanted = positions[index];
    if (wanted <= 0) continue;
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(bar, &QScrollBar::rangeChanged, bar,
                                   [bar, wanted, connection](int, int maximum) {
                                     bar->setValue(std::min(wanted, maximum));
                                     if (maximum >= wanted) QObject::disconnect(*connection);
                                   });
    QTimer::singleShot(kScrollRestoreMilliseconds, bar,
                       [connection] { QObject::disconnect(*connection); });
    bar->setValue(wanted);
  }
}

}  // namespace

struct Host::Impl {
  vesk_ui::widget::WidgetBox root;
  vesk_ui::theme::Theme theme;
  std::unique_ptr<QWidget> window;
  QPointer<QWidget> content;
  QVBoxLayout* window_layout = nullptr;
  QObject anchor;  // context of queued calls and timers; dies with the host
  QTimer idle_timer;
  bool cycle_queued = false;
  bool realize_queued = false;
  int realizations = 0;
  std::shared_ptr<std::atomic<bool>> wake_pending = std::make_shared<std::atomic<bool>>(false);
  vesk_os::Waker waker;
  std::unique_ptr<InputWatcher> input_watcher;
  std::unique_ptr<DropWatcher> drop_watcher;
  std::function<void(std::vector<vesk_ui::widget::Announcement>)> after_cycle;
  Host* host = nullptr;

  void realize() {
    realize_queued = false;
    root->sync();
    const std::vector<int> positions = scroll_positions(content);
    QString focused;
    if (QWidget* focus = QApplication::focusWidget();
        focus && content && content->isAncestorOf(focus)) {
      focused = focus->objectName();
    }
    RealizeContext context{theme, [this] { host->request_cycle(); }};
    std::unique_ptr<QWidget> fresh = realize_tree(*root, context);
    QWidget* next = fresh.release();  // owned by the window from here
    if (content) {
      // The click that caused this may still be on the stack: delete later.
      window_layout->removeWidget(content);
      content->hide();
      content->deleteLater();
    }
    window_layout->addWidget(next);
    // At once rather than on the next turn, so that no frame shows an empty window.
    next->show();
    content = next;
    ++realizations;
    restore_scroll_positions(next, positions);
    if (!focused.isEmpty()) {
      if (auto* again = next->findChild<QWidget*>(focused)) again->setFocus(Qt::OtherFocusReason);
    }
  }
};

Host::Host(vesk_ui::widget::WidgetBox root, vesk_ui::theme::Theme theme)
    : impl_(std::make_unique<Impl>()) {
  impl_->host = this;
  impl_->root = std::move(root);
  impl_->theme = std::move(theme);
  impl_->window = std::make_unique<QWidget>();
  impl_->window->setProperty("vesk", "window");
  apply_window_theme(*impl_->window, impl_->theme);
  impl_->window->setFocusPolicy(Qt::ClickFocus);
  impl_->window_layout = new QVBoxLayout(impl_->window.get());
  impl_->window_layout->setContentsMargins(0, 0, 0, 0);
  impl_->window_layout->setSpacing(0);

  impl_->idle_timer.setInterval(kIdleSyncMilliseconds);
  QObject::connect(&impl_->idle_timer, &QTimer::timeout, &impl_->anchor, [this] { run_cycle(); });

  impl_->input_watcher =
      std::make_unique<InputWatcher>(impl_->window.get(), [this] { request_cycle(); });
  qApp->installEventFilter(impl_->input_watcher.get());

  // Widgets inside do not take drops, so every drop on the window arrives here.
  impl_->window->setAcceptDrops(true);
  impl_->drop_watcher = std::make_unique<DropWatcher>([this](std::filesystem::path file) {
    vesk_ui::widget::Event event;
    event.kind = vesk_ui::widget::Event::Kind::FileDropped;
    event.path = std::move(file);
    impl_->root->handle_event(event);
    request_cycle();
  });
  impl_->window->installEventFilter(impl_->drop_watcher.get());

  // Wakes come from any thread: post one queued cycle until it has run.
  QPointer<QObject> anchor(&impl_->anchor);
  impl_->waker.set_target([pending = impl_->wake_pending, anchor, this] {
    if (pending->exchange(true)) return;
    QMetaObject::invokeMethod(
        qApp,
        [anchor, this] {
          if (anchor) request_cycle();
        },
        Qt::QueuedConnection);
  });
  impl_->root->install_waker(impl_->waker);

  impl_->realize();
  request_cycle();
}

Host::~Host() {
  impl_->waker.set_target({});
  impl_->window->removeEventFilter(impl_->drop_watcher.get());
  if (qApp) qApp->removeEventFilter(impl_->input_watcher.get());
}

QWidget& Host::window() {
  return *impl_->window;
}
vesk_ui::widget::Widget& Host::root() {
  return *impl_->root;
}
const vesk_ui::theme::Theme& Host::theme() const {
  return impl_->theme;
}

void Host::request_cycle() {
  if (impl_->cycle_queued) return;
  impl_->cycle_queued = true;
  QMetaObject::invokeMethod(
      &impl_->anchor, [this] { run_cycle(); }, Qt::QueuedConnection);
}

void Host::run_cycle() {
  impl_->cycle_queued = false;
  // Wakes from here on ask for another turn.
  impl_->wake_pending->store(false);
  int updates = 0;
  while (updates < kMaxUpdatesPerTurn && impl_->root->update()) ++updates;
  if (updates == kMaxUpdatesPerTurn) request_cycle();
  auto told = impl_->root->take_announcements();
  const bool replaced = impl_->root->take_structure_dirty();
  // Something changed: an update did something, or a tree was replaced outside the cycle
  // (a call from another program is applied at once).
  if ((updates > 0 || replaced) && impl_->after_cycle) impl_->after_cycle(std::move(told));
  if (replaced && !impl_->realize_queued) {
    impl_->realize_queued = true;
    QMetaObject::invokeMethod(
        &impl_->anchor, [this] { impl_->realize(); }, Qt::QueuedConnection);
  }
  if (impl_->root->needs_idle_sync()) {
    if (!impl_->idle_timer.isActive()) impl_->idle_timer.start();
  } else {
    impl_->idle_timer.stop();
  }
}

bool Host::settled() const {
  return !impl_->cycle_queued && !impl_->realize_queued;
}
int Host::realization_count() const {
  return impl_->realizations;
}

void Host::freeze_animations() {
  impl_->window->setProperty("vesk-still", true);
}

void Host::bring_forward() {
  QWidget& window = *impl_->window;
  window.show();
  window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  window.raise();
  window.activateWindow();
}

void Host::set_after_cycle(std::function<void(std::vector<vesk_ui::widget::Announcement>)> hook) {
  impl_->after_cycle = std::move(hook);
}

void Host::open_files(std::vector<std::filesystem::path> paths) {
  if (paths.empty()) return;
  vesk_ui::widget::Event event;
  event.kind = vesk_ui::widget::Event::Kind::FilesOpened;
  event.paths = std::move(paths);
  impl_->root->handle_event(event);
  request_cycle();
}

}  // namespace vesk_ui_qt
