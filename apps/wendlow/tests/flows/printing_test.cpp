// Choosing a document, the print screen's choices and submitting.
#include "flows/printing.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>

#include "samples.hpp"
#include "screen_support.hpp"
#include "surface.hpp"
#include "test_support.hpp"

namespace wendlow::flows {
namespace {

using os_actions::printing::FakeMethod;
using surface::apply_operation;
using surface::update;
using testing::FakeService;
using testing::shown_title;
using testing::shows_text;
using testing::update_until;

Wendlow idle_state() {
  return Wendlow::new_scenario(3);
}

template <class T>
vesk_os::OneshotReceiver<T> ready(T value) {
  auto [tx, rx] = vesk_os::oneshot<T>();
  std::move(tx).send(std::move(value));
  return std::move(rx);
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
}

TEST(Printing, SubmitSendsClampedCopiesOnceAndClearsTheSelection) {
  FakeService service;
  service->set_queues(samples::snapshot().queues.value());
  Wendlow state = idle_state();
  state.snapshot = samples::snapshot();
  for (double typed : {0.0, 150.0, 2.6}) {
    state.document = "/home/alex/Travel itinerary.pdf";
    state.print_printer = "Studio_printer";
    state.copies.set(typed);
    state.two_sided.set(true);
    apply_operation(state, op::SubmitPrint{});
    EXPECT_FALSE(state.document);
    EXPECT_FALSE(state.print_printer);
    apply_operation(state, op::SubmitPrint{});  // a second press finds no selection
  }
  ASSERT_TRUE(service->wait_for_calls(3, std::chrono::seconds(2)));
  std::vector<std::string> copies;
  for (const auto& call : service->calls_of(FakeMethod::PrintDocument)) {
    copies.push_back(call.args.at(2));
    EXPECT_EQ(call.args.at(3), "true");
  }
  std::ranges::sort(copies);
  EXPECT_EQ(copies, (std::vector<std::string>{"1", "3", "99"}));
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
  testing::InstalledPicker installed(picker);
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

}  // namespace
}  // namespace wendlow::flows
