// Renders each dashboard scenario and the print screens through the program's own screenshot
// option into the build tree (screenshots/<scenario>.png), where anyone can look at them, and
// checks that every picture has the window size of its scenario and is not blank.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "qt_support.hpp"

namespace wendlow {
namespace {

using qt_testing::Scenario;

struct Shot {
  Scenario scenario;
  bool dark = false;

  std::string file_name() const { return scenario.name + (dark ? "-dark" : "") + ".png"; }
  friend void PrintTo(const Shot& shot, std::ostream* out) { *out << shot.file_name(); }
};

std::vector<Shot> shots() {
  std::vector<Shot> all;
  for (const auto& scenario : qt_testing::dashboard_scenarios()) all.push_back({scenario});
  all.push_back({{"default", 1280, 800}, true});
  all.push_back({{"service-error-narrow", 520, 820}, true});
  for (bool dark : {false, true}) {
    all.push_back({{"print", 1280, 800}, dark});
    all.push_back({{"print-narrow", 520, 820}, dark});
  }
  return all;
}

class Screenshot : public ::testing::TestWithParam<Shot> {};

TEST_P(Screenshot, HasTheWindowSizeAndIsNotBlank) {
  qt_testing::app();
  const Shot& shot = GetParam();
  const std::filesystem::path directory = WENDLOW_SCREENSHOT_DIR;
  std::filesystem::create_directories(directory);
  const std::filesystem::path file = directory / shot.file_name();
  std::filesystem::remove(file);

  const std::string command = std::string("timeout 60 '") + WENDLOW_PROGRAM + "' --scenario " +
                              shot.scenario.name + (shot.dark ? " --dark" : " --light") +
                              " --screenshot '" + file.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  QImage image(QString::fromStdString(file.string()));
  ASSERT_FALSE(image.isNull()) << file;
  EXPECT_EQ(image.width(), static_cast<int>(shot.scenario.width));
  EXPECT_EQ(image.height(), static_cast<int>(shot.scenario.height));

  // Not blank: many colours (text, icons, accent), and a good share of the pixels differs
  // from the window background in the corner.
  const QRgb background = image.pixel(0, 0);
  std::set<QRgb> colours;
  long differing = 0;
  long sampled = 0;
  for (int y = 0; y < image.height(); y += 2) {
    for (int x = 0; x < image.width(); x += 2) {
      const QRgb pixel = image.pixel(x, y);
      colours.insert(pixel);
      differing += pixel != background;
      ++sampled;
    }
  }
  EXPECT_GT(colours.size(), 32u);
  EXPECT_GT(differing * 20, sampled) << "less than 5% of the picture differs from its background";
}

INSTANTIATE_TEST_SUITE_P(Dashboard, Screenshot, ::testing::ValuesIn(shots()), [](const auto& info) {
  std::string name = info.param.file_name();
  name.resize(name.size() - 4);
  std::ranges::replace(name, '-', '_');
  return name;
});

}  // namespace
}  // namespace wendlow
