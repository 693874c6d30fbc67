// Choosing a document, the print screen's choices and submitting.
#include "flows/printing.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <mutex>

#include "samples.hpp"
#include "screen_support.hpp"
#include "surface.hpp"
#include "test_support.hpp"
#include "vesk_os/thread.hpp"

namespace wendlow::flows {
namespace {

using os_actions::printing::FakeMethod;
using surface::apply_operation;
using surface::update;
using testing::FakeService;
using testing::shown_title;
using testing::shows_text;
using testing::update_until;

using testing::idle_state;

using testing::ready;

vesk_os::OneshotReceiver<vesk_ui::portal::PickResult> chosen(const std::filesystem::path& path) {
  return ready(vesk_ui::portal::PickResult{vesk_ui::portal::Chosen{path}});
}

// Runs the update cycle until the pending preview has arrived.
bool wait_for_preview(Wendlow& state) {
  return update_until(state, [&] { return !state.preview_rx.has_value(); });
}

// Documents written for one test and removed after it.
class Documents {
 public:
  Documents()
      : dir_(std::filesystem::temp_directory_path() /
             ("wendlow-print-test-" + std::to_string(::getpid()) + "-" +
              std::to_string(counter_++))) {
    std::filesystem::create_directories(dir_);
  }
  ~Documents() { std::filesystem::remove_all(dir_); }
  std::filesystem::path write(const std::string& name, const std::string& content) const {
    std::ofstream(dir_ / name, std::ios::binary) << content;
    return dir_ / name;
  }
  // A colour netpbm image of the given size, which the image library reads.
  std::filesystem::path image(const std::string& name, int width, int height) const {
    return write(name, "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n" +
                           std::string(std::size_t(width) * height * 3, '\x80'));
  }

