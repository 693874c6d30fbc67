#include "ocr/tsv_report.hpp"

#include <gtest/gtest.h>

#include <string>

namespace ocr {
namespace {

constexpr std::string_view kHeader =
    "level\tpage_num\tblock_num\tpar_num\tline_num\tword_"
    "num\tleft\ttop\twidth\theight\tconf\ttext\n";

std::string row(std::string_view numbers, std::string_view conf, std::string_view text) {
  return "5\t" + std::string(numbers) + "\t" + std::string(conf) + "\t" + std::string(text) + "\n";
}

std::vector<std::string> texts(const OcrResult& result) {
  std::vector<std::string> out;
  for (const auto& word : result.words) out.push_back(word.text);
  return out;
}

TEST(TsvReportTest, AcceptsAWordRowWithEveryField) {
  const std::string report =
      std::string(kHeader) + row("1\t2\t3\t4\t5\t10\t20\t30\t40", "96.5", " Hello ");
  const auto result = parse_tsv_report(report, "eng");
  ASSERT_TRUE(result);
  ASSERT_EQ(result->words.size(), 1u);
  const RecognizedWord& word = result->words[0];
  EXPECT_EQ(word, (RecognizedWord{"Hello", 10, 20, 30, 40, 0.965f, 1, 2, 3, 4, 5}));
  EXPECT_EQ(result->language, "eng");
}

TEST(TsvReportTest, SkipsEveryRowThatIsNotACompleteWord) {
  const std::string good = "1\t1\t1\t1\t1\t0\t0\t5\t5";
  const std::string long_text(4097, 'x');
  const struct {
    const char* why;
    std::string line;
  } cases[] = {
      {"level 4", "4\t" + good + "\t90\tword\n"},
      {"level +5", "+5\t" + good + "\t90\tword\n"},
      {"conf -1", row(good, "-1", "word")},
      {"conf unparsable", row(good, "high", "word")},
      {"conf not finite", row(good, "inf", "word")},
      {"conf with trailing junk", row(good, "9x", "word")},
      {"11 columns", "5\t1\t1\t1\t1\t1\t0\t0\t5\t5\tword\n"},
      {"13 columns", row(good, "90", "word\textra")},
      {"empty text", row(good, "90", "")},
      {"blank text", row(good, "90", " \xC2\xA0 ")},
      {"text over 4096 bytes", row(good, "90", long_text)},
      {"negative number", row("1\t1\t1\t1\t1\t-1\t0\t5\t5", "90", "word")},
      {"number over 32 bits", row("1\t1\t1\t1\t1\t4294967296\t0\t5\t5", "90", "word")},
      {"empty number", row("1\t1\t1\t1\t1\t\t0\t5\t5", "90", "word")},
      {"left + width overflows", row("1\t1\t1\t1\t1\t4294967295\t0\t1\t5", "90", "word")},
      {"top + height overflows", row("1\t1\t1\t1\t1\t0\t4294967290\t5\t6", "90", "word")},
      {"empty line", "\n"},
  };
  for (const auto& c : cases) {
    const auto result = parse_tsv_report(std::string(kHeader) + c.line, "eng");
    ASSERT_TRUE(result) << c.why;
    EXPECT_TRUE(result->words.empty()) << c.why;
  }
  // The limits themselves are fine.
  const auto edge =
      parse_tsv_report(std::string(kHeader) +
                           row("+1\t1\t1\t1\t1\t4294967290\t0\t5\t5", "+0", std::string(4096, 'y')),
                       "eng");
  ASSERT_TRUE(edge);
  EXPECT_EQ(edge->words.size(), 1u);
}

TEST(TsvReportTest, HeaderLineIsSkippedAndCarriageReturnsRemoved) {
  // A word row in the first line is the header and never read.
  const std::string report = row("1\t1\t1\t1\t1\t0\t0\t1\t1", "90", "first") +
                             "5\t1\t1\t1\t1\t2\t0\t0\t1\t1\t90\tsecond\r\n" +
                             "5\t1\t1\t1\t1\t3\t0\t0\t1\t1\t90\tlast";
  const auto result = parse_tsv_report(report, "eng");
  ASSERT_TRUE(result);
  EXPECT_EQ(texts(*result), (std::vector<std::string>{"second", "last"}));
}

TEST(TsvReportTest, ConfidenceIsScaledAndClamped) {
  const std::string report = std::string(kHeader) + row("1\t1\t1\t1\t1\t0\t0\t1\t1", "250", "a") +
                             row("1\t1\t1\t1\t2\t0\t0\t1\t1", "0", "b") +
                             row("1\t1\t1\t1\t3\t0\t0\t1\t1", "1e1", "c");
  const auto result = parse_tsv_report(report, "eng");
  ASSERT_TRUE(result);
  ASSERT_EQ(result->words.size(), 3u);
  EXPECT_EQ(result->words[0].confidence, 1.0f);
  EXPECT_EQ(result->words[1].confidence, 0.0f);
  EXPECT_FLOAT_EQ(result->words[2].confidence, 0.1f);
}

TEST(TsvReportTest, WordsAreSortedStablyByTheirPosition) {
  const std::string report = std::string(kHeader) + row("1\t2\t1\t1\t1\t0\t0\t1\t1", "90", "late") +
                             row("1\t1\t1\t2\t1\t0\t0\t1\t1", "90", "second-line") +
                             row("1\t1\t1\t1\t2\t0\t0\t1\t1", "90", "tie-a") +
                             row("1\t1\t1\t1\t1\t0\t0\t1\t1", "90", "first") +
                             row("1\t1\t1\t1\t2\t0\t0\t1\t1", "90", "tie-b");
  const auto result = parse_tsv_report(report, "eng");
  ASSERT_TRUE(result);
  EXPECT_EQ(texts(*result),
            (std::vector<std::string>{"first", "tie-a", "tie-b", "second-line", "late"}));
}

TEST(TsvReportTest, LimitsAndLanguageFailTheWholeReport) {
  EXPECT_EQ(parse_tsv_report(kHeader, "-eng").error().kind, OcrErrorKind::InvalidLanguage);

  const std::string huge(16'777'217, '\n');
  const auto too_long = parse_tsv_report(huge, "eng");
  ASSERT_FALSE(too_long);
  EXPECT_EQ(too_long.error().message, "OCR output exceeded the safety limit");

  std::string many(kHeader);
  const std::string one = row("1\t1\t1\t1\t1\t0\t0\t1\t1", "90", "w");
  for (int i = 0; i < 250'000; ++i) many += one;
  const auto at_limit = parse_tsv_report(many, "eng");
  ASSERT_TRUE(at_limit);
  EXPECT_EQ(at_limit->words.size(), 250'000u);
  many += one;
  const auto over = parse_tsv_report(many, "eng");
  ASSERT_FALSE(over);
  EXPECT_EQ(over.error().kind, OcrErrorKind::Failed);
  EXPECT_EQ(over.error().message, "OCR returned too many words");
}

}  // namespace
}  // namespace ocr
