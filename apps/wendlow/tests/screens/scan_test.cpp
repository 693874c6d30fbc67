// The scan setup and scan result screens, read headlessly from their widget trees.
#include <gtest/gtest.h>

#include <algorithm>

#include "samples.hpp"
#include "scanning/scan_support.hpp"
#include "screen_support.hpp"
#include "screens/screens.hpp"
#include "vesk_ui/controls.hpp"

namespace wendlow::screens {
namespace {

namespace w = vesk_ui::widget;
namespace controls = vesk_ui::controls;
namespace local = vesk_ui::local_state;
using testing::all_of_type;
using testing::Built;

// Everything the builder reads, with the sample data and fresh cells.
struct Scene {
  DeviceSnapshot snapshot = samples::snapshot();
  local::IndexState resolution{1}, color{0}, source{0}, language{0};
  local::CropState crop{};
  std::optional<ScannedPage> page;
  bool scanning = false;
  std::optional<Notice> notice;
  std::size_t count = 0;
  std::size_t index = 0;
  std::optional<std::string> scanner = "scanner0";

  Built build() const {
    return testing::build([&](const EventSender& events) {
      return scan({snapshot, resolution, color, source, language, crop, page, scanning, notice,
                   count, index, scanner},
                  events);
    });
  }
  // The result screen for page `i` (0-based) of `n`.
  Scene& showing(std::size_t i, std::size_t n, ScannedPage shown = samples::scanned_page()) {
    page = std::move(shown);
    index = i;
    count = n;
    return *this;
  }
};

std::ptrdiff_t place(const std::vector<std::string>& texts, const std::string& text) {
  return std::ranges::find(texts, text) - texts.begin();
}

template <class T>
bool is(const Operation& operation) {
  return std::holds_alternative<T>(operation);
}

TEST(ScanSetup, ShowsEveryPartInOrderWithItsControls) {
  Scene scene;
  Built screen = scene.build();
  EXPECT_EQ(screen.title(), "Scan a document");
  const auto texts = screen.texts();
  const std::vector<std::string> in_order = {"Wendlow",
                                             "Scan a document",
                                             "Choose the scanner and how this page should look",
                                             "Current document",
                                             "No pages captured yet",
                                             "Scanner",
                                             "Selected: Studio scanner",
                                             "Page settings",
                                             "Quality",
                                             "Appearance",
                                             "Paper source",
                                             "Text language",
                                             "Cancel",
                                             "Scan page"};
  for (std::size_t i = 1; i < in_order.size(); ++i) {
    EXPECT_LT(place(texts, in_order[i - 1]), place(texts, in_order[i])) << in_order[i];
  }
  EXPECT_LT(place(texts, in_order.back()), static_cast<std::ptrdiff_t>(texts.size()));

  const std::pair<std::string_view, std::vector<std::string>> groups[] = {
      {ids::kScanResolution, {"150 dpi", "300 dpi", "600 dpi"}},
      {ids::kScanColor, {"Color", "Grayscale", "Text"}},
      {ids::kScanSource, {"Flatbed", "Feeder", "Two-sided"}},
      {ids::kScanLanguage,
       {"English", "Deutsch",
        "Fran\xC3\xA7"
        "ais",
        "Espa\xC3\xB1ol"}},
  };
  for (const auto& [id, segments] : groups) {
    const auto* group = controls::find_as<w::ToggleGroup>(*screen.view, id);
    ASSERT_NE(group, nullptr) << id;
    EXPECT_EQ(group->segments, segments);
    EXPECT_EQ(group->select_id, std::string(id) + ".select");
  }
  // The choices write their cells directly and send nothing.
  ASSERT_TRUE(controls::select(*screen.view, "wendlow.scan.color.select", 2));
  EXPECT_EQ(scene.color.get(), 2u);
  EXPECT_FALSE(screen.rx.try_recv());
  ASSERT_TRUE(controls::select(*screen.view, ids::kScanLanguage, 3));
  EXPECT_EQ(scene.language.get(), 3u);

  EXPECT_TRUE(is<op::ScanPage>(screen.press(ids::kScanStart)));
  EXPECT_TRUE(is<op::ShowDashboard>(screen.press(ids::kScanCancel)));
  EXPECT_TRUE(is<op::ShowDashboard>(screen.press(ids::kBack)));
}

TEST(ScanSetup, ScannerButtonsMarkTheChosenOneAndAllShareOneId) {
  Scene scene;
  scene.snapshot.scanners->push_back({"scanner1", "Hall scanner"});
  scene.scanner = "scanner1";
  Built screen = scene.build();
  const auto buttons = controls::find_all(*screen.view, ids::kScanDevice);
  ASSERT_EQ(buttons.size(), 2u);
  EXPECT_EQ(controls::control_label(*buttons[0]), "Studio scanner");
  EXPECT_EQ(controls::control_label(*buttons[1]), "Selected: Hall scanner");
  auto chosen = screen.press(ids::kScanDevice);
  ASSERT_TRUE(is<op::ChooseScanner>(chosen));
  EXPECT_EQ(std::get<op::ChooseScanner>(chosen).scanner_id, "scanner0");
}

TEST(ScanSetup, WhatTakesThePlaceOfScanPage) {
  Scene scene;
  scene.scanning = true;
  scene.count = 2;
  scene.notice = Notice{"Could not scan this page", "Check that…", false};
  Built busy = scene.build();
  EXPECT_FALSE(busy.has(ids::kScanStart));
  EXPECT_TRUE(busy.shows("Scanning page\xE2\x80\xA6"));
  EXPECT_TRUE(busy.shows("2 pages captured \xE2\x80\x94 new scans will be added"));
  EXPECT_TRUE(busy.shows("Could not scan this page"));

  scene.scanning = false;
  scene.snapshot.scanners = std::vector<os_actions::printing::Scanner>{};
  scene.scanner.reset();
  Built none = scene.build();
  EXPECT_TRUE(none.shows(
      "No scanner is available. Check its cable or network connection, then refresh Wendlow."));
  EXPECT_FALSE(none.has(ids::kScanStart));
  EXPECT_TRUE(none.has(ids::kScanCancel));

  scene.snapshot.scanners = std::unexpected("sane down");
  Built failed = scene.build();
  EXPECT_TRUE(failed.shows("Scanners couldn't be checked"));
  EXPECT_TRUE(is<op::Refresh>(failed.press(ids::kServiceRetry)));
  EXPECT_FALSE(failed.has(ids::kScanDevice));
  EXPECT_FALSE(failed.has(ids::kScanStart));
}

TEST(ScanResult, TheSamplePageWithEveryPartInOrder) {
  Scene scene;
  Built screen = scene.showing(0, 1).build();
  EXPECT_EQ(screen.title(), "Scanned document");
  const auto texts = screen.texts();
  const std::vector<std::string> in_order = {"Scanned document",
                                             "Review the page before saving it",
                                             "Save document",
                                             "Scan another page",
                                             "Page 1 of 1",
                                             "Portrait page",
                                             "Reading text as English",
                                             "Recognized 8 words.",
                                             "Recognized text",
                                             "Travel receipt\nCoffee and breakfast  \xE2\x82\xAC"
                                             "12.40\nMonday, 7 September",
                                             "Page tools",
                                             "Rotate right",
                                             "Apply crop",
                                             "Copy recognized text",
                                             "Pages in this document",
                                             "Page 1 selected \xC2\xB7 1 page total",
                                             "Remove this page",
                                             "Export this page",
                                             "Back to Wendlow"};
  for (std::size_t i = 1; i < in_order.size(); ++i) {
    EXPECT_LT(place(texts, in_order[i - 1]), place(texts, in_order[i])) << in_order[i];
  }
  EXPECT_LT(place(texts, in_order.back()), static_cast<std::ptrdiff_t>(texts.size()));
  for (auto id : {ids::kScanPrevious, ids::kScanNext, ids::kScanMoveEarlier, ids::kScanMoveLater,
                  ids::kScanRecognize}) {
    EXPECT_FALSE(screen.has(id)) << id;
  }
  const auto editors = all_of_type<w::ImageCropEditor>(*screen.view);
  ASSERT_EQ(editors.size(), 1u);
  EXPECT_EQ(editors[0]->width, 320u);
  EXPECT_EQ(editors[0]->height, 440u);
  EXPECT_TRUE(editors[0]->crop.same_cell(scene.crop));
  EXPECT_EQ(editors[0]->id, std::string(ids::kScanCrop)) << "scripts crop through its id";

  // Only "Save document" is primary; every press sends its operation.
  for (const auto* button : all_of_type<w::Button>(*screen.view)) {
    EXPECT_EQ(button->style == w::ButtonStyle::Primary,
              button->id == std::string(ids::kScanSaveDocument))
        << button->label;
  }
  EXPECT_TRUE(is<op::SaveDocument>(screen.press(ids::kScanSaveDocument)));
  EXPECT_TRUE(is<op::ScanAnother>(screen.press(ids::kScanAgain)));
  EXPECT_TRUE(is<op::RotatePage>(screen.press(ids::kScanRotate)));
  EXPECT_TRUE(is<op::ApplyCrop>(screen.press(ids::kScanApplyCrop)));
  EXPECT_TRUE(is<op::CopyText>(screen.press(ids::kScanCopyText)));
  EXPECT_TRUE(is<op::DeletePage>(screen.press(ids::kScanDeletePage)));
  EXPECT_TRUE(is<op::SavePage>(screen.press(ids::kScanSavePage)));
  EXPECT_TRUE(is<op::ShowDashboard>(screen.press(ids::kScanDone)));
}

TEST(ScanResult, NavigationButtonsFollowThePosition) {
  Scene scene;
  Built first = scene.showing(0, 3).build();
  EXPECT_TRUE(first.shows("Page 1 selected \xC2\xB7 3 pages total"));
  EXPECT_TRUE(is<op::NextPage>(first.press(ids::kScanNext)));
  EXPECT_TRUE(is<op::MovePageLater>(first.press(ids::kScanMoveLater)));
  EXPECT_FALSE(first.has(ids::kScanPrevious));
  EXPECT_FALSE(first.has(ids::kScanMoveEarlier));

  Built last = scene.showing(2, 3).build();
  EXPECT_TRUE(last.shows("Page 3 of 3"));
  EXPECT_TRUE(is<op::PreviousPage>(last.press(ids::kScanPrevious)));
  EXPECT_TRUE(is<op::MovePageEarlier>(last.press(ids::kScanMoveEarlier)));
  EXPECT_FALSE(last.has(ids::kScanNext));
  EXPECT_FALSE(last.has(ids::kScanMoveLater));

  Built middle = scene.showing(1, 3).build();
  for (auto id : {ids::kScanPrevious, ids::kScanNext, ids::kScanMoveEarlier, ids::kScanMoveLater,
                  ids::kScanDeletePage}) {
    EXPECT_TRUE(middle.has(id)) << id;
  }
}

TEST(ScanResult, TextCardAndRecognitionToolFollowThePage) {
  Scene scene;
  ScannedPage page = testing::page_of("Recognized 400 words.", 50, 50, std::string(400, 'x'));
  Built long_text = scene.showing(0, 1, page).build();
  EXPECT_TRUE(long_text.shows(std::string(320, 'x'))) << "the card holds 320 characters";
  EXPECT_TRUE(long_text.shows("Portrait page")) << "a square page is portrait";

  page.text = " \n\t ";
  Built blank = scene.showing(0, 1, page).build();
  EXPECT_FALSE(blank.shows("Recognized text"));
  EXPECT_FALSE(blank.has(ids::kScanCopyText));

  page.text.reset();
  page.text_stale = true;
  page.width = 60;
  Built stale = scene.showing(0, 1, page).build();
  EXPECT_TRUE(stale.shows("Landscape page"));
  EXPECT_TRUE(is<op::RecognizePage>(stale.press(ids::kScanRecognize)));
  EXPECT_FALSE(stale.has(ids::kScanCopyText));

  page.recognizing = true;
  Built running = scene.showing(0, 1, page).build();
  EXPECT_TRUE(running.shows("Updating recognized text\xE2\x80\xA6"));
  EXPECT_FALSE(running.has(ids::kScanRecognize));
}

}  // namespace
}  // namespace wendlow::screens
