#pragma once
// What the callers store in a page after a recognition.
#include <cstddef>
#include <expected>
#include <optional>
#include <string>
#include <vector>

#include "ocr/recognize.hpp"

namespace ocr {

// Words of one line joined by single spaces, lines by line feeds; none when the result is
// empty after trimming white space.
std::optional<std::string> page_text(const std::vector<RecognizedWord>& words);

// "Recognized n words." or, for none, "No text was found on this page.".
std::string recognized_status(std::size_t word_count);

struct PageRecognition {
  std::string status;
  std::optional<std::string> text;
};

// Right after a capture: a recognition failure still yields a status line.
PageRecognition capture_recognition(const std::expected<OcrResult, OcrError>& outcome);

// Re-recognition of an existing page: failures become the message for the user.
std::expected<PageRecognition, std::string> rerecognition(
    const std::expected<OcrResult, OcrError>& outcome);

}  // namespace ocr
