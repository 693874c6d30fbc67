// The print screen: the chosen document with its preview, the printing options and the
// printer, then Cancel and Print.
#include <span>

#include "screens/common.hpp"
#include "screens/screens.hpp"
#include "status.hpp"
#include "vesk_ui/icons.hpp"

namespace wendlow::screens {

namespace w = vesk_ui::widget;
namespace icon = vesk_ui::icon;

namespace {

// Each card of the row is this wide; the row wraps in narrow windows.
constexpr int kCardWidth = 260;

WidgetBox preview_area(const DocumentPreview& preview, const std::string& label) {
  if (const auto* ready = std::get_if<preview::Ready>(&preview)) {
    // The host scales the image down to the card's width, keeping its proportions.
    return w::Image(ready->width, ready->height, ready->pixels, "Preview of " + label).boxed();
  }
  if (std::holds_alternative<preview::Preparing>(preview)) {
    return w::ProgressBar::indeterminate("Preparing document preview").boxed();
  }
  return w::Column()
      .spacing(kMetrics.unit)
      .push(w::IconWidget(icon::kDocument, 32))
      .push(w::Text("Preview unavailable"))
      .push(w::Text("The original document is unchanged.", w::TextStyle::Caption))
      .boxed();
}

WidgetBox document_card(const PrintScreenInput& input) {
  const std::string label = status::chosen_file_label(input.document).value_or("Selected document");
  return w::Card(label)
      .push(preview_area(input.preview, label))
      .push(w::Text("Ready to print"))
      .push(w::Text("The printer will render this document", w::TextStyle::Caption))
      .boxed();
}

WidgetBox options_card(const PrintScreenInput& input) {
  return w::Card("Printing options")
      .push(w::Row()
                .spacing(kMetrics.unit)
                .push(w::Text("Copies"))
                .push(w::Spacer())
                .push(w::NumberInput::from_state(input.copies, "Number of copies")
                          .with_id(std::string(ids::kPrintCopies))
                          .with_range(1, 99, 1)))
      .push(w::Row()
                .spacing(kMetrics.unit)
                .push(w::Text("Print on both sides"))
                .push(w::Spacer())
                .push(w::Toggle::from_state(input.two_sided, "Print on both sides")
                          .with_id(std::string(ids::kPrintTwoSided))))
      .boxed();
}

std::vector<w::DropdownOption> printer_options(const DeviceSnapshot& snapshot) {
  std::vector<w::DropdownOption> options;
  if (!snapshot.queues) return options;
  for (const auto& queue : *snapshot.queues) {
    options.push_back({queue.name, status::printer_choice_label(queue)});
  }
  return options;
}

WidgetBox printer_card(const PrintScreenInput& input, const EventSender& events) {
  return w::Card("Printer")
      .push(w::Dropdown("Printer")
                .with_id(std::string(ids::kPrintPrinter))
                .with_placeholder("Choose a printer")
                .set_value_options(input.printer, printer_options(input.snapshot))
                .on_choice([events](const std::string& queue) {
                  events.send(op::ChoosePrintPrinter{queue});
                }))
      .push(w::Text("Choose where to send this document.", w::TextStyle::Caption))
      .boxed();
}

WidgetBox sized(WidgetBox card) {
  return w::Container().width(kCardWidth).with_child(std::move(card)).boxed();
}

}  // namespace

WidgetBox print(const PrintScreenInput& input, const EventSender& events) {
  w::Column content;
  content.push(
      sub_screen_header("Print a document", "Review the document and choose a printer", events));
  if (auto banner =
          service_problem_banner(failed_areas(input.snapshot, true, false, false), events)) {
    content.push(std::move(banner));
  }
  content.push(w::Row()
                   .wrapping()
                   .spacing(kMetrics.card_gap)
                   .aligned(w::Alignment::Start)
                   .push(sized(document_card(input)))
                   .push(sized(options_card(input)))
                   .push(sized(printer_card(input, events))));
  content.push(w::Divider());
  w::Row buttons;
  buttons.gap = kMetrics.unit;
  buttons.push(w::Spacer());
  buttons.push(operation_button("Cancel", ids::kPrintCancel, events, op::CancelPrint{}));
  if (input.printer) {
    buttons.push(operation_button("Print", ids::kPrintSubmit, events, op::SubmitPrint{},
                                  w::ButtonStyle::Primary)
                     .with_icon(icon::kPrint));
  }
  content.push(std::move(buttons));
  return page(std::move(content));
}

}  // namespace wendlow::screens