 private:
  static inline int counter_ = 0;
  std::filesystem::path dir_;
};

const preview::Ready* ready_preview(const Wendlow& state) {
  return std::get_if<preview::Ready>(&state.preview);
}

TEST(Picking, APickerThatGoesAwayIsAFailureWithAFixedNotice) {
  Wendlow state = idle_state();
  {
    auto [tx, rx] = vesk_os::oneshot<vesk_ui::portal::PickResult>();
    state.document_pick_rx = std::move(rx);
  }
  ASSERT_TRUE(update(state));
  EXPECT_FALSE(state.document_pick_rx);
  ASSERT_TRUE(state.notice);
  EXPECT_EQ(state.notice->title, "Could not open the file picker");
  EXPECT_EQ(state.notice->detail, "Try again, or print from the document's app.");
  EXPECT_FALSE(state.notice->success);
  EXPECT_TRUE(shows_text(state, "Set up your first printer"));
}

TEST(Picking, AChosenDocumentPicksThePreferredElseTheFirstPrinter) {
  Wendlow state = idle_state();
  auto snapshot = samples::snapshot();
  auto second = snapshot.queues->front();
  second.name = "Hall_printer";
  snapshot.queues->insert(snapshot.queues->begin(), second);  // first, but not preferred
  snapshot.queues->front().is_default = false;
  state.snapshot = snapshot;
  state.document_pick_rx =
      ready(vesk_ui::portal::PickResult{vesk_ui::portal::Chosen{"/docs/Letter.pdf"}});
  update(state);
  EXPECT_EQ(state.document, std::filesystem::path("/docs/Letter.pdf"));
  EXPECT_EQ(state.print_printer, "Studio_printer");
  EXPECT_EQ(shown_title(state), "Print a document");

  state.snapshot->queues->at(1).is_default = false;
  state.document_pick_rx = ready(vesk_ui::portal::PickResult{vesk_ui::portal::Chosen{"/a.pdf"}});
  update(state);
  EXPECT_EQ(state.print_printer, "Hall_printer");

  state.snapshot->queues = std::unexpected("down");
  state.document_pick_rx = ready(vesk_ui::portal::PickResult{vesk_ui::portal::Chosen{"/b.pdf"}});
  update(state);
  EXPECT_FALSE(state.print_printer);
  state.snapshot->queues = std::vector<os_actions::printing::PrintQueue>{};
  state.document_pick_rx = chosen("/c.pdf");
  update(state);
  EXPECT_FALSE(state.print_printer);
  EXPECT_FALSE(testing::has_control(*state.view, ids::kPrintSubmit)) << "no Print button";
  ASSERT_TRUE(wait_for_preview(state));
}

TEST(Picking, ACancelledPickChangesNothing) {
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  state.document = "/docs/earlier.pdf";
  state.print_printer = "Studio_printer";
  state.events_tx.send(op::ShowHistory{});
  update(state);
  const std::string before = shown_title(state);
  state.document_pick_rx = ready(vesk_ui::portal::PickResult{vesk_ui::portal::Cancelled{}});
  ASSERT_TRUE(update(state));
  EXPECT_FALSE(state.document_pick_rx);
  EXPECT_EQ(shown_title(state), before);
  EXPECT_EQ(state.document, std::filesystem::path("/docs/earlier.pdf"));
  EXPECT_EQ(state.print_printer, "Studio_printer");
  EXPECT_TRUE(std::holds_alternative<preview::Unavailable>(state.preview));
  EXPECT_FALSE(state.notice);
}

TEST(Preview, AChosenDocumentIsPreparedThenShownOnTheRebuiltScreen) {
  Documents documents;
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  vesk_os::clear_spawned_thread_names();
  state.document_pick_rx = chosen(documents.write("notes.txt", "Dear Sam,\nsee you soon.\n"));
  update(state);
  EXPECT_TRUE(std::holds_alternative<preview::Preparing>(state.preview));
  EXPECT_TRUE(shows_text(state, "Preparing document preview"));
  EXPECT_FALSE(state.needs_idle_sync()) << "a pending preview does not hold idle updates";
  ASSERT_TRUE(wait_for_preview(state));
  const auto* image = ready_preview(state);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->height, 720u) << "the longer side is the preview size";
  EXPECT_EQ(image->pixels->size(), std::size_t{image->width} * image->height * 4);
  EXPECT_EQ(shown_title(state), "Print a document");
  EXPECT_TRUE(shows_text(state, "Preview of notes.txt"));
  const auto names = vesk_os::spawned_thread_names();
  EXPECT_EQ(std::ranges::count(names, "vesk-print-preview"), 1);
}

TEST(Preview, ADroppedFileIsChosenWithFreshOptions) {
  Documents documents;
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  state.copies.set(5.0);
  state.two_sided.set(true);
  vesk_ui::widget::Event dropped;
  dropped.kind = vesk_ui::widget::Event::Kind::FileDropped;
  dropped.path = documents.image("dropped.ppm", 12, 10);
  EXPECT_TRUE(state.handle_event(dropped));
  EXPECT_EQ(state.document, dropped.path);
  EXPECT_EQ(state.print_printer, "Studio_printer");
  EXPECT_EQ(state.copies.get(), 1.0);
  EXPECT_FALSE(state.two_sided.get());
  EXPECT_EQ(shown_title(state), "Print a document");
  ASSERT_TRUE(wait_for_preview(state));
  ASSERT_NE(ready_preview(state), nullptr);
  EXPECT_EQ(ready_preview(state)->width, 12u);
}

TEST(Preview, WhatCannotBePreviewedIsUnavailableWithoutANotice) {
  Documents documents;
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  state.document_pick_rx = chosen(documents.write("data.bin", std::string("\0\1\2\xff", 4)));
  update(state);
  ASSERT_TRUE(wait_for_preview(state));
  EXPECT_TRUE(std::holds_alternative<preview::Unavailable>(state.preview));
  EXPECT_TRUE(shows_text(state, "Preview unavailable"));
  EXPECT_FALSE(state.notice);
  EXPECT_TRUE(testing::has_control(*state.view, ids::kPrintSubmit)) << "printing stays possible";
}

TEST(Preview, OnlyTheLastPickedDocumentsPreviewCanArrive) {
  Documents documents;
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  state.document_pick_rx = chosen(documents.image("first.ppm", 40, 30));
  update(state);
  state.document_pick_rx = chosen(documents.image("second.ppm", 20, 50));
  update(state);
  EXPECT_TRUE(std::holds_alternative<preview::Preparing>(state.preview));
  ASSERT_TRUE(wait_for_preview(state));
  const auto* image = ready_preview(state);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 20u);
  EXPECT_EQ(image->height, 50u);
  for (int i = 0; i < 50; ++i) update(state);
  ASSERT_NE(ready_preview(state), nullptr);
  EXPECT_EQ(ready_preview(state)->width, 20u) << "the first preview never arrives";
}

