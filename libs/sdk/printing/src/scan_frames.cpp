#include "scan_frames.hpp"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace os_actions::printing::detail {
namespace {

bool is_single_color(FrameKind kind) {
  return kind == FrameKind::Red || kind == FrameKind::Green || kind == FrameKind::Blue;
}

std::expected<std::uint32_t, std::string> usable_lines(const ScanFrame& frame, int samples) {
  if (frame.depth != 1 && frame.depth != 8 && frame.depth != 16) {
    return std::unexpected("unsupported sample depth " + std::to_string(frame.depth));
  }
  if (frame.pixels_per_line <= 0 || frame.bytes_per_line <= 0) {
    return std::unexpected("frame without pixels");
  }
  const long long needed_bits =
      static_cast<long long>(frame.pixels_per_line) * samples * frame.depth;
  if ((needed_bits + 7) / 8 > frame.bytes_per_line) {
    return std::unexpected("frame lines are shorter than their pixels");
  }
  auto lines = static_cast<long long>(frame.data.size()) / frame.bytes_per_line;
  if (frame.lines >= 0) lines = std::min<long long>(lines, frame.lines);
  return static_cast<std::uint32_t>(lines);
}

// Sample `index` of a line as 8 bits. Single-bit grey samples are 1 for black.
std::uint8_t sample(const std::uint8_t* line, std::size_t index, int depth, bool gray_bits) {
  switch (depth) {
    case 1: {
      const bool set = (line[index / 8] >> (7 - index % 8)) & 1;
      return gray_bits ? (set ? 0 : 255) : (set ? 255 : 0);
    }
    case 16: {
      std::uint16_t value;
      std::memcpy(&value, line + index * 2, 2);
      return static_cast<std::uint8_t>(value >> 8);
    }
    default:
      return line[index];
  }
}

}  // namespace

std::expected<ScanImage, std::string> assemble_frames(const std::vector<ScanFrame>& frames) {
  if (frames.empty()) return std::unexpected("the scanner delivered no image");
  ScanImage image;
  const auto& first = frames.front();
  if (!is_single_color(first.kind)) {
    if (frames.size() != 1) return std::unexpected("unexpected extra frames");
    const int samples = first.kind == FrameKind::Rgb ? 3 : 1;
    auto lines = usable_lines(first, samples);
    if (!lines) return std::unexpected(lines.error());
    image.width = static_cast<std::uint32_t>(first.pixels_per_line);
    image.height = *lines;
    image.channels = static_cast<std::uint8_t>(samples);
    const std::size_t row = static_cast<std::size_t>(image.width) * samples;
    image.pixels.resize(row * image.height);
    for (std::uint32_t y = 0; y < image.height; ++y) {
      const auto* line = first.data.data() + static_cast<std::size_t>(y) * first.bytes_per_line;
      auto* out = image.pixels.data() + y * row;
      for (std::size_t i = 0; i < row; ++i) out[i] = sample(line, i, first.depth, samples == 1);
    }
  } else {
    if (frames.size() != 3) return std::unexpected("a three-pass scan needs three frames");
    image.width = static_cast<std::uint32_t>(first.pixels_per_line);
    image.height = UINT32_MAX;
    bool seen[3] = {false, false, false};
    for (const auto& frame : frames) {
      if (!is_single_color(frame.kind)) return std::unexpected("mixed frame kinds");
      const int channel = static_cast<int>(frame.kind) - static_cast<int>(FrameKind::Red);
      if (seen[channel]) return std::unexpected("a colour frame came twice");
      seen[channel] = true;
      if (frame.pixels_per_line != first.pixels_per_line) {
        return std::unexpected("colour frames of different widths");
      }
      auto lines = usable_lines(frame, 1);
      if (!lines) return std::unexpected(lines.error());
      image.height = std::min(image.height, *lines);
    }
    image.channels = 3;
    const std::size_t row = static_cast<std::size_t>(image.width) * 3;
    image.pixels.resize(row * image.height);
    for (const auto& frame : frames) {
      const int channel = static_cast<int>(frame.kind) - static_cast<int>(FrameKind::Red);
      for (std::uint32_t y = 0; y < image.height; ++y) {
        const auto* line = frame.data.data() + static_cast<std::size_t>(y) * frame.bytes_per_line;
        auto* out = image.pixels.data() + y * row;
        for (std::uint32_t x = 0; x < image.width; ++x) {
          out[x * 3 + channel] = sample(line, x, frame.depth, false);
        }
      }
    }
  }
  if (image.width == 0 || image.height == 0) return std::unexpected("the scanned image is empty");
  return image;
}

std::expected<std::vector<std::uint8_t>, std::string> encode_png(const ScanImage& image) {
  if (image.width == 0 || image.height == 0) return std::unexpected("empty image");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return std::unexpected("could not start png encoder");
  png_infop info = png_create_info_struct(png);
  std::vector<std::uint8_t> bytes;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return std::unexpected("png encoding failed");
  }
  png_set_write_fn(
      png, &bytes,
      [](png_structp p, png_bytep data, png_size_t length) {
        auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
        out->insert(out->end(), data, data + length);
      },
      nullptr);
  png_set_compression_level(png, Z_BEST_SPEED);
  png_set_IHDR(png, info, image.width, image.height, 8,
               image.channels == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const std::size_t row = static_cast<std::size_t>(image.width) * image.channels;
  for (std::uint32_t y = 0; y < image.height; ++y) {
    png_write_row(png, const_cast<png_bytep>(image.pixels.data() + y * row));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return bytes;
}

std::vector<std::uint8_t> page_record_head(std::uint64_t length) {
  std::vector<std::uint8_t> head{kPageRecord};
  for (int shift = 56; shift >= 0; shift -= 8) {
    head.push_back(static_cast<std::uint8_t>(length >> shift));
  }
  return head;
}

}  // namespace os_actions::printing::detail
