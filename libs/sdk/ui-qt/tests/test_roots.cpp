#include "test_roots.hpp"

#include <cmath>
#include <memory>
#include <vector>

#include "vesk_ui/icons.hpp"

namespace vesk_ui_qt::testing {

using namespace vesk_ui::widget;
using vesk_actions::resource::ActionSpec;
using vesk_actions::resource::ExecutionKind;
using vesk_actions::resource::OperationOutcome;
using vesk_actions::resource::Resource;

void SwitchingRoot::replace(WidgetBox next) {
  view_ = std::move(next);
  dirty_ = true;
}

bool SwitchingRoot::update() {
  ++updates;
  return on_update ? on_update() : false;
}

std::vector<Resource> SwitchingRoot::resources() const {
  return {Resource{"test.root", "test.application", resource_title, {}}.with_action(
      ActionSpec{"ping", "Ping", ExecutionKind::Command, "test.ping", "{\"n\":1}", {}})};
}

OperationOutcome SwitchingRoot::handle_resource_operation(ExecutionKind kind,
                                                          std::string_view operation_type,
                                                          std::span<const std::uint8_t> payload) {
  if (operation_type == "test.ping") {
    last_kind = static_cast<int>(kind);
    last_payload = std::string(vesk_actions::resource::payload_text(payload));
    return OperationOutcome::handled();
  }
  if (operation_type == "test.fail") return OperationOutcome::failed("the test root refuses");
  return OperationOutcome::not_mine();
}

Pixels test_picture(std::uint32_t width, std::uint32_t height) {
  auto bytes = std::make_shared<std::vector<std::uint8_t>>(std::size_t{width} * height * 4);
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      const std::size_t at = (std::size_t{y} * width + x) * 4;
      const bool text_line = y > height / 6 && (y / 9) % 2 == 0 && x > width / 8 &&
                             x < width * 7 / 8 && y < height * 5 / 6;
      const auto paper = static_cast<std::uint8_t>(250 - (x + y) % 7);
      (*bytes)[at] = text_line ? 70 : paper;
      (*bytes)[at + 1] = text_line ? 80 : paper;
      (*bytes)[at + 2] = text_line ? 95 : static_cast<std::uint8_t>(paper - 6);
      (*bytes)[at + 3] = 255;
    }
  }
  return bytes;
}

