// Renders every start scenario, light and dark, through the program's own screenshot option
// into the build tree (screenshots/<scenario>[-dark].png), where anyone can look at them, and
// compares each picture with its stored reference (tests/qt/reference/), so an unintended
// change of layout, text or colour fails here. After an intended change, refresh the
// references with tools/update-reference-images.sh and look at what changed before
// committing them.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "launch.hpp"
#include "qt_support.hpp"

namespace wendlow {
namespace {

// A pixel differs when one of its channels is off by more than this (anti-aliasing and
// rounding stay below it); a picture differs when more than this share of pixels do.
constexpr int kChannelTolerance = 24;
constexpr double kDifferingShare = 0.002;

struct Shot {
  launch::Scenario scenario;
  bool dark = false;

  std::string name() const { return std::string(scenario.name) + (dark ? "-dark" : ""); }
  std::string file_name() const { return name() + ".png"; }
  int width() const { return scenario.narrow ? 520 : 1280; }
  int height() const { return scenario.narrow ? 820 : 800; }
  friend void PrintTo(const Shot& shot, std::ostream* out) { *out << shot.file_name(); }
};

std::vector<Shot> shots() {
  std::vector<Shot> all;
  for (const auto& scenario : launch::kScenarios) {
    for (bool dark : {false, true}) all.push_back({scenario, dark});
  }
  return all;
}

int channel_distance(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                   std::abs(qBlue(a) - qBlue(b))});
}

class Screenshot : public ::testing::TestWithParam<Shot> {};

TEST_P(Screenshot, MatchesItsReference) {
  qt_testing::app();
  const Shot& shot = GetParam();
  const std::filesystem::path directory = WENDLOW_SCREENSHOT_DIR;
  std::filesystem::create_directories(directory);
  const std::filesystem::path file = directory / shot.file_name();
  std::filesystem::remove(file);

  const std::string command = std::string("timeout 60 '") + WENDLOW_PROGRAM + "' --scenario " +
                              std::string(shot.scenario.name) +
                              (shot.dark ? " --dark" : " --light") + " --screenshot '" +
                              file.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  QImage image(QString::fromStdString(file.string()));
  ASSERT_FALSE(image.isNull()) << file;
  image = image.convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(image.width(), shot.width());
  ASSERT_EQ(image.height(), shot.height());

  // Not blank: many colours (text, icons, accent).
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); y += 2) {
    for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
  }
  EXPECT_GT(colours.size(), 32u);

  const std::filesystem::path reference_file =
      std::filesystem::path(WENDLOW_REFERENCE_DIR) / shot.file_name();
  if (const char* update = std::getenv("WENDLOW_UPDATE_REFERENCES"); update && *update == '1') {
    std::filesystem::copy_file(file, reference_file,
                               std::filesystem::copy_options::overwrite_existing);
    return;
  }
  QImage reference(QString::fromStdString(reference_file.string()));
  ASSERT_FALSE(reference.isNull())
      << "no reference picture " << reference_file
      << "; make one with tools/update-reference-images.sh and look at it";
  reference = reference.convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(reference.size(), image.size());

  // Differing pixels are painted red over a faded copy, for a person to look at.
  QImage marked = image.copy();
  {
    QPainter fade(&marked);
    fade.fillRect(marked.rect(), QColor(255, 255, 255, 160));
  }
  long differing = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (channel_distance(image.pixel(x, y), reference.pixel(x, y)) > kChannelTolerance) {
        ++differing;
        marked.setPixel(x, y, qRgb(220, 0, 0));
      }
    }
  }
  const double share = double(differing) / (double(image.width()) * image.height());
  if (share > kDifferingShare) {
    const auto marked_file = directory / "differences" / shot.file_name();
    std::filesystem::create_directories(marked_file.parent_path());
    marked.save(QString::fromStdString(marked_file.string()), "PNG");
    ADD_FAILURE() << shot.file_name() << ": " << differing << " pixels ("
                  << share * 100 << " %) differ from the reference; see " << marked_file;
  }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, Screenshot, ::testing::ValuesIn(shots()),
                         [](const auto& info) {
                           std::string name = info.param.name();
                           std::ranges::replace(name, '-', '_');
                           return name;
                         });

}  // namespace
}  // namespace wendlow
