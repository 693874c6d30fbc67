#pragma once
// A uniquely named file, created exclusively with permission bits 0600 and removed when the
// handle is dropped.
#include <cstdint>
#include <expected>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace vesk_os {

class TempFile {
 public:
  // Creates `directory`/`prefix` + six random letters or digits + `suffix`. The error text is
  // the operating system's.
  static std::expected<TempFile, std::string> create_in(const std::filesystem::path& directory,
                                                        std::string_view prefix,
                                                        std::string_view suffix);
  // As create_in, in the system temporary directory (TMPDIR, else /tmp).
  static std::expected<TempFile, std::string> create(std::string_view prefix,
                                                     std::string_view suffix);

  TempFile(TempFile&& other) noexcept;
  TempFile& operator=(TempFile&& other) noexcept;
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile();

  const std::filesystem::path& path() const { return path_; }

  // Writes all bytes at the current position. They are not forced to the device: the file
  // only lives as long as this handle, and readers see it through the page cache.
  std::expected<void, std::string> write_all(std::span<const std::uint8_t> bytes);

 private:
  TempFile(std::filesystem::path path, int fd) : path_(std::move(path)), fd_(fd) {}
  void remove();

  std::filesystem::path path_;
  int fd_ = -1;
};

}  // namespace vesk_os
