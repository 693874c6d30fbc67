#pragma once
// Documents made on the spot for the preview tests: real kinds, broken ones and hostile ones.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace thumbnail::testing {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes_of(std::string_view text);
Bytes zlib_compressed(const Bytes& data);

// A complete PDF from its objects (numbered from 1; object 1 is the catalogue).
Bytes pdf_file(const std::vector<std::string>& objects);
// One A4 page whose content stream is `content`, stored with `filters` (already applied).
Bytes one_page_pdf(const Bytes& content, const std::string& filters = "",
                   const std::string& resources = "");

// Fifty lines of Helvetica text on A4.
Bytes text_pdf();
// An A4 page holding one 300 dpi grey scan of a typed letter.
Bytes scanned_pdf();
// Form XObjects that each draw the next one sixteen times, twelve levels deep.
Bytes endless_forms_pdf();
// One fill of a path of a million segments that each cross the whole page.
Bytes huge_path_pdf();
// A content stream that inflates to four gigabytes of spaces.
Bytes deflate_bomb_pdf();

// A grey or RGB picture with some structure.
Bytes png_image(std::uint32_t width, std::uint32_t height, bool colour);
Bytes jpeg_image(std::uint32_t width, std::uint32_t height,
                 const std::vector<jpeg_scan_info>& scans = {});
// The file with the size fields of its header rewritten.
Bytes with_png_size(Bytes png, std::uint32_t width, std::uint32_t height);
Bytes with_jpeg_size(Bytes jpeg, std::uint16_t width, std::uint16_t height);
// A grey progressive scan script of `count` scans (at least 2).
std::vector<jpeg_scan_info> many_scans(int count);

// A directory removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path write(const std::string& name, const Bytes& bytes) const;

 private:
  std::filesystem::path path_;
};

// Peak resident memory of this process so far.
std::size_t peak_resident_bytes();

}  // namespace thumbnail::testing
