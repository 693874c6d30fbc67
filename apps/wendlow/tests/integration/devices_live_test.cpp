// The device screens driven live against the private print service: every action is
// pressed on the screen that offers it, and the refresh that follows must show its effect.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "bed.hpp"
#include "control_ids.hpp"
#include "os_actions/printing/printing.hpp"
#include "screen_support.hpp"
#include "surface.hpp"
#include "test_support.hpp"
#include "vesk_ui/controls.hpp"
#include "vesk_ui/portal.hpp"

namespace wendlow {
namespace {

namespace bed = os_actions::printing::bed;
namespace printing = os_actions::printing;
namespace controls = vesk_ui::controls;
using namespace std::chrono_literals;
using surface::apply_operation;
using surface::Wendlow;
using testing::shown_title;
using testing::shows_text;

// Runs the update cycle until `done` holds; false after `timeout`.
bool settle(Wendlow& state, const std::function<bool()>& done,
            std::chrono::milliseconds timeout = 30s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (!surface::update(state)) std::this_thread::sleep_for(5ms);
  }
  return true;
}

class DevicesLive : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_BED();
    bed::reset();
    previous_ = printing::install_backend(printing::make_system_backend());
  }
  void TearDown() override {
    if (previous_) printing::install_backend(previous_);
  }

  // The live start, settled on its first dashboard.
  Wendlow started() {
    Wendlow state = Wendlow::new_live();
    EXPECT_TRUE(settle(state, [&] { return !state.refresh_rx; }));
    EXPECT_EQ(shown_title(state), "Wendlow");
    return state;
  }

  // Presses a control of the screen on display and applies what it sent.
  static void press(Wendlow& state, std::string_view id) {
    ASSERT_TRUE(state.view);
    ASSERT_TRUE(controls::invoke(*state.view, id).has_value()) << id;
    ASSERT_TRUE(surface::update(state));
  }

  // Waits for the task's notice and the refresh after it, which ends on the dashboard.
  static Notice outcome(Wendlow& state) {
    state.notice.reset();
    EXPECT_TRUE(settle(state, [&] { return state.notice && !state.refresh_rx; }));
    EXPECT_EQ(shown_title(state), "Wendlow");
    return state.notice.value_or(Notice{});
  }

  // The newest job titled `title` in the last snapshot.
  static std::optional<printing::PrintJob> job_titled(const Wendlow& state,
                                                      const std::string& title) {
    if (!state.snapshot || !state.snapshot->jobs) return std::nullopt;
    for (const auto& job : *state.snapshot->jobs) {
      if (job.title == title) return job;
    }
    return std::nullopt;
  }

  static std::filesystem::path document(const std::string& name) {
    auto path = bed::dir() / "files" / name;
    std::filesystem::copy_file(bed::sample_pdf(), path,
                               std::filesystem::copy_options::overwrite_existing);
    return path;
  }

  // Refreshes until the snapshot shows `title` in `state_wanted`.
  static bool refreshed_until(Wendlow& state, const std::string& title, printing::JobState wanted) {
    return bed::eventually([&] {
      apply_operation(state, op::Refresh{});
      settle(state, [&] { return !state.refresh_rx; });
      auto job = job_titled(state, title);
      return job && job->state == wanted;
    });
  }

 private:
  std::shared_ptr<printing::Backend> previous_;
};

