#include "scan_like_page.hpp"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace wendlow::pdf::bench {
namespace {

// Small, fast and deterministic; quality is irrelevant for texture.
class XorShift {
 public:
  explicit XorShift(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  std::uint64_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  int in_range(int low, int high) {  // inclusive
    return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
  }

 private:
  std::uint64_t state_;
};

// Ink coverage (0..1) of the text block, one value per pixel.
std::vector<float> text_ink(std::uint32_t width, std::uint32_t height, XorShift& random) {
  std::vector<float> ink(std::size_t{width} * height, 0.0f);
  auto stroke = [&](int left, int top, int stroke_width, int stroke_height) {
    for (int y = std::max(top, 0); y < std::min<int>(top + stroke_height, height); ++y) {
      for (int x = std::max(left, 0); x < std::min<int>(left + stroke_width, width); ++x) {
        ink[std::size_t(y) * width + x] = 1.0f;
      }
    }
  };
  const int margin = 240;
  const int line_height = 52;
  int y = margin;
  while (y + line_height < static_cast<int>(height) - margin) {
    if (random.in_range(0, 9) == 0) {  // paragraph gap
      y += line_height;
      continue;
    }
    int x = margin;
    int line_end = static_cast<int>(width) - margin - random.in_range(0, 600);
    while (x < line_end) {
      int letters = random.in_range(1, 9);
      for (int letter = 0; letter < letters && x < line_end; ++letter) {
        int letter_width = random.in_range(14, 26);
        int ascender = random.in_range(0, 3) == 0 ? 10 : 0;
        int descender = random.in_range(0, 6) == 0 ? 9 : 0;
        int top = y + 12 - ascender;
        int bottom = y + 34 + descender;
        stroke(x, top, 4, bottom - top);  // stem
        if (random.in_range(0, 1)) stroke(x + letter_width - 4, y + 12, 4, 22);
        if (random.in_range(0, 1)) stroke(x, y + 12, letter_width, 4);  // top bar
        if (random.in_range(0, 2)) stroke(x, y + 30, letter_width, 4);  // base bar
        x += letter_width + 4;
      }
      x += random.in_range(14, 22);  // word gap
    }
    y += line_height;
  }
  return ink;
}

// Soft ink edges, as a scanner's optics give them.
void blur(std::vector<float>& ink, std::uint32_t width, std::uint32_t height) {
  std::vector<float> row(width);
  for (std::uint32_t y = 0; y < height; ++y) {
    float* line = ink.data() + std::size_t{y} * width;
    for (std::uint32_t x = 1; x + 1 < width; ++x) {
      row[x] = 0.25f * line[x - 1] + 0.5f * line[x] + 0.25f * line[x + 1];
    }
    std::copy(row.begin() + 1, row.end() - 1, line + 1);
  }
  std::vector<float> above(width);
  std::copy(ink.begin(), ink.begin() + width, above.begin());
  for (std::uint32_t y = 1; y + 1 < height; ++y) {
    float* line = ink.data() + std::size_t{y} * width;
    const float* below = line + width;
    for (std::uint32_t x = 0; x < width; ++x) {
      float current = line[x];
      line[x] = 0.25f * above[x] + 0.5f * current + 0.25f * below[x];
      above[x] = current;
    }
  }
}

}  // namespace

PdfPage scan_like_page(std::uint32_t seed) {
  PdfPage page;
  page.width = kA4Width300Dpi;
  page.height = kA4Height300Dpi;
  page.text = "Page " + std::to_string(seed + 1) + "\nDear customer,\nthe invoice is attached.";
  XorShift random(seed);

  std::vector<float> ink = text_ink(page.width, page.height, random);
  blur(ink, page.width, page.height);

  // Paper brightness varies slowly over a coarse grid of cells.
  const std::uint32_t cell = 128;
  std::uint32_t cells_x = page.width / cell + 2;
  std::uint32_t cells_y = page.height / cell + 2;
  std::vector<float> paper(std::size_t{cells_x} * cells_y);
  for (float& value : paper) value = static_cast<float>(random.in_range(-6, 6));

  page.rgb.resize(std::size_t{page.width} * page.height * 3);
  std::uint8_t* out = page.rgb.data();
  for (std::uint32_t y = 0; y < page.height; ++y) {
    std::uint32_t cy = y / cell;
    float fy = static_cast<float>(y % cell) / cell;
    for (std::uint32_t x = 0; x < page.width; ++x) {
      std::uint32_t cx = x / cell;
      float fx = static_cast<float>(x % cell) / cell;
      const float* top = &paper[std::size_t{cy} * cells_x + cx];
      const float* bottom = top + cells_x;
      float shade = (top[0] * (1 - fx) + top[1] * fx) * (1 - fy) +
                    (bottom[0] * (1 - fx) + bottom[1] * fx) * fy;
      float coverage = ink[std::size_t{y} * page.width + x];
      std::uint64_t noise = random.next();
      const float paper_colour[3] = {242, 239, 230};
      const float ink_colour[3] = {32, 30, 40};
      for (int channel = 0; channel < 3; ++channel) {
        float grain = static_cast<float>((noise >> (channel * 8)) & 7) - 3.5f;
        float value = (paper_colour[channel] + shade) * (1 - coverage) +
                      ink_colour[channel] * coverage + grain;
        *out++ = static_cast<std::uint8_t>(std::clamp(std::lround(value), 0l, 255l));
      }
    }
  }
  return page;
}

bool write_png(const PdfPage& page, const std::filesystem::path& path) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file.get());
  png_set_compression_level(png, 6);
  png_set_IHDR(png, info, page.width, page.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (std::uint32_t y = 0; y < page.height; ++y) {
    png_write_row(png, page.rgb.data() + std::size_t{y} * page.width * 3);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace wendlow::pdf::bench
