#include <gtest/gtest.h>

#include <png.h>

#include <cstring>

#include "child_process.hpp"
#include "sane_client.hpp"
#include "sane_options.hpp"
#include "scan_frames.hpp"

namespace os_actions::printing::detail {
namespace {

using namespace std::chrono_literals;

ScanFrame frame(FrameKind kind, int depth, int width, int bytes_per_line, int lines,
                std::vector<std::uint8_t> data) {
  return ScanFrame{kind, depth, width, bytes_per_line, lines, std::move(data)};
}

TEST(Frames, GreyLinesDropTheirPaddingAndAnIncompleteLastLine) {
  // Two pixels per line padded to four bytes; height unknown; half a third line.
  auto image =
      assemble_frames({frame(FrameKind::Gray, 8, 2, 4, -1, {10, 20, 0, 0, 30, 40, 0, 0, 50, 60})});
  ASSERT_TRUE(image) << image.error();
  EXPECT_EQ(image->width, 2u);
  EXPECT_EQ(image->height, 2u);
  EXPECT_EQ(image->channels, 1);
  EXPECT_EQ(image->pixels, (std::vector<std::uint8_t>{10, 20, 30, 40}));
}

TEST(Frames, OneBitGreyIsBlackForSetBitsAndSixteenBitKeepsTheHighByte) {
  auto lineart = assemble_frames({frame(FrameKind::Gray, 1, 10, 2, 1, {0b10100000, 0b01000000})});
  ASSERT_TRUE(lineart);
  EXPECT_EQ(lineart->pixels,
            (std::vector<std::uint8_t>{0, 255, 0, 255, 255, 255, 255, 255, 255, 0}));

  std::vector<std::uint8_t> deep(4);
  const std::uint16_t samples[2] = {0xABCD, 0x0102};
  std::memcpy(deep.data(), samples, 4);
  auto image = assemble_frames({frame(FrameKind::Gray, 16, 2, 4, 1, deep)});
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels, (std::vector<std::uint8_t>{0xAB, 0x01}));
}

TEST(Frames, ThreePassColourIsInterleavedWhateverTheFrameOrder) {
  auto image = assemble_frames({frame(FrameKind::Blue, 8, 2, 2, 1, {5, 6}),
                                frame(FrameKind::Red, 8, 2, 2, 1, {1, 2}),
                                frame(FrameKind::Green, 8, 2, 2, 2, {3, 4, 9, 9})});
  ASSERT_TRUE(image) << image.error();
  EXPECT_EQ(image->channels, 3);
  EXPECT_EQ(image->height, 1u);  // the shortest frame decides
  EXPECT_EQ(image->pixels, (std::vector<std::uint8_t>{1, 3, 5, 2, 4, 6}));
  auto rgb = assemble_frames({frame(FrameKind::Rgb, 8, 1, 3, 1, {7, 8, 9})});
  ASSERT_TRUE(rgb);
  EXPECT_EQ(rgb->pixels, (std::vector<std::uint8_t>{7, 8, 9}));
}

TEST(Frames, MalformedScansAreErrorsNotCrashes) {
  EXPECT_FALSE(assemble_frames({}));
  EXPECT_FALSE(assemble_frames({frame(FrameKind::Gray, 8, 4, 2, 1, {1, 2})}));  // line too short
  EXPECT_FALSE(assemble_frames({frame(FrameKind::Gray, 12, 2, 4, 1, {1, 2, 3, 4})}));  // depth
  EXPECT_FALSE(assemble_frames({frame(FrameKind::Gray, 8, 2, 2, 5, {})}));  // no data at all
  EXPECT_FALSE(assemble_frames({frame(FrameKind::Red, 8, 1, 1, 1, {1}),
                                frame(FrameKind::Red, 8, 1, 1, 1, {1}),
                                frame(FrameKind::Blue, 8, 1, 1, 1, {1})}));
  EXPECT_FALSE(assemble_frames({frame(FrameKind::Red, 8, 1, 1, 1, {1})}));
  EXPECT_FALSE(assemble_frames({frame(FrameKind::Gray, 8, 0, 1, 1, {1})}));
}

TEST(Frames, PngRoundTripsThePixels) {
  ScanImage image{3, 2, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}};
  auto png = encode_png(image);
  ASSERT_TRUE(png) << png.error();
  png_image decoded{};
  decoded.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&decoded, png->data(), png->size()));
  decoded.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(decoded));
  ASSERT_TRUE(png_image_finish_read(&decoded, nullptr, pixels.data(), 0, nullptr));
  EXPECT_EQ(decoded.width, 3u);
  EXPECT_EQ(decoded.height, 2u);
  EXPECT_EQ(pixels, image.pixels);
}

