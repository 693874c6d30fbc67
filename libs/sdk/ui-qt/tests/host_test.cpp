// The host's update cycle: input, waking, idle updates and re-realization.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <thread>

#include "qt_app.hpp"
#include "test_roots.hpp"
#include "vesk_os/channel.hpp"
#include "vesk_ui_qt/host.hpp"

namespace vesk_ui_qt {
namespace {

using namespace vesk_ui::widget;
using testing::process_until;
using testing::SwitchingRoot;

WidgetBox screen(const std::string& id) {
  return Column().push(Text("Screen " + id)).push(Button("Go").with_id(id)).boxed();
}

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::test_app(); }

  // A host over a switching root; the root stays reachable through `root`.
  Host& start(WidgetBox first) {
    auto owned = std::make_unique<SwitchingRoot>(std::move(first));
    root = owned.get();
    host = std::make_unique<Host>(std::move(owned), vesk_ui::theme::Theme::light());
    host->window().resize(640, 480);
    host->window().show();
    return *host;
  }

  SwitchingRoot* root = nullptr;
  std::unique_ptr<Host> host;
};

TEST_F(HostTest, ReplacingTheViewRealizesTheNewTreeOnce) {
  Host& shown = start(screen("first"));
  ASSERT_NE(shown.window().findChild<QPushButton*>("first"), nullptr);
  EXPECT_EQ(shown.realization_count(), 1);

  // Two replacements in one update turn still realize once.
  int step = 0;
  root->on_update = [&] {
    if (step >= 2) return false;
    root->replace(screen(step++ == 0 ? "middle" : "second"));
    return true;
  };
  shown.request_cycle();
  ASSERT_TRUE(
      process_until([&] { return shown.window().findChild<QPushButton*>("second") != nullptr; }));
  ASSERT_TRUE(
      process_until([&] { return shown.window().findChild<QPushButton*>("first") == nullptr; }));
  testing::process_turns();
  EXPECT_EQ(shown.realization_count(), 2);
  EXPECT_EQ(shown.window().findChild<QPushButton*>("middle"), nullptr);
  EXPECT_TRUE(shown.settled());
}

TEST_F(HostTest, AClickReplacingItsOwnButtonIsSafeAndRunsTheCycle) {
  auto pressed = std::make_shared<bool>(false);
  Host& shown =
      start(Column()
                .push(Button("Next").with_id("next").on_action([pressed] { *pressed = true; }))
                .boxed());
  root->on_update = [&] {
    if (!*pressed) return false;
    *pressed = false;
    root->replace(screen("after"));
    return true;
  };
  auto* button = shown.window().findChild<QPushButton*>("next");
  ASSERT_NE(button, nullptr);
  QTest::mouseClick(button, Qt::LeftButton);
  ASSERT_TRUE(
      process_until([&] { return shown.window().findChild<QPushButton*>("after") != nullptr; }));
  EXPECT_TRUE(
      process_until([&] { return shown.window().findChild<QPushButton*>("next") == nullptr; }));
}

TEST_F(HostTest, ALocalFileDroppedOnTheWindowReachesTheRoot) {
  Host& shown = start(screen("drop"));
  ASSERT_TRUE(process_until([&] { return shown.settled(); }));
  QMimeData remote;
  remote.setUrls({QUrl("https://example.com/a.pdf")});
  QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &remote, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&shown.window(), &refused);
  EXPECT_FALSE(refused.isAccepted()) << "only local files are taken";

  QMimeData local;
  local.setUrls({QUrl::fromLocalFile("/tmp/Travel itinerary.pdf")});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &local, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&shown.window(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  const int before = root->updates;
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &local, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&shown.window(), &drop);
  ASSERT_EQ(root->dropped.size(), 1u);
  EXPECT_EQ(root->dropped.front(), std::filesystem::path("/tmp/Travel itinerary.pdf"));
  EXPECT_TRUE(process_until([&] { return root->updates > before; })) << "the cycle runs";
}

