// Driverless discovery and adding, and scanning with SANE's test backend, against the
// private print service.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bed.hpp"
#include "os_actions/printing/printing.hpp"

namespace os_actions::printing {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

class DriverlessOnBed : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_BED();
    bed::reset();
    install_backend(make_system_backend());
  }
};

// Resolving a DNS-SD service sometimes waits for mDNS to ask again, and discovery leaves
// out what is not resolved within its bound: the network printer is looked for up to three
// times.
std::optional<DriverlessPrinter> remote_printer() {
  for (int attempt = 0; attempt < 3; ++attempt) {
    auto found = discover_driverless();
    EXPECT_TRUE(found) << found.error();
    if (!found) return std::nullopt;
    auto it = std::find_if(found->begin(), found->end(),
                           [](const auto& p) { return p.name == "Remote Printer"; });
    if (it != found->end()) return *it;
  }
  return std::nullopt;
}

TEST_F(DriverlessOnBed, FindsNetworkPrintersWithResolvedUrisWithinTheBound) {
  const auto start = std::chrono::steady_clock::now();
  auto found = discover_driverless();
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(found) << found.error();
  EXPECT_LT(took, 6s);
  for (const auto& printer : *found) {
    EXPECT_EQ(printer.uri.rfind("ipps://", 0), 0u) << printer.uri;
    EXPECT_EQ(printer.uri.find("._tcp"), std::string::npos) << printer.uri;
    EXPECT_FALSE(printer.name.empty());
  }
  auto remote = remote_printer();
  ASSERT_TRUE(remote);
  EXPECT_EQ(remote->uri, "ipps://remote-printer.local:8632/ipp/print");
  EXPECT_EQ(remote->location, "Second floor");
  // The bed's own printers are announced too, with the location they were given.
  auto again = discover_driverless();
  ASSERT_TRUE(again);
  for (const auto& printer : *again) {
    if (printer.name == "Problem Printer") {
      EXPECT_EQ(printer.location, "Back office");
    }
  }
}

TEST_F(DriverlessOnBed, AnAddedPrinterIsReadyAndPrints) {
  auto remote = remote_printer();
  ASSERT_TRUE(remote);
  ASSERT_TRUE(add_driverless(remote->uri, remote->name));
  // Adding the same printer again changes nothing.
  ASSERT_TRUE(add_driverless(remote->uri, remote->name));

  auto listed = queues();
  ASSERT_TRUE(listed) << listed.error();
  auto added = std::find_if(listed->begin(), listed->end(),
                            [](const auto& q) { return q.name == "Remote_Printer"; });
  ASSERT_NE(added, listed->end());
  EXPECT_TRUE(added->accepting);
  EXPECT_EQ(added->state, QueueState::Idle);
  EXPECT_TRUE(added->responded);
  EXPECT_EQ(std::count_if(listed->begin(), listed->end(),
                          [](const auto& q) { return q.name.rfind("Remote", 0) == 0; }),
            1);

  ASSERT_TRUE(print_document(bed::sample_pdf(), "Remote_Printer", 2, false));
  EXPECT_TRUE(bed::eventually([] {
    auto all = jobs();
    return all && !all->empty() && all->front().printer == "Remote_Printer" &&
           all->front().state == JobState::Completed;
  }));
  EXPECT_THAT(bed::printed_log("remote/ippeve"), HasSubstr("test.pdf\t"));
}

TEST_F(DriverlessOnBed, UnresolvedOrForeignUrisAreNeverAdded) {
  EXPECT_FALSE(add_driverless("ipps://Remote%20Printer._ipps._tcp.local/", "Remote Printer"));
  EXPECT_FALSE(add_driverless("dnssd://Remote%20Printer._ipp._tcp.local/", "Remote Printer"));
  EXPECT_FALSE(add_driverless("file:///dev/null", "Null"));
  EXPECT_FALSE(add_driverless("", "Nothing"));
  auto listed = queues();
  ASSERT_TRUE(listed);
  EXPECT_EQ(listed->size(), 3u);
}

class ScanningOnBed : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_BED();
    install_backend(make_system_backend());
    saved_config_ = std::getenv("SANE_CONFIG_DIR");
  }
  void TearDown() override {
    if (!saved_config_.empty()) setenv("SANE_CONFIG_DIR", saved_config_.c_str(), 1);
  }

  // A SANE configuration for the test scanner with these lines in its test.conf.
  void configure(const std::string& lines) {
    const auto config = bed::dir() / "sane-variant";
    std::filesystem::create_directories(config);
    std::ofstream(config / "dll.conf") << "test\n";
    std::ofstream(config / "test.conf") << "test-picture \"Color pattern\"\n" << lines << "\n";
    setenv("SANE_CONFIG_DIR", config.c_str(), 1);
  }
  // The test scanner answers every read with `status`.
  void inject(const std::string& status) { configure("read-status-code \"" + status + "\""); }

  std::string saved_config_;
};

struct PngHeader {
  std::uint32_t width = 0, height = 0;
  int color_type = -1;
};

