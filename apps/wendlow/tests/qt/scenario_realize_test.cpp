// The dashboard scenarios under the offscreen Qt host: they realize without a warning,
// every control of the model has its widget, nothing is squeezed or cut off at the edge
// of the window, and the keyboard reaches the controls in reading order.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <memory>

#include "launch.hpp"
#include "qt_support.hpp"
#include "surface.hpp"
#include "vesk_ui/controls.hpp"
#include "vesk_ui_qt/host.hpp"
#include "vesk_ui_qt/realize.hpp"

namespace wendlow {
namespace {

using qt_testing::Scenario;

// Collects every Qt message of warning level or above while alive.
class WarningTrap {
 public:
  WarningTrap() {
    messages().clear();
    previous_ = qInstallMessageHandler(&WarningTrap::handle);
  }
  ~WarningTrap() { qInstallMessageHandler(previous_); }
  static std::vector<std::string>& messages() {
    static std::vector<std::string> stored;
    return stored;
  }

 private:
  static void handle(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg) return;
    // About the test machine, not the screens: the offscreen platform says this of every
    // shown window, and a session without a runtime directory gets a fallback.
    if (message.contains(QStringLiteral("propagateSizeHints"))) return;
    if (message.startsWith(QStringLiteral("QStandardPaths:"))) return;
    messages().push_back(message.toStdString());
  }
  QtMessageHandler previous_ = nullptr;
};

struct Shown {
  std::unique_ptr<vesk_ui_qt::Host> host;
  std::vector<std::string> ids;  // the model's control ids, in tree order
};

Shown show(const Scenario& scenario, const vesk_ui::theme::Theme& theme) {
  qt_testing::app();
  vesk_ui_qt::install_application_font(theme);
  auto state = std::make_unique<surface::Wendlow>(
      surface::Wendlow::new_scenario(launch::scenario_number(scenario.name)));
  Shown shown;
  shown.ids = vesk_ui::controls::all_ids(*state->view);
  shown.host = std::make_unique<vesk_ui_qt::Host>(std::move(state), theme);
  QWidget& window = shown.host->window();
  window.resize(static_cast<int>(scenario.width), static_cast<int>(scenario.height));
  window.show();
  qt_testing::process_turns();
  return shown;
}

class ScenarioRealize : public ::testing::TestWithParam<Scenario> {
 protected:
  void SetUp() override { qt_testing::app(); }
};

TEST_P(ScenarioRealize, RealizesWithoutWarningsInBothThemes) {
  for (const auto& theme : {vesk_ui::theme::Theme::light(), vesk_ui::theme::Theme::dark()}) {
    WarningTrap trap;
    auto shown = show(GetParam(), theme);
    EXPECT_EQ(WarningTrap::messages(), std::vector<std::string>{}) << "dark: " << theme.is_dark;
  }
}

TEST_P(ScenarioRealize, EveryControlIdHasAWidgetReachableInReadingOrder) {
  auto shown = show(GetParam(), vesk_ui::theme::Theme::light());
  QWidget& window = shown.host->window();
  ASSERT_FALSE(shown.ids.empty());
  for (const auto& id : shown.ids) {
    auto* widget = window.findChild<QWidget*>(QString::fromStdString(id));
    ASSERT_NE(widget, nullptr) << id;
    EXPECT_TRUE(widget->isVisible()) << id;
    EXPECT_NE(widget->focusPolicy() & Qt::TabFocus, 0) << id;
    EXPECT_FALSE(widget->accessibleName().isEmpty()) << id;
  }
  // Tab walks the controls in the order the model lists them.
  std::vector<std::string> tab_order;
  QWidget* at = &window;
  for (int steps = 0; steps < 1000; ++steps) {
    at = at->nextInFocusChain();
    if (at == &window) break;
    if (!at->objectName().isEmpty() && (at->focusPolicy() & Qt::TabFocus)) {
      tab_order.push_back(at->objectName().toStdString());
    }
  }
  EXPECT_EQ(tab_order, shown.ids);
}

TEST_P(ScenarioRealize, NothingIsSqueezedOrCutOffAtTheWindowEdge) {
  auto shown = show(GetParam(), vesk_ui::theme::Theme::light());
  QWidget& window = shown.host->window();
  const int right_edge = window.width();
  for (auto* button : window.findChildren<QPushButton*>()) {
    if (!button->isVisible()) continue;
    const auto name = (button->objectName() + " " + button->text()).toStdString();
    EXPECT_GE(button->width(), button->sizeHint().width()) << name;
    EXPECT_LE(button->mapTo(&window, QPoint(button->width(), 0)).x(), right_edge) << name;
  }
  for (auto* label : window.findChildren<QLabel*>()) {
    if (!label->isVisible() || label->text().isEmpty()) continue;
    const auto name = label->text().toStdString();
    EXPECT_LE(label->mapTo(&window, QPoint(label->width(), 0)).x(), right_edge) << name;
    if (label->wordWrap()) {
      EXPECT_GE(label->height(), label->heightForWidth(label->width())) << name;
    } else {
      EXPECT_GE(label->width(), label->sizeHint().width()) << name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Dashboard, ScenarioRealize,
                         ::testing::ValuesIn(qt_testing::dashboard_scenarios()),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           std::ranges::replace(name, '-', '_');
                           return name;
                         });

INSTANTIATE_TEST_SUITE_P(Devices, ScenarioRealize,
                         ::testing::ValuesIn(qt_testing::device_scenarios()), [](const auto& info) {
                           return info.param.name + (info.param.width < 640 ? "_narrow" : "");
                         });

}  // namespace
}  // namespace wendlow
