#include <gtest/gtest.h>
#include <png.h>
#include <tiffio.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <jpeglib.h>

#include "test_images.hpp"
#include "vesk_image/decode.hpp"
#include "vesk_image/encode.hpp"

namespace vesk_image {
namespace {

using testing::bytes_of;
using testing::pattern;

std::vector<std::uint8_t> text_bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

// Rewrites the IHDR size of a PNG and fixes the chunk CRC.
std::vector<std::uint8_t> with_png_size(std::vector<std::uint8_t> png, std::uint32_t w,
                                        std::uint32_t h) {
  for (int i = 0; i < 4; ++i) {
    png[16 + i] = static_cast<std::uint8_t>(w >> (24 - 8 * i));
    png[20 + i] = static_cast<std::uint8_t>(h >> (24 - 8 * i));
  }
  const uLong crc = crc32(0, png.data() + 12, 17);
  for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
  return png;
}

// Grey only; `scans` empty gives a baseline file, otherwise a progressive one with that
// scan script.
std::vector<std::uint8_t> encode_jpeg(const Image& image,
                                      const std::vector<jpeg_scan_info>& scans = {}) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = image.width();
  info.image_height = image.height();
  info.input_components = static_cast<int>(image.channels());
  info.in_color_space = image.channels() == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  if (!scans.empty()) {
    info.scan_info = scans.data();
    info.num_scans = static_cast<int>(scans.size());
  }
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row =
        const_cast<JSAMPROW>(image.pixels().data() + info.next_scanline * image.row_bytes());
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<std::uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

Image flat(std::uint32_t w, std::uint32_t h, PixelFormat format, std::uint8_t value) {
  return *Image::from_pixels(
      w, h, format, std::vector<std::uint8_t>(std::size_t{w} * h * channel_count(format), value));
}

TEST(DecodeTest, PngRoundTripKeepsEveryPixelInEachFormat) {
  for (PixelFormat format : {PixelFormat::Grey8, PixelFormat::Rgb8, PixelFormat::Rgba8}) {
    const Image original = pattern(37, 23, format);
    for (const PngOptions& options : {PngOptions{}, PngOptions::fast(), PngOptions::stored()}) {
      const auto encoded = encode_png(original, options);
      ASSERT_TRUE(encoded) << encoded.error();
      EXPECT_EQ(detect_format(*encoded), ImageFormat::Png);
      const auto decoded = decode(*encoded);
      ASSERT_TRUE(decoded) << decoded.error();
      EXPECT_EQ(decoded->format(), format);
      EXPECT_EQ(decoded->width(), 37u);
      EXPECT_EQ(bytes_of(*decoded), bytes_of(original));
    }
  }
}

TEST(DecodeTest, PngTruncatedOrCorruptIsAnError) {
  const auto encoded = *encode_png(pattern(64, 64, PixelFormat::Rgb8));
  for (std::size_t keep :
       {std::size_t{9}, std::size_t{40}, encoded.size() / 2, encoded.size() - 13}) {
    std::vector<std::uint8_t> cut(encoded.begin(), encoded.begin() + keep);
    EXPECT_FALSE(decode(cut)) << keep;
  }
  auto corrupt = encoded;
  corrupt[60] ^= 0xff;  // inside the image data: CRC mismatch
  EXPECT_FALSE(decode(corrupt));
}

TEST(DecodeTest, OversizedHeadersAreRefusedBeforeDecoding) {
  const auto png = *encode_png(flat(8, 8, PixelFormat::Grey8, 0));
  for (auto [w, h] : {std::pair{10001u, 10u}, std::pair{10u, 10001u}, std::pair{8000u, 8000u}}) {
    const auto decoded = decode(with_png_size(png, w, h));
    ASSERT_FALSE(decoded);
    EXPECT_NE(decoded.error().find("too large"), std::string::npos) << decoded.error();
  }
  auto jpeg = encode_jpeg(flat(8, 8, PixelFormat::Grey8, 0));
  for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xff && jpeg[i + 1] == 0xc0) {  // SOF0: height then width
      jpeg[i + 5] = 0xea;
      jpeg[i + 6] = 0x60;
      jpeg[i + 7] = 0xea;
      jpeg[i + 8] = 0x60;
      break;
    }
  }
  const auto decoded_jpeg = decode(jpeg);
  ASSERT_FALSE(decoded_jpeg);
  EXPECT_NE(decoded_jpeg.error().find("too large"), std::string::npos);
  EXPECT_FALSE(decode(text_bytes("P5 60000 60000 255\n")));
}