std::optional<PngHeader> png_header(const std::vector<std::uint8_t>& bytes) {
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (bytes.size() < 33 || !std::equal(kSignature, kSignature + 8, bytes.begin()))
    return std::nullopt;
  auto be32 = [&](std::size_t at) {
    return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
           std::uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
  };
  return PngHeader{be32(16), be32(20), bytes[25]};
}

TEST_F(ScanningOnBed, ListsTheTestScanners) {
  auto listed = scanners();
  ASSERT_TRUE(listed) << listed.error();
  ASSERT_EQ(listed->size(), 2u);
  EXPECT_EQ(listed->at(0).id, "test:0");
  EXPECT_FALSE(listed->at(0).name.empty());
}

TEST_F(ScanningOnBed, EveryModeAndResolutionGivesAPngOfTheRightShape) {
  struct Case {
    std::uint16_t resolution;
    std::uint8_t mode;
    int png_color_type;  // 2 RGB, 0 grey
  };
  // The test scanner's page is 80 x 100 mm.
  for (const auto& c : {Case{150, kScanColor, 2}, Case{300, kScanGrayscale, 0},
                        Case{150, kScanText, 0}, Case{600, kScanText, 0}}) {
    auto page = scan_page("test:0", {c.resolution, c.mode, kScanFlatbed});
    ASSERT_TRUE(page) << page.error();
    auto header = png_header(*page);
    ASSERT_TRUE(header);
    EXPECT_NEAR(header->width, 80 / 25.4 * c.resolution, 2) << c.resolution;
    EXPECT_NEAR(header->height, 100 / 25.4 * c.resolution, 2) << c.resolution;
    EXPECT_EQ(header->color_type, c.png_color_type);
  }
}

TEST_F(ScanningOnBed, TheFeederIsChosenByNameAndTwoSidedIsRefusedWithoutDuplex) {
  auto fed = scan_page("test:0", {150, kScanColor, kScanFeeder});
  ASSERT_TRUE(fed) << fed.error();
  EXPECT_TRUE(png_header(*fed));
  auto duplex = scan_page("test:0", {150, kScanColor, kScanTwoSided});
  ASSERT_FALSE(duplex);
  EXPECT_THAT(duplex.error(), HasSubstr("both sides"));
}

TEST_F(ScanningOnBed, FramesOfEveryKindBecomeOnePng) {
  // Three single-colour passes, unknown height (hand scanner), short padded lines.
  for (const char* variant : {"three-pass true", "hand-scanner true", "ppl-loss 7",
                              "read-limit true\nread-limit-size 7"}) {
    configure(variant);
    for (auto mode : {kScanColor, kScanGrayscale, kScanText}) {
      auto page = scan_page("test:0", {150, mode, kScanFlatbed});
      ASSERT_TRUE(page) << variant << ": " << page.error();
      auto header = png_header(*page);
      ASSERT_TRUE(header) << variant;
      EXPECT_GT(header->width, 100u) << variant;
      EXPECT_GT(header->height, 100u) << variant;
    }
  }
}

TEST_F(ScanningOnBed, ScannerFaultsComeBackAsErrorsWithTheirText) {
  const std::pair<const char*, const char*> faults[] = {
      {"SANE_STATUS_JAMMED", "jammed"},
      {"SANE_STATUS_NO_DOCS", "out of documents"},
      {"SANE_STATUS_COVER_OPEN", "cover is open"},
      {"SANE_STATUS_DEVICE_BUSY", "busy"},
  };
  for (const auto& [status, text] : faults) {
    inject(status);
    auto page = scan_page("test:0", {150, kScanColor, kScanFlatbed});
    ASSERT_FALSE(page) << status;
    EXPECT_THAT(page.error(), HasSubstr(text)) << status;
  }
}

// The scan helper this process started, found by its parent and name; 0 when none runs.
pid_t scan_helper_child() {
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string pid, name, state, parent;
    if (!(stat >> pid >> name >> state >> parent)) continue;
    if (name.find("os-printing") != std::string::npos && std::stoi(parent) == ::getpid()) {
      return std::stoi(pid);
    }
  }
  return 0;
}

TEST_F(ScanningOnBed, AKilledScanHelperIsAnErrorAndTheNextScanWorks) {
  // A slow scanner: every read waits, so the helper is caught mid-scan.
  configure("read-delay true\nread-delay-duration 200000\nread-limit true\nread-limit-size 4096");
  std::optional<std::expected<std::vector<std::uint8_t>, std::string>> result;
  std::thread scan([&] { result = scan_page("test:0", {300, kScanColor, kScanFlatbed}); });
  pid_t helper = 0;
  ASSERT_TRUE(bed::eventually([&] { return (helper = scan_helper_child()) != 0; }, 10s));
  ::kill(helper, SIGKILL);
  scan.join();
  ASSERT_TRUE(result);
  ASSERT_FALSE(*result);
  EXPECT_THAT(result->error(), HasSubstr("signal 9"));

  TearDown();  // back to the bed's own scanners
  auto page = scan_page("test:0", {150, kScanColor, kScanFlatbed});
  EXPECT_TRUE(page) << page.error();
}

