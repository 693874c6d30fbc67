// The two scan screens, built by one function: the setup screen (scanner, page settings,
// "Scan page") while no page is on display, the result screen (the page, its text, the page
// tools and the document's pages) while one is.
#include "scanning/labels.hpp"
#include "screens/common.hpp"
#include "screens/screens.hpp"
#include "vesk_ui/icons.hpp"

namespace wendlow::screens {

namespace w = vesk_ui::widget;
namespace icon = vesk_ui::icon;

namespace {

constexpr int kPageCardWidth = 280;
constexpr const char* kScanningText = "Scanning page\xE2\x80\xA6";

w::Row button_row() {
  return w::Row().spacing(kMetrics.unit).wrapping();
}

WidgetBox scanner_card(const ScanScreenInput& input, const EventSender& events) {
  w::Card card("Scanner");
  if (!input.snapshot.scanners) {
    card.push(service_problem_banner({std::string(kScannersArea)}, events));
  } else if (input.snapshot.scanners->empty()) {
    card.push(w::Text(
        "No scanner is available. Check its cable or network connection, then refresh Wendlow."));
  } else {
    w::Row buttons = button_row();
    for (const auto& scanner : *input.snapshot.scanners) {
      const bool chosen = input.scanner == scanner.id;
      buttons.push(operation_button(chosen ? "Selected: " + scanner.name : scanner.name,
                                    ids::kScanDevice, events, op::ChooseScanner{scanner.id})
                       .with_icon(chosen ? icon::kDone : icon::kScanner));
    }
    card.push(std::move(buttons));
  }
  return std::move(card).boxed();
}

WidgetBox labelled_choice(std::string label, std::vector<std::string> segments,
                          vesk_ui::local_state::IndexState cell, std::string_view id) {
  return w::Column()
      .spacing(kMetrics.unit / 2)
      .push(w::Text(label, w::TextStyle::Caption))
      .push(w::ToggleGroup(label, std::move(segments), std::move(cell)).with_id(std::string(id)))
      .boxed();
}

WidgetBox settings_card(const ScanScreenInput& input) {
  // Two settings a line in wide windows, one in narrow ones.
  w::CardGrid choices;
  choices.min_column_width = 300;
  choices.gap = kMetrics.card_gap;
  choices.push(labelled_choice("Quality", {"150 dpi", "300 dpi", "600 dpi"}, input.resolution,
                               ids::kScanResolution));
  choices.push(
      labelled_choice("Appearance", {"Color", "Grayscale", "Text"}, input.color, ids::kScanColor));
  choices.push(labelled_choice("Paper source", {"Flatbed", "Feeder", "Two-sided"}, input.source,
                               ids::kScanSource));
  choices.push(labelled_choice("Text language",
                               {"English", "Deutsch",
                                "Fran\xC3\xA7"
                                "ais",
                                "Espa\xC3\xB1ol"},
                               input.language, ids::kScanLanguage));
  return w::Card("Page settings").push(std::move(choices)).boxed();
}

WidgetBox setup_screen(const ScanScreenInput& input, const EventSender& events) {
  w::Column content;
  content.push(sub_screen_header("Scan a document",
                                 "Choose the scanner and how this page should look", events));
  if (input.notice) content.push(notice_banner(*input.notice));
  content.push(
      w::Card("Current document").push(w::Text(scanning::captured_summary(input.page_count))));
  content.push(scanner_card(input, events));
  content.push(settings_card(input));
  w::Row actions = button_row();
  actions.push(operation_button("Cancel", ids::kScanCancel, events, op::ShowDashboard{})
                   .with_icon(icon::kCancel));
  if (input.scanning) {
    actions.push(w::Text(kScanningText));
  } else if (input.scanner) {
    actions.push(operation_button("Scan page", ids::kScanStart, events, op::ScanPage{},
                                  w::ButtonStyle::Primary)
                     .with_icon(icon::kScanner));
  }
  content.push(std::move(actions));
  return page(std::move(content));
}

WidgetBox page_card(const ScanScreenInput& input, const ScannedPage& shown,
                    const EventSender& events) {
  w::Column details = w::Column().spacing(kMetrics.unit);
  details.push(
      w::Text(scanning::page_position(input.page_index, input.page_count), w::TextStyle::Heading));
  details.push(
      w::Text(scanning::orientation_label(shown.width, shown.height), w::TextStyle::Caption));
  details.push(w::Text(scanning::reading_language(shown.language), w::TextStyle::Caption));
  details.push(w::Text(shown.status));
  const bool has_text = shown.text && scanning::has_visible_text(*shown.text);
  if (shown.text) {
    if (auto excerpt = scanning::text_excerpt(*shown.text)) {
      details.push(w::Card("Recognized text").push(w::Text(std::move(*excerpt))));
    }
  }
  details.push(w::Text("Page tools", w::TextStyle::Heading));
  w::Row tools = button_row();
  tools.push(operation_button("Rotate right", ids::kScanRotate, events, op::RotatePage{})
                 .with_icon(icon::kRotate));
  tools.push(operation_button("Apply crop", ids::kScanApplyCrop, events, op::ApplyCrop{})
                 .with_icon(icon::kCrop));
  if (shown.recognizing) {
    tools.push(w::Text("Updating recognized text\xE2\x80\xA6", w::TextStyle::Caption));
  } else if (shown.text_stale) {
    tools.push(
        operation_button("Update recognized text", ids::kScanRecognize, events, op::RecognizePage{})
            .with_icon(icon::kText));
  }
  if (has_text) {
    tools.push(operation_button("Copy recognized text", ids::kScanCopyText, events, op::CopyText{})
                   .with_icon(icon::kCopy));
  }
  details.push(std::move(tools));
  return w::Container()
      .width(kPageCardWidth)
      .with_child(w::Card().plain().push(std::move(details)))
      .boxed();
}

WidgetBox pages_card(const ScanScreenInput& input, const EventSender& events) {
  const std::size_t i = input.page_index + 1;
  const std::size_t n = input.page_count;
  w::Row buttons = button_row();
  if (i > 1) {
    buttons.push(operation_button("Previous page", ids::kScanPrevious, events, op::PreviousPage{})
                     .with_icon(icon::kPrevious));
  }
  if (i < n) {
    buttons.push(operation_button("Next page", ids::kScanNext, events, op::NextPage{})
                     .with_icon(icon::kNext));
  }
  if (i > 1) {
    buttons.push(operation_button("Move before previous page", ids::kScanMoveEarlier, events,
                                  op::MovePageEarlier{})
                     .with_icon(icon::kMoveUp));
  }
  if (i < n) {
    buttons.push(
        operation_button("Move after next page", ids::kScanMoveLater, events, op::MovePageLater{})
            .with_icon(icon::kMoveDown));
  }
  buttons.push(operation_button("Remove this page", ids::kScanDeletePage, events, op::DeletePage{})
                   .with_icon(icon::kDelete));
  return w::Card("Pages in this document")
      .push(w::Text(scanning::pages_summary(input.page_index, n)))
      .push(std::move(buttons))
      .boxed();
}

WidgetBox result_screen(const ScanScreenInput& input, const ScannedPage& shown,
                        const EventSender& events) {
  w::Column content;
  content.push(sub_screen_header("Scanned document", "Review the page before saving it", events));
  if (input.notice) content.push(notice_banner(*input.notice));
  w::Row top = button_row();
  top.push(operation_button("Save document", ids::kScanSaveDocument, events, op::SaveDocument{},
                            w::ButtonStyle::Primary)
               .with_icon(icon::kSave));
  top.push(operation_button("Scan another page", ids::kScanAgain, events, op::ScanAnother{})
               .with_icon(icon::kScanner));
  // Sheets of a feeder stack keep arriving while the first ones are already on display.
  if (input.scanning) top.push(w::Text(kScanningText, w::TextStyle::Caption));
  content.push(std::move(top));

  w::Row review = w::Row().spacing(kMetrics.card_gap).wrapping().aligned(w::Alignment::Start);
  review.push(
      w::ImageCropEditor(shown.width, shown.height, shown.pixels, input.crop,
                         "Page " + std::to_string(input.page_index + 1) + ", crop selection")
          .with_id(std::string(ids::kScanCrop)));
  review.push(page_card(input, shown, events));
  content.push(std::move(review));
  content.push(pages_card(input, events));

  w::Row bottom = button_row();
  bottom.push(operation_button("Export this page", ids::kScanSavePage, events, op::SavePage{})
                  .with_icon(icon::kImage));
  bottom.push(operation_button("Back to Wendlow", ids::kScanDone, events, op::ShowDashboard{})
                  .with_icon(icon::kBack));
  content.push(std::move(bottom));
  return page(std::move(content));
}

}  // namespace

WidgetBox scan(const ScanScreenInput& input, const EventSender& events) {
  if (input.current_page) return result_screen(input, *input.current_page, events);
  return setup_screen(input, events);
}

}  // namespace wendlow::screens
