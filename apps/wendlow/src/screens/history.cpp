// The print history: finished documents, newest as the service lists them, each with a
// way to print it again.
#include "screens/common.hpp"
#include "screens/screens.hpp"
#include "status.hpp"
#include "vesk_ui/icons.hpp"

namespace wendlow::screens {

namespace w = vesk_ui::widget;
namespace icon = vesk_ui::icon;
using os_actions::printing::PrintJob;

namespace {

WidgetBox finished_card(const PrintJob& job, const EventSender& events) {
  const auto position = status::finished_page_and_total(job);
  return w::Card(status::document_name(job))
      .push(
          w::Row()
              .spacing(kMetrics.card_gap)
              .aligned(w::Alignment::Start)
              .push(w::PagePreview("Printed document", position.current, position.total))
              .push(
                  w::Column()
                      .spacing(kMetrics.unit / 2)
                      .push(w::Text(status::document_state_label(job, status::DocumentView::History)
                                        .value_or("")))
                      .push(w::Text(status::history_line(job), w::TextStyle::Caption)))
              .push(w::Spacer())
              .push(operation_button("Print again", std::string(ids::kHistoryRepeatPrefix) + job.id,
                                     events, op::RetryJob{job.id}, w::ButtonStyle::Primary)
                        .with_icon(icon::kPrint)))
      .boxed();
}

}  // namespace

WidgetBox history(const DeviceSnapshot& snapshot, const EventSender& events) {
  w::Column content;
  content.push(
      sub_screen_header("Print history", "Documents retained by your print service", events));
  if (auto banner = service_problem_banner(failed_areas(snapshot, false, true, false), events)) {
    content.push(std::move(banner));
  }
  std::size_t shown = 0;
  for (const auto& job : listed(snapshot.jobs)) {
    if (shown == kHistoryLimit) break;
    if (!status::is_finished(job)) continue;
    content.push(finished_card(job, events));
    ++shown;
  }
  if (shown == 0) {
    content.push(w::Card("No completed documents yet")
                     .push(w::Text("After a document finishes or is canceled, its status will "
                                   "appear here.")));
  }
  return page(std::move(content));
}

}  // namespace wendlow::screens
