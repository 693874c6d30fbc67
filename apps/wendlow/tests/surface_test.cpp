// The update cycle: one event per call in a fixed order, forwarding, idle sync and waking.
#include "surface.hpp"

#include <gtest/gtest.h>

#include <atomic>

#include "samples.hpp"
#include "screen_support.hpp"
#include "test_support.hpp"

namespace wendlow::surface {
namespace {

using os_actions::printing::FakeMethod;
using testing::FakeService;
using testing::shown_title;
using testing::shows_text;
using testing::update_until;

// A view that counts the calls the state forwards to it.
class CountingView final : public vesk_ui::widget::Widget {
 public:
  explicit CountingView(int* updates, bool answer) : updates_(updates), answer_(answer) {}
  bool update() override {
    ++*updates_;
    return answer_;
  }
  std::string_view type_name() const override { return "CountingView"; }

 private:
  int* updates_;
  bool answer_;
};

using testing::idle_state;

using testing::ready;

TEST(UpdateCycle, HandlesOneEventPerCallInTheFixedSourceOrder) {
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  state.events_tx.send(op::ShowHistory{});
  state.refresh_rx = ready(samples::snapshot());
  state.save_pick_rx = ready(vesk_ui::portal::PickResult{vesk_ui::portal::Cancelled{}});
  state.preview_rx = ready(thumbnail::generate::Result(std::unexpected("no preview")));
  state.document_pick_rx = ready(vesk_ui::portal::PickResult{vesk_ui::portal::Cancelled{}});

  ASSERT_TRUE(update(state));
  EXPECT_FALSE(state.document_pick_rx);
  EXPECT_TRUE(state.preview_rx);
  ASSERT_TRUE(update(state));
  EXPECT_FALSE(state.preview_rx);
  EXPECT_TRUE(state.save_pick_rx);
  ASSERT_TRUE(update(state));
  EXPECT_FALSE(state.save_pick_rx);
  EXPECT_TRUE(state.refresh_rx);
  ASSERT_TRUE(update(state));
  EXPECT_FALSE(state.refresh_rx);
  EXPECT_TRUE(shows_text(state, "Your printers")) << "a refresh result always shows the dashboard";
  ASSERT_TRUE(update(state)) << "the operation waited behind the refresh result";
  EXPECT_EQ(shown_title(state), "Print history");
}

TEST(UpdateCycle, ForwardsToTheViewWhenNothingIsPending) {
  Wendlow state = idle_state();
  int updates = 0;
  state.set_view(std::make_unique<CountingView>(&updates, false));
  EXPECT_FALSE(update(state));
  state.set_view(std::make_unique<CountingView>(&updates, true));
  EXPECT_TRUE(update(state));
  EXPECT_EQ(updates, 2);
  state.events_tx.send(op::ScanAnother{});  // no snapshot: shows nothing new
  EXPECT_TRUE(update(state));
  EXPECT_EQ(updates, 2) << "a handled event is not forwarded";
}

TEST(UpdateCycle, NeedsIdleSyncOnlyForRefreshAndPickers) {
  Wendlow state = idle_state();
  EXPECT_FALSE(state.needs_idle_sync());
  auto [preview_tx, preview_rx] = vesk_os::oneshot<thumbnail::generate::Result>();
  state.preview_rx = std::move(preview_rx);
  state.events_tx.send(op::Refresh{});
  EXPECT_FALSE(state.needs_idle_sync()) << "a preview or queued messages do not hold idle sync";
  auto [refresh_tx, refresh_rx] = vesk_os::oneshot<DeviceSnapshot>();
  state.refresh_rx = std::move(refresh_rx);
  EXPECT_TRUE(state.needs_idle_sync());
  state.refresh_rx.reset();
  auto [pick_tx, pick_rx] = vesk_os::oneshot<vesk_ui::portal::PickResult>();
  state.document_pick_rx = std::move(pick_rx);
  EXPECT_TRUE(state.needs_idle_sync());
  state.document_pick_rx.reset();
  auto [save_tx, save_rx] = vesk_os::oneshot<vesk_ui::portal::PickResult>();
  state.save_pick_rx = std::move(save_rx);
  EXPECT_TRUE(state.needs_idle_sync());
}

TEST(UpdateCycle, ReplacingTheViewMarksTheStructureDirtyOnce) {
  Wendlow state = idle_state();
  EXPECT_TRUE(state.take_structure_dirty());
  EXPECT_FALSE(state.take_structure_dirty());
  state.events_tx.send(op::ShowDashboard{});
  update(state);
  EXPECT_TRUE(state.take_structure_dirty());
}

TEST(Waking, ATaskResultWakesTheHostWithoutInput) {
  FakeService service;
  Wendlow state = idle_state();
  std::atomic<int> wakes = 0;
  vesk_os::Waker waker;
  waker.set_target([&] { ++wakes; });
  state.install_waker(waker);
  apply_operation(state, op::Refresh{});
  for (int i = 0; i < 1000 && wakes == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_GE(wakes.load(), 1) << "the refresh result woke the host";
  state.events_tx.send(op::ShowDashboard{});
  EXPECT_GE(wakes.load(), 2);
}

}  // namespace
}  // namespace wendlow::surface
