#include "ppm.hpp"

#include <vector>

namespace thumbnail::detail {
namespace {

bool is_space(std::uint8_t c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Header fields: white space and comments before each number.
class HeaderReader {
 public:
  explicit HeaderReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::expected<std::uint32_t, std::string> number() {
    skip_space_and_comments();
    std::uint64_t value = 0;
    std::size_t digits = 0;
    while (at_ < bytes_.size() && bytes_[at_] >= '0' && bytes_[at_] <= '9') {
      value = value * 10 + (bytes_[at_++] - '0');
      if (++digits > 9) return std::unexpected("image header number is too long");
    }
    if (digits == 0) return std::unexpected("image header is malformed");
    return static_cast<std::uint32_t>(value);
  }
  std::size_t position() const { return at_; }

 private:
  void skip_space_and_comments() {
    while (at_ < bytes_.size()) {
      if (is_space(bytes_[at_])) {
        ++at_;
      } else if (bytes_[at_] == '#') {
        while (at_ < bytes_.size() && bytes_[at_] != '\n') ++at_;
      } else {
        break;
      }
    }
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 2;  // after "P6"
};

}  // namespace

std::expected<generate::Thumbnail, std::string> parse_ppm(std::span<const std::uint8_t> bytes,
                                                          std::uint32_t max_side) {
  if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6') {
    return std::unexpected("renderer output is not a colour image");
  }
  HeaderReader header(bytes);
  const auto width = header.number();
  if (!width) return std::unexpected(width.error());
  const auto height = header.number();
  if (!height) return std::unexpected(height.error());
  const auto maxval = header.number();
  if (!maxval) return std::unexpected(maxval.error());
  if (*maxval != 255) return std::unexpected("renderer image is not 8-bit");
  if (*width == 0 || *height == 0 || *width > max_side || *height > max_side) {
    return std::unexpected("renderer image has an unexpected size");
  }
  std::size_t at = header.position();
  if (at >= bytes.size() || !is_space(bytes[at]))
    return std::unexpected("image header is malformed");
  ++at;
  const std::size_t pixel_count = std::size_t{*width} * *height;
  if (bytes.size() - at != pixel_count * 3) {
    return std::unexpected("renderer image has the wrong number of pixel bytes");
  }
  std::vector<std::uint8_t> rgba(pixel_count * 4);
  const std::uint8_t* in = bytes.data() + at;
  for (std::size_t i = 0; i < pixel_count; ++i, in += 3) {
    rgba[i * 4] = in[0];
    rgba[i * 4 + 1] = in[1];
    rgba[i * 4 + 2] = in[2];
    rgba[i * 4 + 3] = 255;
  }
  return generate::Thumbnail{*width, *height,
                             std::make_shared<const std::vector<std::uint8_t>>(std::move(rgba))};
}

}  // namespace thumbnail::detail
