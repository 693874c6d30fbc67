#include "resources.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "samples.hpp"
#include "surface.hpp"
#include "test_support.hpp"

namespace wendlow {
namespace {

using vesk_actions::resource::ExecutionKind;
using vesk_actions::resource::OperationOutcome;

std::vector<std::uint8_t> bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

OperationOutcome run(surface::Wendlow& state, ExecutionKind kind, std::string_view json,
                     std::string_view type = kOperationName) {
  const auto payload = bytes(json);
  return state.handle_resource_operation(kind, type, payload);
}

TEST(ResourceKey, IsLowercaseHexOfTheUtf8Bytes) {
  EXPECT_EQ(resource_key("Hall_printer"), "48616c6c5f7072696e746572");
  EXPECT_EQ(resource_key("\xC3\xA9"), "c3a9");
  EXPECT_EQ(resource_key(""), "");
}

TEST(Resources, BeforeTheFirstRefreshOnlyTheApplicationIsPublished) {
  auto state = surface::Wendlow::new_scenario(1);
  auto list = state.resources();
  ASSERT_EQ(list.size(), 1u);
  const auto& app = list[0];
  EXPECT_EQ(app.id, "wendlow");
  EXPECT_EQ(app.kind, "wendlow.dashboard");
  EXPECT_EQ(app.title, "Wendlow");
  ASSERT_EQ(app.actions.size(), 8u);
  EXPECT_EQ(app.actions[0].id, "refresh");
  EXPECT_EQ(app.actions[0].label, "Refresh printers and documents");
  EXPECT_EQ(app.actions[0].execution, ExecutionKind::Command);
  EXPECT_EQ(app.actions[0].operation_type, "wendlow.operation");
  EXPECT_EQ(app.actions[0].payload, "\"refresh\"");
  EXPECT_EQ(app.actions[5].id, "find-printers");
  EXPECT_EQ(app.actions[5].payload, "\"discover\"");
  EXPECT_EQ(app.actions[7].id, "scan-document");
  EXPECT_EQ(app.actions[7].execution, ExecutionKind::Navigation);
}

TEST(Resources, PerItemResourcesFollowTheSnapshot) {
  auto state = surface::Wendlow::new_scenario(1);
  state.snapshot = samples::snapshot();
  auto list = state.resources();
  ASSERT_EQ(list.size(), 5u);  // app, one printer, two jobs, one scanner

  const auto& printer = list[1];
  EXPECT_EQ(printer.id, "wendlow.printer." + resource_key("Studio_printer"));
  EXPECT_EQ(printer.title, "Studio printer");
  ASSERT_EQ(printer.actions.size(), 2u) << "a preferred queue has no set-default action";
  EXPECT_EQ(printer.actions[0].payload, R"("device\u0000Studio_printer")");
  EXPECT_EQ(printer.actions[1].label, "Pause printer");
  EXPECT_EQ(printer.actions[1].payload, R"("pause\u0000Studio_printer")");

  const auto& printing = list[2];
  EXPECT_EQ(printing.title, "Travel itinerary.pdf");
  ASSERT_EQ(printing.actions.size(), 2u);
  EXPECT_EQ(printing.actions[1].id, "cancel");
  const auto& done = list[3];
  ASSERT_EQ(done.actions.size(), 1u) << "a completed job offers neither cancel nor retry";

  EXPECT_EQ(list[4].id, "wendlow.scanner." + resource_key("scanner0"));
  EXPECT_EQ(list[4].actions[0].payload, R"("scan-device\u0000scanner0")");

  state.snapshot->queues->front().is_default = false;
  state.snapshot->queues->front().accepting = false;
  state.snapshot->jobs->front().state = os_actions::printing::JobState::Stopped;
  state.snapshot->jobs->front().title.clear();
  list = state.resources();
  EXPECT_EQ(list[1].actions[1].id, "set-default");
  EXPECT_EQ(list[1].actions[2].label, "Resume printer");
  EXPECT_EQ(list[1].actions[2].payload, R"("resume\u0000Studio_printer")");
  EXPECT_EQ(list[2].title, "Document 42");
  ASSERT_EQ(list[2].actions.size(), 3u) << "a stopped job can be canceled and retried";

  // CUPS keeps a paused queue accepting documents: it is still resumed, not paused again.
  state.snapshot->queues->front().accepting = true;
  state.snapshot->queues->front().state = os_actions::printing::QueueState::Paused;
  list = state.resources();
  EXPECT_EQ(list[1].actions[2].label, "Resume printer");
  EXPECT_EQ(list[1].actions[2].payload, R"("resume\u0000Studio_printer")");
}

TEST(Resources, ScannedPagesFollowDocumentOrderWithTheirRecognitionState) {
  auto state = surface::Wendlow::new_scenario(1);
  state.pages.resize(2);
  state.pages[0].status = "Recognized 3 words.";
  state.pages[1].status = "No text was found on this page.";
  state.pages[1].recognizing = true;
  const auto list = state.resources();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[1].id, "wendlow.page.1");
  EXPECT_EQ(list[1].kind, "wendlow.page");
  EXPECT_EQ(list[1].title, "Page 1");
  EXPECT_EQ(list[1].state, "Recognized 3 words.");
  EXPECT_EQ(list[2].id, "wendlow.page.2");
  EXPECT_EQ(list[2].state, "Updating recognized text") << "a running recognition shows";
}

TEST(OperationRequest, AnswersNotMineForOtherTypesAndKindZero) {
  auto state = surface::Wendlow::new_scenario(1);
  EXPECT_EQ(run(state, ExecutionKind::Command, "\"refresh\"", "wendlow.operations"),
            OperationOutcome::not_mine());
  EXPECT_EQ(run(state, ExecutionKind::None, "\"refresh\""), OperationOutcome::not_mine());
}

TEST(OperationRequest, ReportsTheFourErrorsExactly) {
  testing::FakeService service;
  auto state = surface::Wendlow::new_scenario(1);
  EXPECT_EQ(run(state, ExecutionKind::Navigation, "\"refresh\"").error,
            "Wendlow operation has the wrong execution kind");
  EXPECT_EQ(run(state, ExecutionKind::Navigation, "\"device\"").error,
            "Wendlow resource is no longer available");
  EXPECT_EQ(run(state, ExecutionKind::Command, "\"reboot\"").error, "unknown Wendlow operation");
  EXPECT_EQ(run(state, ExecutionKind::Command, R"("pause\u0000Q")").kind,
            OperationOutcome::Kind::Handled);
  // The pause reached the fake service (which knows no "Q") and reported back.
  ASSERT_TRUE(testing::update_until(state, [&] { return state.notice.has_value(); }));
  EXPECT_EQ(state.notice->title, "Could not pause printer");
  EXPECT_TRUE(testing::settle(state));
  EXPECT_EQ(run(state, ExecutionKind::Navigation, R"("pause\u0000Q")").error,
            "Wendlow operation has the wrong execution kind");
  for (std::string_view bad : {"42", "{\"op\":\"refresh\"}", "refresh", "\"unterminated", ""}) {
    SCOPED_TRACE(bad);
    auto outcome = run(state, ExecutionKind::Command, bad);
    EXPECT_EQ(outcome.kind, OperationOutcome::Kind::Error);
    EXPECT_TRUE(outcome.error.starts_with("invalid Wendlow operation: ")) << outcome.error;
    EXPECT_GT(outcome.error.size(), std::string_view("invalid Wendlow operation: ").size());
  }
}

TEST(OperationRequest, ParsesEveryWordToItsOperation) {
  using enum ExecutionKind;
  auto parse = [](std::string_view json, ExecutionKind kind) {
    auto payload = bytes(json);
    return parse_operation_request(kind, payload).value();
  };
  EXPECT_TRUE(std::holds_alternative<op::Refresh>(parse(R"("refresh\u0000ignored")", Command)));
  EXPECT_TRUE(std::holds_alternative<op::FindPrinters>(parse("\"discover\"", Command)));
  EXPECT_TRUE(std::holds_alternative<op::ShowDashboard>(parse("\"dashboard\"", Navigation)));
  EXPECT_TRUE(std::holds_alternative<op::ShowQueue>(parse("\"queue\"", Navigation)));
  EXPECT_TRUE(std::holds_alternative<op::ShowHistory>(parse("\"history\"", Navigation)));
  EXPECT_TRUE(std::holds_alternative<op::ShowDiagnostics>(parse("\"diagnostics\"", Navigation)));
  EXPECT_TRUE(std::holds_alternative<op::ChooseDocument>(parse("\"print\"", Navigation)));
  EXPECT_TRUE(std::holds_alternative<op::StartScanning>(parse("\"scan\"", Navigation)));
  EXPECT_EQ(std::get<op::OpenPrinter>(parse(R"("device\u0000Q 1")", Navigation)).queue, "Q 1");
  EXPECT_EQ(std::get<op::ChooseScanner>(parse(R"("scan-device\u0000s")", Navigation)).scanner_id,
            "s");
  EXPECT_EQ(std::get<op::SetDefaultPrinter>(parse(R"("default\u0000Q")", Command)).queue, "Q");
  auto pause = std::get<op::SetPrinterEnabled>(parse(R"("pause\u0000Q")", Command));
  EXPECT_FALSE(pause.enabled);
  EXPECT_TRUE(std::get<op::SetPrinterEnabled>(parse(R"("resume\u0000Q")", Command)).enabled);
  EXPECT_EQ(std::get<op::CancelJob>(parse(R"("cancel\u0000Q-7")", Command)).job_id, "Q-7");
  // Only the first NUL splits: the target keeps any later one.
  EXPECT_EQ(std::get<op::RetryJob>(parse(R"("retry\u0000Q-7\u0000x")", Command)).job_id,
            std::string("Q-7\0x", 5));
}

TEST(OperationRequest, IsAppliedAtOnceOnTheCallingThread) {
  testing::FakeService service;
  auto state = surface::Wendlow::new_scenario(1);
  ASSERT_EQ(run(state, ExecutionKind::Command, "\"refresh\"").kind,
            OperationOutcome::Kind::Handled);
  EXPECT_TRUE(state.refresh_rx) << "the refresh started without an update call";
  EXPECT_TRUE(testing::shows_text(state, "Getting things ready"));
  EXPECT_TRUE(testing::settle(state));
}

// The operation an action is meant to run, as the index of its alternative and its target.
struct Meant {
  std::size_t index;
  std::string target;
  bool enabled = false;
  bool operator==(const Meant&) const = default;
};

Meant meant(const Operation& operation) {
  Meant out{operation.index(), {}};
  std::visit(
      [&](const auto& o) {
        using T = std::decay_t<decltype(o)>;
        if constexpr (requires { o.queue; }) out.target = o.queue;
        if constexpr (requires { o.job_id; }) out.target = o.job_id;
        if constexpr (requires { o.scanner_id; }) out.target = o.scanner_id;
        if constexpr (std::is_same_v<T, op::SetPrinterEnabled>) out.enabled = o.enabled;
      },
      operation);
  return out;
}

TEST(OperationRequest, EveryPublishedActionRoundTripsToItsOperation) {
  auto state = surface::Wendlow::new_scenario(1);
  state.snapshot = samples::snapshot();
  state.snapshot->queues->front().is_default = false;
  state.snapshot->jobs->front().state = os_actions::printing::JobState::Stopped;
  const std::string queue = "Studio_printer";
  const std::string job = state.snapshot->jobs->front().id;
  const std::map<std::string, Meant> expected = {
      {"wendlow refresh", meant(op::Refresh{})},
      {"wendlow open-dashboard", meant(op::ShowDashboard{})},
      {"wendlow open-queue", meant(op::ShowQueue{})},
      {"wendlow open-history", meant(op::ShowHistory{})},
      {"wendlow run-diagnostics", meant(op::ShowDiagnostics{})},
      {"wendlow find-printers", meant(op::FindPrinters{})},
      {"wendlow print-document", meant(op::ChooseDocument{})},
      {"wendlow scan-document", meant(op::StartScanning{})},
      {"printer open", meant(op::OpenPrinter{queue})},
      {"printer set-default", meant(op::SetDefaultPrinter{queue})},
      {"printer toggle-enabled", meant(op::SetPrinterEnabled{queue, false})},
      {"job open-queue", meant(op::ShowQueue{})},
      {"job cancel", meant(op::CancelJob{job})},
      {"job retry", meant(op::RetryJob{job})},
      {"scanner scan", meant(op::ChooseScanner{"scanner0"})},
  };
  std::set<std::string> seen;
  for (const auto& resource : state.resources()) {
    const std::string kind = resource.kind.substr(resource.kind.find('.') + 1);
    for (const auto& action : resource.actions) {
      const std::string key =
          (kind == "dashboard" ? std::string("wendlow") : kind) + " " + action.id;
      if (kind == "job" && resource.id != "wendlow.job." + resource_key(job)) continue;
      SCOPED_TRACE(key);
      auto payload = bytes(action.payload);
      auto parsed = parse_operation_request(action.execution, payload);
      ASSERT_TRUE(parsed.has_value()) << parsed.error();
      ASSERT_TRUE(expected.contains(key));
      EXPECT_EQ(meant(*parsed), expected.at(key));
      seen.insert(key);
    }
  }
  EXPECT_EQ(seen.size(), expected.size()) << "every kind of action was published";
}

}  // namespace
}  // namespace wendlow
