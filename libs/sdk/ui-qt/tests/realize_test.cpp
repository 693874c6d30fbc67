// Realizing model trees: control ids, actions and bound inputs in both directions.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <thread>

#include "../src/layouts.hpp"
#include "../src/painted.hpp"
#include "../src/text_label.hpp"
#include "qt_app.hpp"
#include "test_roots.hpp"
#include "vesk_os/channel.hpp"
#include "vesk_ui/controls.hpp"
#include "vesk_ui_qt/realize.hpp"

namespace vesk_ui_qt {
namespace {

using namespace vesk_ui::widget;
using testing::GalleryCells;
using testing::process_until;

class RealizeTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::test_app(); }
  RealizeContext context{vesk_ui::theme::Theme::light(), [this] { ++inputs; }};
  int inputs = 0;
};

TEST_F(RealizeTest, EveryControlIdBecomesAWidgetWithThatNameAndLabel) {
  GalleryCells cells;
  WidgetBox model = testing::gallery(cells, [] {});
  auto tree = realize_tree(*model, context);
  const auto ids = vesk_ui::controls::all_ids(*model);
  ASSERT_GE(ids.size(), 8u);
  for (const std::string& id : ids) {
    auto* widget = tree->findChild<QWidget*>(QString::fromStdString(id));
    ASSERT_NE(widget, nullptr) << id;
    const auto* control = vesk_ui::controls::find(*model, id);
    EXPECT_EQ(widget->accessibleName().toStdString(), vesk_ui::controls::control_label(*control))
        << id;
  }
  // Everything a user reads is on screen.
  auto* title = tree->findChild<QLabel*>();
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text(), QStringLiteral("Wendlow"));
}

TEST_F(RealizeTest, AClickRunsTheModelActionEvenAfterTheModelIsGone) {
  auto [sender, receiver] = vesk_os::channel<int>();
  WidgetBox model = Column()
                        .push(Button("Print", ButtonStyle::Primary)
                                  .with_id("app.print")
                                  .on_action([sender = sender] { sender.send(42); }))
                        .boxed();
  auto tree = realize_tree(*model, context);
  model.reset();  // the application replaced its tree; the realized button stays usable
  auto* button = tree->findChild<QPushButton*>("app.print");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->property("vesk").toString(), QStringLiteral("primary"));
  button->click();
  auto value = receiver.try_recv();
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(*value, 42);
  EXPECT_EQ(inputs, 1);
}

TEST_F(RealizeTest, SpinBoxAndNumberStateFollowEachOtherWithoutEchoes) {
  vesk_ui::local_state::NumberState copies(3);
  int notifications = 0;
  auto counting = copies.subscribe([&] { ++notifications; });
  WidgetBox model =
      NumberInput::from_state(copies, "Copies").with_id("copies").with_range(1, 99).boxed();
  auto tree = realize_tree(*model, context);
  auto* spin = qobject_cast<QDoubleSpinBox*>(tree.get());
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(spin->value(), 3);

  spin->setValue(7);
  EXPECT_EQ(copies.get(), 7);
  testing::process_turns();
  EXPECT_EQ(notifications, 1);  // the widget does not write its own value back

  copies.set(12);
  EXPECT_TRUE(process_until([&] { return spin->value() == 12; }));
  testing::process_turns();
  EXPECT_EQ(notifications, 2);

  // A set from another thread arrives on the UI thread.
  std::thread([copies] { copies.set(30); }).join();
  EXPECT_TRUE(process_until([&] { return spin->value() == 30; }));
  EXPECT_EQ(copies.get(), 30);
}

TEST_F(RealizeTest, ToggleAndToggleGroupFollowTheirCells) {
  vesk_ui::local_state::BoolState duplex(false);
  vesk_ui::local_state::IndexState mode(0);
  WidgetBox model =
      Column()
          .push(Toggle::from_state(duplex, "Both sides").with_id("duplex"))
          .push(ToggleGroup("Colour", {"Grey", "Colour", "Auto"}, mode).with_id("mode"))
          .boxed();
  auto tree = realize_tree(*model, context);
  auto* toggle = tree->findChild<QAbstractButton*>("duplex");
  auto* group = tree->findChild<QWidget*>("mode");
  ASSERT_NE(toggle, nullptr);
  ASSERT_NE(group, nullptr);
  const auto segments = group->findChildren<QPushButton*>();
  ASSERT_EQ(segments.size(), 3);
  EXPECT_TRUE(segments[0]->isChecked());

  toggle->click();
  EXPECT_TRUE(duplex.get());
  duplex.set(false);
  EXPECT_TRUE(process_until([&] { return !toggle->isChecked(); }));

  segments[2]->click();
  EXPECT_EQ(mode.get(), 2u);
  mode.set(1);
  EXPECT_TRUE(process_until([&] { return segments[1]->isChecked(); }));
  EXPECT_FALSE(segments[2]->isChecked());
  // An index outside the segments shows none chosen rather than a stale one.
  mode.set(9);
  EXPECT_TRUE(process_until([&] { return !segments[1]->isChecked(); }));
  EXPECT_EQ(inputs, 2);
}

