#pragma once
// Turning scanner bytes and page pixels into pages with recognized text. Runs on workers.
#include <expected>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ocr/recognize.hpp"
#include "scanning/page.hpp"
#include "scanning/settings.hpp"
#include "vesk_image/image.hpp"

namespace wendlow::scanning {

using Recognizer = std::function<std::expected<ocr::OcrResult, ocr::OcrError>(
    const vesk_image::Image& image, std::string_view language)>;

// The recognizer switch: the program uses ocr::recognize_text; tests install a stand-in.
// Installing returns the one it replaced (empty means the engine itself).
std::shared_ptr<const Recognizer> install_recognizer(std::shared_ptr<const Recognizer> recognizer);
std::expected<ocr::OcrResult, ocr::OcrError> recognize(const vesk_image::Image& image,
                                                       std::string_view language);

// A freshly captured page: the scanner's bytes decoded by their content, converted to RGBA and
// recognized in `language`. Fails only when the bytes are not an image; a failed recognition
// still gives the page, with a status line that says so.
std::expected<ScannedPage, std::string> page_from_scan(Bytes encoded, const TextLanguage& language);

// Recognizes an existing page again from its pixels; the failure is the text the notice shows.
RecognitionOutcome recognize_again(const Bytes& pixels, std::uint32_t width, std::uint32_t height,
                                   const std::string& language_label);

}  // namespace wendlow::scanning
