// The scan flow on the state: starting, the page list as the user moves through it,
// recognition results and copying text.
#include "flows/scanning.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "samples.hpp"
#include "scanning/scan_support.hpp"
#include "scanning/settings.hpp"
#include "screen_support.hpp"
#include "surface.hpp"
#include "test_support.hpp"
#include "vesk_image/decode.hpp"
#include "vesk_os/thread.hpp"

namespace wendlow::flows {
namespace {

using surface::apply_operation;
using testing::shown_title;

using testing::idle_state;

ScannedPage page_named(std::string status) {
  ScannedPage page = samples::scanned_page();
  page.status = std::move(status);
  page.id = PageId::fresh();
  return page;
}

class PageList : public ::testing::Test {
 protected:
  void SetUp() override {
    state.snapshot = samples::snapshot();
    for (const char* name : {"a", "b", "c"}) state.pages.push_back(page_named(name));
  }
  std::vector<std::string> order() const {
    std::vector<std::string> names;
    for (const auto& page : state.pages) names.push_back(page.status);
    return names;
  }
  Wendlow state = idle_state();
};

TEST_F(PageList, PagingStopsAtTheEndsButStillShowsThePage) {
  state.crop.set({0.1, 0.1, 0.9, 0.9});
  apply_operation(state, op::PreviousPage{});
  EXPECT_EQ(state.page_index, 0u);
  EXPECT_EQ(state.current_page->status, "a");
  EXPECT_TRUE(state.crop.get().is_whole_page());
  state.page_index = 2;
  state.crop.set({0.1, 0.1, 0.9, 0.9});
  apply_operation(state, op::NextPage{});
  EXPECT_EQ(state.page_index, 2u);
  EXPECT_EQ(state.current_page->status, "c");
  EXPECT_TRUE(state.crop.get().is_whole_page());
}

TEST_F(PageList, MovingKeepsTheMovedPageOnDisplay) {
  state.page_index = 1;
  apply_operation(state, op::MovePageEarlier{});
  EXPECT_EQ(order(), (std::vector<std::string>{"b", "a", "c"}));
  EXPECT_EQ(state.page_index, 0u);
  apply_operation(state, op::MovePageEarlier{});
  EXPECT_EQ(order(), (std::vector<std::string>{"b", "a", "c"}));
  apply_operation(state, op::MovePageLater{});
  apply_operation(state, op::MovePageLater{});
  apply_operation(state, op::MovePageLater{});
  EXPECT_EQ(order(), (std::vector<std::string>{"a", "c", "b"}));
  EXPECT_EQ(state.page_index, 2u);
  EXPECT_EQ(state.current_page->status, "b");
}

TEST_F(PageList, DeletingTheLastPagesEndsOnTheSetupScreen) {
  state.page_index = 2;
  apply_operation(state, op::DeletePage{});
  EXPECT_EQ(state.page_index, 1u);
  EXPECT_EQ(state.current_page->status, "b");
  apply_operation(state, op::DeletePage{});
  apply_operation(state, op::DeletePage{});
  EXPECT_TRUE(state.pages.empty());
  EXPECT_EQ(state.page_index, 0u);
  EXPECT_FALSE(state.current_page);
  EXPECT_EQ(shown_title(state), "Scan a document");
  apply_operation(state, op::DeletePage{});  // nothing left: harmless
  EXPECT_EQ(state.page_index, 0u);
}

TEST_F(PageList, ScannedPagesAreAppendedAndFailuresOnlyNotify) {
  state.scanning = true;
  apply_operation(state, op::PageScanned{std::unexpected("jammed")});
  EXPECT_FALSE(state.scanning);
  EXPECT_EQ(state.pages.size(), 3u);
  EXPECT_EQ(state.notice->title, "Could not scan this page");
  apply_operation(state, op::PageScanned{page_named("d")});
  EXPECT_EQ(state.pages.size(), 4u);
  EXPECT_EQ(state.page_index, 3u);
  EXPECT_EQ(state.current_page->status, "d");
}

TEST_F(PageList, RecognitionResultsFindTheirPageByIdentityOnly) {
  state.pages[1].recognizing = true;
  const PageId id = state.pages[1].id;
  state.page_index = 1;
  state.current_page = state.pages[1];
  apply_operation(state, op::PageRecognized{id, Recognition{"hello", "Recognized 1 words."}});
  EXPECT_FALSE(state.pages[1].recognizing);
  EXPECT_EQ(state.pages[1].text, "hello");
  EXPECT_EQ(state.current_page->text, "hello");

  const PageId gone = state.pages[2].id;
  state.pages.pop_back();
  apply_operation(state, op::PageRecognized{gone, std::unexpected("engine crashed")});
  EXPECT_FALSE(state.notice) << "a result for a deleted page changes nothing";

  apply_operation(state, op::PageRecognized{id, std::unexpected("engine crashed")});
  EXPECT_EQ(*state.notice, (Notice{"Text was not updated", "engine crashed", false}));
}

TEST_F(PageList, CopyTextNeedsNonBlankTextAndAWorkingClipboard) {
  struct Recording : vesk_ui::text_selection::ClipboardBackend {
    std::expected<void, std::string> copy(const std::string& text) override {
      copied.push_back(text);
      return {};
    }
    std::vector<std::string> copied;
  };
  auto clipboard = std::make_shared<Recording>();
  std::optional<vesk_ui::text_selection::ScopedClipboard<Recording>> installed;
  installed.emplace(nullptr);
  state.current_page = state.pages[0];
  state.current_page->text = "  hello \n";
  apply_operation(state, op::CopyText{});
  EXPECT_FALSE(state.notice) << "a copy that failed is not reported as done";
  installed.reset();
  installed.emplace(clipboard);
  state.current_page->text = " \n\t";
  apply_operation(state, op::CopyText{});
  EXPECT_TRUE(clipboard->copied.empty());
  state.current_page->text = "  hello \n";
  apply_operation(state, op::CopyText{});
  EXPECT_EQ(clipboard->copied, std::vector<std::string>{"  hello \n"});
  EXPECT_EQ(*state.notice,
            (Notice{"Text copied", "Paste the recognized text into any app.", true}));
}

TEST(Scanning, StartScanningChoosesTheFirstScannerAndResetsThePages) {
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  state.pages.push_back(page_named("old"));
  state.page_index = 0;
  state.notice = Notice{"x", "y", true};
  apply_operation(state, op::StartScanning{});
  EXPECT_EQ(state.scan_scanner, "scanner0");
  EXPECT_TRUE(state.pages.empty());
  EXPECT_FALSE(state.notice);
  state.snapshot->scanners = std::unexpected("sane down");
  apply_operation(state, op::StartScanning{});
  EXPECT_FALSE(state.scan_scanner);
}

// ---- Capture ----------------------------------------------------------------------------

using os_actions::printing::FakeMethod;
using testing::update_until;

class Capture : public ::testing::Test {
 protected:
  void SetUp() override {
    service->set_scanners({{"scanner0", "Studio scanner"}});
    service->set_scan_image(testing::png_of(64, 48));
    state.snapshot = samples::snapshot();
    apply_operation(state, op::StartScanning{});
  }
  testing::FakeService service;
  testing::StandInRecognizer recognizer{{"Hello", "world"}};
  Wendlow state = idle_state();
};

TEST_F(Capture, ScanPageReadsTheSettingsAndAppendsTheRecognizedPage) {
  state.scan_resolution.set(7);  // not in the table: 300 dpi
  state.scan_color.set(1);
  state.scan_language.set(2);
  state.crop.set({0.1, 0.1, 0.9, 0.9});
  apply_operation(state, op::ScanPage{});
  EXPECT_TRUE(state.scanning);
  EXPECT_TRUE(testing::shows_text(state, "Scanning page\xE2\x80\xA6"));
  EXPECT_FALSE(testing::has_control(*state.view, ids::kScanStart));
  ASSERT_TRUE(update_until(state, [&] { return !state.scanning; }));
  EXPECT_EQ(service->calls_of(FakeMethod::ScanPage).front().text(),
            "scan_page(\"scanner0\", 300, 1, 0)");
  EXPECT_EQ(recognizer.languages(), std::vector<std::string>{"fra"});
  ASSERT_EQ(state.pages.size(), 1u);
  const ScannedPage& page = state.pages.front();
  EXPECT_EQ(page.language, "French");
  EXPECT_EQ(page.text, "Hello world");
  EXPECT_EQ(page.width, 64u);
  EXPECT_TRUE(state.current_page->id == page.id);
  EXPECT_TRUE(state.crop.get().is_whole_page());
  EXPECT_EQ(shown_title(state), "Scanned document");

  // A second capture is appended and shown.
  apply_operation(state, op::ScanAnother{});
  EXPECT_EQ(shown_title(state), "Scan a document");
  apply_operation(state, op::ScanPage{});
  ASSERT_TRUE(update_until(state, [&] { return state.pages.size() == 2 && !state.scanning; }));
  EXPECT_EQ(state.page_index, 1u);
  EXPECT_TRUE(state.current_page->id == state.pages[1].id);
}

TEST_F(Capture, AFailedScanOrBytesThatAreNoImageOnlyNotify) {
  service->fail_next(FakeMethod::ScanPage, "jammed");
  apply_operation(state, op::ScanPage{});
  ASSERT_TRUE(update_until(state, [&] { return !state.scanning; }));
  EXPECT_TRUE(state.pages.empty());
  EXPECT_EQ(*state.notice, (Notice{"Could not scan this page",
                                   "Check that the scanner is connected and the paper is "
                                   "positioned, then try again.",
                                   false}));
  service->set_scan_image({'J', 'U', 'N', 'K'});
  apply_operation(state, op::ScanPage{});
  ASSERT_TRUE(update_until(state, [&] { return !state.scanning; }));
  EXPECT_TRUE(state.pages.empty());
  EXPECT_EQ(recognizer.calls(), 0);
  EXPECT_EQ(shown_title(state), "Scan a document");
}

TEST_F(Capture, WithoutAScannerNothingStarts) {
  state.scan_scanner.reset();
  apply_operation(state, op::ScanPage{});
  EXPECT_FALSE(state.scanning);
  EXPECT_TRUE(service->calls_of(FakeMethod::ScanPage).empty());
}

TEST_F(Capture, TheFeederDeliversTheWholeStackInOrderAndScanningLastsUntilTheLastSheet) {
  service->set_scan_stack({testing::png_of(11, 5), testing::png_of(12, 5), testing::png_of(13, 5),
                           testing::png_of(14, 5)});
  state.scan_source.set(1);
  recognizer.close_gate();
  apply_operation(state, op::ScanPage{});
  // Nothing is recognized yet, so nothing has arrived; the scanner is not held back by that.
  ASSERT_TRUE(service->wait_for_calls(FakeMethod::ScanStack, 1, std::chrono::seconds(2)));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(state.pages.empty());
  recognizer.open_gate();
  ASSERT_TRUE(update_until(state, [&] { return state.pages.size() == 1; }));
  EXPECT_TRUE(state.scanning) << "more sheets are coming";
  EXPECT_EQ(shown_title(state), "Scanned document");
  EXPECT_TRUE(testing::shows_text(state, "Scanning page\xE2\x80\xA6"));
  ASSERT_TRUE(update_until(state, [&] { return !state.scanning; }));
  ASSERT_EQ(state.pages.size(), 4u);
  for (std::uint32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(state.pages[i].width, 11 + i) << "in the order of the stack";
    EXPECT_EQ(state.pages[i].text, "Hello world");
  }
  EXPECT_EQ(state.page_index, 3u);
  EXPECT_FALSE(state.notice);
  EXPECT_EQ(service->calls_of(FakeMethod::ScanStack).front().text(),
            "scan_stack(\"scanner0\", 300, 0, 1)");
  EXPECT_TRUE(service->calls_of(FakeMethod::ScanPage).empty());
}

TEST_F(Capture, AJamPartWayKeepsTheSheetsAlreadyScanned) {
  state.pages = {testing::page_of("from before")};
  service->set_scan_stack({testing::png_of(11, 5), {'J', 'U', 'N', 'K'}, testing::png_of(13, 5)},
                          "scan failed: Document feeder jammed");
  state.scan_source.set(2);
  apply_operation(state, op::ScanPage{});
  ASSERT_TRUE(update_until(state, [&] { return !state.scanning; }));
  // The sheet that was no image is reported on its own; the others are kept.
  ASSERT_EQ(state.pages.size(), 3u);
  EXPECT_EQ(state.pages[0].status, "from before");
  EXPECT_EQ(state.pages[1].width, 11u);
  EXPECT_EQ(state.pages[2].width, 13u);
  EXPECT_EQ(state.notice->title, "Could not scan this page");
  // Nothing more arrives after the failure that ended the stack.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(surface::update(state) && state.pages.size() != 3u);
}

TEST_F(Capture, AFeederThatFailsAtOnceOnlyNotifies) {
  service->fail_next(FakeMethod::ScanStack, "scan failed: Document feeder out of documents");
  state.scan_source.set(1);
  apply_operation(state, op::ScanPage{});
  ASSERT_TRUE(update_until(state, [&] { return !state.scanning; }));
  EXPECT_TRUE(state.pages.empty());
  EXPECT_EQ(state.notice->title, "Could not scan this page");
  EXPECT_EQ(shown_title(state), "Scan a document");
}

// ---- Editing and recognition ---------------------------------------------------------------

class Editing : public ::testing::Test {
 protected:
  void SetUp() override {
    state.snapshot = samples::snapshot();
    state.pages = {testing::page_of("a", 40, 30), testing::page_of("b", 40, 30)};
    state.page_index = 1;
    state.current_page = state.pages[1];
  }
  // Lets every task this test started finish.
  void TearDown() override {
    recognizer.open_gate();
    update_until(state, [&] {
      return std::ranges::none_of(state.pages, [](const auto& p) { return p.recognizing; });
    });
    for (const auto& page : state.pages) page.encoded.wait();
  }
  testing::StandInRecognizer recognizer{{"fresh", "text"}};
  Wendlow state = idle_state();
};

TEST_F(Editing, RotationShowsTheNewPageAtOnceAndKeepsTheCrop) {
  state.crop.set({0.1, 0.1, 0.9, 0.9});
  state.notice = Notice{"old", "notice", true};
  const PageId before = state.pages[1].id;
  apply_operation(state, op::RotatePage{});
  const ScannedPage& page = state.pages[1];
  EXPECT_EQ(page.width, 30u);
  EXPECT_EQ(page.height, 40u);
  EXPECT_FALSE(page.id == before);
  EXPECT_TRUE(state.current_page->id == page.id);
  EXPECT_EQ(state.current_page->width, 30u);
  EXPECT_FALSE(state.notice);
  EXPECT_EQ(state.crop.get(), (vesk_ui::widget::image_crop::CropSelection{0.1, 0.1, 0.9, 0.9}));
  EXPECT_TRUE(testing::shows_text(state, "Text recognition needs updating after rotation."));
  EXPECT_TRUE(testing::has_control(*state.view, ids::kScanRecognize));
  // The PNG arrives from its worker and holds the turned page.
  auto png = page.encoded.wait();
  ASSERT_TRUE(png);
  auto decoded = vesk_image::decode(**png);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->width(), 30u);
  EXPECT_EQ(decoded->height(), 40u);
}

TEST_F(Editing, CropNeedsASelectionAndReportsABadOne) {
  apply_operation(state, op::ApplyCrop{});
  EXPECT_EQ(state.pages[1].width, 40u) << "the whole page: nothing to do";
  state.crop.set({0.5, 0.5, 0.52, 0.9});
  apply_operation(state, op::ApplyCrop{});
  EXPECT_EQ(*state.notice,
            (Notice{"Could not crop this page", "crop selection was invalid", false}));
  EXPECT_EQ(state.pages[1].width, 40u);
  state.crop.set({0.25, 0.5, 0.75, 1});
  apply_operation(state, op::ApplyCrop{});
  EXPECT_EQ(state.pages[1].width, 20u);
  EXPECT_EQ(state.pages[1].height, 15u);
  EXPECT_FALSE(state.notice);
  EXPECT_TRUE(state.crop.get().is_whole_page());
  EXPECT_EQ(state.current_page->status, "Text recognition needs updating after cropping.");
}

TEST_F(Editing, BrokenPixelsAreReportedAndChangeNothing) {
  state.pages[1].pixels = std::make_shared<const std::vector<std::uint8_t>>(12);
  apply_operation(state, op::RotatePage{});
  EXPECT_EQ(*state.notice,
            (Notice{"Could not rotate this page", "scanned page pixels were incomplete", false}));
  EXPECT_EQ(state.pages[1].status, "b");
}

TEST_F(Editing, RecognizePageStartsOneWorkerAndTheResultUpdatesThePage) {
  recognizer.close_gate();
  vesk_os::clear_spawned_thread_names();
  apply_operation(state, op::RecognizePage{});
  apply_operation(state, op::RecognizePage{});
  EXPECT_EQ(std::ranges::count(vesk_os::spawned_thread_names(), "vesk-recognize-scanned-page"), 1);
  EXPECT_TRUE(state.pages[1].recognizing);
  EXPECT_TRUE(testing::shows_text(state, "Updating recognized text\xE2\x80\xA6"));
  EXPECT_FALSE(testing::has_control(*state.view, ids::kScanRecognize));
  recognizer.open_gate();
  ASSERT_TRUE(update_until(state, [&] { return !state.pages[1].recognizing; }));
  EXPECT_EQ(state.pages[1].text, "fresh text");
  EXPECT_EQ(state.pages[1].status, "Recognized 2 words.");
  EXPECT_EQ(state.current_page->text, "fresh text");
  EXPECT_EQ(recognizer.calls(), 1);
}

TEST_F(Editing, AResultForARotatedPageIsDropped) {
  recognizer.close_gate();
  apply_operation(state, op::RecognizePage{});
  apply_operation(state, op::RotatePage{});
  EXPECT_FALSE(state.pages[1].recognizing);
  recognizer.open_gate();
  ASSERT_TRUE(
      update_until(state, [&] { return recognizer.calls() == 1 && !state.events_rx.ready(); }));
  EXPECT_EQ(state.pages[1].status, "Text recognition needs updating after rotation.");
  EXPECT_FALSE(state.pages[1].text);
  EXPECT_TRUE(state.pages[1].text_stale);
}

// ---- Saving ---------------------------------------------------------------------------------

class Saving : public ::testing::Test {
 protected:
  void SetUp() override {
    state.snapshot = samples::snapshot();
    folder = std::filesystem::temp_directory_path() /
             ("wendlow-save-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  // Presses `operation`, lets the picker answer `answer` and waits for the save's notice.
  void save(Operation operation, vesk_ui::portal::PickResult answer) {
    auto picker = std::make_shared<testing::ScriptedPicker>(std::move(answer));
    vesk_ui::portal::ScopedPicker<testing::ScriptedPicker> installed(picker);
    state.notice.reset();
    apply_operation(state, std::move(operation));
    ASSERT_TRUE(update_until(state, [&] { return state.notice.has_value(); }));
    requests = picker->seen();
  }

  Wendlow state = idle_state();
  std::filesystem::path folder;
  std::vector<vesk_ui::portal::PickRequest> requests;
};

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string pdf_text(const std::filesystem::path& pdf) {
  const std::string command = "pdftotext -q '" + pdf.string() + "' -";
  std::string text;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;)
      text.append(buffer, n);
    ::pclose(pipe);
  }
  return text;
}

TEST_F(Saving, TheDocumentGetsItsExtensionAndThePagesInTheirNewOrder) {
  state.pages = {testing::page_of("a", 40, 30, "alpha first"),
                 testing::page_of("b", 30, 40, "bravo second")};
  state.page_index = 0;
  apply_operation(state, op::MovePageLater{});
  save(op::SaveDocument{}, vesk_ui::portal::Chosen{folder / "Receipts"});
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].title, "Save scanned document");
  EXPECT_EQ(requests[0].accept_label, "Save");
  EXPECT_EQ(requests[0].suggested_name, "Scanned document.pdf");
  EXPECT_EQ(requests[0].worker_name, "wendlow-scan-document-save-picker");
  EXPECT_EQ(*state.notice, (Notice{"Scanned document saved", "Saved Receipts.pdf.", true}));
  const auto pdf = folder / "Receipts.pdf";
  EXPECT_TRUE(read_file(pdf).starts_with("%PDF-1.7\n"));
  struct stat info {};
  ASSERT_EQ(::stat(pdf.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  if (std::system("command -v pdftotext >/dev/null") != 0) GTEST_SKIP() << "no pdftotext";
  const std::string text = pdf_text(pdf);
  ASSERT_NE(text.find("bravo"), std::string::npos) << text;
  EXPECT_LT(text.find("bravo"), text.find("alpha")) << text;
}

TEST_F(Saving, ThePageIsItsImageFileUnchangedWhateverTheChosenName) {
  state.pages = {testing::page_of("a", 40, 30)};
  state.current_page = state.pages[0];
  // Bytes as a scanner might send them: no PNG, and they are written as they are.
  const std::vector<std::uint8_t> scanner_bytes = {'P',  '5', '\n', '1', ' ',  '1',
                                                   '\n', '2', '5',  '5', '\n', 9};
  state.current_page->encoded =
      EncodedImage::ready(std::make_shared<const std::vector<std::uint8_t>>(scanner_bytes));
  save(op::SavePage{}, vesk_ui::portal::Chosen{folder / "page.png"});
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].suggested_name, "Scanned page.png");
  EXPECT_EQ(requests[0].worker_name, "wendlow-scan-save-picker");
  EXPECT_EQ(*state.notice, (Notice{"Scanned page saved", "Saved page.png.", true}));
  EXPECT_EQ(read_file(folder / "page.png"),
            std::string(scanner_bytes.begin(), scanner_bytes.end()));

  // A rotated page is exported once its PNG is written, without a name extension: png.
  state.page_index = 0;
  apply_operation(state, op::RotatePage{});
  save(op::SavePage{}, vesk_ui::portal::Chosen{folder / "turned"});
  EXPECT_EQ(*state.notice, (Notice{"Scanned page saved", "Saved turned.png.", true}));
  auto decoded = vesk_image::decode_png([&] {
    auto s = read_file(folder / "turned.png");
    return std::vector<std::uint8_t>(s.begin(), s.end());
  }());
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->width(), 30u);
}

