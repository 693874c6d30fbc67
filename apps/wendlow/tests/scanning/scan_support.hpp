#pragma once
// Pages, images, a recognizer stand-in and a scripted save picker for the scanning tests.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "scanning/page.hpp"
#include "scanning/recognition.hpp"
#include "vesk_image/encode.hpp"
#include "vesk_image/image.hpp"
#include "vesk_ui/portal.hpp"

namespace wendlow::testing {

// RGBA pixels where every pixel holds its own coordinates: (x, y, x ^ y, 255) in the low bytes.
inline Bytes coordinate_pixels(std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint8_t> pixels(std::size_t{width} * height * 4);
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      std::uint8_t* p = pixels.data() + (std::size_t{y} * width + x) * 4;
      p[0] = static_cast<std::uint8_t>(x);
      p[1] = static_cast<std::uint8_t>(y);
      p[2] = static_cast<std::uint8_t>((x >> 8) | ((y >> 8) << 4));
      p[3] = 255;
    }
  }
  return std::make_shared<const std::vector<std::uint8_t>>(std::move(pixels));
}

// A page as a capture makes it, with the given status, size and text.
inline ScannedPage page_of(std::string status, std::uint32_t width = 40, std::uint32_t height = 30,
                           std::optional<std::string> text = "some words") {
  ScannedPage page;
  page.status = std::move(status);
  page.language = "English";
  page.text = std::move(text);
  page.pixels = coordinate_pixels(width, height);
  page.width = width;
  page.height = height;
  auto image =
      vesk_image::Image::from_pixels(width, height, vesk_image::PixelFormat::Rgba8, page.pixels);
  page.encoded = EncodedImage::ready(
      std::make_shared<const std::vector<std::uint8_t>>(*vesk_image::encode_png(*image)));
  page.id = PageId::fresh();
  return page;
}

inline std::vector<std::uint8_t> png_of(std::uint32_t width, std::uint32_t height) {
  auto image = vesk_image::Image::from_pixels(width, height, vesk_image::PixelFormat::Rgba8,
                                              coordinate_pixels(width, height));
  return *vesk_image::encode_png(*image);
}

// Recognizes every page as the given words (one line), counting the calls, for the life of the
// test. `gate`, while closed, holds every recognition until it opens.
class StandInRecognizer {
 public:
  explicit StandInRecognizer(std::vector<std::string> words = {"Hello", "world"},
                             std::optional<ocr::OcrErrorKind> failure = std::nullopt)
      : shared_(std::make_shared<Shared>()) {
    shared_->words = std::move(words);
    shared_->failure = failure;
    auto shared = shared_;
    previous_ = scanning::install_recognizer(std::make_shared<const scanning::Recognizer>(
        [shared](const vesk_image::Image& image,
                 std::string_view language) -> std::expected<ocr::OcrResult, ocr::OcrError> {
          {
            std::unique_lock lock(shared->mutex);
            shared->opened.wait(lock, [&] { return shared->open; });
            shared->languages.emplace_back(language);
            shared->sizes.push_back({image.width(), image.height()});
          }
          ++shared->calls;
          if (shared->failure) return std::unexpected(ocr::OcrError{*shared->failure, "stand-in"});
          ocr::OcrResult result;
          result.language = std::string(language);
          std::uint32_t n = 0;
          for (const auto& word : shared->words) {
            ocr::RecognizedWord recognized;
            recognized.text = word;
            recognized.word = ++n;
            result.words.push_back(recognized);
          }
          return result;
        }));
  }
  ~StandInRecognizer() {
    open_gate();
    scanning::install_recognizer(previous_);
  }
  StandInRecognizer(const StandInRecognizer&) = delete;
  StandInRecognizer& operator=(const StandInRecognizer&) = delete;

  void close_gate() {
    std::lock_guard lock(shared_->mutex);
    shared_->open = false;
  }
  void open_gate() {
    {
      std::lock_guard lock(shared_->mutex);
      shared_->open = true;
    }
    shared_->opened.notify_all();
  }
  int calls() const { return shared_->calls; }
  std::vector<std::string> languages() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->languages;
  }

 private:
  struct Shared {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = true;
    std::vector<std::string> words;
    std::optional<ocr::OcrErrorKind> failure;
    std::vector<std::string> languages;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes;
    std::atomic<int> calls{0};
  };
  std::shared_ptr<Shared> shared_;
  std::shared_ptr<const scanning::Recognizer> previous_;
};

// Answers every save request with one path (or a failure), recording the requests.
struct ScriptedPicker : vesk_ui::portal::PickerBackend {
  explicit ScriptedPicker(vesk_ui::portal::PickResult answer) : answer(std::move(answer)) {}
  void pick(const vesk_ui::portal::PickRequest& request,
            vesk_os::OneshotSender<vesk_ui::portal::PickResult> reply) override {
    {
      std::lock_guard lock(mutex);
      requests.push_back(request);
    }
    std::move(reply).send(answer);
  }
  std::vector<vesk_ui::portal::PickRequest> seen() {
    std::lock_guard lock(mutex);
    return requests;
  }
  vesk_ui::portal::PickResult answer;
  std::mutex mutex;
  std::vector<vesk_ui::portal::PickRequest> requests;
};

}  // namespace wendlow::testing
