#include "vesk_os/durable_file.hpp"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

namespace vesk_os {
namespace {

constexpr int kCreateAttempts = 100;
constexpr std::string_view kNameAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string os_error(std::string_view what, int error) {
  return std::string(what) + ": " + std::strerror(error);
}

std::string random_part() {
  unsigned char bytes[8] = {};
  std::size_t filled = 0;
  while (filled < sizeof(bytes)) {
    const ssize_t n = getrandom(bytes + filled, sizeof(bytes) - filled, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // a predictable name is still unique: the file is created exclusively
    filled += static_cast<std::size_t>(n);
  }
  std::string part;
  for (unsigned char b : bytes) part.push_back(kNameAlphabet[b % kNameAlphabet.size()]);
  return part;
}

// The file that will take the destination's place; removed unless it was renamed.
class PendingFile {
 public:
  static std::expected<PendingFile, std::string> create_beside(
      const std::filesystem::path& destination) {
    const std::filesystem::path folder =
        destination.has_parent_path() ? destination.parent_path() : std::filesystem::path(".");
    std::string stem(1, '.');
    stem += destination.filename().string();
    stem += '.';
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
      std::string name = stem;
      name += random_part();
      name += ".part";
      std::filesystem::path path = folder / name;
      const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      if (fd >= 0) return PendingFile(std::move(path), fd);
      if (errno != EEXIST) return std::unexpected(os_error("could not create the file", errno));
    }
    return std::unexpected(std::string("could not create a unique file name"));
  }

  PendingFile(PendingFile&& other) noexcept
      : path_(std::move(other.path_)), fd_(std::exchange(other.fd_, -1)) {
    other.path_.clear();
  }
  PendingFile& operator=(PendingFile&&) = delete;
  ~PendingFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }

  std::expected<void, std::string> write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        return std::unexpected(os_error("could not write", errno));
      }
      bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return {};
  }

  // Gives the file the permission bits of the file it replaces.
  std::expected<void, std::string> take_mode(mode_t mode) {
    if (::fchmod(fd_, mode & 07777) != 0) {
      return std::unexpected(os_error("could not set the permissions", errno));
    }
    return {};
  }

  // Flushes data and metadata, closes the file and renames it to `destination`.
  std::expected<void, std::string> finish_as(const std::filesystem::path& destination) {
    if (::fsync(fd_) != 0) return std::unexpected(os_error("could not flush", errno));
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) return std::unexpected(os_error("could not close", errno));
    if (::rename(path_.c_str(), destination.c_str()) != 0) {
      return std::unexpected(os_error("could not replace the file", errno));
    }
    path_.clear();
    return {};
  }

 private:
  PendingFile(std::filesystem::path path, int fd) : path_(std::move(path)), fd_(fd) {}

  std::filesystem::path path_;
  int fd_ = -1;
};

// The file a write to `path` would change: symbolic links followed as far as they lead.
std::filesystem::path write_target(const std::filesystem::path& path) {
  std::filesystem::path target = path;
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code error;
    if (!std::filesystem::is_symlink(target, error)) return target;
    std::filesystem::path next = std::filesystem::read_symlink(target, error);
    if (error) return target;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return target;
}

// Makes the rename itself durable. Filesystems that cannot flush a folder say so with EINVAL;
// nothing more can be done there.
std::expected<void, std::string> flush_folder(const std::filesystem::path& file) {
  const std::filesystem::path folder =
      file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return std::unexpected(os_error("could not open the folder", errno));
  const bool flushed = ::fsync(fd) == 0 || errno == EINVAL;
  const int error = errno;
  ::close(fd);
  if (!flushed) return std::unexpected(os_error("could not flush the folder", error));
  return {};
}

}  // namespace

std::expected<void, std::string> save_durably(
    const std::filesystem::path& destination,
    const std::function<std::expected<void, std::string>(const FileWriter& write)>& produce) {
  const std::filesystem::path target = write_target(destination);
  std::optional<mode_t> existing_mode;
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) {
    if (!S_ISREG(existing.st_mode)) {
      return std::unexpected(std::string("the destination is not a regular file"));
    }
    existing_mode = existing.st_mode;
  }

  auto file = PendingFile::create_beside(target);
  if (!file) return std::unexpected(std::move(file.error()));
  if (auto written =
          produce([&file](std::span<const std::uint8_t> bytes) { return file->write(bytes); });
      !written) {
    return written;
  }
  if (existing_mode) {
    if (auto moded = file->take_mode(*existing_mode); !moded) return moded;
  }
  if (auto finished = file->finish_as(target); !finished) return finished;
  return flush_folder(target);
}

std::expected<void, std::string> save_durably(const std::filesystem::path& destination,
                                              std::span<const std::uint8_t> content) {
  return save_durably(destination, [content](const FileWriter& write) { return write(content); });
}

}  // namespace vesk_os
