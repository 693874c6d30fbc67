#include "ocr/page_text.hpp"

#include "text.hpp"

namespace ocr {
namespace {

PageRecognition success(const OcrResult& result) {
  return PageRecognition{recognized_status(result.words.size()), page_text(result.words)};
}

}  // namespace

std::optional<std::string> page_text(const std::vector<RecognizedWord>& words) {
  std::string text;
  const RecognizedWord* previous = nullptr;
  for (const RecognizedWord& word : words) {
    if (previous != nullptr) {
      const bool same_line = word.page == previous->page && word.block == previous->block &&
                             word.paragraph == previous->paragraph && word.line == previous->line;
      if (!same_line) {
        text += '\n';
      } else if (!text.empty()) {
        text += ' ';
      }
    }
    text += word.text;
    previous = &word;
  }
  if (detail::trim_white_space(text).empty()) return std::nullopt;
  return text;
}

std::string recognized_status(std::size_t word_count) {
  if (word_count == 0) return "No text was found on this page.";
  return "Recognized " + std::to_string(word_count) + " words.";
}

PageRecognition capture_recognition(const std::expected<OcrResult, OcrError>& outcome) {
  if (outcome) return success(*outcome);
  if (outcome.error().kind == OcrErrorKind::NotInstalled) {
    return {"Text recognition is not installed; the scanned page is still ready.", std::nullopt};
  }
  return {"Text could not be recognized; the scanned page is still ready.", std::nullopt};
}

std::expected<PageRecognition, std::string> rerecognition(
    const std::expected<OcrResult, OcrError>& outcome) {
  if (!outcome) return std::unexpected(std::string("Text could not be recognized on this page."));
  return success(*outcome);
}

}  // namespace ocr
