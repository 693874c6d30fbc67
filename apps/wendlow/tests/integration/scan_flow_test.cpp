// The scanning flow of the application against the private test bed: SANE's test scanner
// through the real scan helper, the installed OCR engine, files written for real. The state is
// driven headlessly, control by control, from the dashboard on.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "os_actions/printing/printing.hpp"
#include "scanning/scan_support.hpp"
#include "surface.hpp"
#include "test_support.hpp"
#include "vesk_ui/controls.hpp"

namespace wendlow {
namespace {

namespace fs = std::filesystem;
using surface::Wendlow;

fs::path bed_dir() {
  const char* value = std::getenv("TB_DIR");
  return value ? fs::path(value) : fs::path();
}

// Runs update until `done` holds or `timeout` passes.
bool settle(Wendlow& state, const std::function<bool()>& done,
            std::chrono::seconds timeout = std::chrono::seconds(60)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (done()) return true;
    if (!surface::update(state)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return done();
}

// Presses a control of the screen on display and applies what it sent.
void press(Wendlow& state, std::string_view id) {
  ASSERT_TRUE(state.view);
  ASSERT_TRUE(vesk_ui::controls::invoke(*state.view, id).has_value()) << id;
  ASSERT_TRUE(surface::update(state)) << id;
}

std::string run(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;) out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

class ScanFlowOnBed : public ::testing::Test {
 protected:
  void SetUp() override {
    if (bed_dir().empty()) GTEST_SKIP() << "no test bed (run through ctest or testbed.sh run)";
    previous_ = os_actions::printing::install_backend(os_actions::printing::make_system_backend());
    saved_config_ = std::getenv("SANE_CONFIG_DIR") ? std::getenv("SANE_CONFIG_DIR") : "";
    out_ = bed_dir() / ("scan-flow-" + std::to_string(::getpid()));
    fs::create_directories(out_);
  }
  void TearDown() override {
    if (bed_dir().empty()) return;
    if (!saved_config_.empty()) ::setenv("SANE_CONFIG_DIR", saved_config_.c_str(), 1);
    os_actions::printing::install_backend(previous_);
    fs::remove_all(out_);
  }

  // The test scanner with these lines added to its configuration.
  void configure(const std::string& lines) {
    const auto config = out_ / "sane";
    fs::create_directories(config);
    std::ofstream(config / "dll.conf") << "test\n";
    std::ofstream(config / "test.conf") << "test-picture \"Color pattern\"\n" << lines << "\n";
    ::setenv("SANE_CONFIG_DIR", config.c_str(), 1);
  }

  // The live application, on the scan setup screen with the first test scanner chosen.
  Wendlow open_scanning() {
    Wendlow state = Wendlow::new_live();
    EXPECT_TRUE(settle(state, [&] { return state.snapshot.has_value(); }));
    EXPECT_TRUE(state.snapshot && state.snapshot->scanners && !state.snapshot->scanners->empty());
    press(state, "wendlow.scan.open");
    EXPECT_EQ(state.scan_scanner, "test:0");
    EXPECT_TRUE(testing::shows_text(state, "Scan page"));
    return state;
  }

  std::shared_ptr<os_actions::printing::Backend> previous_;
  std::string saved_config_;
  fs::path out_;
};

TEST_F(ScanFlowOnBed, ScanEditFeedReorderRecognizeAndSaveASearchablePdf) {
  Wendlow state = open_scanning();
  ASSERT_TRUE(vesk_ui::controls::select(*state.view, "wendlow.scan.resolution.select", 0));

  // Flatbed: one page, recognized.
  press(state, "wendlow.scan.start");
  EXPECT_TRUE(state.scanning);
  ASSERT_TRUE(settle(state, [&] { return !state.scanning; }));
  ASSERT_EQ(state.pages.size(), 1u) << (state.notice ? state.notice->detail : "");
  const ScannedPage first = state.pages[0];
  EXPECT_NEAR(first.width, 80 / 25.4 * 150, 2);
  EXPECT_FALSE(first.status.empty());

  // Rotate, crop and read the turned page again.
  press(state, "wendlow.scan.rotate");
  EXPECT_EQ(state.pages[0].width, first.height);
  state.crop.set({0.1, 0.1, 0.9, 0.9});
  press(state, "wendlow.scan.apply-crop");
  EXPECT_NEAR(state.pages[0].width, first.height * 0.8, 2);
  const std::uint32_t edited_width = state.pages[0].width;
  press(state, "wendlow.scan.recognize");
  ASSERT_TRUE(settle(state, [&] { return !state.pages[0].recognizing; }));
  EXPECT_FALSE(state.pages[0].text_stale);

  // The feeder: the whole stack of ten sheets, each its own page, in order.
  press(state, "wendlow.scan.again");
  ASSERT_TRUE(vesk_ui::controls::select(*state.view, "wendlow.scan.source.select", 1));
  press(state, "wendlow.scan.start");
  ASSERT_TRUE(settle(state, [&] { return !state.scanning; }, std::chrono::seconds(120)));
  ASSERT_EQ(state.pages.size(), 11u) << (state.notice ? state.notice->detail : "");
  EXPECT_FALSE(state.notice);
  EXPECT_EQ(state.page_index, 10u);

  // Move the last sheet to the front, one step at a time.
  for (int step = 0; step < 10; ++step) press(state, "wendlow.scan.move-earlier");
  EXPECT_EQ(state.page_index, 0u);
  EXPECT_EQ(state.pages[1].width, edited_width) << "the edited page is second now";

  // Save: a path without an extension gets ".pdf".
  auto picker = std::make_shared<testing::ScriptedPicker>(vesk_ui::portal::Chosen{out_ / "stack"});
  vesk_ui::portal::ScopedPicker<testing::ScriptedPicker> installed(picker);
  press(state, "wendlow.scan.save-document");
  ASSERT_TRUE(settle(state, [&] { return state.notice.has_value(); }));
  EXPECT_EQ(state.notice->title, "Scanned document saved") << state.notice->detail;
  const fs::path pdf = out_ / "stack.pdf";
  ASSERT_TRUE(fs::exists(pdf));
  EXPECT_NE(run("qpdf --check '" + pdf.string() + "' 2>&1").find("No syntax or stream encoding errors"),
            std::string::npos);
  const std::string info = run("pdfinfo '" + pdf.string() + "' | tr -s ' '");
  EXPECT_NE(info.find("Pages: 11\n"), std::string::npos) << info;
  // The text layer holds whatever the engine read on the pages.
  std::string expected_text;
  for (const auto& page : state.pages) {
    if (page.text) expected_text = *page.text;
  }
  if (!expected_text.empty()) {
    const std::string first_word = expected_text.substr(0, expected_text.find_first_of(" \n"));
    EXPECT_NE(run("pdftotext -q '" + pdf.string() + "' -").find(first_word), std::string::npos)
        << first_word;
  }
}

TEST_F(ScanFlowOnBed, ScannerFaultsKeepThePagesAlreadyScanned) {
  configure("");
  Wendlow state = open_scanning();
  ASSERT_TRUE(vesk_ui::controls::select(*state.view, "wendlow.scan.resolution.select", 0));
  press(state, "wendlow.scan.start");
  ASSERT_TRUE(settle(state, [&] { return !state.scanning; }));
  ASSERT_EQ(state.pages.size(), 1u);
  for (const char* status : {"SANE_STATUS_JAMMED", "SANE_STATUS_NO_DOCS", "SANE_STATUS_COVER_OPEN"}) {
    for (std::size_t source : {0u, 1u}) {
      configure(std::string("read-status-code \"") + status + "\"");
      state.notice.reset();
      if (state.current_page) press(state, "wendlow.scan.again");
      ASSERT_TRUE(vesk_ui::controls::select(*state.view, "wendlow.scan.source.select",
                                            static_cast<std::int64_t>(source)));
      press(state, "wendlow.scan.start");
      ASSERT_TRUE(settle(state, [&] { return !state.scanning; })) << status;
      ASSERT_TRUE(state.notice) << status;
      EXPECT_EQ(state.notice->title, "Could not scan this page") << status;
      EXPECT_EQ(state.pages.size(), 1u) << status << " source " << source;
    }
  }
}

TEST_F(ScanFlowOnBed, AStackCutOffPartWayKeepsItsSheets) {
  // Slow sheets, and the helper ended after the second one arrived.
  configure("read-delay true\nread-delay-duration 20000\nread-limit true\nread-limit-size 65536");
  Wendlow state = open_scanning();
  ASSERT_TRUE(vesk_ui::controls::select(*state.view, "wendlow.scan.resolution.select", 0));
  ASSERT_TRUE(vesk_ui::controls::select(*state.view, "wendlow.scan.source.select", 1));
  press(state, "wendlow.scan.start");
  ASSERT_TRUE(settle(state, [&] { return state.pages.size() >= 2; }));
  run("for p in $(pgrep -P " + std::to_string(::getpid()) +
      " -f os-printing-scan-helper); do kill -9 $p; done");
  ASSERT_TRUE(settle(state, [&] { return !state.scanning; }));
  EXPECT_GE(state.pages.size(), 2u);
  EXPECT_LT(state.pages.size(), 10u);
  ASSERT_TRUE(state.notice);
  EXPECT_EQ(state.notice->title, "Could not scan this page");
}

}  // namespace
}  // namespace wendlow
