#include "test_files.hpp"

#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "vesk_image/encode.hpp"

namespace thumbnail::testing {

Bytes bytes_of(std::string_view text) {
  return {text.begin(), text.end()};
}

Bytes zlib_compressed(const Bytes& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  Bytes out(size);
  if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 6) != Z_OK) {
    throw std::runtime_error("compress failed");
  }
  out.resize(size);
  return out;
}

Bytes pdf_file(const std::vector<std::string>& objects) {
  std::string out = "%PDF-1.4\n";
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(out.size());
    out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const std::size_t xref = out.size();
  out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (std::size_t offset : offsets) {
    char line[24];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
    out += line;
  }
  out += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
         " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return bytes_of(out);
}

namespace {

std::string stream_object(const std::string& dictionary, const Bytes& data) {
  return "<< " + dictionary + " /Length " + std::to_string(data.size()) + " >>\nstream\n" +
         std::string(data.begin(), data.end()) + "\nendstream";
}

}  // namespace

Bytes one_page_pdf(const Bytes& content, const std::string& filters, const std::string& resources) {
  return pdf_file({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                   "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << " +
                       resources + " >> /Contents 4 0 R >>",
                   stream_object(filters.empty() ? "" : "/Filter " + filters, content)});
}

Bytes text_pdf() {
  std::mt19937 random(7);
  const char* words[] = {"printing", "the",      "document", "preview", "page", "quick",
                         "letter",   "schedule", "of",       "travel",  "and",  "notes"};
  std::string content = "BT /F1 11 Tf 14 TL 56 780 Td\n";
  for (int line = 0; line < 50; ++line) {
    content += "(";
    for (int word = 0; word < 11; ++word) content += std::string(words[random() % 12]) + " ";
    content += ") Tj T*\n";
  }
  content += "ET\n";
  const Bytes stream = bytes_of(content);
  return pdf_file({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                   "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << "
                   "/F1 5 0 R >> >> /Contents 4 0 R >>",
                   stream_object("", stream),
                   "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"});
}

Bytes scanned_pdf() {
  constexpr std::uint32_t kWidth = 2480;
  constexpr std::uint32_t kHeight = 3508;
  Bytes pixels(std::size_t{kWidth} * kHeight, 244);
  std::mt19937 random(11);
  for (std::uint32_t line = 300; line + 30 < kHeight - 300; line += 60) {
    for (std::uint32_t x = 300; x < kWidth - 300;) {
      const std::uint32_t word = 40 + random() % 160;
      for (std::uint32_t y = line; y < line + 26; ++y) {
        for (std::uint32_t i = x; i < std::min(x + word, kWidth - 300); ++i) {
          pixels[std::size_t{y} * kWidth + i] = static_cast<std::uint8_t>(30 + random() % 40);
        }
      }
      x += word + 30;
    }
  }
  const Bytes image = zlib_compressed(pixels);
  const Bytes content = bytes_of("q 595 0 0 842 0 0 cm /Im1 Do Q\n");
  return pdf_file({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                   "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /XObject "
                   "<< /Im1 5 0 R >> >> /Contents 4 0 R >>",
                   stream_object("", content),
                   stream_object("/Type /XObject /Subtype /Image /Width " + std::to_string(kWidth) +
                                     " /Height " + std::to_string(kHeight) +
                                     " /ColorSpace /DeviceGray /BitsPerComponent 8 /Filter "
                                     "/FlateDecode",
                                 image)});
}

Bytes endless_forms_pdf() {
  constexpr int kLevels = 12;
  std::vector<std::string> objects = {
      "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /XObject << /F 5 0 "
      "R >> >> /Contents 4 0 R >>",
      stream_object("", bytes_of("/F Do\n"))};
  for (int level = 0; level < kLevels; ++level) {
    const int self = 5 + level;
    std::string body;
    std::string resources;
    if (level + 1 < kLevels) {
      for (int i = 0; i < 16; ++i) body += "q 0.99 0 0 0.99 1 1 cm /F Do Q\n";
      resources = "/Resources << /XObject << /F " + std::to_string(self + 1) + " 0 R >> >>";
    } else {
      body = "0 0 10 10 re f\n";
    }
    (void)self;
    objects.push_back(stream_object(
        "/Type /XObject /Subtype /Form /BBox [0 0 595 842] " + resources, bytes_of(body)));
  }
  return pdf_file(objects);
}