TEST(ScanOptions, ModesAndSourcesAreMatchedByWords) {
  const std::vector<std::string> modes = {"Lineart", "Gray", "Color"};
  EXPECT_EQ(pick_mode(modes, 0), "Color");
  EXPECT_EQ(pick_mode(modes, 1), "Gray");
  EXPECT_EQ(pick_mode(modes, 2), "Lineart");
  EXPECT_EQ(pick_mode({"Gray", "Color"}, 2), "");  // caller falls back to 1-bit grey
  EXPECT_EQ(pick_mode({"Black & White", "Grayscale", "24bit Color"}, 2), "Black & White");

  const std::vector<std::string> sources = {"Flatbed", "ADF Front", "ADF Duplex"};
  EXPECT_EQ(pick_source(sources, 0), "Flatbed");
  EXPECT_EQ(pick_source(sources, 1), "ADF Front");
  EXPECT_EQ(pick_source(sources, 2), "ADF Duplex");
  EXPECT_EQ(pick_source({"Flatbed", "Automatic Document Feeder"}, 1), "Automatic Document Feeder");
  EXPECT_EQ(pick_source({"Flatbed", "Automatic Document Feeder"}, 2), "");
}

TEST(StackRecords, SheetsAndPagesAreReportedAsTheirBytesArrive) {
  std::vector<std::uint8_t> stream = {kSheetStartedRecord};
  const std::vector<std::uint8_t> first = {1, 2, 3};
  auto head = page_record_head(first.size());
  stream.insert(stream.end(), head.begin(), head.end());
  stream.insert(stream.end(), first.begin(), first.end());
  stream.push_back(kSheetStartedRecord);
  head = page_record_head(0);
  stream.insert(stream.end(), head.begin(), head.end());
  std::vector<std::string> events;
  SheetListener listener{[&] { events.push_back("sheet"); },
                         [&](std::vector<std::uint8_t> page) {
                           events.push_back("page of " + std::to_string(page.size()));
                         }};
  // Fed byte by byte, every record is reported once it is complete, and not before.
  std::vector<std::uint8_t> pending;
  for (std::uint8_t byte : stream) {
    pending.push_back(byte);
    auto taken = take_stack_records(pending, listener);
    ASSERT_TRUE(taken);
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(*taken));
  }
  EXPECT_TRUE(pending.empty());
  EXPECT_EQ(events, (std::vector<std::string>{"sheet", "page of 3", "sheet", "page of 0"}));
  const std::vector<std::uint8_t> junk = {'X'};
  EXPECT_FALSE(take_stack_records(junk, listener));
}

TEST(ScannerList, HelperLinesBecomeScanners) {
  auto scanners = parse_scanner_list("test:0\tNoname frontend-tester\nbroken line\nnet:1\t \n");
  ASSERT_EQ(scanners.size(), 2u);
  EXPECT_EQ(scanners[0], (Scanner{"test:0", "Noname frontend-tester"}));
  EXPECT_EQ(scanners[1], (Scanner{"net:1", "net:1"}));  // a blank name shows the id
}

ChildOutput answered(std::string out, int exit_code, std::string err = {}, int signal = 0) {
  return ChildOutput{exit_code, signal, std::vector<std::uint8_t>(out.begin(), out.end()),
                     std::move(err)};
}

