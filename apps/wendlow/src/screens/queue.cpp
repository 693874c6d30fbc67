// The print queue: every document the service reports, with its progress and the actions
// that fit its state, and the two-step cancel.
#include <algorithm>

#include "screens/common.hpp"
#include "screens/screens.hpp"
#include "status.hpp"
#include "vesk_ui/icons.hpp"

namespace wendlow::screens {

namespace w = vesk_ui::widget;
namespace icon = vesk_ui::icon;
using os_actions::printing::JobState;
using os_actions::printing::PrintJob;

namespace {

w::Row document_actions(const PrintJob& job, bool cancel_pending, const EventSender& events) {
  w::Row actions;
  actions.gap = kMetrics.unit;
  actions.wraps = true;
  if (job.state == JobState::Stopped || job.state == JobState::Canceled ||
      job.state == JobState::Aborted) {
    actions.push(operation_button("Try again", ids::kJobRetry, events, op::RetryJob{job.id},
                                  w::ButtonStyle::Plain)
                     .with_icon(icon::kRefresh));
  }
  if (job.state != JobState::Canceled && job.state != JobState::Completed) {
    // The second press of the same button cancels: the row of the pending request
    // confirms, every other row only asks.
    auto cancel = cancel_pending
                      ? operation_button("Confirm cancel", ids::kJobCancel, events,
                                         op::CancelJob{job.id}, w::ButtonStyle::Plain)
                      : operation_button("Cancel", ids::kJobCancel, events,
                                         op::RequestCancel{job.id}, w::ButtonStyle::Plain);
    actions.push(std::move(cancel).with_icon(icon::kCancel));
  }
  return actions;
}

WidgetBox document_card(const PrintJob& job, bool cancel_pending, const EventSender& events) {
  const auto position = status::current_page_and_total(job);
  auto details =
      w::Column()
          .spacing(kMetrics.unit)
          .push(
              w::Text(status::document_state_label(job, status::DocumentView::Queue).value_or("")))
          .push(w::Text("Sent to " + status::display_name(job.printer), w::TextStyle::Caption))
          .push(w::ProgressBar(status::document_progress(job), "Document progress"));
  auto actions = document_actions(job, cancel_pending, events);
  if (!actions.items.empty()) details.push(std::move(actions));
  return w::Card(status::document_name(job))
      .push(w::Row()
                .spacing(kMetrics.card_gap)
                .aligned(w::Alignment::Start)
                .push(w::PagePreview("Queued document", position.current, position.total))
                .push(std::move(details)))
      .boxed();
}

}  // namespace

WidgetBox print_queue(const DeviceSnapshot& snapshot, const EventSender& events,
                      const std::optional<std::string>& cancel_request,
                      const std::optional<Notice>& notice) {
  w::Column content;
  content.push(sub_screen_header("Print queue", "Every document, in one place", events));
  if (notice) content.push(notice_banner(*notice));
  if (auto banner = service_problem_banner(failed_areas(snapshot, false, true, false), events)) {
    content.push(std::move(banner));
  }
  if (cancel_request) {
    content.push(w::Banner(w::BannerStyle::Warning, "Cancel this document?",
                           "It will be removed from the printer. This cannot be undone.")
                     .with_icon(icon::kWarning));
  }
  const auto documents = listed(snapshot.jobs);
  const auto shown = documents.first(std::min(documents.size(), kQueueLimit));
  for (const auto& job : shown) {
    content.push(document_card(job, cancel_request == job.id, events));
  }
  if (documents.empty()) {
    content.push(
        w::Card("Nothing waiting")
            .push(w::Text("New documents will appear here as soon as an app sends them.")));
  }
  return page(std::move(content));
}

}  // namespace wendlow::screens
