// The home screen: one scrolling page that says whether everything is ready and offers the
// next step for each kind of device.
#include <algorithm>
#include <span>

#include "dashboard_card.hpp"
#include "screens/common.hpp"
#include "screens/screens.hpp"
#include "status.hpp"
#include "vesk_ui/icons.hpp"

namespace wendlow::screens {

namespace w = vesk_ui::widget;
namespace icon = vesk_ui::icon;
namespace printing = os_actions::printing;

namespace {

WidgetBox dashboard_card(w::Card card) {
  return std::make_unique<surface::DashboardCard>(std::move(card).boxed());
}

WidgetBox current_document_card(const printing::PrintJob& job, const EventSender& events) {
  const auto position = status::current_page_and_total(job);
  auto details =
      w::Column()
          .spacing(kMetrics.unit)
          .push(w::Text(status::document_name(job), w::TextStyle::Heading))
          .push(w::Text("Sent to " + status::display_name(job.printer), w::TextStyle::Caption))
          .push(w::ProgressBar(status::document_progress(job), "Current document progress"))
          .push(w::Row()
                    .spacing(kMetrics.unit)
                    .push(operation_button("Open queue", ids::kQueue, events, op::ShowQueue{},
                                           w::ButtonStyle::Plain)
                              .with_icon(icon::kQueue))
                    .push(operation_button("Cancel", ids::kJobCancel, events,
                                           op::RequestCancel{job.id}, w::ButtonStyle::Plain)
                              .with_icon(icon::kCancel))
                    .push(w::Spacer()));
  return dashboard_card(
      w::Card(status::document_state_label(job, status::DocumentView::Dashboard).value_or(""))
          .push(w::Row()
                    .spacing(kMetrics.card_gap)
                    .aligned(w::Alignment::Start)
                    .push(w::PagePreview("Current document", position.current, position.total))
                    .push(std::move(details))));
}

WidgetBox printer_card(const printing::PrintQueue& queue, const EventSender& events) {
  w::Card card;
  card.push(w::Row()
                .spacing(kMetrics.unit)
                .push(w::IconWidget(icon::kPrinter))
                .push(w::Text(status::display_name(queue.name), w::TextStyle::Heading))
                .push(w::Spacer())
                .push(operation_button("Open", std::string(ids::kDeviceOpenPrefix) + queue.name,
                                       events, op::OpenPrinter{queue.name})
                          .with_icon(icon::kNext)));
  card.push(w::Text(status::printer_state_label(queue)));
  if (auto meter = status::lowest_supply_meter(queue)) {
    card.push(supply_meter(*meter));
  } else {
    card.push(w::Text(std::string(status::kSupplyLevelsUnavailableText), w::TextStyle::Caption));
  }
  card.push(w::Text(status::availability_line(queue), w::TextStyle::Caption));
  return dashboard_card(std::move(card));
}

w::Column printers_section(std::span<const printing::PrintQueue> printers,
                           const EventSender& events) {
  auto section =
      w::Column()
          .spacing(kMetrics.unit * 3 / 2)
          .push(w::Row()
                    .spacing(kMetrics.unit)
                    .push(w::Text("Your printers", w::TextStyle::Heading))
                    .push(w::Spacer())
                    .push(operation_button("Refresh", ids::kRefresh, events, op::Refresh{})
                              .with_icon(icon::kRefresh)));
  if (printers.empty()) {
    return std::move(section).push(
        w::Card("No printers added")
            .push(w::Text("You can still scan documents below. Add a printer whenever you need "
                          "one."))
            .with_action(
                operation_button("Find a printer", ids::kDiscoverEmpty, events, op::FindPrinters{})
                    .with_icon(icon::kSearch)));
  }
  w::CardGrid grid;
  grid.min_column_width = 300;
  grid.gap = kMetrics.card_gap;
  for (const auto& queue : printers) grid.push(printer_card(queue, events));
  return std::move(section).push(std::move(grid));
}

WidgetBox scanner_card(const printing::Scanner& scanner, const EventSender& events) {
  return dashboard_card(
      w::Card("Scan a document")
          .push(w::Row()
                    .spacing(kMetrics.unit * 3 / 2)
                    .push(w::IconWidget(icon::kScanner))
                    .push(w::Text(scanner.name + " is ready"))
                    .push(w::Spacer())
                    .push(operation_button("Start scanning", ids::kScanOpen, events,
                                           op::StartScanning{}, w::ButtonStyle::Primary)
                              .with_icon(icon::kScanner))));
}

WidgetBox recent_documents_card(std::span<const printing::PrintJob> documents,
                                const EventSender& events) {
  const bool any_completed = std::ranges::any_of(
      documents, [](const auto& job) { return job.state == printing::JobState::Completed; });
  return dashboard_card(
      w::Card("Recent documents")
          .push(w::Text(any_completed
                            ? "Review what printed and quickly print a retained job again."
                            : "Completed documents will appear here."))
          .with_action(operation_button("See all", ids::kHistoryOpen, events, op::ShowHistory{})
                           .with_icon(icon::kHistory)));
}

WidgetBox device_help_card(const EventSender& events) {
  return dashboard_card(
      w::Card("Device help")
          .push(w::Text("Plain-language checks for connections, paper, supplies, and scanners."))
          .with_action(operation_button("Check devices", ids::kDiagnosticsOpen, events,
                                        op::ShowDiagnostics{})
                           .with_icon(icon::kHelp)));
}

}  // namespace

WidgetBox dashboard(const DeviceSnapshot& snapshot, const EventSender& events,
                    const std::optional<Notice>& notice) {
  const auto printers = listed(snapshot.queues);
  const auto documents = listed(snapshot.jobs);
  const auto scanners = listed(snapshot.scanners);
  const auto current =
      std::ranges::find_if(documents, [](const auto& job) { return status::is_active(job); });

  w::Column content;
  content.push(application_header(
      status::dashboard_summary(snapshot.queues, snapshot.jobs, snapshot.scanners), events));
  if (notice) content.push(notice_banner(*notice));
  if (auto banner = service_problem_banner(failed_areas(snapshot, true, true, true), events)) {
    content.push(std::move(banner));
  }
  if (current != documents.end()) content.push(current_document_card(*current, events));
  content.push(printers_section(printers, events));
  if (!scanners.empty()) content.push(scanner_card(scanners.front(), events));

  if (snapshot.jobs) {
    // The last two cards share a line in wide windows; the order stays the same.
    w::CardGrid more;
    more.min_column_width = 440;
    more.gap = kMetrics.card_gap;
    more.push(recent_documents_card(documents, events));
    more.push(device_help_card(events));
    content.push(std::move(more));
  } else {
    content.push(device_help_card(events));
  }
  return page(std::move(content));
}

}  // namespace wendlow::screens