TEST(HelperAnswer, ACompleteListCountsWhateverStatusTheHelperEndedWith) {
  const std::string list = "test:0\tNoname frontend-tester\nend\n";
  // A leak verdict on SANE's backends at exit, a backend crashing while closing.
  for (const auto& output :
       {answered(list, 0), answered(list, 23, "LeakSanitizer: ..."), answered(list, 0, "", 11)}) {
    auto scanners = judge_list_answer(output);
    ASSERT_TRUE(scanners) << scanners.error();
    EXPECT_EQ(*scanners, (std::vector<Scanner>{{"test:0", "Noname frontend-tester"}}));
  }
  auto none = judge_list_answer(answered("end\n", 23));
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());
}

TEST(HelperAnswer, AListCutShortIsAFailureWithTheHelpersOwnWords) {
  EXPECT_EQ(judge_list_answer(answered("test:0\tScanner\n", 0)).error(), "could not list scanners");
  EXPECT_EQ(judge_list_answer(answered("", 0)).error(), "could not list scanners");
  // A device whose name ends in "end" is not the end line.
  EXPECT_FALSE(judge_list_answer(answered("test:0\tbackend\n", 0)));
  EXPECT_EQ(judge_list_answer(answered("", 1,
                                       "[u12] probing\nscan-helper: listing scanners failed: "
                                       "Out of memory\n"))
                .error(),
            "listing scanners failed: Out of memory");
  EXPECT_EQ(judge_list_answer(answered("test:0\tScanner\n", 0, "", 11)).error(),
            "could not list scanners: scan helper ended by signal 11");
}

TEST(HelperAnswer, APageCountsOnceThePngIsCompleteAndOnlyThen) {
  std::string png = "\x89PNG\r\n\x1a\n";
  png += "....image chunks....";
  const std::string end("\0\0\0\0IEND\xae\x42\x60\x82", 12);
  auto page = judge_scan_answer(answered(png + end, 23, "LeakSanitizer: ..."));
  ASSERT_TRUE(page) << page.error();
  EXPECT_EQ(page->size(), png.size() + end.size());

  EXPECT_EQ(judge_scan_answer(answered(png, 0)).error(), "scan failed");
  EXPECT_EQ(judge_scan_answer(answered("", 1, "scan-helper: scan failed: Document feeder jammed\n"))
                .error(),
            "scan failed: Document feeder jammed");
  EXPECT_EQ(judge_scan_answer(answered(png.substr(0, 4) + end, 0)).error(), "scan failed");
}

TEST(ChildProcess, CollectsOutputAndExitStatus) {
  auto result = run_child({"/bin/sh", "-c", "printf out; printf err >&2; exit 3"}, {});
  ASSERT_TRUE(result) << result.error();
  EXPECT_EQ(std::string(result->out.begin(), result->out.end()), "out");
  EXPECT_EQ(result->err, "err");
  EXPECT_EQ(result->exit_code, 3);
  EXPECT_EQ(result->signal, 0);
}

TEST(ChildProcess, LimitsEndTheWholeProcessGroup) {
  const auto start = std::chrono::steady_clock::now();
  // The grandchild holds the pipe open; the limit must not wait for it.
  auto slow = run_child({"/bin/sh", "-c", "sleep 30 & sleep 30"}, {300ms, 1024, 1024});
  ASSERT_FALSE(slow);
  EXPECT_NE(slow.error().find("ran out of time"), std::string::npos);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);

  auto chatty = run_child({"/usr/bin/yes"}, {5000ms, 100000, 1024});
  ASSERT_FALSE(chatty);
  EXPECT_NE(chatty.error().find("wrote more than"), std::string::npos);

  auto killed = run_child({"/bin/sh", "-c", "kill -9 $$"}, {});
  ASSERT_TRUE(killed);
  EXPECT_EQ(killed->signal, 9);

  EXPECT_FALSE(run_child({"/nonexistent/program"}, {}));
}

}  // namespace
}  // namespace os_actions::printing::detail