TEST(Preview, ThePrintScreenComesBackWhenThePreviewArrivesAfterGoingBack) {
  Documents documents;
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  state.document_pick_rx = chosen(documents.image("photo.ppm", 30, 30));
  update(state);
  apply_operation(state, op::ShowDashboard{});
  EXPECT_TRUE(shows_text(state, "Your printers"));
  EXPECT_TRUE(state.document) << "the selection stays";
  ASSERT_TRUE(wait_for_preview(state));
  EXPECT_EQ(shown_title(state), "Print a document");
  EXPECT_NE(ready_preview(state), nullptr);

  // After Cancel a late preview finds nobody: the selection and its receiver are gone.
  auto [late, receiver] = vesk_os::oneshot<thumbnail::generate::Result>();
  state.preview_rx = std::move(receiver);
  state.preview = preview::Preparing{};
  apply_operation(state, op::CancelPrint{});
  EXPECT_FALSE(std::move(late).send(std::unexpected("too late")));
  EXPECT_FALSE(state.document);
  EXPECT_FALSE(state.print_printer);
  EXPECT_TRUE(std::holds_alternative<preview::Unavailable>(state.preview));
  EXPECT_TRUE(shows_text(state, "Your printers"));
}

TEST(Printing, SubmitSendsClampedCopiesOnceAndClearsTheSelection) {
  FakeService service;
  service->set_queues(samples::snapshot().queues.value());
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  const double kNaN = std::numeric_limits<double>::quiet_NaN();
  const double kInfinity = std::numeric_limits<double>::infinity();
  for (double typed : {0.0, 150.0, 2.6, kNaN, kInfinity, -7.0}) {
    state.document = "/home/alex/Travel itinerary.pdf";
    state.print_printer = "Studio_printer";
    state.copies.set(typed);
    state.two_sided.set(true);
    apply_operation(state, op::SubmitPrint{});
    EXPECT_FALSE(state.document);
    EXPECT_FALSE(state.print_printer);
    apply_operation(state, op::SubmitPrint{});  // a second press finds no selection
  }
  ASSERT_TRUE(service->wait_for_calls(FakeMethod::PrintDocument, 6, std::chrono::seconds(2)));
  std::vector<std::string> copies;
  for (const auto& call : service->calls_of(FakeMethod::PrintDocument)) {
    copies.push_back(call.args.at(2));
    EXPECT_EQ(call.args.at(3), "true");
  }
  std::ranges::sort(copies);
  EXPECT_EQ(copies, (std::vector<std::string>{"1", "1", "1", "3", "99", "99"}));
  ASSERT_TRUE(update_until(state, [&] { return state.notice.has_value(); }));
  EXPECT_EQ(state.notice->detail, "Travel itinerary.pdf was sent to Studio printer.");
  EXPECT_TRUE(testing::settle(state));
}

TEST(Printing, AFileNameThatIsNotTextIsCalledDocument) {
  FakeService service;
  service->fail_always(FakeMethod::PrintDocument, "no");
  Wendlow state = idle_state();
  state.document = "/tmp/\xff\xfe.pdf";
  state.print_printer = "Studio_printer";
  apply_operation(state, op::SubmitPrint{});
  ASSERT_TRUE(update_until(state, [&] { return state.notice.has_value(); }));
  EXPECT_EQ(*state.notice,
            (Notice{"Could not print document",
                    "Document was not sent. Check the printer and try again.", false}));
  EXPECT_TRUE(testing::settle(state));
}

TEST(Printing, AnOverlongFormInTheFileNameIsNotText) {
  FakeService service;
  service->fail_always(FakeMethod::PrintDocument, "no");
  Wendlow state = idle_state();
  state.document = "/tmp/a\xC0\xAF.pdf";  // an overlong "/"
  state.print_printer = "Studio_printer";
  apply_operation(state, op::SubmitPrint{});
  ASSERT_TRUE(update_until(state, [&] { return state.notice.has_value(); }));
  EXPECT_EQ(state.notice->detail, "Document was not sent. Check the printer and try again.");
  EXPECT_TRUE(testing::settle(state));
}