TEST_F(DevicesLive, ACanceledDocumentIsCanceledOnlyAfterTheConfirmation) {
  ASSERT_TRUE(printing::set_enabled("Problem_printer", false));
  ASSERT_TRUE(printing::print_document(document("held.pdf"), "Problem_printer", 1, false));
  Wendlow state = started();
  ASSERT_TRUE(refreshed_until(state, "held.pdf", printing::JobState::Waiting));

  press(state, ids::kQueue);  // the dashboard's current document card
  EXPECT_EQ(shown_title(state), "Print queue");
  press(state, ids::kJobCancel);
  EXPECT_TRUE(shows_text(state, "Cancel this document?"));
  EXPECT_TRUE(shows_text(state, "Confirm cancel"));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(printing::jobs()->front().state, printing::JobState::Waiting) << "only asked";

  press(state, ids::kJobCancel);
  const Notice notice = outcome(state);
  EXPECT_EQ(notice, (Notice{"Document canceled", "It was removed from the printer.", true}));
  EXPECT_EQ(job_titled(state, "held.pdf")->state, printing::JobState::Canceled);
  press(state, ids::kHistoryOpen);
  EXPECT_EQ(shown_title(state), "Print history");
  EXPECT_TRUE(shows_text(state, "held.pdf"));
  EXPECT_TRUE(shows_text(state, "Canceled"));
}

TEST_F(DevicesLive, AnAbortedDocumentIsTriedAgainFromTheQueue) {
  ASSERT_TRUE(printing::print_document(document("lost.pdf"), "Dead_printer", 1, false));
  Wendlow state = started();
  ASSERT_TRUE(refreshed_until(state, "lost.pdf", printing::JobState::Aborted));
  // Paused, the printer keeps the document waiting once it is sent again.
  ASSERT_TRUE(printing::set_enabled("Dead_printer", false));
  apply_operation(state, op::ShowQueue{});
  EXPECT_TRUE(shows_text(state, "Could not print"));
  press(state, ids::kJobRetry);
  EXPECT_EQ(outcome(state),
            (Notice{"Document sent again", "It is back in the print queue.", true}));
  EXPECT_EQ(job_titled(state, "lost.pdf")->state, printing::JobState::Waiting);
  apply_operation(state, op::ShowQueue{});
  EXPECT_TRUE(shows_text(state, "Waiting"));
}

TEST_F(DevicesLive, APrintedDocumentIsPrintedAgainFromHistory) {
  ASSERT_TRUE(printing::print_document(document("again.pdf"), "Test_printer", 1, false));
  Wendlow state = started();
  ASSERT_TRUE(refreshed_until(state, "again.pdf", printing::JobState::Completed));
  press(state, ids::kHistoryOpen);
  const auto id = job_titled(state, "again.pdf")->id;
  press(state, std::string(ids::kHistoryRepeatPrefix) + id);
  EXPECT_EQ(outcome(state).title, "Document sent again");
  EXPECT_TRUE(bed::eventually([] {
    const auto log = bed::printed_log();
    return log.find("again.pdf") != log.rfind("again.pdf");
  })) << "the printer received it twice";
}

TEST_F(DevicesLive, TheProblemPrinterIsPausedResumedAndMadePreferred) {
  Wendlow state = started();
  press(state, "wendlow.device.open.Problem_printer");
  EXPECT_EQ(shown_title(state), "Problem printer");
  EXPECT_TRUE(shows_text(state, "Pause printer"));
  EXPECT_TRUE(shows_text(state, "Make preferred"));

  press(state, ids::kDeviceEnabled);
  EXPECT_EQ(outcome(state).title, "Printer paused");
  press(state, "wendlow.device.open.Problem_printer");
  // The scheduler keeps a paused queue accepting: the screen still offers to resume it.
  EXPECT_TRUE(shows_text(state, "Paused"));
  EXPECT_TRUE(shows_text(state, "Resume printer"));

  press(state, ids::kDeviceEnabled);
  EXPECT_EQ(outcome(state).title, "Printer resumed");
  press(state, "wendlow.device.open.Problem_printer");
  EXPECT_TRUE(shows_text(state, "Pause printer"));

  press(state, ids::kDeviceDefault);
  EXPECT_EQ(outcome(state), (Notice{"Preferred printer changed",
                                    "New documents will use Problem printer unless you choose "
                                    "another printer.",
                                    true}));
  press(state, "wendlow.device.open.Problem_printer");
  EXPECT_TRUE(shows_text(state, "Preferred printer"));
  EXPECT_FALSE(testing::has_control(*state.view, ids::kDeviceDefault));
}