TEST_F(RealizeTest, DropdownChoosesThroughTheModelAndFollowsItsPublishedCell) {
  vesk_ui::local_state::TextState paper("a4");
  std::string chosen;
  WidgetBox model = Dropdown("Paper size")
                        .with_id("paper")
                        .with_placeholder("Choose")
                        .set_value_options("a4", {{"a4", "A4"}, {"letter", "Letter"}})
                        .on_choice([&](const std::string& value) { chosen = value; })
                        .publish_local_state(paper)
                        .boxed();
  auto tree = realize_tree(*model, context);
  auto* combo = qobject_cast<QComboBox*>(tree.get());
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->currentText(), QStringLiteral("A4"));
  emit combo->activated(1);
  EXPECT_EQ(chosen, "letter");
  EXPECT_EQ(paper.get(), "letter");
  paper.set("a4");
  EXPECT_TRUE(process_until([&] { return combo->currentIndex() == 0; }));
  paper.set("unknown");
  EXPECT_TRUE(process_until([&] { return combo->currentIndex() == -1; }));
  EXPECT_EQ(combo->placeholderText(), QStringLiteral("Choose"));
}

TEST_F(RealizeTest, DraggingTheCropEdgeWritesFractionsWithinThePage) {
  vesk_ui::local_state::CropState crop;
  WidgetBox model =
      ImageCropEditor(100, 100, testing::test_picture(100, 100), crop, "Crop area").boxed();
  auto tree = realize_tree(*model, context);
  tree->resize(200, 200);  // the page fills the editor: one pixel is half a percent
  auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, tree->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(tree.get(), &event);
  };
  send(QEvent::MouseButtonPress, {199, 100}, Qt::LeftButton);  // the right edge
  send(QEvent::MouseMove, {150, 100}, Qt::LeftButton);
  send(QEvent::MouseMove, {-400, 100}, Qt::LeftButton);  // far past the left edge
  send(QEvent::MouseButtonRelease, {-400, 100}, Qt::NoButton);
  const auto selection = crop.get();
  EXPECT_DOUBLE_EQ(selection.left, 0.0);
  EXPECT_NEAR(selection.right, 0.05, 1e-9);  // never narrower than the minimum
  EXPECT_EQ(selection.top, 0.0);
  EXPECT_EQ(selection.bottom, 1.0);
  EXPECT_EQ(inputs, 1);
}

