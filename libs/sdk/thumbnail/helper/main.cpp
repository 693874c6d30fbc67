// thumbnail-image-helper SIZE PATH
//
// Decodes the image file at PATH (an absolute path) with the image library, reduces it so
// that its longer side is at most SIZE (never enlarging it), lays it on white paper and
// writes it to standard output as one binary colour netpbm image (P6). Any failure: a
// message on standard error and exit status 1. Runs under the caller's limits.
#include <charconv>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "vesk_image/decode.hpp"
#include "vesk_image/transform.hpp"

namespace {

constexpr std::uint32_t kMaxSize = 4096;
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{256} << 20;

int fail(std::string_view message) {
  std::fprintf(stderr, "thumbnail-image-helper: %.*s\n", static_cast<int>(message.size()),
               message.data());
  return 1;
}

// Every pixel as opaque RGB; transparent parts show the white paper.
std::vector<std::uint8_t> on_white(const vesk_image::Image& image) {
  const auto in = image.pixels();
  const std::size_t count = std::size_t{image.width()} * image.height();
  std::vector<std::uint8_t> rgb(count * 3);
  for (std::size_t i = 0; i < count; ++i) {
    for (std::size_t c = 0; c < 3; ++c) {
      switch (image.format()) {
        case vesk_image::PixelFormat::Grey8:
          rgb[i * 3 + c] = in[i];
          break;
        case vesk_image::PixelFormat::Rgb8:
          rgb[i * 3 + c] = in[i * 3 + c];
          break;
        case vesk_image::PixelFormat::Rgba8: {
          const unsigned alpha = in[i * 4 + 3];
          rgb[i * 3 + c] =
              static_cast<std::uint8_t>((in[i * 4 + c] * alpha + 255 * (255 - alpha) + 127) / 255);
          break;
        }
      }
    }
  }
  return rgb;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return fail("usage: thumbnail-image-helper SIZE ABSOLUTE-PATH");
  const std::string_view size_text = argv[1];
  std::uint32_t size = 0;
  const auto parsed = std::from_chars(size_text.data(), size_text.data() + size_text.size(), size);
  if (parsed.ec != std::errc() || parsed.ptr != size_text.data() + size_text.size() || size == 0 ||
      size > kMaxSize) {
    return fail("the size must be a number from 1 to 4096");
  }
  const std::string path = argv[2];
  if (path.empty() || path.front() != '/') return fail("the path must be absolute");

  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return fail("cannot open the image file");
  const std::streamoff length = file.tellg();
  if (length < 0 || static_cast<std::uintmax_t>(length) > kMaxFileBytes) {
    return fail("the image file is too large");
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
  file.seekg(0);
  if (!file.read(reinterpret_cast<char*>(bytes.data()), length)) {
    return fail("cannot read the image file");
  }

  const auto decoded = vesk_image::decode(bytes);
  if (!decoded) return fail(decoded.error());
  bytes = {};
  auto rgb = vesk_image::Image::from_pixels(decoded->width(), decoded->height(),
                                            vesk_image::PixelFormat::Rgb8, on_white(*decoded));
  if (!rgb) return fail(rgb.error());
  vesk_image::Image page = std::move(*rgb);
  const std::uint32_t longer = std::max(page.width(), page.height());
  if (longer > size) {
    auto scaled = [&](std::uint32_t side) {
      return std::max<std::uint32_t>(
          1, static_cast<std::uint32_t>((std::uint64_t{side} * size + longer / 2) / longer));
    };
    page = vesk_image::resize_triangle(page, scaled(page.width()), scaled(page.height()));
  }

  std::printf("P6\n%u %u\n255\n", page.width(), page.height());
  const auto pixels = page.pixels();
  if (std::fwrite(pixels.data(), 1, pixels.size(), stdout) != pixels.size() ||
      std::fflush(stdout) != 0) {
    return fail("cannot write the preview");
  }
  return 0;
}