TEST_F(HostTest, InputRunsAnUpdate) {
  Host& shown = start(screen("only"));
  ASSERT_TRUE(process_until([&] { return shown.settled(); }));
  const int before = root->updates;
  auto* button = shown.window().findChild<QPushButton*>("only");
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_TRUE(process_until([&] { return root->updates > before; }));
}

TEST_F(HostTest, AMessageFromABackgroundThreadWakesTheHost) {
  Host& shown = start(screen("idle"));
  ASSERT_TRUE(process_until([&] { return shown.settled(); }));
  ASSERT_TRUE(root->waker.has_value());

  auto [sender, receiver] = vesk_os::channel<std::string>();
  receiver.set_waker(*root->waker);
  std::string received;
  root->on_update = [&] {
    auto message = receiver.try_recv();
    if (!message) return false;
    received = *message;
    root->replace(screen(received));
    return true;
  };
  std::thread([sender = sender] { sender.send("done"); }).join();
  // No input at all: only the waker can bring the message in.
  EXPECT_TRUE(
      process_until([&] { return shown.window().findChild<QPushButton*>("done") != nullptr; }));
  EXPECT_EQ(received, "done");
}

TEST_F(HostTest, UpdatesContinueWhileTheRootWaitsForIdleSync) {
  Host& shown = start(screen("waiting"));
  ASSERT_TRUE(process_until([&] { return shown.settled(); }));
  root->idle = true;
  shown.request_cycle();
  const int start_count = root->updates;
  EXPECT_TRUE(process_until([&] { return root->updates >= start_count + 4; }));
  root->idle = false;
  // The next idle tick sees that nothing is pending any more and stops the timer.
  const int before_stop = root->updates;
  ASSERT_TRUE(process_until([&] { return root->updates > before_stop; }));
  testing::process_turns();
  const int stopped = root->updates;
  QTest::qWait(100);
  EXPECT_EQ(root->updates, stopped);
}

TEST_F(HostTest, ARootThatKeepsChangingDoesNotStarveTheEventLoop) {
  Host& shown = start(screen("busy"));
  int remaining = 200;
  root->on_update = [&] { return remaining-- > 0; };
  shown.run_cycle();
  EXPECT_LT(remaining, 200);
  EXPECT_GT(remaining, 0);  // bounded per turn
  EXPECT_TRUE(process_until([&] { return remaining < 0; }));
}

TEST_F(HostTest, TheScrollPositionSurvivesARealization) {
  auto tall = [](const std::string& id) {
    auto column = Column().spacing(8);
    for (int line = 0; line < 80; ++line) column.push(Text("Line " + std::to_string(line)));
    column.push(Button("End").with_id(id));
    return Scrollable().with_child(std::move(column)).boxed();
  };
  Host& shown = start(tall("one"));
  testing::process_turns();
  auto* area = shown.window().findChild<QAbstractScrollArea*>();
  ASSERT_NE(area, nullptr);
  ASSERT_TRUE(process_until([&] { return area->verticalScrollBar()->maximum() > 300; }));
  area->verticalScrollBar()->setValue(300);
  root->on_update = [&] {
    root->replace(tall("two"));
    root->on_update = nullptr;
    return true;
  };
  shown.request_cycle();
  ASSERT_TRUE(
      process_until([&] { return shown.window().findChild<QPushButton*>("two") != nullptr; }));
  auto* again = shown.window().findChild<QPushButton*>("two")->parentWidget();
  while (again && !qobject_cast<QAbstractScrollArea*>(again)) again = again->parentWidget();
  ASSERT_NE(again, nullptr);
  QScrollBar* bar = qobject_cast<QAbstractScrollArea*>(again)->verticalScrollBar();
  EXPECT_TRUE(process_until([&] { return bar->value() == 300; })) << bar->value();
}

}  // namespace
}  // namespace vesk_ui_qt
