// The print screen, read headlessly from its widget tree.
#include <gtest/gtest.h>

#include <cmath>

#include "samples.hpp"
#include "screen_support.hpp"
#include "screens/screens.hpp"
#include "vesk_ui/controls.hpp"

namespace wendlow::screens {
namespace {

namespace w = vesk_ui::widget;
namespace controls = vesk_ui::controls;
using testing::all_of_type;
using testing::Built;

struct Inputs {
  DeviceSnapshot snapshot = samples::snapshot();
  std::filesystem::path document = "/home/alex/Travel itinerary.pdf";
  DocumentPreview preview = preview::Preparing{};
  std::optional<std::string> printer = "Studio_printer";
  vesk_ui::local_state::NumberState copies{1.0};
  vesk_ui::local_state::BoolState two_sided{false};
};

Built build_print(const Inputs& in) {
  return testing::build([&](const EventSender& events) {
    return print({in.snapshot, in.document, in.preview, in.printer, in.copies, in.two_sided},
                 events);
  });
}

TEST(PrintScreen, TheTreeInOrder) {
  Inputs in;
  Built built = build_print(in);
  EXPECT_EQ(built.title(), "Print a document");
  const auto texts = built.texts();
  const std::vector<std::string> expected = {"Wendlow",
                                             "Print a document",
                                             "Review the document and choose a printer",
                                             "Travel itinerary.pdf",
                                             "Ready to print",
                                             "The printer will render this document",
                                             "Printing options",
                                             "Copies",
                                             "Print on both sides",
                                             "Printer",
                                             "Choose where to send this document.",
                                             "Cancel",
                                             "Print"};
  std::vector<std::string> seen;
  for (const auto& text : texts) {
    if (std::ranges::count(expected, text) && (seen.empty() || seen.back() != text)) {
      seen.push_back(text);  // a control's label may repeat its caption
    }
  }
  EXPECT_EQ(seen, expected);

  // The three cards, each in a container 260 wide, then a divider and the buttons.
  std::vector<std::optional<std::string>> card_titles;
  for (const auto* container : all_of_type<w::Container>(*built.view)) {
    if (container->fixed_width != 260) continue;
    const auto* card = dynamic_cast<const w::Card*>(container->child.get());
    ASSERT_NE(card, nullptr);
    card_titles.push_back(card->title);
  }
  EXPECT_EQ(card_titles, (std::vector<std::optional<std::string>>{"Travel itinerary.pdf",
                                                                  "Printing options", "Printer"}));
  EXPECT_EQ(all_of_type<w::Divider>(*built.view).size(), 1u);
  EXPECT_TRUE(std::holds_alternative<op::ShowDashboard>(built.press(ids::kBack)));
  EXPECT_TRUE(std::holds_alternative<op::CancelPrint>(built.press(ids::kPrintCancel)));
  EXPECT_TRUE(std::holds_alternative<op::SubmitPrint>(built.press(ids::kPrintSubmit)));
  const auto* print_button = controls::find_as<w::Button>(*built.view, ids::kPrintSubmit);
  EXPECT_EQ(print_button->style, w::ButtonStyle::Primary);
}

TEST(PrintScreen, ThePreviewAreaFollowsThePreview) {
  Inputs in;
  Built preparing = build_print(in);
  const auto bars = all_of_type<w::ProgressBar>(*preparing.view);
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_FALSE(bars.front()->fraction) << "indeterminate";
  EXPECT_EQ(bars.front()->label, "Preparing document preview");
  EXPECT_FALSE(preparing.shows("Preview unavailable"));

  in.preview = samples::print_preview();
  Built ready = build_print(in);
  const auto images = all_of_type<w::Image>(*ready.view);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images.front()->width, 320u);
  EXPECT_EQ(images.front()->height, 420u);
  EXPECT_EQ(images.front()->label, "Preview of Travel itinerary.pdf");
  EXPECT_TRUE(all_of_type<w::ProgressBar>(*ready.view).empty());

