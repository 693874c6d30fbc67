#include "vesk_os/temp_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vesk_os {
namespace {

namespace fs = std::filesystem;

class TempFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = fs::temp_directory_path() / ("vesk-temp-file-test-" + std::to_string(::getpid()));
    fs::create_directories(directory_);
  }
  void TearDown() override { fs::remove_all(directory_); }

  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(directory_), {}));
  }

  fs::path directory_;
};

TEST_F(TempFileTest, NameModeContentAndRemovalOnDrop) {
  fs::path path;
  {
    auto file = TempFile::create_in(directory_, ".tmp", ".png");
    ASSERT_TRUE(file) << file.error();
    path = file->path();
    const std::string name = path.filename().string();
    ASSERT_EQ(name.size(), 4u + 6u + 4u);
    EXPECT_EQ(name.substr(0, 4), ".tmp");
    EXPECT_EQ(name.substr(10), ".png");
    for (char c : name.substr(4, 6))
      EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << name;

    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    const std::vector<std::uint8_t> bytes = {1, 2, 3, 250};
    ASSERT_TRUE(file->write_all(bytes));
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}), bytes);

    // Moving hands over the file; only the last owner removes it.
    TempFile moved = std::move(*file);
    EXPECT_EQ(moved.path(), path);
    EXPECT_TRUE(fs::exists(path));
  }
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(entries(), 0u);
}

TEST_F(TempFileTest, NamesAreUniqueAndMissingDirectoryIsAnError) {
  auto a = TempFile::create_in(directory_, ".tmp", ".png");
  auto b = TempFile::create_in(directory_, ".tmp", ".png");
  ASSERT_TRUE(a && b);
  EXPECT_NE(a->path(), b->path());
  EXPECT_EQ(entries(), 2u);

  const auto missing = TempFile::create_in(directory_ / "absent", ".tmp", ".png");
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.error().find("No such file"), std::string::npos) << missing.error();
}

}  // namespace
}  // namespace vesk_os
