// JPEG decoding with libjpeg-turbo. Errors and warnings (libjpeg reports truncated or corrupt
// data as warnings) both longjmp to read_into(), whose frame and the frames it can jump over
// hold only trivially destructible objects.
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t
#include <cstring>

#include <jpeglib.h>

#include "vesk_image/decode.hpp"

namespace vesk_image {
namespace {

// Real progressive files have about ten scans; a crafted one can hold thousands, each of
// which makes the decoder pass over the whole image again.
constexpr int kMaxProgressiveScans = 100;

struct JpegErrorState {
  jpeg_error_mgr manager;  // first member: libjpeg sees a pointer to it
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX] = {};
  jpeg_progress_mgr progress = {};  // counts scans
};

struct JpegReadState {
  std::vector<std::uint8_t>* pixels = nullptr;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int channels = 0;
  bool too_large = false;
  bool unsupported = false;
};

[[noreturn]] void on_error(j_common_ptr info) {
  auto* errors = reinterpret_cast<JpegErrorState*>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->jump, 1);
}

void on_message(j_common_ptr info, int level) {
  if (level < 0) on_error(info);  // a warning means damaged data
}

void on_progress(j_common_ptr info) {
  if (!info->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMaxProgressiveScans) return;
  auto* errors = reinterpret_cast<JpegErrorState*>(info->err);
  std::snprintf(errors->message, sizeof errors->message, "more than %d progressive scans",
                kMaxProgressiveScans);
  std::longjmp(errors->jump, 1);
}

std::uint8_t cmyk_channel(unsigned ink, unsigned black, bool inverted) {
  // Adobe writes inverted CMYK: 255 means no ink.
  if (inverted) return static_cast<std::uint8_t>((ink * black + 127) / 255);
  return static_cast<std::uint8_t>(((255 - ink) * (255 - black) + 127) / 255);
}

bool read_into(jpeg_decompress_struct* info, JpegErrorState* errors, JpegReadState* state,
               const std::uint8_t* data, std::size_t size) {
  if (setjmp(errors->jump)) return false;
  jpeg_create_decompress(info);
  errors->progress.progress_monitor = on_progress;
  info->progress = &errors->progress;
  jpeg_mem_src(info, data, static_cast<unsigned long>(size));
  jpeg_read_header(info, TRUE);
  if (!check_decode_size(info->image_width, info->image_height)) {
    state->too_large = true;
    return false;
  }
  bool cmyk = false;
  switch (info->jpeg_color_space) {
    case JCS_GRAYSCALE:
      info->out_color_space = JCS_GRAYSCALE;
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      info->out_color_space = JCS_CMYK;
      cmyk = true;
      break;
    default:
      info->out_color_space = JCS_RGB;
      break;
  }
  jpeg_start_decompress(info);
  const int components = info->output_components;
  if ((cmyk && components != 4) || (!cmyk && components != 1 && components != 3)) {
    state->unsupported = true;
    return false;
  }
  const std::uint32_t width = info->output_width;
  const std::uint32_t height = info->output_height;
  const int channels = cmyk ? 3 : components;
  state->pixels->resize(std::size_t{width} * height * channels);
  std::vector<std::uint8_t>& pixels = *state->pixels;
  JSAMPARRAY cmyk_buffer = cmyk ? (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info),
                                                             JPOOL_IMAGE, width * 4, 1)
                                : nullptr;
  const bool inverted = info->saw_Adobe_marker;
  while (info->output_scanline < height) {
    const std::size_t y = info->output_scanline;
    if (cmyk) {
      jpeg_read_scanlines(info, cmyk_buffer, 1);
      const std::uint8_t* in = cmyk_buffer[0];
      std::uint8_t* out = pixels.data() + y * width * 3;
      for (std::uint32_t x = 0; x < width; ++x, in += 4, out += 3) {
        out[0] = cmyk_channel(in[0], in[3], inverted);
        out[1] = cmyk_channel(in[1], in[3], inverted);
        out[2] = cmyk_channel(in[2], in[3], inverted);
      }
    } else {
      JSAMPROW row = pixels.data() + y * width * channels;
      jpeg_read_scanlines(info, &row, 1);
    }
  }
  jpeg_finish_decompress(info);
  state->width = width;
  state->height = height;
  state->channels = channels;
  return true;
}

}  // namespace

std::expected<Image, std::string> decode_jpeg(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> pixels;
  JpegReadState state;
  state.pixels = &pixels;
  JpegErrorState errors;
  jpeg_decompress_struct info;
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = on_error;
  errors.manager.emit_message = on_message;
  const bool ok = read_into(&info, &errors, &state, bytes.data(), bytes.size());
  jpeg_destroy_decompress(&info);
  if (state.too_large) return std::unexpected(std::string("JPEG image is too large"));
  if (state.unsupported) return std::unexpected(std::string("unsupported JPEG colour layout"));
  if (!ok) return std::unexpected(std::string("invalid JPEG data: ") + errors.message);
  const PixelFormat format = state.channels == 1 ? PixelFormat::Grey8 : PixelFormat::Rgb8;
  return Image::from_pixels(state.width, state.height, format, std::move(pixels));
}

}  // namespace vesk_image
