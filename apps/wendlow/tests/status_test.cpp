#include "status.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace wendlow::status {
namespace {

PrintQueue queue_in(QueueState state, bool accepting = true) {
  PrintQueue queue;
  queue.name = "Hall_printer";
  queue.state = state;
  queue.accepting = accepting;
  return queue;
}

PrintJob job_in(JobState state) {
  PrintJob job;
  job.id = "Hall_printer-7";
  job.printer = "Hall_printer";
  job.state = state;
  return job;
}

PrintJob job_with_pages(std::optional<std::uint32_t> done, std::optional<std::uint32_t> total) {
  PrintJob job = job_in(JobState::Printing);
  job.pages_done = done;
  job.pages_total = total;
  return job;
}

Supply supply(std::string name, std::optional<std::uint8_t> level) {
  return Supply{.name = std::move(name), .color = std::nullopt, .level = level};
}

PrintQueue queue_with_supplies(std::optional<std::vector<Supply>> supplies) {
  PrintQueue queue = queue_in(QueueState::Idle);
  queue.supplies = std::move(supplies);
  return queue;
}

std::vector<std::string> meter_texts(const std::vector<SupplyMeter>& meters) {
  std::vector<std::string> texts;
  for (const auto& meter : meters) texts.push_back(meter.text);
  return texts;
}

TEST(DisplayName, ReplacesSeparatorsAndCollapsesWhiteSpace) {
  const struct {
    std::string raw;
    std::string shown;
  } cases[] = {
      {"Hall_printer-2", "Hall printer 2"},
      {"Office__laser-", "Office laser"},
      {"___", ""},
      {"", ""},
      {"  Front \t desk\n", "Front desk"},
      {"-_- Lab -_-", "Lab"},
      {"Café_Drucker", "Café Drucker"},
      {"Büro\xC2\xA0"
       "Drucker",
       "Büro Drucker"},                               // no-break space
      {"Tokyo\xE3\x80\x80printer", "Tokyo printer"},  // ideographic space
      {"Printer 🖨_2", "Printer 🖨 2"},
      {"It's \"the\" one\\", "It's \"the\" one\\"},
  };
  for (const auto& c : cases) EXPECT_EQ(display_name(c.raw), c.shown) << c.raw;
}

TEST(PrinterLabels, StateLabelFollowsStateAndAccepting) {
  const struct {
    QueueState state;
    bool accepting;
    std::string label;
    bool resume;  // the control offers "Resume printer"
  } cases[] = {
      {QueueState::Idle, true, "Ready", false},
      {QueueState::Idle, false, "Not accepting new documents", true},
      {QueueState::Printing, true, "Printing", false},
      {QueueState::Printing, false, "Printing", true},
      // A paused queue keeps accepting documents; it must still offer to resume.
      {QueueState::Paused, true, "Paused", true},
      {QueueState::Paused, false, "Paused", true},
      {QueueState::Unreachable, true, "Cannot reach this printer", false},
      {QueueState::Unreachable, false, "Cannot reach this printer", true},
  };
  for (const auto& c : cases) {
    const PrintQueue queue = queue_in(c.state, c.accepting);
    EXPECT_EQ(printer_state_label(queue), c.label)
        << static_cast<int>(c.state) << " accepting=" << c.accepting;
    EXPECT_EQ(offers_resume(queue), c.resume)
        << static_cast<int>(c.state) << " accepting=" << c.accepting;
  }
}

TEST(PrinterLabels, ChoiceAvailabilityAndResponseLines) {
  PrintQueue queue = queue_in(QueueState::Paused);
  EXPECT_EQ(printer_choice_label(queue), "Hall printer (Paused)");
  queue.name = "Office__laser-";
  queue.state = QueueState::Idle;
  queue.accepting = false;
  EXPECT_EQ(printer_choice_label(queue), "Office laser (Not accepting new documents)");

  EXPECT_EQ(availability_line(queue), "Available to your apps");
  queue.is_default = true;
  EXPECT_EQ(availability_line(queue), "Preferred printer");

  EXPECT_EQ(printer_response_line(queue),
            "Live details are unavailable. The printer may be asleep or disconnected.");
  queue.responded = true;
  EXPECT_EQ(printer_response_line(queue), "The printer answered the latest status check.");
}

TEST(DocumentLabels, EveryStateInEveryView) {
  const std::optional<std::string> none;
  const struct {
    JobState state;
    bool active;
    std::optional<std::string> queue, dashboard, history;
  } cases[] = {
      {JobState::Other, true, "In progress", "Printing now", none},
      {JobState::Waiting, true, "Waiting", "Waiting to print", none},
      {JobState::Printing, true, "In progress", "Printing now", none},
      {JobState::Stopped, true, "Needs attention", "Needs attention", none},
      {JobState::Canceled, false, "Canceled", none, "Canceled"},
      {JobState::Aborted, false, "Could not print", none, "Did not print"},
      {JobState::Completed, false, "Printed", none, "Printed"},
  };
  for (const auto& c : cases) {
    const PrintJob job = job_in(c.state);
    const int value = static_cast<int>(c.state);
    EXPECT_EQ(is_active(job), c.active) << value;
    EXPECT_EQ(is_finished(job), !c.active) << value;
    EXPECT_EQ(document_state_label(job, DocumentView::Queue), c.queue) << value;
    EXPECT_EQ(document_state_label(job, DocumentView::Dashboard), c.dashboard) << value;
    EXPECT_EQ(document_state_label(job, DocumentView::History), c.history) << value;
  }
}

TEST(DocumentLabels, UnknownStateValueIsNeitherActiveNorFinished) {
  const auto stray = static_cast<JobState>(7);
  EXPECT_FALSE(is_active(stray));
  EXPECT_FALSE(is_finished(stray));
}

TEST(PageCounts, HistoryText) {
  EXPECT_EQ(page_count_text(job_with_pages(std::nullopt, 1)), "1 page");
  EXPECT_EQ(page_count_text(job_with_pages(std::nullopt, 12)), "12 pages");
  EXPECT_EQ(page_count_text(job_with_pages(std::nullopt, 0)), "0 pages");
  EXPECT_EQ(page_count_text(job_with_pages(3, std::nullopt)), "Page count unavailable");
}

TEST(PageCounts, CurrentPageAndTotal) {
  constexpr auto kMax = std::numeric_limits<std::uint32_t>::max();
  const struct {
    std::optional<std::uint32_t> done, total;
    PagePosition expected;
  } cases[] = {
      {8, 12, {9, 12}},
      {9, 12, {10, 12}},
      {12, 12, {12, 12}},
      {40, 12, {12, 12}},
      {std::nullopt, 12, {1, 12}},
      {0, std::nullopt, {1, 1}},
      {5, 0, {1, 1}},
      {std::nullopt, std::nullopt, {1, 1}},
      {kMax, kMax, {kMax, kMax}},
      {kMax - 1, kMax, {kMax, kMax}},
  };
  for (const auto& c : cases) {
    const PagePosition got = current_page_and_total(job_with_pages(c.done, c.total));
    EXPECT_EQ(got, c.expected) << c.done.value_or(99) << "/" << c.total.value_or(99) << " -> "
                               << got.current << "/" << got.total;
  }
}

TEST(PageCounts, ProgressFractionIsEmptyWithoutPercentage) {
  EXPECT_DOUBLE_EQ(document_progress(job_with_pages(3, 4)), 0.75);
  EXPECT_DOUBLE_EQ(document_progress(job_with_pages(std::nullopt, 4)), 0.0);
  EXPECT_DOUBLE_EQ(document_progress(job_with_pages(3, 0)), 0.0);
}

TEST(Supplies, OneReportedOneUnreportedInEachView) {
  const PrintQueue queue =
      queue_with_supplies(std::vector{supply("Black", 72), supply("Colour", std::nullopt)});

  EXPECT_EQ(lowest_supply(queue), 72);
  const auto card = lowest_supply_meter(queue);
  ASSERT_TRUE(card);
  EXPECT_EQ(card->label, "Lowest supply");
  EXPECT_EQ(card->value, "72% remaining");
  EXPECT_EQ(card->text, "Lowest supply: 72% remaining");
  EXPECT_EQ(card->accessible_name, "Lowest supply level");
  EXPECT_DOUBLE_EQ(card->fraction, 0.72);

  const auto controls = controls_supply_meters(queue);
  EXPECT_EQ(meter_texts(controls),
            (std::vector<std::string>{"Black: 72% remaining", "Colour: 0% remaining"}));
  EXPECT_EQ(controls[1].accessible_name, "Colour level");
  EXPECT_DOUBLE_EQ(controls[1].fraction, 0.0);

  EXPECT_EQ(meter_texts(diagnostics_supply_meters(queue)),
            (std::vector<std::string>{"Black: 72% remaining"}));
}

TEST(Supplies, LowestIsTheSmallestReportedLevel) {
  const PrintQueue queue =
      queue_with_supplies(std::vector{supply("Cyan", 40), supply("Waste", std::nullopt),
                                      supply("Magenta", 0), supply("Yellow", 90)});
  EXPECT_EQ(lowest_supply(queue), 0);  // a reported 0 is a level, not "unreported"
  ASSERT_TRUE(lowest_supply_meter(queue));
  EXPECT_EQ(lowest_supply_meter(queue)->text, "Lowest supply: 0% remaining");
}

TEST(Supplies, NothingToShow) {
  const PrintQueue absent = queue_with_supplies(std::nullopt);
  const PrintQueue empty = queue_with_supplies(std::vector<Supply>{});
  const PrintQueue unreported = queue_with_supplies(std::vector{supply("Black", std::nullopt)});

  for (const PrintQueue* queue : {&absent, &empty, &unreported}) {
    EXPECT_FALSE(lowest_supply(*queue));
    EXPECT_FALSE(lowest_supply_meter(*queue));
    EXPECT_TRUE(diagnostics_supply_meters(*queue).empty());
  }
  EXPECT_TRUE(controls_supply_meters(absent).empty());
  EXPECT_TRUE(controls_supply_meters(empty).empty());
  // The controls still list a supply whose level is unknown.
  EXPECT_EQ(meter_texts(controls_supply_meters(unreported)),
            (std::vector<std::string>{"Black: 0% remaining"}));
}

TEST(Supplies, DiagnosticsLookAtTheFirstSixOnly) {
  const PrintQueue queue = queue_with_supplies(
      std::vector{supply("A", 10), supply("B", std::nullopt), supply("C", 30), supply("D", 40),
                  supply("E", std::nullopt), supply("F", 60), supply("G", 70), supply("H", 80)});
  EXPECT_EQ(meter_texts(diagnostics_supply_meters(queue)),
            (std::vector<std::string>{"A: 10% remaining", "C: 30% remaining", "D: 40% remaining",
                                      "F: 60% remaining"}));
  EXPECT_EQ(controls_supply_meters(queue).size(), 8u);
}

TEST(Supplies, MeterKeepsColourAndNeverOverflows) {
  PrintQueue queue = queue_with_supplies(std::vector{supply("Black", 250)});
  (*queue.supplies)[0].color = "#111111";
  const auto meters = controls_supply_meters(queue);
  ASSERT_EQ(meters.size(), 1u);
  EXPECT_EQ(meters[0].text, "Black: 100% remaining");
  EXPECT_DOUBLE_EQ(meters[0].fraction, 1.0);
  EXPECT_EQ(meters[0].color, "#111111");
}

TEST(ReasonGuidance, KeywordsInTableOrder) {
  const std::string paper = "Add paper to continue.";
  const std::string jam = "Clear the paper jam, then resume the printer.";
  const std::string cover = "Close the printer cover.";
  const std::string low = "A supply is running low; printing can usually continue for now.";
  const std::string empty = "Replace the empty supply to continue.";
  const std::string offline = "Check that the printer is awake and connected.";
  const std::string other = "The printer reported a condition that may need attention.";
  const struct {
    std::string reason;
    std::string guidance;
  } cases[] = {
      {"media-empty", paper},
      {"media-empty-warning", paper},
      {"media-empty-report", paper},
      {"MEDIA-EMPTY", paper},
      {"Out-Of-Paper-Error", paper},
      {"media-jam", jam},
      {"jam-offline", jam},
      {"cover-open-warning", cover},
      {"door-open", cover},
      {"toner-low-report", low},
      {"marker-supply-low-warning", low},
      {"toner-empty-error", empty},
      {"marker-supply-empty", empty},
      {"offline-report", offline},
      {"printer-not-connected", offline},
      {"toner-empty-offline", empty},
      {"media-low", other},
      {"none", other},
      {"", other},
      {"MÉDIA-EMPTY", other},  // only ASCII letters are lower-cased
      {"\xC3\x89JAM", jam},
  };
  for (const auto& c : cases) EXPECT_EQ(reason_guidance(c.reason), c.guidance) << c.reason;
}

TEST(ReasonGuidance, OnlyTheFirstThreeReasonsGetLines) {
  PrintQueue queue = queue_in(QueueState::Paused);
  queue.state_reasons = {"toner-low", "jam", "cover-open", "offline"};
  EXPECT_EQ(reason_guidance_lines(queue),
            (std::vector<std::string>{
                "A supply is running low; printing can usually continue for now.",
                "Clear the paper jam, then resume the printer.", "Close the printer cover."}));
  queue.state_reasons.clear();
  EXPECT_TRUE(reason_guidance_lines(queue).empty());
}

using Queues = std::expected<std::vector<PrintQueue>, std::string>;
using Jobs = std::expected<std::vector<PrintJob>, std::string>;
using Scanners = std::expected<std::vector<Scanner>, std::string>;

TEST(DashboardSummary, FailedAreasThenActiveCount) {
  const Queues queues{std::vector{queue_in(QueueState::Idle)}};
  const Scanners scanners{std::vector<Scanner>{}};
  const auto failed = std::unexpected(std::string("service unavailable"));
  const Jobs finished_only{std::vector{job_in(JobState::Completed), job_in(JobState::Aborted)}};
  const Jobs one_active{std::vector{job_in(JobState::Completed), job_in(JobState::Other)}};
  const Jobs three_active{std::vector{job_in(JobState::Waiting), job_in(JobState::Stopped),
                                      job_in(JobState::Canceled), job_in(JobState::Printing)}};

  EXPECT_EQ(dashboard_summary(queues, finished_only, scanners), "Everything is ready");
  EXPECT_EQ(dashboard_summary(queues, Jobs{std::vector<PrintJob>{}}, scanners),
            "Everything is ready");
  EXPECT_EQ(dashboard_summary(queues, one_active, scanners), "One document is active");
  EXPECT_EQ(dashboard_summary(queues, three_active, scanners), "3 documents are active");

  const std::string refresh = "Some information needs refreshing";
  EXPECT_EQ(dashboard_summary(queues, finished_only, Scanners{failed}), refresh);
  EXPECT_EQ(dashboard_summary(Queues{failed}, three_active, scanners), refresh);
  EXPECT_EQ(dashboard_summary(queues, Jobs{failed}, scanners), refresh);
  EXPECT_EQ(dashboard_summary(Queues{failed}, Jobs{failed}, Scanners{failed}), refresh);
}

}  // namespace
}  // namespace wendlow::status