  in.preview = preview::Unavailable{};
  Built unavailable = build_print(in);
  EXPECT_TRUE(unavailable.shows("Preview unavailable"));
  EXPECT_TRUE(unavailable.shows("The original document is unchanged."));
  EXPECT_EQ(all_of_type<w::IconWidget>(*unavailable.view).size(), 1u);
  // Only the preview area changes between the three.
  auto without_preview = [](std::vector<std::string> texts) {
    std::erase_if(texts, [](const std::string& t) {
      return t == "Preview unavailable" || t == "The original document is unchanged." ||
             t == "Preparing document preview" || t == "Preview of Travel itinerary.pdf";
    });
    return texts;
  };
  EXPECT_EQ(without_preview(unavailable.texts()), without_preview(preparing.texts()));
  EXPECT_EQ(without_preview(ready.texts()), without_preview(preparing.texts()));
}

TEST(PrintScreen, ThePrinterListOffersEveryQueueWithItsState) {
  Inputs in;
  auto hall = in.snapshot.queues->front();
  hall.name = "Hall_printer-2";
  hall.state = os_actions::printing::QueueState::Paused;
  hall.is_default = false;
  in.snapshot.queues->push_back(hall);
  in.printer = "Hall_printer-2";
  Built built = build_print(in);
  const auto* dropdown = controls::find_as<w::Dropdown>(*built.view, ids::kPrintPrinter);
  ASSERT_NE(dropdown, nullptr);
  EXPECT_EQ(dropdown->label, "Printer");
  EXPECT_EQ(dropdown->placeholder, "Choose a printer");
  EXPECT_EQ(dropdown->value, "Hall_printer-2");
  EXPECT_EQ(dropdown->options,
            (std::vector<w::DropdownOption>{{"Studio_printer", "Studio printer (Printing)"},
                                            {"Hall_printer-2", "Hall printer 2 (Paused)"}}));
  ASSERT_TRUE(controls::select(*built.view, ids::kPrintPrinter, 0));
  auto chosen = built.rx.try_recv();
  ASSERT_TRUE(chosen);
  ASSERT_TRUE(std::holds_alternative<op::ChoosePrintPrinter>(*chosen));
  EXPECT_EQ(std::get<op::ChoosePrintPrinter>(*chosen).queue, "Studio_printer");
}

TEST(PrintScreen, WithoutAPrinterOnlyThePlaceholderAndNoPrintButton) {
  Inputs in;
  in.snapshot.queues->clear();
  in.printer.reset();
  Built empty = build_print(in);
  const auto* dropdown = controls::find_as<w::Dropdown>(*empty.view, ids::kPrintPrinter);
  ASSERT_NE(dropdown, nullptr);
  EXPECT_TRUE(dropdown->options.empty());
  EXPECT_FALSE(dropdown->value);
  EXPECT_FALSE(empty.has(ids::kPrintSubmit));
  EXPECT_TRUE(empty.has(ids::kPrintCancel));
  EXPECT_FALSE(empty.shows("Printers couldn't be checked"));

  in.snapshot.queues = std::unexpected("down");
  Built failed = build_print(in);
  EXPECT_TRUE(failed.shows("Printers couldn't be checked")) << "the service problem banner";
  EXPECT_FALSE(failed.has(ids::kPrintSubmit));
}

TEST(PrintScreen, CopiesAndTwoSidedAreBoundToTheirCells) {
  Inputs in;
  in.copies.set(3.0);
  in.two_sided.set(true);
  Built built = build_print(in);
  const auto* copies = controls::find_as<w::NumberInput>(*built.view, ids::kPrintCopies);
  ASSERT_NE(copies, nullptr);
  EXPECT_EQ(copies->label, "Number of copies");
  EXPECT_EQ(copies->minimum, 1);
  EXPECT_EQ(copies->maximum, 99);
  EXPECT_EQ(copies->step, 1);
  copies->state.set(7.0);
  EXPECT_EQ(in.copies.get(), 7.0) << "the input writes the state's own cell";
  const auto toggles = all_of_type<w::Toggle>(*built.view);
  ASSERT_EQ(toggles.size(), 1u);
  EXPECT_EQ(toggles.front()->id, std::string(ids::kPrintTwoSided));
  EXPECT_EQ(toggles.front()->label, "Print on both sides");
  ASSERT_TRUE(controls::invoke(*built.view, ids::kPrintTwoSided)) << "scripts flip it by id";
  EXPECT_FALSE(in.two_sided.get());
  ASSERT_TRUE(controls::select(*built.view, ids::kPrintCopies, 2)) << "scripts set the copies";
  EXPECT_EQ(in.copies.get(), 2.0);
  EXPECT_FALSE(built.rx.try_recv()) << "inputs send no operation";
}

TEST(PrintScreen, AFileNameThatIsNotTextIsTheSelectedDocument) {
  Inputs in;
  in.document = "/tmp/\xff\xfe.pdf";
  in.preview = samples::print_preview();
  Built built = build_print(in);
  EXPECT_TRUE(built.shows("Selected document"));
  EXPECT_EQ(all_of_type<w::Image>(*built.view).front()->label, "Preview of Selected document");
}

}  // namespace
}  // namespace wendlow::screens