TEST_F(Saving, FailuresNoticesAndOnePickerAtATime) {
  state.pages = {testing::page_of("a", 4, 4)};
  state.current_page = state.pages[0];
  state.show_scan();
  save(op::SaveDocument{}, vesk_ui::portal::Chosen{folder / "missing" / "doc.pdf"});
  EXPECT_EQ(*state.notice, (Notice{"Could not save scanned document",
                                   "Choose another location and try again.", false}));
  EXPECT_EQ(shown_title(state), "Scanned document") << "the notice shows on the scan screen";
  save(op::SavePage{}, vesk_ui::portal::Failed{"portal down"});
  EXPECT_EQ(*state.notice, (Notice{"Could not open the file picker",
                                   "Try saving the scanned page again.", false}));
  EXPECT_EQ(state.save_kind, 0);

  // Two presses before the picker answers open one picker.
  struct Silent : vesk_ui::portal::PickerBackend {
    void pick(const vesk_ui::portal::PickRequest&,
              vesk_os::OneshotSender<vesk_ui::portal::PickResult> reply) override {
      held.push_back(std::move(reply));
    }
    std::vector<vesk_os::OneshotSender<vesk_ui::portal::PickResult>> held;
  };
  auto silent = std::make_shared<Silent>();
  vesk_ui::portal::ScopedPicker<Silent> installed(silent);
  apply_operation(state, op::SaveDocument{});
  apply_operation(state, op::SaveDocument{});
  apply_operation(state, op::SavePage{});
  EXPECT_EQ(state.save_kind, 1);
  ASSERT_TRUE(state.save_pick_rx);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_LE(silent->held.size(), 1u);
  // A cancel changes nothing.
  state.notice.reset();
  state.save_pick_rx.reset();
  {
    auto [tx, rx] = vesk_os::oneshot<vesk_ui::portal::PickResult>();
    std::move(tx).send(vesk_ui::portal::Cancelled{});
    state.save_pick_rx = std::move(rx);
  }
  surface::update(state);
  EXPECT_FALSE(state.notice);
  EXPECT_FALSE(state.save_pick_rx);
}

}  // namespace
}  // namespace wendlow::flows
