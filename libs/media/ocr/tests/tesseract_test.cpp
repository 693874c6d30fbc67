// Recognition with the installed engine on pages rendered here with Qt.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QTransform>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "ocr/page_text.hpp"
#include "ocr/prepare.hpp"
#include "ocr/recognize.hpp"
#include "vesk_image/convert.hpp"
#include "vesk_image/decode.hpp"

namespace ocr {
namespace {

// Qt needs its application object for fonts.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "wendlow_ocr_engine_test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QGuiApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QGuiApplication> app_;
};

const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Black text lines on a white page, as a 300 dpi scan of 12 pt type would show them.
QImage render_page(const QStringList& lines, int width = 1800) {
  QImage page(width, 150 + 90 * static_cast<int>(lines.size()), QImage::Format_RGBA8888);
  page.fill(Qt::white);
  QPainter painter(&page);
  QFont font("DejaVu Sans");
  font.setPixelSize(48);
  painter.setFont(font);
  painter.setPen(Qt::black);
  for (int i = 0; i < lines.size(); ++i) painter.drawText(100, 120 + 90 * i, lines[i]);
  return page;
}

QImage tilted(const QImage& page, double degrees) {
  QImage turned(page.size(), QImage::Format_RGBA8888);
  turned.fill(Qt::white);
  QPainter painter(&turned);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.translate(page.width() / 2.0, page.height() / 2.0);
  painter.rotate(degrees);
  painter.translate(-page.width() / 2.0, -page.height() / 2.0);
  painter.drawImage(0, 0, page);
  return turned;
}

vesk_image::Image to_image(const QImage& qimage) {
  const QImage rgba = qimage.convertToFormat(QImage::Format_RGBA8888);
  std::vector<std::uint8_t> pixels;
  for (int y = 0; y < rgba.height(); ++y) {
    const auto* row = rgba.constScanLine(y);
    pixels.insert(pixels.end(), row, row + rgba.width() * 4);
  }
  return *vesk_image::Image::from_pixels(rgba.width(), rgba.height(),
                                         vesk_image::PixelFormat::Rgba8, std::move(pixels));
}

TEST(TesseractTest, EnglishPageComesBackInOrder) {
  const auto result = recognize_text(
      to_image(render_page({"The quick brown fox jumps", "over the lazy dog."})), "eng");
  ASSERT_TRUE(result) << result.error().message;
  EXPECT_EQ(page_text(result->words), "The quick brown fox jumps\nover the lazy dog.");
  EXPECT_EQ(capture_recognition(*result).status, "Recognized 9 words.");
  for (const RecognizedWord& word : result->words) {
    EXPECT_GT(word.confidence, 0.5f) << word.text;
    EXPECT_GT(word.width, 0u);
  }
}

TEST(TesseractTest, GermanPageWithGermanData) {
  const auto result = recognize_text(
      to_image(render_page({QString::fromUtf8("Größere Übungen für Straßenbahnfahrer")})), "deu");
  ASSERT_TRUE(result) << result.error().message;
  EXPECT_EQ(result->language, "deu");
  EXPECT_EQ(page_text(result->words), "Größere Übungen für Straßenbahnfahrer");
}

TEST(TesseractTest, SkewedPageIsStraightenedBeforeRecognition) {
  const QImage page = tilted(
      render_page({"Scanning documents is simple", "when the pages lie straight", "on the glass."}),
      2.0);
  const vesk_image::Image image = to_image(page);
  const auto skew =
      estimate_skew(vesk_image::adjust_contrast(vesk_image::to_grey8(image), kContrastRaise));
  ASSERT_TRUE(skew);
  EXPECT_EQ(std::abs(*skew), 2.0);

  // The real engine behind a wrapper that keeps a copy of the image it was given.
  const auto directory = std::filesystem::temp_directory_path() /
                         ("wendlow-ocr-engine-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(directory);
  const auto wrapper = directory / "engine";
  const auto copy = directory / "seen.png";
  std::ofstream(wrapper) << "#!/bin/sh\ncp \"$1\" " << copy << "\nexec tesseract \"$@\"\n";
  std::filesystem::permissions(wrapper, std::filesystem::perms::owner_all);
  EngineSetup engine;
  engine.program = wrapper.string();
  const auto result = recognize_text(image, "eng", engine);

  std::ifstream seen_file(copy, std::ios::binary);
  const std::vector<std::uint8_t> seen_bytes((std::istreambuf_iterator<char>(seen_file)), {});
  std::filesystem::remove_all(directory);
  ASSERT_TRUE(result) << result.error().message;
  EXPECT_EQ(page_text(result->words),
            "Scanning documents is simple\nwhen the pages lie straight\non the glass.");
  const auto seen = vesk_image::decode(seen_bytes);
  ASSERT_TRUE(seen) << seen.error();
  EXPECT_EQ(seen->width(), image.width());
  EXPECT_EQ(seen->height(), image.height());
  EXPECT_EQ(estimate_skew(*seen), std::nullopt);
}

TEST(TesseractTest, BlankPageHasNoText) {
  const auto result = recognize_text(to_image(render_page({})), "eng");
  ASSERT_TRUE(result) << result.error().message;
  EXPECT_EQ(capture_recognition(*result).status, "No text was found on this page.");
  EXPECT_EQ(capture_recognition(*result).text, std::nullopt);
}

}  // namespace
}  // namespace ocr
