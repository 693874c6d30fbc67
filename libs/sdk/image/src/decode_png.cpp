// PNG decoding with libpng. libpng reports errors by longjmp; the jump target lives in
// read_into(), whose frame and the frames it can jump over hold only trivially destructible
// objects. Everything with a destructor lives in decode_png(), which is never jumped over.
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "vesk_image/decode.hpp"

namespace vesk_image {
namespace {

struct PngReadState {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t position = 0;
  char message[200] = {};
  std::vector<std::uint8_t>* pixels = nullptr;
  std::vector<png_bytep>* rows = nullptr;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int channels = 0;
  bool too_large = false;
};

void read_bytes(png_structp png, png_bytep out, png_size_t count) {
  auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
  if (count > state->size - state->position) png_error(png, "truncated PNG data");
  std::memcpy(out, state->data + state->position, count);
  state->position += count;
}

void on_error(png_structp png, png_const_charp message) {
  auto* state = static_cast<PngReadState*>(png_get_error_ptr(png));
  std::strncpy(state->message, message, sizeof(state->message) - 1);
  png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

// Returns false on a libpng error (message in state).
bool read_into(png_structp png, png_infop info, PngReadState* state) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (!check_decode_size(width, height)) {
    state->too_large = true;
    return false;
  }
  png_set_expand(png);
  png_set_scale_16(png);
  const int colour = png_get_color_type(png, info);
  if (colour == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const int channels = png_get_channels(png, info);
  if (channels != 1 && channels != 3 && channels != 4) png_error(png, "unsupported PNG layout");
  if (png_get_rowbytes(png, info) != std::size_t{width} * channels) {
    png_error(png, "unsupported PNG layout");
  }
  state->width = width;
  state->height = height;
  state->channels = channels;
  state->pixels->resize(std::size_t{width} * height * channels);
  state->rows->resize(height);
  for (png_uint_32 y = 0; y < height; ++y) {
    (*state->rows)[y] = state->pixels->data() + std::size_t{y} * width * channels;
  }
  png_read_image(png, state->rows->data());
  png_read_end(png, nullptr);
  return true;
}

}  // namespace

std::expected<Image, std::string> decode_png(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> pixels;
  std::vector<png_bytep> rows;
  PngReadState state;
  state.data = bytes.data();
  state.size = bytes.size();
  state.pixels = &pixels;
  state.rows = &rows;

  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, on_error, on_warning);
  if (!png) return std::unexpected(std::string("could not start the PNG decoder"));
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return std::unexpected(std::string("could not start the PNG decoder"));
  }
  png_set_read_fn(png, &state, read_bytes);
  const bool ok = read_into(png, info, &state);
  png_destroy_read_struct(&png, &info, nullptr);
  if (state.too_large) return std::unexpected(std::string("PNG image is too large"));
  if (!ok) return std::unexpected(std::string("invalid PNG data: ") + state.message);
  const PixelFormat format = state.channels == 1   ? PixelFormat::Grey8
                             : state.channels == 3 ? PixelFormat::Rgb8
                                                   : PixelFormat::Rgba8;
  rows.clear();
  return Image::from_pixels(state.width, state.height, format, std::move(pixels));
}

}  // namespace vesk_image
