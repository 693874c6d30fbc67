// `run_or_exit`: the command line, the application object, the window, the screenshot
// mode and the action registry.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QStyleFactory>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "application_object.hpp"
#include "backends.hpp"
#include "quit_signals.hpp"
#include "vesk_ui/launch.hpp"
#include "vesk_ui_qt/action_registry.hpp"
#include "vesk_ui_qt/host.hpp"
#include "vesk_ui_qt/launch_options.hpp"
#include "vesk_ui_qt/realize.hpp"

namespace vesk_ui::launch {

namespace {

// A screenshot waits for this many quiet event-loop turns, and never longer than the
// settle limit (a root may keep asking for idle updates).
constexpr int kQuietTurnsBeforeScreenshot = 3;
constexpr int kSettleLimitMilliseconds = 400;

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::exit(2);
}

// "io.github.wendlow.wendlow" -> "Wendlow".
QString window_title(const std::string& app_id) {
  QString last = QString::fromStdString(app_id.substr(app_id.rfind('.') + 1));
  if (!last.isEmpty()) last[0] = last[0].toUpper();
  return last;
}

bool desktop_is_dark() {
  const QPalette palette = QApplication::palette();
  return palette.color(QPalette::Window).lightness() <
         palette.color(QPalette::WindowText).lightness();
}

}  // namespace

int run_or_exit(LaunchDescriptor descriptor, int argc, char** argv) {
  auto options = vesk_ui_qt::parse_launch_options(argc, argv);
  if (!options) fail(options.error());

  // Qt keeps references to argc and argv for the application's lifetime.
  std::vector<std::string> qt_arguments = options->passed_on;
  std::vector<char*> qt_argv;
  for (std::string& argument : qt_arguments) qt_argv.push_back(argument.data());
  qt_argv.push_back(nullptr);
  int qt_argc = static_cast<int>(qt_arguments.size());

  QApplication app(qt_argc, qt_argv.data());
  QApplication::setApplicationName(window_title(descriptor.app_id));
  QApplication::setDesktopFileName(QString::fromStdString(descriptor.app_id));
  const bool dark = options->dark.value_or(desktop_is_dark());
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
    QApplication::setStyle(fusion);
  const theme::Theme theme = dark ? theme::Theme::dark() : theme::Theme::light();
  vesk_ui_qt::install_application_font(theme);

  // One window: a second start hands its files to the running one and ends. Sample screens
  // and screenshots are separate runs of their own.
  if (!options->scenario && !options->screenshot &&
      vesk_ui_qt::hand_over_to_running(descriptor.app_id, options->files)) {
    return 0;
  }

  const LaunchContext context{options->scenario};
  widget::WidgetBox root;
  if (options->scenario) {
    if (!descriptor.build_scenario_root) fail("this program has no start scenarios");
    root = descriptor.build_scenario_root(context).root;
  } else if (descriptor.build_live_root) {
    root = descriptor.build_live_root();
  }
  if (!root) fail("the program built no window content");
  WindowSize size{1280, 800};
  if (descriptor.window_size) size = descriptor.window_size(context);
  if (size.width == 0 || size.height == 0 || size.width > 16384 || size.height > 16384) {
    fail("the program asked for an unusable window size");
  }

  const vesk_ui_qt::DesktopBackends backends;
  vesk_ui_qt::Host host(std::move(root), theme);
  QWidget& window = host.window();
  window.setWindowTitle(window_title(descriptor.app_id));
  window.resize(static_cast<int>(size.width), static_cast<int>(size.height));

  // A screenshot run leaves the bus to a running instance of the same program.
  std::optional<vesk_ui_qt::ActionRegistry> registry;
  if (!options->screenshot) {
    if (auto published = vesk_ui_qt::ActionRegistry::publish(host, descriptor.app_id)) {
      registry.emplace(std::move(*published));
    }
  }

  QTimer settle;
  QElapsedTimer since_start;
  int quiet_turns = 0;
  int exit_code = 0;
  if (options->screenshot) {
    host.freeze_animations();
    since_start.start();
    settle.setInterval(0);
    QObject::connect(&settle, &QTimer::timeout, &window, [&] {
      quiet_turns = host.settled() ? quiet_turns + 1 : 0;
      if (quiet_turns < kQuietTurnsBeforeScreenshot &&
          since_start.elapsed() < kSettleLimitMilliseconds)
        return;
      settle.stop();
      const QPixmap frame = window.grab();
      if (!frame.save(QString::fromStdString(*options->screenshot), "PNG")) {
        std::fprintf(stderr, "could not write the screenshot %s\n", options->screenshot->c_str());
        exit_code = 1;
      }
      QApplication::exit(exit_code);
    });
    settle.start();
  }

  if (!options->files.empty()) {
    host.open_files({options->files.begin(), options->files.end()});
  }

  // A terminating signal closes the program as the window's close button does.
  const vesk_ui_qt::QuitOnSignals quit_on_signals;
  window.show();
  // The window itself takes the first focus, so no control shows its focus ring before
  // the keyboard is used.
  window.setFocus(Qt::OtherFocusReason);
  const int code = QApplication::exec();
  if (descriptor.on_exit) descriptor.on_exit();
  return options->screenshot ? exit_code : code;
}

}  // namespace vesk_ui::launch
