#include "scanning/recognition.hpp"

#include <malloc.h>

#include <atomic>

#include "ocr/page_text.hpp"
#include "vesk_image/convert.hpp"
#include "vesk_image/decode.hpp"

namespace wendlow::scanning {
namespace {

std::atomic<std::shared_ptr<const Recognizer>>& installed() {
  static std::atomic<std::shared_ptr<const Recognizer>> recognizer;
  return recognizer;
}

}  // namespace

std::shared_ptr<const Recognizer> install_recognizer(std::shared_ptr<const Recognizer> recognizer) {
  return installed().exchange(std::move(recognizer));
}

std::expected<ocr::OcrResult, ocr::OcrError> recognize(const vesk_image::Image& image,
                                                       std::string_view language) {
  if (auto recognizer = installed().load()) return (*recognizer)(image, language);
  return ocr::recognize_text(image, language);
}

std::expected<ScannedPage, std::string> page_from_scan(Bytes encoded,
                                                       const TextLanguage& language) {
  if (!encoded) return std::unexpected(std::string("scanner returned no image"));
  std::optional<vesk_image::Image> rgba;
  {
    auto decoded = vesk_image::decode(*encoded);
    if (!decoded) return std::unexpected("scanner returned an invalid image: " + decoded.error());
    // The decoded image goes as soon as its RGBA copy exists: a 600 dpi page is large.
    rgba = vesk_image::to_rgba8(*decoded);
  }
  // The allocator would keep the decoder's scratch memory for later; the page list holds on for
  // long, so it goes back to the system now.
  ::malloc_trim(0);
  const ocr::PageRecognition recognized = ocr::capture_recognition(recognize(*rgba, language.code));

  ScannedPage page;
  page.status = recognized.status;
  page.language = language.label;
  page.text = recognized.text;
  page.encoded = EncodedImage::ready(std::move(encoded));
  page.pixels = rgba->shared_pixels();
  page.width = rgba->width();
  page.height = rgba->height();
  page.id = PageId::fresh();
  return page;
}

RecognitionOutcome recognize_again(const Bytes& pixels, std::uint32_t width, std::uint32_t height,
                                   const std::string& language_label) {
  auto image =
      vesk_image::Image::from_pixels(width, height, vesk_image::PixelFormat::Rgba8, pixels);
  if (!image) return std::unexpected(std::string("The scanned page pixels were incomplete."));
  auto recognized = ocr::rerecognition(recognize(*image, language_code_for(language_label)));
  if (!recognized) return std::unexpected(std::move(recognized.error()));
  return Recognition{std::move(recognized->text), std::move(recognized->status)};
}

}  // namespace wendlow::scanning
