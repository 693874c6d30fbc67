#include <gtest/gtest.h>

#include "../src/text.hpp"
#include "ocr/language.hpp"
#include "ocr/page_text.hpp"

namespace ocr {
namespace {

std::string utf8(std::initializer_list<std::uint8_t> bytes) {
  const std::vector<std::uint8_t> v(bytes);
  return detail::to_valid_utf8(v);
}

TEST(TextTest, InvalidUtf8IsReplaced) {
  EXPECT_EQ(utf8({'a', 0xC3, 0xA9, 'b'}),
            "a\xC3\xA9"
            "b");
  EXPECT_EQ(utf8({'a', 0xFF, 'b'}),
            "a\xEF\xBF\xBD"
            "b");
  // A truncated three-byte sequence is one replacement; an overlong form and a surrogate too.
  EXPECT_EQ(utf8({0xE2, 0x82, 'x'}),
            "\xEF\xBF\xBD"
            "x");
  EXPECT_EQ(utf8({0xC0, 0xAF}), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(utf8({0xED, 0xA0, 0x80}), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(utf8({0xF0, 0x9F, 0x98}), "\xEF\xBF\xBD");
}

TEST(TextTest, TrimAndCharacterCut) {
  EXPECT_EQ(detail::trim_white_space(" \t\xE3\x80\x80word\xC2\xA0\n"), "word");
  EXPECT_EQ(detail::trim_white_space(" \n "), "");
  EXPECT_EQ(detail::first_characters("\xC3\xA4\xC3\xB6\xC3\xBC", 2), "\xC3\xA4\xC3\xB6");
  EXPECT_EQ(detail::first_characters("ab", 5), "ab");
}

TEST(LanguageTest, CodesAreCheckedByteByByte) {
  for (std::string_view good : {"eng", "eng+deu", "chi_sim", "x", "a1-b2"}) {
    EXPECT_TRUE(is_valid_language_code(good)) << good;
  }
  const std::string longest(64, 'a');
  EXPECT_TRUE(is_valid_language_code(longest));
  for (std::string_view bad :
       {"", "-eng", "eng-", "+eng", "eng_", "en g", "en/g", "deu\n", "\xC3\xA4"}) {
    EXPECT_FALSE(is_valid_language_code(bad)) << bad;
  }
  EXPECT_FALSE(is_valid_language_code(std::string(65, 'a')));
}

RecognizedWord word(std::string text, std::uint32_t line, std::uint32_t number) {
  RecognizedWord w;
  w.text = std::move(text);
  w.page = 1;
  w.block = 1;
  w.paragraph = 1;
  w.line = line;
  w.word = number;
  return w;
}

TEST(PageTextTest, LinesAndStatusLines) {
  const std::vector<RecognizedWord> words = {word("Hello", 1, 1), word("world", 1, 2),
                                             word("Again", 2, 1)};
  EXPECT_EQ(page_text(words), "Hello world\nAgain");
  EXPECT_EQ(page_text({}), std::nullopt);

  const auto captured = capture_recognition(OcrResult{words, "eng"});
  EXPECT_EQ(captured.status, "Recognized 3 words.");
  EXPECT_EQ(captured.text, "Hello world\nAgain");
  EXPECT_EQ(recognized_status(1), "Recognized 1 words.");

  const auto empty = capture_recognition(OcrResult{{}, "eng"});
  EXPECT_EQ(empty.status, "No text was found on this page.");
  EXPECT_EQ(empty.text, std::nullopt);
}

TEST(PageTextTest, FailuresOfBothCallers) {
  const std::expected<OcrResult, OcrError> missing =
      std::unexpected(OcrError{OcrErrorKind::NotInstalled, {}});
  const std::expected<OcrResult, OcrError> timed_out =
      std::unexpected(OcrError{OcrErrorKind::Failed, "OCR engine timed out"});
  EXPECT_EQ(capture_recognition(missing).status,
            "Text recognition is not installed; the scanned page is still ready.");
  EXPECT_EQ(capture_recognition(missing).text, std::nullopt);
  EXPECT_EQ(capture_recognition(timed_out).status,
            "Text could not be recognized; the scanned page is still ready.");
  EXPECT_EQ(rerecognition(missing).error(), "Text could not be recognized on this page.");
  EXPECT_EQ(rerecognition(timed_out).error(), "Text could not be recognized on this page.");
  EXPECT_EQ(rerecognition(OcrResult{{word("One", 1, 1)}, "deu"})->status, "Recognized 1 words.");
}

}  // namespace
}  // namespace ocr
