#include "thumbnail/category.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "test_files.hpp"

namespace thumbnail::category {
namespace {

using testing::bytes_of;
using testing::TempDir;

Category of(const std::string& content, std::string_view extension = "", bool cut = false) {
  return category_for_content(bytes_of(content), extension, cut);
}

TEST(Category, SignaturesDecideWhateverTheName) {
  TempDir dir;
  EXPECT_EQ(category_for_path(dir.write("a.txt", testing::text_pdf())), Category::Pdf);
  EXPECT_EQ(category_for_path(dir.write("photo.pdf", testing::png_image(4, 4, true))),
            Category::Png);
  EXPECT_EQ(category_for_path(dir.write("x", testing::jpeg_image(8, 8))), Category::Jpeg);
  EXPECT_EQ(of(std::string("II*\0", 4) + "rest"), Category::Tiff);
  EXPECT_EQ(of(std::string("MM\0*", 4) + "rest"), Category::Tiff);
  EXPECT_EQ(of("P6\n2 2\n255\n\xff\0\xff\0"), Category::Pnm);
  EXPECT_EQ(category_for_path(dir.write("notes.pdf", bytes_of("Dear Sam,\nsee you.\n"))),
            Category::PlainText);
}

TEST(Category, TheExtensionOnlySettlesWhatTheContentLeavesOpen) {
  const std::string late_header = "garbage before the header\n%PDF-1.4\n";
  EXPECT_EQ(of(late_header, ".PDF"), Category::Pdf);
  EXPECT_EQ(of(late_header, ".txt"), Category::PlainText);
  // A text line that starts like a grey netpbm header.
  EXPECT_EQ(of("P5 tasks for Monday\n", ".txt"), Category::PlainText);
  EXPECT_EQ(of("P5 2 1 255\nAB", ".pgm"), Category::Pnm);
  EXPECT_EQ(of("P3\n1 1\n255\n0 0 0\n"), Category::PlainText) << "ASCII netpbm is not decoded";
}

TEST(Category, PlainTextIsValidUtf8WithoutNulInTheWindow) {
  EXPECT_EQ(of("Grüße, €5\n"), Category::PlainText);
  EXPECT_EQ(of("\xef\xbb\xbfwith a byte order mark"), Category::PlainText);
  EXPECT_EQ(of(std::string("a\0b", 3)), Category::Other);
  EXPECT_EQ(of("caf\xe9"), Category::Other) << "Latin-1 is not UTF-8";
  EXPECT_EQ(of("over\xc0\xaflong"), Category::Other);
  EXPECT_EQ(of(""), Category::Other);
  // A character cut by the window's end counts only when the file goes on.
  EXPECT_EQ(of("price \xe2\x82", "", true), Category::PlainText);
  EXPECT_EQ(of("price \xe2\x82", "", false), Category::Other);
  EXPECT_EQ(of("price \xff", "", true), Category::Other);
}

TEST(Category, OnlyTheFirstWindowOfAFileIsRead) {
  TempDir dir;
  std::string text(kSniffBytes - 1, 'a');
  text += "\xe2\x82\xac and then binary \0\0\0";
  const auto cut = dir.write("long.txt", bytes_of(text));
  EXPECT_EQ(category_for_path(cut), Category::PlainText);
  EXPECT_EQ(category_for_path(dir.write("b.txt", {0x00, 0x01, 0x02, 0xff})), Category::Other);
}

TEST(Category, WhatCannotBeReadIsOther) {
  TempDir dir;
  EXPECT_EQ(category_for_path(dir.path() / "missing.pdf"), Category::Other);
  EXPECT_EQ(category_for_path(dir.path()), Category::Other);
  const auto fifo = dir.path() / "pipe.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(category_for_path(fifo), Category::Other) << "a pipe would block the reader";
  EXPECT_EQ(category_for_path(dir.write("empty.txt", {})), Category::Other);
}

}  // namespace
}  // namespace thumbnail::category