TEST(DecodeTest, JpegDecodesGreyAndColourAndRejectsTruncation) {
  const auto grey = decode(encode_jpeg(flat(16, 8, PixelFormat::Grey8, 200)));
  ASSERT_TRUE(grey) << grey.error();
  EXPECT_EQ(grey->format(), PixelFormat::Grey8);
  EXPECT_EQ(grey->width(), 16u);
  EXPECT_EQ(grey->pixels()[5], 200);

  const auto jpeg = encode_jpeg(flat(40, 30, PixelFormat::Rgb8, 90));
  const auto colour = decode(jpeg);
  ASSERT_TRUE(colour) << colour.error();
  EXPECT_EQ(colour->format(), PixelFormat::Rgb8);
  EXPECT_NEAR(colour->pixels()[100], 90, 2);

  const std::vector<std::uint8_t> cut(jpeg.begin(), jpeg.begin() + jpeg.size() * 2 / 3);
  EXPECT_FALSE(decode(cut));
}

TEST(DecodeTest, ProgressiveJpegWithTooManyScansIsRefused) {
  // One grey component: DC first and refined, then every AC coefficient first and refined.
  auto script = [](bool refine_ac) {
    std::vector<jpeg_scan_info> scans{{1, {0}, 0, 0, 0, 1}, {1, {0}, 0, 0, 1, 0}};
    for (int k = 1; k < 64; ++k) scans.push_back({1, {0}, k, k, 0, refine_ac ? 1 : 0});
    if (refine_ac) {
      for (int k = 1; k < 64; ++k) scans.push_back({1, {0}, k, k, 1, 0});
    }
    return scans;
  };
  const Image page = flat(64, 48, PixelFormat::Grey8, 120);
  const auto few = decode(encode_jpeg(page, script(false)));  // 65 scans
  ASSERT_TRUE(few) << few.error();
  EXPECT_NEAR(few->pixels()[10], 120, 2);
  const auto many = decode(encode_jpeg(page, script(true)));  // 128 scans
  ASSERT_FALSE(many);
  EXPECT_NE(many.error().find("progressive scans"), std::string::npos) << many.error();
}

TEST(DecodeTest, PnmKinds) {
  // P4: 10 pixels per row, bits padded to whole bytes; 1 is black.
  auto p4 = text_bytes("P4\n# comment\n10 2\n");
  for (std::uint8_t b : {0b10000000, 0b01000000, 0b00000000, 0b11000000}) p4.push_back(b);
  const auto bitmap = decode(p4);
  ASSERT_TRUE(bitmap) << bitmap.error();
  EXPECT_EQ(bitmap->format(), PixelFormat::Grey8);
  EXPECT_EQ(bytes_of(*bitmap),
            (std::vector<std::uint8_t>{0,   255, 255, 255, 255, 255, 255, 255, 255, 0,
                                       255, 255, 255, 255, 255, 255, 255, 255, 0,   0}));

  auto p5 = text_bytes("P5 2 1 15\n");
  p5.push_back(15);
  p5.push_back(5);
  EXPECT_EQ(bytes_of(*decode(p5)), (std::vector<std::uint8_t>{255, 85}));

  auto p6 = text_bytes("P6 1 1 65535\n");
  for (std::uint8_t b : {0xff, 0xff, 0x80, 0x00, 0x00, 0x00}) p6.push_back(b);
  const auto rgb = decode(p6);
  ASSERT_TRUE(rgb);
  EXPECT_EQ(rgb->format(), PixelFormat::Rgb8);
  EXPECT_EQ(bytes_of(*rgb), (std::vector<std::uint8_t>{255, 128, 0}));

  EXPECT_FALSE(decode(text_bytes("P5 2 2 255\n\x01\x02\x03")));  // one sample short
  EXPECT_FALSE(decode(text_bytes("P5 2 2 0\n\x01\x02\x03\x04")));
  EXPECT_FALSE(decode(text_bytes("P6 1 99999999999 255\n")));
}

TEST(DecodeTest, TiffDecodesToRgba) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("vesk-image-test-" + std::to_string(::getpid()) + ".tif");
  {
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 3);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 2);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 2);
    std::uint8_t rows[2][3] = {{0, 100, 200}, {10, 20, 30}};
    TIFFWriteScanline(tiff, rows[0], 0, 0);
    TIFFWriteScanline(tiff, rows[1], 1, 0);
    TIFFClose(tiff);
  }
  std::ifstream file(path, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
  std::filesystem::remove(path);

  EXPECT_EQ(detect_format(bytes), ImageFormat::Tiff);
  const auto image = decode(bytes);
  ASSERT_TRUE(image) << image.error();
  EXPECT_EQ(image->format(), PixelFormat::Rgba8);
  EXPECT_EQ(bytes_of(*image),
            (std::vector<std::uint8_t>{0,  0,  0,  255, 100, 100, 100, 255, 200, 200, 200, 255,
                                       10, 10, 10, 255, 20,  20,  20,  255, 30,  30,  30,  255}));
  const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + 12);
  EXPECT_FALSE(decode(cut));
}

TEST(DecodeTest, UnknownBytesAreAnError) {
  EXPECT_FALSE(decode(text_bytes("")));
  EXPECT_FALSE(decode(text_bytes("%PDF-1.7")));
  EXPECT_FALSE(detect_format(text_bytes("P7 1 1")));
}

}  // namespace
}  // namespace vesk_image
