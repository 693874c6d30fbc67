// The command line, the registry's names and JSON, and the desktop backends.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <nlohmann/json.hpp>
#include <thread>

#include "../src/backends.hpp"
#include "qt_app.hpp"
#include "test_roots.hpp"
#include "vesk_ui/portal.hpp"
#include "vesk_ui/text_selection.hpp"
#include "vesk_ui_qt/action_registry.hpp"
#include "vesk_ui_qt/launch_options.hpp"

namespace vesk_ui_qt {
namespace {

using namespace vesk_ui::widget;

std::expected<LaunchOptions, std::string> parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "wendlow");
  return parse_launch_options(static_cast<int>(arguments.size()), arguments.data(), "/home/u");
}

TEST(LaunchOptionsTest, FilesAreTakenInOrderAsAbsoluteLocalPaths) {
  auto options =
      parse({"Letter.pdf", "-platform", "offscreen", "--style", "Fusion",
             "file:///tmp/My%20scan.png", "../shared/notes.txt", "https://example.com/a.pdf",
             "--scenario", "print", "--", "--dark", "/abs/-v"});
  ASSERT_TRUE(options.has_value()) << options.error();
  EXPECT_EQ(options->files,
            (std::vector<std::string>{"/home/u/Letter.pdf", "/tmp/My scan.png",
                                      "/home/shared/notes.txt", "/home/u/--dark", "/abs/-v"}))
      << "a remote address names no file here; after -- everything is a file";
  EXPECT_EQ(options->scenario, "print");
  EXPECT_FALSE(options->dark);
  EXPECT_EQ(options->passed_on,
            (std::vector<std::string>{"wendlow", "-platform", "offscreen", "--style", "Fusion"}));
}

TEST(LaunchOptionsTest, OwnOptionsAreTakenOutAndQtsArePassedOnInOrder) {
  auto options = parse({"-platform", "offscreen", "--scenario", "narrow", "--style", "Fusion",
                        "--screenshot=/tmp/shot.png", "--dark", "-reverse"});
  ASSERT_TRUE(options.has_value()) << options.error();
  EXPECT_EQ(options->scenario, "narrow");
  EXPECT_EQ(options->screenshot, "/tmp/shot.png");
  EXPECT_EQ(options->dark, true);
  EXPECT_EQ(options->passed_on, (std::vector<std::string>{"wendlow", "-platform", "offscreen",
                                                          "--style", "Fusion", "-reverse"}));

  auto plain = parse({"--scenario=", "--light"});
  ASSERT_TRUE(plain.has_value());
  EXPECT_EQ(plain->scenario, "");  // the program decides what an empty name means
  EXPECT_EQ(plain->dark, false);
  EXPECT_FALSE(plain->screenshot.has_value());

  auto none = parse({});
  ASSERT_TRUE(none.has_value());
  EXPECT_FALSE(none->scenario.has_value());
  EXPECT_FALSE(none->dark.has_value());
}

TEST(LaunchOptionsTest, AnOptionWithoutItsValueIsAnError) {
  EXPECT_FALSE(parse({"--scenario"}).has_value());
  EXPECT_FALSE(parse({"--screenshot"}).has_value());
  EXPECT_FALSE(parse({"--screenshot="}).has_value());
  // Names that merely begin like ours belong to someone else.
  auto other = parse({"--scenarios", "x"});
  ASSERT_TRUE(other.has_value());
  EXPECT_EQ(other->passed_on, (std::vector<std::string>{"wendlow", "--scenarios"}));
  EXPECT_EQ(other->files, std::vector<std::string>{"/home/u/x"});
}

TEST(ActionRegistryTest, TheObjectPathFollowsTheApplicationId) {
  EXPECT_EQ(actions_object_path("io.github.wendlow.wendlow"), "/io/github/wendlow/wendlow/actions");
  EXPECT_EQ(actions_object_path("org.example.my-app"), "/org/example/my_app/actions");
  EXPECT_EQ(actions_object_path(""), "/actions");
}

TEST(ActionRegistryTest, TheListNamesEveryResourceWithItsActions) {
  vesk_ui::local_state::IndexState mode(0);
  testing::SwitchingRoot root(
      Column()
          .push(Button("Print \xff").with_id("app.print"))
          .push(ToggleGroup("Colour", {"Grey", "Colour"}, mode).with_id("app.mode"))
          .boxed());
  const auto list = nlohmann::json::parse(resources_json(root));
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0]["id"], "test.root");
  EXPECT_EQ(list[0]["actions"][0]["operation_type"], "test.ping");
  EXPECT_EQ(list[0]["actions"][0]["execution"], 1);
  EXPECT_EQ(list[1]["id"], "vesk.control:app.print");
  EXPECT_EQ(list[1]["kind"], "vesk.control");
  EXPECT_EQ(list[1]["actions"][0]["payload"], "app.print");
  EXPECT_EQ(list[2]["kind"], "vesk.control.segmented");
  EXPECT_EQ(list[2]["actions"][0]["params"][0]["name"], "index");
  EXPECT_EQ(list[2]["actions"][0]["params"][0]["type"], "integer");
}

TEST(DesktopBackendsTest, CopiedTextReachesTheClipboardFromAnyThread) {
  testing::test_app();
  const DesktopBackends backends;
  ASSERT_TRUE(vesk_ui::text_selection::clipboard_copy("first").has_value());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("first"));
  std::thread([] { (void)vesk_ui::text_selection::clipboard_copy("from a worker"); }).join();
  EXPECT_TRUE(testing::process_until(
      [] { return QGuiApplication::clipboard()->text() == QStringLiteral("from a worker"); }));
}

TEST(DesktopBackendsTest, ThePickerShowsADialogAndAnswersWhenItCloses) {
  testing::test_app();
  const DesktopBackends backends;
  auto cancelled =
      vesk_ui::portal::PickRequest::open("Choose a document", "Print")
          .filter(vesk_ui::portal::FileFilter::create("PDF documents").mimetype("application/pdf"))
          .all_files()
          .send();
  QFileDialog* dialog = nullptr;
  ASSERT_TRUE(testing::process_until([&] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* found = qobject_cast<QFileDialog*>(widget); found && found->isVisible())
        dialog = found;
    }
    return dialog != nullptr;
  }));
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Choose a document"));
  EXPECT_TRUE(dialog->nameFilters().join(';').contains(QStringLiteral("*.pdf")));
  dialog->reject();
  ASSERT_TRUE(testing::process_until([&] { return cancelled.ready(); }));
  auto answer = cancelled.try_recv();
  ASSERT_TRUE(answer.has_value());
  EXPECT_TRUE(std::holds_alternative<vesk_ui::portal::Cancelled>(*answer));
}

}  // namespace
}  // namespace vesk_ui_qt
