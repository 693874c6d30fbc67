// The device screens under the offscreen Qt host at both window sizes and in both palettes,
// including a full queue (24 documents with long names) and a full history (50): saved as
// pictures into the build tree (screenshots/devices/), with nothing cut off at the window's
// right edge and the long lists scrolling.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <filesystem>
#include <functional>
#include <memory>

#include "launch.hpp"
#include "qt_support.hpp"
#include "samples.hpp"
#include "screens/screens.hpp"
#include "surface.hpp"
#include "vesk_ui_qt/host.hpp"
#include "vesk_ui_qt/realize.hpp"

namespace wendlow {
namespace {

namespace printing = os_actions::printing;

DeviceSnapshot crowded() {
  DeviceSnapshot snapshot = samples::snapshot();
  const auto sample = snapshot.jobs->front();
  snapshot.jobs->clear();
  for (int i = 0; i < 60; ++i) {
    auto job = sample;
    job.id = "Second_floor_colour_laser_printer-" + std::to_string(100 + i);
    job.printer = "Second_floor_colour_laser_printer";
    job.title = i % 3 == 0 ? "Minutes of the annual general meeting of the allotment association "
                             "with all appendices and the treasurer's report " +
                                 std::to_string(i) + ".pdf"
                           : "Report " + std::to_string(i) + ".pdf";
    job.state = i < 24 ? static_cast<printing::JobState>(i % 4)
                       : static_cast<printing::JobState>(4 + i % 3);
    snapshot.jobs->push_back(job);
  }
  return snapshot;
}

struct Case {
  std::string name;
  unsigned width;
  unsigned height;
  bool dark;
  // Builds the screen on the state's own channel.
  std::function<vesk_ui::widget::WidgetBox(surface::Wendlow&)> screen;

  std::string file_name() const {
    return name + (width < 640 ? "-narrow" : "") + (dark ? "-dark" : "") + ".png";
  }
  friend void PrintTo(const Case& c, std::ostream* out) { *out << c.file_name(); }
};

std::vector<Case> cases() {
  std::vector<Case> all;
  for (bool dark : {false, true}) {
    for (const auto& scenario : qt_testing::device_scenarios()) {
      all.push_back({scenario.name, scenario.width, scenario.height, dark, nullptr});
    }
    for (unsigned width : {1280u, 520u}) {
      const unsigned height = width < 640 ? 820 : 800;
      all.push_back({"full-queue", width, height, dark, [](surface::Wendlow& state) {
                       return screens::print_queue(
                           crowded(), state.events_tx,
                           std::string("Second_floor_colour_laser_printer-101"), std::nullopt);
                     }});
      all.push_back({"full-history", width, height, dark, [](surface::Wendlow& state) {
                       return screens::history(crowded(), state.events_tx);
                     }});
    }
  }
  return all;
}

class DeviceScreens : public ::testing::TestWithParam<Case> {};

TEST_P(DeviceScreens, FitTheWindowScrollAndAreSaved) {
  qt_testing::app();
  const Case& c = GetParam();
  const auto theme = c.dark ? vesk_ui::theme::Theme::dark() : vesk_ui::theme::Theme::light();
  vesk_ui_qt::install_application_font(theme);
  auto state = std::make_unique<surface::Wendlow>(
      surface::Wendlow::new_scenario(launch::scenario_number(c.screen ? "queue" : c.name)));
  if (c.screen) state->set_view(c.screen(*state));
  vesk_ui_qt::Host host(std::move(state), theme);
  host.freeze_animations();
  QWidget& window = host.window();
  window.resize(static_cast<int>(c.width), static_cast<int>(c.height));
  window.show();
  qt_testing::process_turns(20);

  const int right_edge = window.width();
  for (auto* button : window.findChildren<QPushButton*>()) {
    if (!button->isVisible()) continue;
    const auto name = (button->objectName() + " " + button->text()).toStdString();
    EXPECT_GE(button->width(), button->sizeHint().width()) << name;
    EXPECT_LE(button->mapTo(&window, QPoint(button->width(), 0)).x(), right_edge) << name;
  }
  for (auto* label : window.findChildren<QLabel*>()) {
    if (!label->isVisible() || label->text().isEmpty()) continue;
    EXPECT_LE(label->mapTo(&window, QPoint(label->width(), 0)).x(), right_edge)
        << label->text().toStdString();
    if (label->wordWrap()) {
      EXPECT_GE(label->height(), label->heightForWidth(label->width()))
          << label->text().toStdString();
    }
  }
  auto* scroll = window.findChild<QScrollArea*>();
  ASSERT_NE(scroll, nullptr);
  if (c.screen) {
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0) << "a long list scrolls";
  }

  const std::filesystem::path directory = std::filesystem::path(WENDLOW_SCREENSHOT_DIR) / "devices";
  std::filesystem::create_directories(directory);
  const QImage frame = window.grab().toImage();
  ASSERT_TRUE(frame.save(QString::fromStdString((directory / c.file_name()).string()), "PNG"));
  if (c.screen) {
    // The end of the list, as a person scrolled all the way down sees it.
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    qt_testing::process_turns();
    const auto bottom = directory / ("bottom-" + c.file_name());
    ASSERT_TRUE(window.grab().toImage().save(QString::fromStdString(bottom.string()), "PNG"));
  }
}

INSTANTIATE_TEST_SUITE_P(Devices, DeviceScreens, ::testing::ValuesIn(cases()),
                         [](const auto& info) {
                           std::string name = info.param.file_name();
                           name.resize(name.size() - 4);
                           std::ranges::replace(name, '-', '_');
                           return name;
                         });

}  // namespace
}  // namespace wendlow