TEST_F(RealizeTest, TheKeyboardMovesTheChosenPartOfTheCropSelection) {
  vesk_ui::local_state::CropState crop({0.2, 0.2, 0.8, 0.8});
  WidgetBox model =
      ImageCropEditor(100, 100, testing::test_picture(100, 100), crop, "Crop area").boxed();
  auto tree = realize_tree(*model, context);
  auto* editor = dynamic_cast<CropEditor*>(tree.get());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->accessibleName(), QStringLiteral("Crop area"));
  EXPECT_TRUE(editor->accessibleDescription().contains(QStringLiteral("20 % left")));
  EXPECT_EQ(editor->focusPolicy(), Qt::StrongFocus);
  tree->resize(200, 200);
  tree->show();
  tree->setFocus();
  auto press = [&](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(tree.get(), &event);
  };
  auto near = [](const vesk_ui::widget::image_crop::CropSelection& a,
                 const vesk_ui::widget::image_crop::CropSelection& b) {
    return std::abs(a.left - b.left) < 1e-9 && std::abs(a.top - b.top) < 1e-9 &&
           std::abs(a.right - b.right) < 1e-9 && std::abs(a.bottom - b.bottom) < 1e-9;
  };
  // The whole selection first: 1 % a press, 10 % with Shift, never off the page.
  press(Qt::Key_Right);
  EXPECT_TRUE(near(crop.get(), {0.21, 0.2, 0.81, 0.8}));
  press(Qt::Key_Down, Qt::ShiftModifier);
  press(Qt::Key_Down, Qt::ShiftModifier);
  press(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_TRUE(near(crop.get(), {0.21, 0.4, 0.81, 1.0}));
  // Tab chooses the left edge, then the top one; an edge moves only across itself.
  press(Qt::Key_Tab);
  EXPECT_EQ(editor->focused_part(), CropEditor::kLeft);
  press(Qt::Key_Right, Qt::ShiftModifier);
  press(Qt::Key_Up);
  EXPECT_TRUE(near(crop.get(), {0.31, 0.4, 0.81, 1.0}));
  for (int i = 0; i < 10; ++i) press(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_NEAR(crop.get().left, 0.76, 1e-9) << "never narrower than 5 %";
  press(Qt::Key_Tab);
  EXPECT_EQ(editor->focused_part(), CropEditor::kTop);
  press(Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_NEAR(crop.get().top, 0.3, 1e-9);
  EXPECT_TRUE(editor->accessibleDescription().contains(QStringLiteral("30 % top")));
  // Back past the first part leaves the editor.
  press(Qt::Key_Backtab, Qt::ShiftModifier);
  press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(editor->focused_part(), CropEditor::kMove);
  // The cell drives the editor as well.
  crop.set({});
  EXPECT_TRUE(process_until([&] { return editor->accessibleDescription().contains("0 % left"); }));
}

TEST_F(RealizeTest, ACropEditorFitsThePageToTheWindowHeight) {
  vesk_ui::local_state::CropState crop;
  QWidget window;
  window.resize(1280, 800);
  auto* layout = new QVBoxLayout(&window);
  WidgetBox model =
      ImageCropEditor(2480, 3508, testing::test_picture(2480, 3508), crop, "Page").boxed();
  auto editor = realize_tree(*model, context);
  auto* page = editor.release();
  layout->addWidget(page);
  window.show();
  EXPECT_EQ(page->sizeHint().height(), 800 - 240);
  EXPECT_NEAR(page->sizeHint().width(), 560 * 2480 / 3508, 1);
  EXPECT_EQ(page->heightForWidth(300), 424);
  window.resize(520, 700);
  EXPECT_TRUE(process_until([&] { return page->sizeHint().height() == 700 - 240; }));
  // A small page is not blown up beyond twice its size.
  WidgetBox small_model =
      ImageCropEditor(100, 120, testing::test_picture(100, 120), crop, "Small").boxed();
  auto small = realize_tree(*small_model, context);
  auto* small_page = small.release();
  layout->addWidget(small_page);
  EXPECT_EQ(small_page->sizeHint(), QSize(200, 240));
}

TEST_F(RealizeTest, PixelsShorterThanTheirSizeShowNoImage) {
  auto short_buffer = std::make_shared<const std::vector<std::uint8_t>>(10, 0);
  EXPECT_TRUE(image_over(100, 100, short_buffer).isNull());
  EXPECT_TRUE(image_over(0, 0, short_buffer).isNull());
  EXPECT_TRUE(image_over(2, 1, nullptr).isNull());
  EXPECT_FALSE(image_over(2, 1, short_buffer).isNull());
  WidgetBox model = Image(100, 100, short_buffer, "Broken").boxed();
  auto tree = realize_tree(*model, context);
  tree->resize(120, 120);
  EXPECT_FALSE(tree->grab().isNull());  // paints a placeholder instead of reading past the end
}

// A page reduced for display keeps its detail at the screen's own pixel density and does not
// alias: thin lines average to their share of grey instead of vanishing or beating, and a
// dark edge stays dark at device resolution.
TEST_F(RealizeTest, ImagesAreReducedWithAnAreaFilterAtDevicePixels) {
  constexpr std::uint32_t kSide = 1440;  // shown 240 wide at two device pixels per unit
  std::vector<std::uint8_t> pixels(std::size_t{kSide} * kSide * 4, 255);
  for (std::uint32_t y = 0; y < kSide; ++y) {
    for (std::uint32_t x = 0; x < kSide; ++x) {
      std::uint8_t* pixel = pixels.data() + (std::size_t{y} * kSide + x) * 4;
      const bool line = x >= kSide / 2 && y % 3 == 0;  // right half: every third row dark
      const bool edge = x < 3;                         // left edge: three dark columns
      if (line || edge) pixel[0] = pixel[1] = pixel[2] = 0;
    }
  }
  WidgetBox model =
      Image(kSide, kSide, std::make_shared<const std::vector<std::uint8_t>>(std::move(pixels)),
            "Page")
          .boxed();
  auto tree = realize_tree(*model, context);
  tree->resize(242, 242);  // the page gets 240 × 240 inside its one-unit edge
  QImage shot(484, 484, QImage::Format_ARGB32);
  shot.setDevicePixelRatio(2);
  shot.fill(Qt::white);
  tree->render(&shot);
  auto grey = [&](int x, int y) { return qGray(shot.pixel(x, y)); };
  EXPECT_LT(grey(1, 242), 235) << "the page's edge shows on white";
  EXPECT_LT(grey(2, 242), 40) << "the dark edge is one device pixel, not half of a unit";
  EXPECT_GT(grey(3, 242), 215);
  for (int y = 100; y < 380; ++y) ASSERT_NEAR(grey(362, y), 170, 12) << "row " << y;
}

TEST_F(RealizeTest, CardGridColumnsFollowTheWidth) {
  CardGridLayout layout(300, 16, 640);
  EXPECT_EQ(layout.columns_for(1232), 3);
  EXPECT_EQ(layout.columns_for(1000), 3);
  EXPECT_EQ(layout.columns_for(700), 2);
  EXPECT_EQ(layout.columns_for(639), 1);  // narrow windows: one column
  EXPECT_EQ(layout.columns_for(0), 1);

  auto grid = CardGrid().min_column(300);
  for (int card = 0; card < 4; ++card) grid.push(Card("Card " + std::to_string(card)));
  WidgetBox model = std::move(grid).boxed();
  auto tree = realize_tree(*model, context);
  tree->layout()->setGeometry(QRect(0, 0, 1000, tree->heightForWidth(1000)));
  const auto cards = tree->findChildren<QFrame*>(QString(), Qt::FindDirectChildrenOnly);
  ASSERT_EQ(cards.size(), 4);
  EXPECT_EQ(cards[0]->y(), cards[2]->y());
  EXPECT_GT(cards[2]->x(), cards[1]->x());
  EXPECT_GT(cards[3]->y(), cards[0]->y());  // the fourth starts a new line
  EXPECT_EQ(cards[3]->x(), 0);
  EXPECT_EQ(cards[0]->width(), cards[1]->width());

  tree->layout()->setGeometry(QRect(0, 0, 520, tree->heightForWidth(520)));
  EXPECT_EQ(cards[1]->x(), 0);
  EXPECT_EQ(cards[1]->width(), 520);
}

TEST_F(RealizeTest, AWrappingRowFlowsOntoMoreLinesWhenNarrow) {
  auto row = Row().wrapping().spacing(8);
  for (int index = 0; index < 6; ++index)
    row.push(Button("Button number " + std::to_string(index)));
  WidgetBox model = std::move(row).boxed();
  auto tree = realize_tree(*model, context);
  const int one_line = tree->heightForWidth(4000);
  const int narrow = tree->heightForWidth(200);
  EXPECT_GT(one_line, 0);
  EXPECT_GE(narrow, 5 * one_line);
}

TEST_F(RealizeTest, UnknownWidgetsAreTransparentWrappers) {
  testing::SwitchingRoot root(Button("Inside").with_id("inside").boxed());
  auto tree = realize_tree(root, context);
  EXPECT_EQ(tree->objectName(), QStringLiteral("inside"));
}

}  // namespace
}  // namespace vesk_ui_qt