Bytes huge_path_pdf() {
  std::string path = "0 0 m\n";
  path.reserve(20'000'000);
  for (int i = 0; i < 500'000; ++i) path += "595 842 l 0 0 l\n";
  path += "f\n";
  return one_page_pdf(zlib_compressed(bytes_of(path)), "/FlateDecode");
}

Bytes deflate_bomb_pdf() {
  // Blocks made with a full flush stand alone, so one block of a megabyte of spaces can be
  // repeated to make a stream of any length without compressing all of it.
  const Bytes spaces(1 << 20, ' ');
  z_stream stream{};
  deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
  Bytes block(64 * 1024);
  stream.next_in = const_cast<Bytef*>(spaces.data());
  stream.avail_in = static_cast<uInt>(spaces.size());
  stream.next_out = block.data();
  stream.avail_out = static_cast<uInt>(block.size());
  deflate(&stream, Z_FULL_FLUSH);
  block.resize(block.size() - stream.avail_out);
  deflateEnd(&stream);

  constexpr int kRepeats = 4096;
  Bytes inner = {0x78, 0xda};
  uLong adler = adler32(1, spaces.data(), static_cast<uInt>(spaces.size()));
  const uLong block_adler = adler;
  for (int i = 0; i < kRepeats; ++i) {
    inner.insert(inner.end(), block.begin(), block.end());
    if (i > 0) adler = adler32_combine(adler, block_adler, static_cast<z_off_t>(spaces.size()));
  }
  inner.insert(inner.end(), {0x03, 0x00});  // an empty final block
  for (int shift = 24; shift >= 0; shift -= 8)
    inner.push_back(static_cast<std::uint8_t>(adler >> shift));
  return one_page_pdf(zlib_compressed(inner), "[/FlateDecode /FlateDecode]");
}

Bytes png_image(std::uint32_t width, std::uint32_t height, bool colour) {
  const std::size_t channels = colour ? 3 : 1;
  Bytes pixels(std::size_t{width} * height * channels);
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      for (std::size_t c = 0; c < channels; ++c) {
        pixels[(std::size_t{y} * width + x) * channels + c] =
            static_cast<std::uint8_t>((x * 3 + y * (c + 1)) % 256);
      }
    }
  }
  auto image = vesk_image::Image::from_pixels(
      width, height, colour ? vesk_image::PixelFormat::Rgb8 : vesk_image::PixelFormat::Grey8,
      std::move(pixels));
  return *vesk_image::encode_png(*image);
}

Bytes jpeg_image(std::uint32_t width, std::uint32_t height,
                 const std::vector<jpeg_scan_info>& scans) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = width;
  info.image_height = height;
  info.input_components = 1;
  info.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  if (!scans.empty()) {
    info.scan_info = scans.data();
    info.num_scans = static_cast<int>(scans.size());
  }
  jpeg_start_compress(&info, TRUE);
  Bytes row(width);
  while (info.next_scanline < info.image_height) {
    for (std::uint32_t x = 0; x < width; ++x) {
      row[x] = static_cast<std::uint8_t>((x + info.next_scanline) % 256);
    }
    JSAMPROW pointer = row.data();
    jpeg_write_scanlines(&info, &pointer, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

Bytes with_png_size(Bytes png, std::uint32_t width, std::uint32_t height) {
  for (int i = 0; i < 4; ++i) {
    png[16 + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
    png[20 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
  }
  const uLong crc = crc32(0, png.data() + 12, 17);
  for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
  return png;
}

Bytes with_jpeg_size(Bytes jpeg, std::uint16_t width, std::uint16_t height) {
  for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xff && (jpeg[i + 1] == 0xc0 || jpeg[i + 1] == 0xc2)) {
      jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
      jpeg[i + 6] = static_cast<std::uint8_t>(height);
      jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
      jpeg[i + 8] = static_cast<std::uint8_t>(width);
      break;
    }
  }
  return jpeg;
}

std::vector<jpeg_scan_info> many_scans(int count) {
  // DC first, then single AC coefficients, first at Al = 1 and then refined: all valid.
  std::vector<jpeg_scan_info> scans{{1, {0}, 0, 0, 0, 0}};
  for (int k = 1; k < 64 && static_cast<int>(scans.size()) < count; ++k) {
    scans.push_back({1, {0}, k, k, 0, 1});
  }
  for (int k = 1; k < 64 && static_cast<int>(scans.size()) < count; ++k) {
    scans.push_back({1, {0}, k, k, 1, 0});
  }
  return scans;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "thumbnail-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::write(const std::string& name, const Bytes& bytes) const {
  const auto file = path_ / name;
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return file;
}

std::size_t peak_resident_bytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoull(line.substr(6)) * 1024;
  }
  return 0;
}

}  // namespace thumbnail::testing
