#include "vesk_os/durable_file.hpp"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace vesk_os {
namespace {

namespace fs = std::filesystem;

std::span<const std::uint8_t> bytes_of(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void write(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

unsigned mode_of(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

// Names in the folder, so that a left-behind temporary file shows.
std::vector<std::string> listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class DurableFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("vesk-durable-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

TEST_F(DurableFile, ANewFileIsOwnerOnlyAndAReplacedOneKeepsItsMode) {
  const mode_t old_umask = ::umask(0);
  auto created = save_durably(folder_ / "new.pdf", bytes_of("fresh"));
  ::umask(old_umask);
  ASSERT_TRUE(created) << created.error();
  EXPECT_EQ(read(folder_ / "new.pdf"), "fresh");
  EXPECT_EQ(mode_of(folder_ / "new.pdf"), 0600u);

  write(folder_ / "shared.pdf", "old content that is longer");
  ::chmod((folder_ / "shared.pdf").c_str(), 0644);
  ASSERT_TRUE(save_durably(folder_ / "shared.pdf", bytes_of("new")));
  EXPECT_EQ(read(folder_ / "shared.pdf"), "new");
  EXPECT_EQ(mode_of(folder_ / "shared.pdf"), 0644u);
  EXPECT_EQ(listing(folder_), (std::vector<std::string>{"new.pdf", "shared.pdf"}));
}

TEST_F(DurableFile, AFailureHalfWayLeavesTheDestinationAndNoTemporaryFile) {
  write(folder_ / "keep.png", "precious");
  auto failed = save_durably(folder_ / "keep.png", [](const FileWriter& write) {
    if (auto first = write(bytes_of("part of it")); !first) return first;
    return std::expected<void, std::string>(std::unexpected(std::string("encoder gave up")));
  });
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.error(), "encoder gave up");
  EXPECT_EQ(read(folder_ / "keep.png"), "precious");
  EXPECT_EQ(listing(folder_), std::vector<std::string>{"keep.png"});
}

TEST_F(DurableFile, LinksAreFollowedAndOtherDestinationsRefused) {
  fs::create_directories(folder_ / "real");
  write(folder_ / "real" / "target.pdf", "old");
  fs::create_symlink("real/target.pdf", folder_ / "link.pdf");
  ASSERT_TRUE(save_durably(folder_ / "link.pdf", bytes_of("new")));
  EXPECT_TRUE(fs::is_symlink(folder_ / "link.pdf"));
  EXPECT_EQ(read(folder_ / "real" / "target.pdf"), "new");

  EXPECT_FALSE(save_durably(folder_ / "real", bytes_of("x"))) << "a folder is not replaced";
  EXPECT_TRUE(fs::is_directory(folder_ / "real"));
  EXPECT_FALSE(save_durably(folder_ / "missing" / "file.pdf", bytes_of("x")));
}

// Runs `body` in a child process with mount points of its own; its exit status, or -1 when
// this process may not make them (not root).
int with_private_mounts(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::unshare(CLONE_NEWNS) != 0) ::_exit(255);
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) ::_exit(255);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status)) return 254;
  return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

TEST_F(DurableFile, AReadOnlyFolderIsAnError) {
  const fs::path folder = folder_;
  write(folder / "page.png", "old");
  const int status = with_private_mounts([&] {
    if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) return 255;
    if (::mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
      return 255;
    auto saved = save_durably(folder / "page.png", bytes_of("new"));
    auto created = save_durably(folder / "other.png", bytes_of("new"));
    if (saved || created) return 1;
    if (read(folder / "page.png") != "old") return 2;
    return listing(folder).size() == 1 ? 0 : 3;
  });
  if (status < 0) GTEST_SKIP() << "needs to make mount points (root)";
  EXPECT_EQ(status, 0);
}

TEST_F(DurableFile, AFullFilesystemLeavesTheFileItWouldHaveReplaced) {
  const fs::path folder = folder_;
  const int status = with_private_mounts([&] {
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0) return 255;
    const std::string old_content(20000, 'o');
    write(folder / "scan.pdf", old_content);
    const std::string big(200000, 'n');
    auto saved = save_durably(folder / "scan.pdf", bytes_of(big));
    if (saved) return 1;
    if (saved.error().find("No space left") == std::string::npos) return 2;
    if (read(folder / "scan.pdf") != old_content) return 3;
    if (listing(folder).size() != 1) return 4;
    // Room enough: it works there too.
    return save_durably(folder / "scan.pdf", bytes_of("small")) &&
                   read(folder / "scan.pdf") == "small"
               ? 0
               : 5;
  });
  if (status < 0) GTEST_SKIP() << "needs to make mount points (root)";
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace vesk_os
