// Any bytes: decoding either fails cleanly or yields an image within the decode limits whose
// buffer matches its size.
#include <cstdint>
#include <cstdlib>

#include "vesk_image/convert.hpp"
#include "vesk_image/decode.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto image = vesk_image::decode({data, size});
  if (!image) return 0;
  const std::uint64_t pixels = std::uint64_t{image->width()} * image->height();
  if (image->width() > vesk_image::kMaxDecodeSide || image->height() > vesk_image::kMaxDecodeSide ||
      pixels > vesk_image::kMaxDecodePixels ||
      image->pixels().size() != pixels * image->channels()) {
    std::abort();
  }
  if (pixels <= 4096) (void)vesk_image::to_rgba8(*image);
  return 0;
}
