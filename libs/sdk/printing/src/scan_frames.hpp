#pragma once
// Assembles the frames a scanner delivers into one 8-bit grey or RGB image, and encodes
// it as PNG. Pure: no scanner involved, so every frame shape can be tested.
#include <cstdint>
#include <expected>
#include <string>
#include <vector>

namespace os_actions::printing::detail {

enum class FrameKind : std::uint8_t { Gray, Rgb, Red, Green, Blue };

struct ScanFrame {
  FrameKind kind = FrameKind::Gray;
  int depth = 8;  // 1, 8 or 16 bits per sample; 16-bit samples in host order
  int pixels_per_line = 0;
  int bytes_per_line = 0;  // may exceed what the pixels need (padded lines)
  int lines = -1;          // -1: unknown until the data ends
  std::vector<std::uint8_t> data;
};

struct ScanImage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint8_t channels = 1;         // 1 grey, 3 RGB
  std::vector<std::uint8_t> pixels;  // rows top to bottom, no gaps
};

// One grey or RGB frame, or three single-colour frames in any order. Lines are taken from
// the data (an incomplete last line is dropped); a frame that claims more lines than it
// delivered is cut to what arrived.
std::expected<ScanImage, std::string> assemble_frames(const std::vector<ScanFrame>& frames);

// The scan helper's feeder output ("scan-stack"): one record per event. A sheet taken in is the
// single byte 'S'; a scanned sheet is 'P', its length as eight bytes big-endian, then its PNG.
inline constexpr std::uint8_t kSheetStartedRecord = 'S';
inline constexpr std::uint8_t kPageRecord = 'P';
inline constexpr std::size_t kPageRecordHead = 9;

// 'P' and the length, as written before a page.
std::vector<std::uint8_t> page_record_head(std::uint64_t length);

// PNG with fast compression.
std::expected<std::vector<std::uint8_t>, std::string> encode_png(const ScanImage& image);

}  // namespace os_actions::printing::detail
