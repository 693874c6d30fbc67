// Decoding what the scanner returned and recognizing pages, with a stand-in engine.
#include "scanning/recognition.hpp"

#include <gtest/gtest.h>

#include "scan_support.hpp"

namespace wendlow::scanning {
namespace {

Bytes shared(std::vector<std::uint8_t> bytes) {
  return std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

TEST(PageFromScan, DecodesByContentKeepsTheScannerBytesAndRecognizes) {
  testing::StandInRecognizer recognizer({"Hello", "world"});
  const Bytes png = shared(testing::png_of(21, 13));
  // A grey PNM: the format is found from the bytes, whatever they came as.
  std::vector<std::uint8_t> pnm = {'P', '5', '\n', '2', ' ', '1', '\n', '2', '5', '5', '\n', 7, 9};
  auto grey = page_from_scan(shared(pnm), language_for(1));
  ASSERT_TRUE(grey) << grey.error();
  EXPECT_EQ(grey->width, 2u);
  EXPECT_EQ(*grey->pixels, (std::vector<std::uint8_t>{7, 7, 7, 255, 9, 9, 9, 255}));
  EXPECT_EQ(grey->language, "German");
  EXPECT_EQ(recognizer.languages(), std::vector<std::string>{"deu"});

  auto page = page_from_scan(png, language_for(0));
  ASSERT_TRUE(page);
  EXPECT_EQ(page->width, 21u);
  EXPECT_EQ(page->height, 13u);
  EXPECT_EQ(page->pixels->size(), 21u * 13 * 4);
  EXPECT_EQ(page->encoded.wait().value(), png) << "the scanner's own bytes, not a copy";
  EXPECT_EQ(page->text, "Hello world");
  EXPECT_EQ(page->status, "Recognized 2 words.");
  EXPECT_FALSE(page->text_stale);
  EXPECT_FALSE(page->recognizing);
}

TEST(PageFromScan, BytesThatAreNoImageFailAndRecognitionFailuresOnlyTellTheStatus) {
  testing::StandInRecognizer missing({}, ocr::OcrErrorKind::NotInstalled);
  auto broken = page_from_scan(shared({'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'}),
                               language_for(0));
  ASSERT_FALSE(broken);
  EXPECT_TRUE(broken.error().starts_with("scanner returned an invalid image: ")) << broken.error();
  EXPECT_EQ(missing.calls(), 0);

  auto page = page_from_scan(shared(testing::png_of(4, 4)), language_for(0));
  ASSERT_TRUE(page);
  EXPECT_FALSE(page->text);
  EXPECT_EQ(page->status, "Text recognition is not installed; the scanned page is still ready.");
}

TEST(PageFromScan, OtherRecognitionErrorsAndEmptyPages) {
  {
    testing::StandInRecognizer failing({}, ocr::OcrErrorKind::Failed);
    auto page = page_from_scan(shared(testing::png_of(4, 4)), language_for(0));
    EXPECT_EQ(page->status, "Text could not be recognized; the scanned page is still ready.");
  }
  testing::StandInRecognizer empty(std::vector<std::string>{});
  auto page = page_from_scan(shared(testing::png_of(4, 4)), language_for(0));
  EXPECT_EQ(page->status, "No text was found on this page.");
  EXPECT_FALSE(page->text);
}

TEST(RecognizeAgain, MapsTheLabelAndReportsFailuresInPlainWords) {
  testing::StandInRecognizer recognizer({"Bonjour"});
  const Bytes pixels = testing::coordinate_pixels(5, 4);
  auto again = recognize_again(pixels, 5, 4, "French");
  ASSERT_TRUE(again);
  EXPECT_EQ(again->text, "Bonjour");
  EXPECT_EQ(again->status, "Recognized 1 words.");
  recognize_again(pixels, 5, 4, "Klingon");
  EXPECT_EQ(recognizer.languages(), (std::vector<std::string>{"fra", "eng"}));
  auto short_pixels = recognize_again(pixels, 5, 5, "English");
  ASSERT_FALSE(short_pixels);
  EXPECT_EQ(short_pixels.error(), "The scanned page pixels were incomplete.");

  testing::StandInRecognizer failing({}, ocr::OcrErrorKind::Io);
  auto failed = recognize_again(pixels, 5, 4, "English");
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.error(), "Text could not be recognized on this page.");
}

}  // namespace
}  // namespace wendlow::scanning