TEST_F(DevicesLive, SuppliesAndReasonsAreTheLiveOnesAndTheDeadPrinterSaysSo) {
  bed::set_problem_paper(0);
  bed::set_problem_toner(0);
  Wendlow state = started();
  press(state, ids::kDiagnosticsOpen);
  EXPECT_EQ(shown_title(state), "Device help");
  EXPECT_TRUE(shows_text(state, "2 of 3 printers responded"));
  EXPECT_TRUE(shows_text(state, "Add paper to continue."));
  EXPECT_TRUE(shows_text(state, "Replace the empty supply to continue."));
  EXPECT_TRUE(shows_text(
      state, "Live details are unavailable. The printer may be asleep or disconnected."));
  EXPECT_TRUE(shows_text(state, "Black Toner: 0% remaining"));

  apply_operation(state, op::OpenPrinter{"Problem_printer"});
  EXPECT_TRUE(shows_text(state, "Black Toner: 0% remaining"));
  apply_operation(state, op::OpenPrinter{"Dead_printer"});
  EXPECT_TRUE(shows_text(state, "Cannot reach this printer"));
  // A printer that vanished since the snapshot: the screen stays as it is.
  state.take_structure_dirty();
  apply_operation(state, op::OpenPrinter{"Gone_printer"});
  EXPECT_FALSE(state.take_structure_dirty());
}

// One vendor-neutral picker that always chooses the same file.
struct ChoosesFile final : vesk_ui::portal::PickerBackend {
  explicit ChoosesFile(std::filesystem::path chosen) : path(std::move(chosen)) {}
  void pick(const vesk_ui::portal::PickRequest&,
            vesk_os::OneshotSender<vesk_ui::portal::PickResult> reply) override {
    std::move(reply).send(vesk_ui::portal::Chosen{path});
  }
  std::filesystem::path path;
};

TEST_F(DevicesLive, TheRemotePrinterIsFoundAddedWithOnePressAndPrints) {
  Wendlow state = started();
  const std::string add = std::string(ids::kDiscoverAddPrefix) + "Remote Printer";
  // Resolving a network printer may miss one round of mDNS: up to three searches.
  for (int search = 0; search < 3 && !testing::has_control(*state.view, add); ++search) {
    press(state, search == 0 ? ids::kAdd : ids::kDiscoverRetry);
    EXPECT_TRUE(shows_text(state, "Looking nearby"));
    ASSERT_TRUE(settle(state, [&] { return !shows_text(state, "Looking nearby"); }));
  }
  ASSERT_TRUE(testing::has_control(*state.view, add));
  EXPECT_TRUE(shows_text(state, "Second floor"));

  press(state, add);
  EXPECT_EQ(outcome(state),
            (Notice{"Printer added", "Remote Printer is ready for your apps.", true}));
  EXPECT_TRUE(testing::has_control(*state.view, "wendlow.device.open.Remote_Printer"));

  vesk_ui::portal::ScopedPicker<ChoosesFile> picker(
      std::make_shared<ChoosesFile>(document("remote.pdf")));
  apply_operation(state, op::ChooseDocument{});
  ASSERT_TRUE(settle(state, [&] { return !state.document_pick_rx; }));
  apply_operation(state, op::ChoosePrintPrinter{"Remote_Printer"});
  apply_operation(state, op::SubmitPrint{});
  EXPECT_EQ(outcome(state).title, "Document sent to printer");
  EXPECT_TRUE(bed::eventually(
      [] { return bed::printed_log("remote/ippeve").find("remote.pdf") != std::string::npos; }));
}

TEST_F(DevicesLive, ASearchResultBringsTheDiscoveryScreenBackAfterGoingBack) {
  Wendlow state = started();
  press(state, ids::kAdd);
  press(state, ids::kBack);
  EXPECT_EQ(shown_title(state), "Wendlow");
  ASSERT_TRUE(settle(state, [&] { return shown_title(state) == "Add a printer"; }));
  EXPECT_FALSE(shows_text(state, "Looking nearby"));
}

}  // namespace
}  // namespace wendlow