namespace vesk_ui_qt {
namespace {

TEST(TextLabelTest, ShortTextsStayOnOneLineAndLongOnesWrapWithFreshMeasurements) {
  testing::test_app();
  TextLabel short_text(QStringLiteral("Ready"));
  const int line = short_text.heightForWidth(400);
  EXPECT_GT(line, 0);
  EXPECT_EQ(short_text.heightForWidth(60), line);
  EXPECT_GE(short_text.minimumSizeHint().width(),
            QFontMetrics(short_text.font()).horizontalAdvance("Ready"));

  TextLabel long_text(QString(QStringLiteral("several words that wrap ")).repeated(12));
  const int wide = long_text.heightForWidth(2000);
  const int narrow = long_text.heightForWidth(200);
  EXPECT_GT(narrow, 3 * wide);
  EXPECT_EQ(long_text.heightForWidth(200), narrow);  // remembered

  // A bigger font must not answer from the old measurements.
  QFont bigger = long_text.font();
  bigger.setPixelSize(bigger.pixelSize() > 0 ? bigger.pixelSize() * 2 : 28);
  long_text.setFont(bigger);
  EXPECT_GT(long_text.heightForWidth(200), narrow);
}

}  // namespace
}  // namespace vesk_ui_qt

namespace vesk_ui_qt {
namespace {

TEST(RealizeEdgeTest, EmptyBoxesInATreeRealizeAsEmptySpace) {
  testing::test_app();
  auto column = Column();
  column.items.push_back(nullptr);
  column.push(Button("Still here").with_id("still"));
  testing::SwitchingRoot root(std::move(column).boxed());
  testing::SwitchingRoot empty_root(nullptr);
  const RealizeContext context;
  auto tree = realize_tree(root, context);
  EXPECT_NE(tree->findChild<QPushButton*>("still"), nullptr);
  EXPECT_NE(realize_tree(empty_root, context), nullptr);
}

}  // namespace
}  // namespace vesk_ui_qt
