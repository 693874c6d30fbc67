#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <thread>

#include "vesk_os/thread.hpp"
#include "vesk_ui/controls.hpp"
#include "vesk_ui/local_state.hpp"
#include "vesk_ui/portal.hpp"
#include "vesk_ui/text_selection.hpp"
#include "vesk_ui/widgets.hpp"

namespace vesk_ui {
namespace {

using namespace widget;
using vesk_actions::resource::ExecutionKind;

TEST(LocalState, SetNotifiesObserversUntilTheSubscriptionEnds) {
  local_state::NumberState copies(1.0);
  auto alias = copies;
  int calls = 0;
  {
    auto subscription = copies.subscribe([&] { ++calls; });
    alias.set(3.0);
    EXPECT_EQ(copies.get(), 3.0);
    EXPECT_EQ(calls, 1);
  }
  alias.set(4.0);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(alias.same_cell(copies));
}

TEST(LocalState, ConcurrentWritersAndReadersStayConsistent) {
  local_state::IndexState index(0);
  std::atomic<int> notified = 0;
  auto subscription = index.subscribe([&] { ++notified; });
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (std::size_t i = 0; i < 500; ++i) index.set(index.get() + 1);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(notified, 2000);
  EXPECT_GT(index.get(), 0u);
}

Column sample_screen(int& presses, local_state::IndexState quality, local_state::BoolState sides) {
  return Column()
      .push(Text("Title", TextStyle::LargeTitle))
      .push(Card("Printer")
                .push(Button("Open").with_id("app.open").on_action([&presses] { ++presses; }))
                .with_action(Button("Retry").with_id("app.retry")))
      .push(ToggleGroup("Quality", {"Low", "High"}, quality).with_id("app.quality"))
      .push(Toggle::from_state(sides, "Both sides"))
      .push(Button("Open").with_id("app.open").on_action([&presses] { presses += 10; }));
}

TEST(Controls, FindInvokeAndSelectByIdInTreeOrder) {
  int presses = 0;
  local_state::IndexState quality(0);
  local_state::BoolState sides(false);
  auto screen = sample_screen(presses, quality, sides);

  EXPECT_EQ(controls::all_ids(screen),
            (std::vector<std::string>{"app.open", "app.retry", "app.quality", "app.open"}));
  EXPECT_EQ(controls::find_all(screen, "app.open").size(), 2u);
  ASSERT_TRUE(controls::invoke(screen, "app.open"));
  EXPECT_EQ(presses, 1) << "the first control with a repeated id is pressed";
  EXPECT_TRUE(controls::invoke(screen, "app.retry")) << "a button without action is fine";
  EXPECT_FALSE(controls::invoke(screen, "app.missing"));
  EXPECT_FALSE(controls::invoke(screen, "app.quality"));

  EXPECT_TRUE(controls::select(screen, "app.quality.select", 1));
  EXPECT_EQ(quality.get(), 1u);
  EXPECT_FALSE(controls::select(screen, "app.quality", 2));
  EXPECT_FALSE(controls::select(screen, "app.quality", -1));
  EXPECT_EQ(quality.get(), 1u);
}

TEST(Controls, ResourcesDescribeInvokeAndSegmentedSelect) {
  int presses = 0;
  auto screen = sample_screen(presses, local_state::IndexState(0), local_state::BoolState(false));
  auto resources = controls::control_resources(screen);
  ASSERT_EQ(resources.size(), 4u);
  EXPECT_EQ(resources[0].id, "vesk.control:app.open");
  EXPECT_EQ(resources[0].kind, "vesk.control");
  ASSERT_EQ(resources[0].actions.size(), 1u);
  EXPECT_EQ(resources[0].actions[0].id, "invoke");
  EXPECT_EQ(resources[0].actions[0].operation_type, "vesk.ui.control.invoke");
  const auto& segmented = resources[2];
  EXPECT_EQ(segmented.id, "vesk.control:app.quality");
  EXPECT_EQ(segmented.kind, "vesk.control.segmented");
  EXPECT_EQ(segmented.actions[0].id, "select");
  EXPECT_EQ(segmented.actions[0].operation_type, "vesk.ui.segmented.select");
  ASSERT_EQ(segmented.actions[0].params.size(), 1u);
  EXPECT_EQ(segmented.actions[0].params[0].name, "index");
  EXPECT_EQ(segmented.actions[0].params[0].type, "integer");
  EXPECT_EQ(segmented.actions[0].params[0].description, "Zero-based segment index");
  EXPECT_EQ(segmented.actions[0].params[0].choices, (std::vector<std::string>{"Low", "High"}));
}

TEST(Controls, ANumberInputTakesAValueOnItsStepsWithinItsRange) {
  local_state::NumberState copies(1.0);
  auto screen = Column().push(
      NumberInput::from_state(copies, "Copies").with_id("app.copies").with_range(1, 99, 2));
  EXPECT_TRUE(controls::select(screen, "app.copies", 5));
  EXPECT_EQ(copies.get(), 5.0);
  for (const std::int64_t refused : std::initializer_list<std::int64_t>{
           0, 100, 4, -1, std::numeric_limits<std::int64_t>::min()}) {
    const auto answer = controls::select(screen, "app.copies", refused);
    ASSERT_FALSE(answer) << refused;
    EXPECT_EQ(answer.error(), "value out of range");
  }
  EXPECT_EQ(copies.get(), 5.0) << "a refused value changes nothing";
  EXPECT_FALSE(controls::invoke(screen, "app.copies"));

  const auto resources = controls::control_resources(screen);
  ASSERT_EQ(resources.size(), 1u);
  EXPECT_EQ(resources[0].kind, "vesk.control.number");
  EXPECT_EQ(resources[0].actions[0].operation_type, "vesk.ui.segmented.select");
}

TEST(Controls, ACropEditorTakesOnlyAnOrderedSelectionInsideTheImage) {
  local_state::CropState cell(image_crop::CropSelection{});
  auto screen = Column()
                    .push(ImageCropEditor(4, 4, {}, cell, "Page 1").with_id("app.crop"))
                    .push(Button("Apply").with_id("app.apply"));
  const image_crop::CropSelection inner{0.1, 0.2, 0.9, 0.8};
  ASSERT_TRUE(controls::crop(screen, "app.crop", inner));
  EXPECT_EQ(cell.get(), inner);

  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const image_crop::CropSelection bad : {image_crop::CropSelection{0.5, 0, 0.5, 1},
                                              {0.6, 0, 0.4, 1},
                                              {-0.1, 0, 1, 1},
                                              {0, 0, 1, 1.01},
                                              {nan, 0, 1, 1},
                                              {0, 0, 1, nan}}) {
    EXPECT_FALSE(controls::crop(screen, "app.crop", bad));
  }
  EXPECT_EQ(cell.get(), inner) << "a refused selection changes nothing";
  EXPECT_EQ(controls::crop(screen, "app.apply", inner).error(),
            "control app.apply is not a crop editor");
  EXPECT_FALSE(controls::crop(screen, "app.missing", inner));

