#include "vesk_os/temp_file.hpp"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace vesk_os {
namespace {

constexpr std::string_view kNameAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kCreateAttempts = 100;

std::string os_error(std::string_view what, int error) {
  return std::string(what) + ": " + std::strerror(error);
}

std::expected<std::string, std::string> random_part() {
  unsigned char bytes[6];
  std::size_t filled = 0;
  while (filled < sizeof(bytes)) {
    const ssize_t n = getrandom(bytes + filled, sizeof(bytes) - filled, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::unexpected(os_error("could not get random bytes", errno));
    }
    filled += static_cast<std::size_t>(n);
  }
  std::string part;
  for (unsigned char b : bytes) part.push_back(kNameAlphabet[b % kNameAlphabet.size()]);
  return part;
}

std::filesystem::path system_temp_directory() {
  const char* tmpdir = std::getenv("TMPDIR");
  if (tmpdir != nullptr && tmpdir[0] != '\0') return tmpdir;
  return "/tmp";
}

}  // namespace

std::expected<TempFile, std::string> TempFile::create_in(const std::filesystem::path& directory,
                                                         std::string_view prefix,
                                                         std::string_view suffix) {
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    auto middle = random_part();
    if (!middle) return std::unexpected(middle.error());
    std::filesystem::path path = directory / (std::string(prefix) + *middle + std::string(suffix));
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) return TempFile(std::move(path), fd);
    if (errno != EEXIST)
      return std::unexpected(os_error("could not create " + path.string(), errno));
  }
  return std::unexpected("could not create a unique file in " + directory.string());
}

std::expected<TempFile, std::string> TempFile::create(std::string_view prefix,
                                                      std::string_view suffix) {
  return create_in(system_temp_directory(), prefix, suffix);
}

TempFile::TempFile(TempFile&& other) noexcept
    : path_(std::move(other.path_)), fd_(std::exchange(other.fd_, -1)) {
  other.path_.clear();
}

TempFile& TempFile::operator=(TempFile&& other) noexcept {
  if (this != &other) {
    remove();
    path_ = std::move(other.path_);
    other.path_.clear();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

TempFile::~TempFile() {
  remove();
}

void TempFile::remove() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!path_.empty()) ::unlink(path_.c_str());
  path_.clear();
}

std::expected<void, std::string> TempFile::write_all(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0) return std::unexpected(std::string("file is closed"));
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::unexpected(os_error("could not write " + path_.string(), errno));
    }
    written += static_cast<std::size_t>(n);
  }
  return {};
}

}  // namespace vesk_os