WidgetBox gallery(const GalleryCells& cells, std::function<void()> on_press, bool narrow) {
  auto printer_card = Card("Office printer")
                          .push(Text("Printing “Quarterly report.pdf”", TextStyle::Body))
                          .push(ProgressBar(0.62, "Printing progress"))
                          .push(Row()
                                    .spacing(8)
                                    .push(PagePreview("Pages printed", 5, 8u))
                                    .push(Spacer())
                                    .push(Text("About a minute left", TextStyle::Caption)))
                          .with_action(Button("Print a document", ButtonStyle::Primary)
                                           .with_id("gallery.print")
                                           .with_icon(vesk_ui::icon::kPrint)
                                           .on_action(std::move(on_press)));
  auto scanner_card =
      Card("Flatbed scanner")
          .push(Text("Ready. Put a page face down on the glass.", TextStyle::Body))
          .push(ProgressBar::indeterminate("Warming up"))
          .push(Row()
                    .spacing(8)
                    .push(Toggle::from_state(cells.duplex, "Both sides").with_id("gallery.duplex"))
                    .push(Text("Both sides", TextStyle::Body)))
          .with_action(Button("Scan", ButtonStyle::Secondary)
                           .with_id("gallery.scan")
                           .with_icon(vesk_ui::icon::kScanner));
  auto settings_card =
      Card("Print settings")
          .push(ToggleGroup("Colour", {"Black and white", "Colour", "Auto"}, cells.mode)
                    .with_id("gallery.mode"))
          .push(Row()
                    .spacing(12)
                    .push(Text("Copies", TextStyle::Body))
                    .push(NumberInput::from_state(cells.copies, "Copies")
                              .with_id("gallery.copies")
                              .with_range(1, 99)))
          .push(Dropdown("Paper size")
                    .with_id("gallery.paper")
                    .with_placeholder("Choose a paper size")
                    .set_value_options("a4", {{"a4", "A4"}, {"letter", "Letter"}, {"a5", "A5"}})
                    .publish_local_state(cells.paper));
  auto crop_card =
      Card("Scanned page")
          .push(ImageCropEditor(120, 160, test_picture(120, 160), cells.crop, "Crop area"))
          .with_action(
              Row()
                  .spacing(8)
                  .push(Button("Rotate").with_icon(vesk_ui::icon::kRotate))
                  .push(Button("Save as PDF", ButtonStyle::Plain).with_icon(vesk_ui::icon::kSave)));
  auto preview_card = Card("Preview")
                          .push(Image(120, 160, test_picture(120, 160), "First page"))
                          .push(Divider())
                          .push(Row()
                                    .spacing(8)
                                    .push(IconWidget(vesk_ui::icon::kDocument, 20))
                                    .push(Text("report.pdf · 8 pages", TextStyle::Caption)));
  auto history_card = Card("Recent")
                          .push(Row()
                                    .spacing(8)
                                    .push(IconWidget(vesk_ui::icon::kDone, 20))
                                    .push(Text("Letter to the bank", TextStyle::Body))
                                    .push(Spacer())
                                    .push(Text("09:12", TextStyle::Caption)))
                          .push(Divider())
                          .push(Row()
                                    .spacing(8)
                                    .push(IconWidget(vesk_ui::icon::kError, 20))
                                    .push(Text("Holiday photos", TextStyle::Body))
                                    .push(Spacer())
                                    .push(Text("Yesterday", TextStyle::Caption)));

  auto content =
      Column()
          .spacing(16)
          .push(Row()
                    .spacing(12)
                    .push(Text("Wendlow", TextStyle::LargeTitle))
                    .push(Spacer())
                    .push(Button("Refresh", ButtonStyle::Plain)
                              .with_id("gallery.refresh")
                              .with_icon(vesk_ui::icon::kRefresh))
                    .push(Button("Add a printer")
                              .with_id("gallery.add")
                              .with_icon(vesk_ui::icon::kAdd)))
          .push(Banner(BannerStyle::Warning, "The office printer is low on cyan ink",
                       "Printing continues; colours may look pale.")
                    .with_action(Button("Show supplies").with_id("gallery.supplies")))
          .push(Banner(BannerStyle::Success, "Scan saved", "Saved to Documents as scan-0412.pdf."))
          .push(Banner(BannerStyle::Error, "The scanner stopped answering",
                       "Check that it is switched on."))
          .push(Banner(BannerStyle::Info, "Two documents are waiting", ""))
          .push(CardGrid()
                    .spacing(16)
                    .min_column(300)
                    .push(std::move(printer_card))
                    .push(std::move(scanner_card))
                    .push(std::move(settings_card))
                    .push(std::move(crop_card))
                    .push(std::move(preview_card))
                    .push(std::move(history_card)))
          .push(Row()
                    .wrapping()
                    .spacing(8)
                    .push(Button("Help").with_icon(vesk_ui::icon::kHelp))
                    .push(Button("Diagnostics").with_icon(vesk_ui::icon::kSettings))
                    .push(Button("History").with_icon(vesk_ui::icon::kHistory))
                    .push(Button("Open a file").with_icon(vesk_ui::icon::kOpen)));
  const int margin = narrow ? 16 : 24;
  return Scrollable()
      .with_child(Container()
                      .maximum_width(1120 + 2 * margin)
                      .padded(margin)
                      .with_child(std::move(content)))
      .boxed();
}

}  // namespace vesk_ui_qt::testing