  const auto resources = controls::control_resources(screen);
  ASSERT_EQ(resources.size(), 2u);
  EXPECT_EQ(resources[0].kind, "vesk.control.crop");
  EXPECT_EQ(resources[0].actions[0].operation_type, "vesk.ui.crop.select");
  EXPECT_EQ(resources[0].actions[0].params.size(), 4u);
}

TEST(Controls, TextsIncludeTitlesLabelsAndBannerBodies) {
  auto screen = Column()
                    .push(Banner(BannerStyle::Error, "Problem", "Details here"))
                    .push(Card("Heading").push(Text("Body")))
                    .push(ProgressBar::indeterminate("Loading"));
  EXPECT_EQ(controls::all_texts(screen),
            (std::vector<std::string>{"Problem", "Details here", "Heading", "Body", "Loading"}));
}

TEST(Dropdown, ChoosingWritesThePublishedStateAndCallsBack) {
  local_state::TextState published;
  std::string chosen;
  auto dropdown = Dropdown("Printer")
                      .with_id("app.printer")
                      .set_value_options(std::nullopt, {{"q1", "One"}, {"q2", "Two"}})
                      .on_choice([&](const std::string& value) { chosen = value; })
                      .publish_local_state(published);
  EXPECT_TRUE(controls::select(dropdown, "app.printer", 1));
  EXPECT_EQ(chosen, "q2");
  EXPECT_EQ(published.get(), "q2");
  EXPECT_FALSE(controls::select(dropdown, "app.printer", 2));

  // Scripts see the options they choose from, in index order.
  const auto resources = controls::control_resources(dropdown);
  ASSERT_EQ(resources.size(), 1u);
  EXPECT_EQ(resources[0].kind, "vesk.control.segmented");
  EXPECT_EQ(resources[0].actions[0].operation_type, "vesk.ui.segmented.select");
  EXPECT_EQ(resources[0].actions[0].params[0].choices, (std::vector<std::string>{"One", "Two"}));
}

struct ScriptedPicker : portal::PickerBackend {
  void pick(const portal::PickRequest& request,
            vesk_os::OneshotSender<portal::PickResult> reply) override {
    seen_thread = vesk_os::current_thread_name();
    seen_title = request.title;
    std::move(reply).send(portal::Chosen{"/tmp/chosen.pdf"});
  }
  std::string seen_thread;
  std::string seen_title;
};

template <class T>
std::expected<T, vesk_os::RecvError> wait_for(vesk_os::OneshotReceiver<T>& rx) {
  for (int i = 0; i < 1000 && !rx.ready(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return rx.try_recv();
}

TEST(Portal, RequestRunsOnItsNamedThreadAndAnswersOnce) {
  portal::ScopedPicker<ScriptedPicker> picker;
  auto rx = portal::PickRequest::open("Choose a document to print", "Choose")
                .filter(portal::FileFilter::create("Documents").mimetype("application/pdf"))
                .all_files()
                .thread_name("wendlow-pick-document")
                .send();
  auto result = wait_for(rx);
  ASSERT_TRUE(result);
  EXPECT_EQ(std::get<portal::Chosen>(*result).path, "/tmp/chosen.pdf");
  EXPECT_EQ(picker->seen_thread, "wendlow-pick-document");
  EXPECT_EQ(picker->seen_title, "Choose a document to print");
}

TEST(Portal, WithoutABackendTheAnswerIsAFailure) {
  portal::ScopedPicker<> none(nullptr);
  auto rx = portal::PickRequest::save("Save", "Save", "page.png").send();
  auto result = wait_for(rx);
  ASSERT_TRUE(result);
  EXPECT_TRUE(std::holds_alternative<portal::Failed>(*result));
}

TEST(Clipboard, CopiesThroughTheInstalledBackendOrFails) {
  struct Recording : text_selection::ClipboardBackend {
    std::expected<void, std::string> copy(const std::string& text) override {
      copied = text;
      return {};
    }
    std::string copied;
  };
  {
    text_selection::ScopedClipboard<> none(nullptr);
    EXPECT_FALSE(text_selection::clipboard_copy("x"));
  }
  text_selection::ScopedClipboard<Recording> recording;
  EXPECT_TRUE(text_selection::clipboard_copy("hello"));
  EXPECT_EQ(recording->copied, "hello");
}

TEST(Clipboard, TheGuardPutsBackTheClipboardItReplaced) {
  struct Named : text_selection::ClipboardBackend {
    explicit Named(std::string name) : name(std::move(name)) {}
    std::expected<void, std::string> copy(const std::string&) override {
      return std::unexpected(name);
    }
    std::string name;
  };
  text_selection::ScopedClipboard<Named> outer(std::make_shared<Named>("outer"));
  {
    text_selection::ScopedClipboard<Named> inner(std::make_shared<Named>("inner"));
    EXPECT_EQ(text_selection::clipboard_copy("x").error(), "inner");
  }
  EXPECT_EQ(text_selection::clipboard_copy("x").error(), "outer");
}

}  // namespace
}  // namespace vesk_ui