// In sanitizer builds the helper's exit status is the leak check's verdict: leaks inside
// SANE's backends are suppressed, the helper's own still count.
TEST_F(ScanningOnBed, TheHelperEndsCleanlyOnTheBedsAndTheSystemsSaneConfiguration) {
  const std::string helper = OS_PRINTING_SCAN_HELPER;
  const auto errors = bed::dir() / "scan-helper-errors.txt";
  for (const std::string& command :
       {helper + " list", helper + " scan test:0 150 0 0", helper + " scan test:0 150 2 1",
        "env -u SANE_CONFIG_DIR " + helper + " list"}) {
    const int status = std::system((command + " >/dev/null 2>" + errors.string()).c_str());
    std::ifstream said(errors);
    const std::string text{std::istreambuf_iterator<char>(said), {}};
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command << "\n" << text;
  }
}

// What a feeder scan reported, in order.
struct Stack {
  std::vector<std::string> events;
  std::vector<std::vector<std::uint8_t>> pages;
  SheetListener listener() {
    return {[this] { events.push_back("sheet"); },
            [this](std::vector<std::uint8_t> page) {
              events.push_back("page");
              pages.push_back(std::move(page));
            }};
  }
};

TEST_F(ScanningOnBed, TheFeederScansTheWholeStackOneSheetAtATime) {
  Stack stack;
  auto result = scan_stack("test:0", {150, kScanColor, kScanFeeder}, stack.listener());
  ASSERT_TRUE(result) << result.error();
  // The test scanner's feeder holds ten sheets.
  ASSERT_EQ(stack.pages.size(), 10u);
  for (std::size_t i = 0; i < stack.events.size(); ++i) {
    EXPECT_EQ(stack.events[i], i % 2 == 0 ? "sheet" : "page") << i;
  }
  for (const auto& page : stack.pages) EXPECT_TRUE(png_header(page));

  Stack flatbed;
  ASSERT_TRUE(scan_stack("test:0", {150, kScanGrayscale, kScanFlatbed}, flatbed.listener()));
  EXPECT_EQ(flatbed.pages.size(), 1u) << "the flatbed never runs empty: one sheet";

  Stack duplex;
  EXPECT_FALSE(scan_stack("test:0", {150, kScanColor, kScanTwoSided}, duplex.listener()));
  EXPECT_TRUE(duplex.pages.empty());
}

TEST_F(ScanningOnBed, AFeederFaultEndsTheStackWithItsText) {
  for (const auto& [status, text] : {std::pair{"SANE_STATUS_JAMMED", "jammed"},
                                     std::pair{"SANE_STATUS_COVER_OPEN", "cover is open"},
                                     std::pair{"SANE_STATUS_NO_DOCS", "out of documents"}}) {
    inject(status);
    Stack stack;
    auto result = scan_stack("test:0", {150, kScanColor, kScanFeeder}, stack.listener());
    ASSERT_FALSE(result) << status;
    EXPECT_THAT(result.error(), HasSubstr(text)) << status;
    EXPECT_TRUE(stack.pages.empty());
  }
}

TEST_F(ScanningOnBed, AStackCutOffMidWayKeepsTheSheetsAlreadyDelivered) {
  // Slow sheets, so that the helper is ended while the stack is still feeding.
  configure("read-delay true\nread-delay-duration 20000\nread-limit true\nread-limit-size 65536");
  Stack stack;
  std::optional<std::expected<void, std::string>> result;
  std::atomic<int> delivered{0};
  SheetListener listener = stack.listener();
  auto page = listener.page;
  listener.page = [&](std::vector<std::uint8_t> bytes) {
    page(std::move(bytes));
    ++delivered;
  };
  std::thread scan([&] {
    result = scan_stack("test:0", {150, kScanColor, kScanFeeder}, listener);
  });
  ASSERT_TRUE(bed::eventually([&] { return delivered >= 2; }, 30s));
  const pid_t helper = scan_helper_child();
  ASSERT_NE(helper, 0);
  ::kill(helper, SIGKILL);
  scan.join();
  ASSERT_TRUE(result);
  EXPECT_FALSE(*result);
  EXPECT_GE(stack.pages.size(), 2u);
  EXPECT_LT(stack.pages.size(), 10u);
}

TEST_F(ScanningOnBed, UnknownScannersAndAMissingSaneAreErrors) {
  EXPECT_FALSE(scan_page("test:7", {}));
  EXPECT_FALSE(scan_page("", {}));
  setenv("SANE_CONFIG_DIR", (bed::dir() / "no-such-config").c_str(), 1);
  auto listed = scanners();
  // Without any backend configured there is simply no scanner.
  ASSERT_TRUE(listed);
  EXPECT_TRUE(listed->empty());
}

}  // namespace
}  // namespace os_actions::printing
