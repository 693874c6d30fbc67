#include <algorithm>
#include <array>

#include "vesk_image/decode.hpp"

namespace vesk_image {
namespace {

bool starts_with(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

}  // namespace

std::optional<ImageFormat> detect_format(std::span<const std::uint8_t> bytes) {
  static constexpr std::array<std::uint8_t, 8> kPng = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  static constexpr std::array<std::uint8_t, 3> kJpeg = {0xff, 0xd8, 0xff};
  static constexpr std::array<std::uint8_t, 4> kTiffLittle = {'I', 'I', 42, 0};
  static constexpr std::array<std::uint8_t, 4> kTiffBig = {'M', 'M', 0, 42};
  static constexpr std::array<std::uint8_t, 4> kBigTiffLittle = {'I', 'I', 43, 0};
  static constexpr std::array<std::uint8_t, 4> kBigTiffBig = {'M', 'M', 0, 43};
  if (starts_with(bytes, kPng)) return ImageFormat::Png;
  if (starts_with(bytes, kJpeg)) return ImageFormat::Jpeg;
  if (starts_with(bytes, kTiffLittle) || starts_with(bytes, kTiffBig) ||
      starts_with(bytes, kBigTiffLittle) || starts_with(bytes, kBigTiffBig)) {
    return ImageFormat::Tiff;
  }
  if (bytes.size() >= 3 && bytes[0] == 'P' &&
      (bytes[1] == '4' || bytes[1] == '5' || bytes[1] == '6')) {
    const std::uint8_t next = bytes[2];
    if (next == ' ' || next == '\t' || next == '\n' || next == '\r' || next == '#') {
      return ImageFormat::Pnm;
    }
  }
  return std::nullopt;
}

std::expected<Image, std::string> decode(std::span<const std::uint8_t> bytes) {
  const auto format = detect_format(bytes);
  if (!format) return std::unexpected(std::string("unrecognised image format"));
  switch (*format) {
    case ImageFormat::Png:
      return decode_png(bytes);
    case ImageFormat::Jpeg:
      return decode_jpeg(bytes);
    case ImageFormat::Pnm:
      return decode_pnm(bytes);
    case ImageFormat::Tiff:
      return decode_tiff(bytes);
  }
  return std::unexpected(std::string("unrecognised image format"));
}

}  // namespace vesk_image
