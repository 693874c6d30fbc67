// TIFF decoding with libtiff over an in-memory client, through its RGBA reader, which handles
// every photometric interpretation and bit depth libtiff knows.
#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

#include "vesk_image/decode.hpp"

namespace vesk_image {
namespace {

struct MemoryFile {
  std::span<const std::uint8_t> bytes;
  toff_t position = 0;
  std::string first_error;
};

tmsize_t read_proc(thandle_t handle, void* out, tmsize_t count) {
  auto* file = static_cast<MemoryFile*>(handle);
  if (count <= 0 || file->position >= file->bytes.size()) return 0;
  const std::size_t available = file->bytes.size() - file->position;
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), available);
  std::memcpy(out, file->bytes.data() + file->position, n);
  file->position += n;
  return static_cast<tmsize_t>(n);
}

tmsize_t write_proc(thandle_t, void*, tmsize_t) {
  return 0;
}

toff_t seek_proc(thandle_t handle, toff_t offset, int whence) {
  auto* file = static_cast<MemoryFile*>(handle);
  toff_t base = 0;
  if (whence == SEEK_CUR) base = file->position;
  if (whence == SEEK_END) base = file->bytes.size();
  // Seeking past the end is allowed; reads there return nothing.
  file->position = base + offset;
  return file->position;
}

int close_proc(thandle_t) {
  return 0;
}
toff_t size_proc(thandle_t handle) {
  return static_cast<MemoryFile*>(handle)->bytes.size();
}
int map_proc(thandle_t, void**, toff_t*) {
  return 0;
}
void unmap_proc(thandle_t, void*, toff_t) {}

int on_error(TIFF*, void* user_data, const char* module, const char* format, va_list args) {
  auto* file = static_cast<MemoryFile*>(user_data);
  if (file->first_error.empty()) {
    char text[256];
    std::vsnprintf(text, sizeof(text), format, args);
    file->first_error = std::string(module ? module : "tiff") + ": " + text;
  }
  return 1;  // handled: nothing is printed
}

int on_warning(TIFF*, void*, const char*, const char*, va_list) {
  return 1;
}

struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
struct OptionsFree {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

}  // namespace

std::expected<Image, std::string> decode_tiff(std::span<const std::uint8_t> bytes) {
  MemoryFile file{bytes, 0, {}};
  std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
  if (!options) return std::unexpected(std::string("could not start the TIFF decoder"));
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), on_error, &file);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), on_warning, &file);
  // No single allocation of the decoder may exceed the largest accepted RGBA raster.
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(),
                                      static_cast<tmsize_t>(kMaxDecodePixels * 4 + 1024));
  std::unique_ptr<TIFF, TiffCloser> tiff(
      TIFFClientOpenExt("memory", "rm", &file, read_proc, write_proc, seek_proc, close_proc,
                        size_proc, map_proc, unmap_proc, options.get()));
  if (!tiff) return std::unexpected("invalid TIFF data: " + file.first_error);
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  if (!TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) ||
      !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height)) {
    return std::unexpected(std::string("invalid TIFF data: no image size"));
  }
  if (auto size_ok = check_decode_size(width, height); !size_ok) {
    return std::unexpected(size_ok.error());
  }
  std::vector<std::uint32_t> raster(std::size_t{width} * height);
  if (!TIFFReadRGBAImageOriented(tiff.get(), width, height, raster.data(), ORIENTATION_TOPLEFT,
                                 /*stop_on_error=*/1) ||
      !file.first_error.empty()) {
    return std::unexpected("invalid TIFF data: " + file.first_error);
  }
  std::vector<std::uint8_t> pixels(raster.size() * 4);
  for (std::size_t i = 0; i < raster.size(); ++i) {
    pixels[4 * i] = static_cast<std::uint8_t>(TIFFGetR(raster[i]));
    pixels[4 * i + 1] = static_cast<std::uint8_t>(TIFFGetG(raster[i]));
    pixels[4 * i + 2] = static_cast<std::uint8_t>(TIFFGetB(raster[i]));
    pixels[4 * i + 3] = static_cast<std::uint8_t>(TIFFGetA(raster[i]));
  }
  return Image::from_pixels(width, height, PixelFormat::Rgba8, std::move(pixels));
}

}  // namespace vesk_image
