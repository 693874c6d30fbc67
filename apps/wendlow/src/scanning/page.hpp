#pragma once
#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace wendlow {

using Bytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// A page's identity is the identity of its encoded image buffer: copies of a page share
// it, and rotating or cropping gives the page a new buffer and so a new id. The id holds
// the buffer weakly and compares by ownership, so it never matches a later buffer that
// happens to reuse the address.
class PageId {
 public:
  PageId() = default;
  explicit PageId(const Bytes& encoded) : buffer_(encoded) {}
  bool refers_to(const Bytes& encoded) const {
    return encoded && !buffer_.owner_before(encoded) && !encoded.owner_before(buffer_);
  }

 private:
  std::weak_ptr<const std::vector<std::uint8_t>> buffer_;
};

struct ScannedPage {
  std::string status;               // recognition status line
  std::string language;             // "English", "German", "French" or "Spanish"
  std::optional<std::string> text;  // recognized text
  Bytes encoded;                    // the page as an encoded image file
  Bytes pixels;                     // RGBA8, width * height * 4 bytes
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool text_stale = false;   // the text no longer matches the image
  bool recognizing = false;  // a re-recognition is running

  PageId id() const { return PageId(encoded); }
};

// The outcome of recognizing a page's text again: the new text and status line, or the
// error text that the notice shows.
struct Recognition {
  std::optional<std::string> text;
  std::string status;
};
using RecognitionOutcome = std::expected<Recognition, std::string>;

}  // namespace wendlow
