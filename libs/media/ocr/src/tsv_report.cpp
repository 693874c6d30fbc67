#include "ocr/tsv_report.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <tuple>

#include "ocr/language.hpp"
#include "text.hpp"

namespace ocr {
namespace {

constexpr std::size_t kColumns = 12;

// An optional "+" and decimal digits only, within 32 bits.
std::optional<std::uint32_t> parse_unsigned(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

// The whole column as a number; anything unparsable counts as −1, which a caller rejects.
double parse_confidence(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = -1.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return -1.0;
  return value;
}

std::optional<RecognizedWord> parse_word_row(std::string_view line) {
  std::string_view columns[kColumns];
  std::size_t count = 0;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    if (count == kColumns) return std::nullopt;  // more than twelve columns
    columns[count++] = line.substr(start, tab == std::string_view::npos ? tab : tab - start);
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  if (count != kColumns || columns[0] != "5") return std::nullopt;
  const std::string_view raw_text = columns[11];
  if (raw_text.size() > OcrLimits::kWordTextBytes) return std::nullopt;
  const std::string_view text = detail::trim_white_space(raw_text);
  if (text.empty()) return std::nullopt;

  std::uint32_t numbers[9];
  for (std::size_t i = 0; i < 9; ++i) {
    const auto value = parse_unsigned(columns[i + 1]);
    if (!value) return std::nullopt;
    numbers[i] = *value;
  }
  const auto [page, block, paragraph, line_number, word, left, top, width, height] =
      std::tuple{numbers[0], numbers[1], numbers[2], numbers[3], numbers[4],
                 numbers[5], numbers[6], numbers[7], numbers[8]};
  if (std::uint64_t{left} + width > 0xFFFFFFFFull || std::uint64_t{top} + height > 0xFFFFFFFFull) {
    return std::nullopt;
  }
  const double confidence = parse_confidence(columns[10]);
  if (!std::isfinite(confidence) || confidence < 0.0) return std::nullopt;

  RecognizedWord result;
  result.text = std::string(text);
  result.left = left;
  result.top = top;
  result.width = width;
  result.height = height;
  result.confidence = static_cast<float>(std::clamp(confidence / 100.0, 0.0, 1.0));
  result.page = page;
  result.block = block;
  result.paragraph = paragraph;
  result.line = line_number;
  result.word = word;
  return result;
}

}  // namespace

std::expected<OcrResult, OcrError> parse_tsv_report(std::string_view report,
                                                    std::string_view language) {
  if (!is_valid_language_code(language)) {
    return std::unexpected(OcrError{OcrErrorKind::InvalidLanguage, {}});
  }
  if (report.size() > OcrLimits::kEngineStdoutBytes) {
    return std::unexpected(OcrError{OcrErrorKind::Failed, "OCR output exceeded the safety limit"});
  }
  std::vector<RecognizedWord> words;
  bool header = true;
  std::size_t start = 0;
  while (start <= report.size()) {
    const std::size_t feed = report.find('\n', start);
    std::string_view line =
        report.substr(start, feed == std::string_view::npos ? feed : feed - start);
    if (feed != std::string_view::npos && !line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    start = feed == std::string_view::npos ? report.size() + 1 : feed + 1;
    if (header) {
      header = false;
      continue;
    }
    auto word = parse_word_row(line);
    if (!word) continue;
    if (words.size() >= OcrLimits::kMaxWords) {
      return std::unexpected(OcrError{OcrErrorKind::Failed, "OCR returned too many words"});
    }
    words.push_back(std::move(*word));
  }
  std::stable_sort(words.begin(), words.end(),
                   [](const RecognizedWord& a, const RecognizedWord& b) {
                     return std::tie(a.page, a.block, a.paragraph, a.line, a.word) <
                            std::tie(b.page, b.block, b.paragraph, b.line, b.word);
                   });
  return OcrResult{std::move(words), std::string(language)};
}

}  // namespace ocr
