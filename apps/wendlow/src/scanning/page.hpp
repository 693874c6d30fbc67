#pragma once
#include <cstdint>
#include <expected>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace wendlow {

using Bytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// A page's identity: a token that copies of the page share and that is replaced whenever
// the page image is replaced (rotation, crop). Ids compare by token, so an id held by a
// running recognition never matches a page edited after it started.
class PageId {
 public:
  PageId() = default;
  static PageId fresh() { return PageId(std::make_shared<const char>('\0')); }
  bool operator==(const PageId&) const = default;

 private:
  explicit PageId(std::shared_ptr<const char> token) : token_(std::move(token)) {}
  std::shared_ptr<const char> token_;
};

// The page as an encoded image file. A capture's bytes are ready at once; after a rotation or
// crop the PNG is encoded on a worker, and whoever needs the bytes (an export) waits for them
// off the UI thread.
class EncodedImage {
 public:
  using Outcome = std::expected<Bytes, std::string>;

  EncodedImage() = default;
  static EncodedImage ready(Bytes bytes) {
    std::promise<Outcome> done;
    done.set_value(std::move(bytes));
    return EncodedImage(done.get_future().share());
  }
  // An image whose bytes arrive through the returned promise.
  static std::pair<EncodedImage, std::promise<Outcome>> pending() {
    std::promise<Outcome> done;
    EncodedImage image(done.get_future().share());
    return {std::move(image), std::move(done)};
  }

  bool valid() const { return future_.valid(); }
  bool is_ready() const {
    return future_.valid() &&
           future_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
  }
  // Blocks until the bytes are there; the encoder's error text when encoding failed (or the
  // encoder went away without an answer).
  Outcome wait() const {
    if (!future_.valid()) return std::unexpected(std::string("the page has no image file"));
    try {
      return future_.get();
    } catch (const std::future_error&) {
      return std::unexpected(std::string("the page image was never encoded"));
    }
  }

 private:
  explicit EncodedImage(std::shared_future<Outcome> future) : future_(std::move(future)) {}
  std::shared_future<Outcome> future_;
};

struct ScannedPage {
  std::string status;               // recognition status line
  std::string language;             // "English", "German", "French" or "Spanish"
  std::optional<std::string> text;  // recognized text
  EncodedImage encoded;             // the page as an encoded image file
  Bytes pixels;                     // RGBA8, width * height * 4 bytes
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool text_stale = false;   // the text no longer matches the image
  bool recognizing = false;  // a re-recognition is running
  PageId id;                 // replaced together with the image
};

// The outcome of recognizing a page's text again: the new text and status line, or the
// error text that the notice shows.
struct Recognition {
  std::optional<std::string> text;
  std::string status;
};
using RecognitionOutcome = std::expected<Recognition, std::string>;

}  // namespace wendlow
