#pragma once
// Text recognition of one page through the external OCR engine "tesseract".
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <expected>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "vesk_image/image.hpp"

namespace ocr {

// Fixed limits of one recognition.
struct OcrLimits {
  static constexpr std::uint32_t kMaxImageSide = 10000;
  static constexpr std::uint64_t kMaxImagePixels = 60'000'000;
  static constexpr std::chrono::seconds kEngineRunTime{120};
  static constexpr std::size_t kEngineStdoutBytes = 16'777'216;
  static constexpr std::size_t kEngineStderrBytes = 4096;
  static constexpr std::size_t kDiagnosticCharacters = 500;
  static constexpr std::size_t kWordTextBytes = 4096;
  static constexpr std::size_t kMaxWords = 250'000;
  static constexpr std::size_t kMaxLanguageBytes = 64;
};

// One word row of the engine's report; positions are pixels of the prepared image.
struct RecognizedWord {
  std::string text;  // trimmed, never empty
  std::uint32_t left = 0;
  std::uint32_t top = 0;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  float confidence = 0.0f;  // 0 … 1
  std::uint32_t page = 0;
  std::uint32_t block = 0;
  std::uint32_t paragraph = 0;
  std::uint32_t line = 0;
  std::uint32_t word = 0;

  friend bool operator==(const RecognizedWord&, const RecognizedWord&) = default;
};

struct OcrResult {
  std::vector<RecognizedWord> words;  // in (page, block, paragraph, line, word) order
  std::string language;
};

enum class OcrErrorKind { ImageTooLarge, InvalidLanguage, NotInstalled, Failed, Io, Image };

struct OcrError {
  OcrErrorKind kind;
  std::string message;  // diagnostics only; empty for ImageTooLarge, InvalidLanguage, NotInstalled
};

// How the engine is reached. Production code uses the defaults; tests point `program` at a
// stand-in and shorten the limits.
struct EngineSetup {
  std::string program = "tesseract";
  std::filesystem::path temp_directory;  // empty: the system temporary directory
  std::size_t stdout_limit = OcrLimits::kEngineStdoutBytes;
  std::size_t stderr_limit = OcrLimits::kEngineStderrBytes;
  std::chrono::milliseconds time_limit = OcrLimits::kEngineRunTime;
};

// Prepares the page (grey, contrast, deskew), writes it to a temporary PNG file, runs the
// engine on it with `language` (such as "eng" or "deu") and parses its word report. The image
// may be in any pixel format. Blocks for as long as the engine runs.
std::expected<OcrResult, OcrError> recognize_text(const vesk_image::Image& image,
                                                  std::string_view language);

std::expected<OcrResult, OcrError> recognize_text(const vesk_image::Image& image,
                                                  std::string_view language,
                                                  const EngineSetup& engine);

}  // namespace ocr
