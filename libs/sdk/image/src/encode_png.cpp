// PNG encoding with libpng. As in the decoder, the longjmp target is in a frame that holds
// only trivially destructible objects; the output vector lives in the caller.
#include <png.h>

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstring>
#include <fstream>

#include "vesk_image/encode.hpp"

namespace vesk_image {
namespace {

struct PngWriteState {
  std::vector<std::uint8_t>* out = nullptr;
  char message[200] = {};
};

void write_bytes(png_structp png, png_bytep data, png_size_t count) {
  auto* state = static_cast<PngWriteState*>(png_get_io_ptr(png));
  state->out->insert(state->out->end(), data, data + count);
}

void flush_bytes(png_structp) {}

void on_error(png_structp png, png_const_charp message) {
  auto* state = static_cast<PngWriteState*>(png_get_error_ptr(png));
  std::strncpy(state->message, message, sizeof(state->message) - 1);
  png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

bool write_into(png_structp png, png_infop info, const Image* image, const PngOptions* options) {
  if (setjmp(png_jmpbuf(png))) return false;
  const int colour = image->format() == PixelFormat::Grey8  ? PNG_COLOR_TYPE_GRAY
                     : image->format() == PixelFormat::Rgb8 ? PNG_COLOR_TYPE_RGB
                                                            : PNG_COLOR_TYPE_RGBA;
  png_set_IHDR(png, info, image->width(), image->height(), 8, colour, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, std::clamp(options->compression_level, 0, 9));
  if (!options->adaptive_filtering) png_set_filter(png, 0, PNG_FILTER_NONE);
  png_write_info(png, info);
  const auto pixels = image->pixels();
  for (std::uint32_t y = 0; y < image->height(); ++y) {
    png_write_row(png, const_cast<png_bytep>(pixels.data() + y * image->row_bytes()));
  }
  png_write_end(png, nullptr);
  return true;
}

bool has_png_extension(std::string_view file_name) {
  const std::string_view suffix = ".png";
  if (file_name.size() < suffix.size()) return false;
  const std::string_view tail = file_name.substr(file_name.size() - suffix.size());
  return std::equal(tail.begin(), tail.end(), suffix.begin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
}

}  // namespace

std::expected<std::vector<std::uint8_t>, std::string> encode_png(const Image& image,
                                                                 const PngOptions& options) {
  if (image.width() == 0 || image.height() == 0) {
    return std::unexpected(std::string("cannot encode an image without pixels"));
  }
  std::vector<std::uint8_t> out;
  PngWriteState state;
  state.out = &out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, on_error, on_warning);
  if (!png) return std::unexpected(std::string("could not start the PNG encoder"));
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return std::unexpected(std::string("could not start the PNG encoder"));
  }
  png_set_write_fn(png, &state, write_bytes, flush_bytes);
  const bool ok = write_into(png, info, &image, &options);
  png_destroy_write_struct(&png, &info);
  if (!ok) return std::unexpected(std::string("could not encode PNG: ") + state.message);
  return out;
}

std::expected<std::vector<std::uint8_t>, std::string> encode_for_file_name(
    const Image& image, std::string_view file_name, const PngOptions& options) {
  if (!has_png_extension(file_name)) {
    return std::unexpected("no image encoder for the file name " + std::string(file_name));
  }
  return encode_png(image, options);
}

std::expected<void, std::string> save(const Image& image, const std::filesystem::path& path,
                                      const PngOptions& options) {
  auto encoded = encode_for_file_name(image, path.filename().string(), options);
  if (!encoded) return std::unexpected(encoded.error());
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(encoded->data()),
             static_cast<std::streamsize>(encoded->size()));
  file.close();
  if (!file) return std::unexpected("could not write " + path.string());
  return {};
}

}  // namespace vesk_image