namespace wendlow::status {
namespace {

TEST(DocumentName, TitleElseTheNumberAfterTheLastDash) {
  os_actions::printing::PrintJob job;
  job.id = "Hall_printer-7";
  EXPECT_EQ(document_name(job), "Document 7");
  job.id = "local-queue-12";
  EXPECT_EQ(document_name(job), "Document 12");
  job.id = "nodash";
  EXPECT_EQ(document_name(job), "Document nodash");
  job.id = "trailing-";
  EXPECT_EQ(document_name(job), "Document ");
  job.title = "Letter.pdf";
  EXPECT_EQ(document_name(job), "Letter.pdf");
}

}  // namespace
}  // namespace wendlow::status

namespace wendlow::status {
namespace {

TEST(CountsInWords, TheNounFollowsTheCount) {
  auto printer = [](bool responded, std::optional<std::vector<Supply>> supplies) {
    PrintQueue queue;
    queue.responded = responded;
    queue.supplies = std::move(supplies);
    return queue;
  };
  EXPECT_EQ(printers_responded_line({}), "0 of 0 printers responded");
  EXPECT_EQ(supply_reporting_line({}), "0 printers report ink or toner levels");
  const std::vector<PrintQueue> one = {printer(true, std::vector<Supply>{{"Black", {}, 3}})};
  EXPECT_EQ(printers_responded_line(one), "1 of 1 printer responded");
  EXPECT_EQ(supply_reporting_line(one), "1 printer report ink or toner levels");
  // An empty supply list reports nothing; an unreported level still counts as reporting.
  const std::vector<PrintQueue> three = {printer(true, std::vector<Supply>{}),
                                         printer(false, std::nullopt),
                                         printer(true, std::vector<Supply>{{"Cyan", {}, {}}})};
  EXPECT_EQ(printers_responded_line(three), "2 of 3 printers responded");
  EXPECT_EQ(supply_reporting_line(three), "1 printer report ink or toner levels");
  EXPECT_EQ(scanners_available_line(0), "0 scanners available");
  EXPECT_EQ(scanners_available_line(1), "1 scanner available");
  EXPECT_EQ(scanners_available_line(2), "2 scanners available");
}

TEST(History, LastPageAndTheLineUnderTheState) {
  PrintJob job = job_in(JobState::Completed);
  job.submitted = "today 09:12";
  job.pages_total = 10;
  job.pages_done = 3;
  EXPECT_EQ(finished_page_and_total(job), (PagePosition{10, 10}));
  EXPECT_EQ(history_line(job), "10 pages, sent to Hall printer, today 09:12");
  job.pages_total = 1;
  EXPECT_EQ(history_line(job), "1 page, sent to Hall printer, today 09:12");
  job.pages_total = 0;
  EXPECT_EQ(finished_page_and_total(job), (PagePosition{1, 1}));
  job.pages_total.reset();
  EXPECT_EQ(finished_page_and_total(job), (PagePosition{1, 1}));
  EXPECT_EQ(history_line(job), "Page count unavailable, sent to Hall printer, today 09:12");
}

TEST(PrinterLabels, PauseOrResumeFollowsAcceptingAndPaused) {
  EXPECT_EQ(enabled_control_label(queue_in(QueueState::Idle)), "Pause printer");
  EXPECT_EQ(enabled_control_label(queue_in(QueueState::Printing)), "Pause printer");
  EXPECT_EQ(enabled_control_label(queue_in(QueueState::Unreachable)), "Pause printer");
  // A paused queue may still accept documents; it is paused all the same.
  EXPECT_EQ(enabled_control_label(queue_in(QueueState::Paused, true)), "Resume printer");
  EXPECT_EQ(enabled_control_label(queue_in(QueueState::Idle, false)), "Resume printer");
}

TEST(Discovery, LocationOrNearby) {
  os_actions::printing::DriverlessPrinter printer{"ipps://h/ipp/print", "Office", std::nullopt};
  EXPECT_EQ(discovered_location(printer), "Nearby");
  printer.location = " ";
  EXPECT_EQ(discovered_location(printer), "Nearby");
  printer.location = "Second floor";
  EXPECT_EQ(discovered_location(printer), "Second floor");
}

}  // namespace
}  // namespace wendlow::status
