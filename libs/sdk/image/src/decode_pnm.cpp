// Binary PNM: P4 (bitmap), P5 (grey), P6 (RGB), with 8- or 16-bit samples.
#include <string_view>

#include "vesk_image/decode.hpp"

namespace vesk_image {
namespace {

class HeaderReader {
 public:
  explicit HeaderReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  // Skips white space and comments, then reads a decimal number.
  std::optional<std::uint64_t> number() {
    skip_space_and_comments();
    std::uint64_t value = 0;
    std::size_t digits = 0;
    while (position_ < bytes_.size() && bytes_[position_] >= '0' && bytes_[position_] <= '9') {
      value = value * 10 + (bytes_[position_] - '0');
      if (value > 0xffffffffULL) return std::nullopt;
      ++position_;
      ++digits;
    }
    if (digits == 0) return std::nullopt;
    return value;
  }

  // Exactly one white space byte separates the header from the samples.
  bool single_space() {
    if (position_ >= bytes_.size() || !is_space(bytes_[position_])) return false;
    ++position_;
    return true;
  }

  std::size_t position() const { return position_; }
  void skip(std::size_t count) { position_ += count; }

 private:
  static bool is_space(std::uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
  }

  void skip_space_and_comments() {
    while (position_ < bytes_.size()) {
      if (is_space(bytes_[position_])) {
        ++position_;
      } else if (bytes_[position_] == '#') {
        while (position_ < bytes_.size() && bytes_[position_] != '\n' &&
               bytes_[position_] != '\r') {
          ++position_;
        }
      } else {
        break;
      }
    }
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

}  // namespace

std::expected<Image, std::string> decode_pnm(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] < '4' || bytes[1] > '6') {
    return std::unexpected(std::string("invalid PNM data: unknown kind"));
  }
  const char kind = static_cast<char>(bytes[1]);
  HeaderReader reader(bytes);
  reader.skip(2);
  const auto width = reader.number();
  const auto height = reader.number();
  if (!width || !height) return std::unexpected(std::string("invalid PNM data: bad size"));
  std::uint64_t max_value = 1;
  if (kind != '4') {
    const auto read_max = reader.number();
    if (!read_max || *read_max == 0 || *read_max > 65535) {
      return std::unexpected(std::string("invalid PNM data: bad maximum value"));
    }
    max_value = *read_max;
  }
  if (!reader.single_space()) return std::unexpected(std::string("invalid PNM data: bad header"));
  if (auto size_ok = check_decode_size(*width, *height); !size_ok) {
    return std::unexpected(size_ok.error());
  }

  const std::size_t w = *width;
  const std::size_t h = *height;
  const std::size_t channels = kind == '6' ? 3 : 1;
  const std::size_t sample_bytes = max_value > 255 ? 2 : 1;
  const std::size_t row_bytes = kind == '4' ? (w + 7) / 8 : w * channels * sample_bytes;
  const std::span<const std::uint8_t> samples = bytes.subspan(reader.position());
  if (samples.size() < row_bytes * h) {
    return std::unexpected(std::string("invalid PNM data: truncated samples"));
  }

  std::vector<std::uint8_t> pixels(w * h * channels);
  if (kind == '4') {
    for (std::size_t y = 0; y < h; ++y) {
      const std::uint8_t* row = samples.data() + y * row_bytes;
      for (std::size_t x = 0; x < w; ++x) {
        const bool black = (row[x / 8] >> (7 - x % 8)) & 1;
        pixels[y * w + x] = black ? 0 : 255;
      }
    }
  } else {
    const std::size_t count = w * h * channels;
    for (std::size_t i = 0; i < count; ++i) {
      std::uint64_t value = sample_bytes == 2
                                ? (std::uint64_t{samples[2 * i]} << 8) | samples[2 * i + 1]
                                : samples[i];
      if (value > max_value) value = max_value;
      pixels[i] = max_value == 255
                      ? static_cast<std::uint8_t>(value)
                      : static_cast<std::uint8_t>((value * 255 + max_value / 2) / max_value);
    }
  }
  return Image::from_pixels(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h),
                            kind == '6' ? PixelFormat::Rgb8 : PixelFormat::Grey8,
                            std::move(pixels));
}

}  // namespace vesk_image
