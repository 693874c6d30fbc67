// The writer's files as other PDF software reads them: qpdf checks the structure and decodes
// every stream, poppler counts the pages and extracts each page's invisible text.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pdf/write_searchable_pdf.hpp"
#include "test_pages.hpp"

namespace wendlow::pdf {
namespace {

using testing::patterned_page;

struct ToolResult {
  int exit_code = -1;
  std::string output;
};

// Runs a shell command line and collects its standard output and error.
ToolResult run_tool(const std::string& command) {
  ToolResult result;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  std::array<char, 4096> buffer{};
  while (std::size_t read = fread(buffer.data(), 1, buffer.size(), pipe)) {
    result.output.append(buffer.data(), read);
  }
  int status = pclose(pipe);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

class ExternalTools : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "wendlow-pdf-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  std::string write_file(const std::string& name, const std::vector<PdfPage>& pages) {
    std::vector<std::uint8_t> bytes = write_searchable_pdf(pages);
    std::string path = (directory_ / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  static void expect_qpdf_accepts(const std::string& path) {
    ToolResult check = run_tool("qpdf --check '" + path + "'");
    EXPECT_EQ(check.exit_code, 0) << check.output;
    // --check alone does not notice a truncated Flate stream; decoding every stream does.
    ToolResult decode =
        run_tool("qpdf --decode-level=all --stream-data=uncompress '" + path + "' /dev/null");
    EXPECT_EQ(decode.exit_code, 0) << decode.output;
    EXPECT_EQ(decode.output, "");
  }

  static std::string page_count(const std::string& path) {
    ToolResult info = run_tool("pdfinfo '" + path + "'");
    EXPECT_EQ(info.exit_code, 0) << info.output;
    std::size_t line = info.output.find("Pages:");
    if (line == std::string::npos) return "";
    std::size_t start = info.output.find_first_not_of(' ', line + 6);
    return info.output.substr(start, info.output.find('\n', start) - start);
  }

  static std::string page_text(const std::string& path, int page) {
    std::string number = std::to_string(page);
    ToolResult text =
        run_tool("pdftotext -enc UTF-8 -f " + number + " -l " + number + " '" + path + "' -");
    EXPECT_EQ(text.exit_code, 0) << text.output;
    // pdftotext ends each page with a form feed; trim it and trailing line feeds.
    std::string& out = text.output;
    while (!out.empty() && (out.back() == '\f' || out.back() == '\n')) out.pop_back();
    return out;
  }

  std::filesystem::path directory_;
};

TEST_F(ExternalTools, EmptyDocumentIsValidWithZeroPages) {
  std::string path = write_file("empty.pdf", {});
  expect_qpdf_accepts(path);
  // poppler refuses documents without pages, so qpdf counts them here.
  ToolResult pages = run_tool("qpdf --show-npages '" + path + "'");
  EXPECT_EQ(pages.exit_code, 0) << pages.output;
  EXPECT_EQ(pages.output, "0\n");
}

TEST_F(ExternalTools, PagesAreCountedAndEachCarriesItsOwnText) {
  PdfPage skipped = patterned_page(50, 50, "never shown");
  skipped.rgb.resize(10);
  std::vector<PdfPage> pages = {
      patterned_page(200, 283, "Invoice 42\nTotal (net): 5 EUR"),
      skipped,
      patterned_page(283, 200, "Café – 5 € “quoted” back\\slash"),
      patterned_page(64, 64, " \n\t "),
      patterned_page(1, 1, "tiny"),
  };
  std::string path = write_file("pages.pdf", pages);
  expect_qpdf_accepts(path);
  EXPECT_EQ(page_count(path), "4");
  EXPECT_EQ(page_text(path, 1), "Invoice 42?Total (net): 5 EUR");
  EXPECT_EQ(page_text(path, 2), "Café – 5 ? “quoted” back\\slash");
  EXPECT_EQ(page_text(path, 3), "");
  EXPECT_EQ(page_text(path, 4), "tiny");
}

TEST_F(ExternalTools, ScanSizedPageWithLongTextIsReadable) {
  std::string text;
  for (int line = 0; line < 40; ++line) text += "line " + std::to_string(line) + "\n";
  std::vector<PdfPage> pages = {patterned_page(1240, 1754, text), patterned_page(1754, 1240)};
  std::string path = write_file("scan.pdf", pages);
  expect_qpdf_accepts(path);
  EXPECT_EQ(page_count(path), "2");
  EXPECT_TRUE(page_text(path, 1).starts_with("line 0?line 1?line 2?"));
}

}  // namespace
}  // namespace wendlow::pdf