TEST(Printing, ChooseDocumentIsIgnoredWhileAPickIsPendingAndResetsTheOptions) {
  struct NeverAnswers : vesk_ui::portal::PickerBackend {
    void pick(const vesk_ui::portal::PickRequest& request,
              vesk_os::OneshotSender<vesk_ui::portal::PickResult> reply) override {
      std::lock_guard lock(mutex);
      requests.push_back(request);
      replies.push_back(std::move(reply));
    }
    std::mutex mutex;
    std::vector<vesk_ui::portal::PickRequest> requests;
    std::vector<vesk_os::OneshotSender<vesk_ui::portal::PickResult>> replies;
  };
  auto picker = std::make_shared<NeverAnswers>();
  vesk_ui::portal::ScopedPicker<NeverAnswers> installed(picker);
  Wendlow state = idle_state();
  state.copies.set(4.0);
  state.two_sided.set(true);
  apply_operation(state, op::ChooseDocument{});
  state.copies.set(5.0);
  apply_operation(state, op::ChooseDocument{});
  EXPECT_EQ(state.copies.get(), 5.0) << "the second request was ignored";
  EXPECT_FALSE(state.two_sided.get());
  for (int i = 0; i < 500; ++i) {
    {
      std::lock_guard lock(picker->mutex);
      if (!picker->requests.empty()) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  std::lock_guard lock(picker->mutex);
  ASSERT_EQ(picker->requests.size(), 1u);
  const auto& request = picker->requests.front();
  EXPECT_EQ(request.title, "Choose a document to print");
  EXPECT_EQ(request.worker_name, "wendlow-document-picker");
  ASSERT_EQ(request.filters.size(), 1u);
  EXPECT_EQ(request.filters[0].label, "Documents and images");
  EXPECT_EQ(request.filters[0].mimetypes,
            (std::vector<std::string>{"application/pdf", "image/png", "image/jpeg", "text/plain"}));
  EXPECT_TRUE(request.include_all_files);
}

vesk_ui::widget::Event opened(std::vector<std::filesystem::path> paths) {
  vesk_ui::widget::Event event;
  event.kind = vesk_ui::widget::Event::Kind::FilesOpened;
  event.paths = std::move(paths);
  return event;
}

TEST(OpenedFiles, AFileHandedOverAtStartWaitsForThePrinters) {
  FakeService service;
  service->set_queues(samples::snapshot().queues.value());
  Documents documents;
  const auto file = documents.image("photo.ppm", 8, 6);
  Wendlow state = Wendlow::new_live();
  EXPECT_TRUE(state.handle_event(opened({file})));
  EXPECT_EQ(state.document, file);
  ASSERT_TRUE(update_until(state, [&] { return state.snapshot.has_value(); }));
  EXPECT_EQ(shown_title(state), "Print a document") << "not the dashboard";
  EXPECT_EQ(state.print_printer, "Studio_printer") << "chosen once the printers are known";
  ASSERT_TRUE(wait_for_preview(state));
  EXPECT_NE(ready_preview(state), nullptr);
}

TEST(OpenedFiles, SeveralFilesArePrintedOneAfterTheOther) {
  FakeService service;
  service->set_queues(samples::snapshot().queues.value());
  Documents documents;
  const auto first = documents.write("first.txt", "one");
  const auto second = documents.write("second.txt", "two");
  const auto third = documents.write("third.txt", "three");
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  EXPECT_TRUE(state.handle_event(opened({first, second})));
  EXPECT_EQ(state.document, first);
  EXPECT_TRUE(state.handle_event(opened({third})));
  EXPECT_EQ(state.document, first) << "a later hand-over waits its turn";

  state.copies.set(2.0);
  apply_operation(state, op::SubmitPrint{});
  // The outcome's refresh brings the dashboard, and with it the next file.
  ASSERT_TRUE(update_until(state, [&] { return state.document == second; }));
  EXPECT_EQ(shown_title(state), "Print a document");
  EXPECT_EQ(state.copies.get(), 1.0) << "each file starts with fresh options";

  apply_operation(state, op::CancelPrint{});
  EXPECT_EQ(state.document, third) << "canceling one moves on to the next";
  apply_operation(state, op::CancelPrint{});
  EXPECT_FALSE(state.document);
  EXPECT_EQ(shown_title(state), "Wendlow");
  // The first file's outcome came before the second file's turn, so its call is done.
  EXPECT_EQ(service->calls_of(FakeMethod::PrintDocument).size(), 1u);
  EXPECT_TRUE(testing::settle(state));
}

}  // namespace
}  // namespace wendlow::flows
