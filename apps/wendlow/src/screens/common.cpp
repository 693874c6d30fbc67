#include "screens/common.hpp"

#include "vesk_ui/icons.hpp"

namespace wendlow::screens {

namespace w = vesk_ui::widget;
namespace icon = vesk_ui::icon;

WidgetBox page(w::Column content) {
  return w::Scrollable()
      .with_child(w::Container()
                      .maximum_width(kMetrics.content_max_width)
                      .padded(kMetrics.page_margin)
                      .with_child(std::move(content).spacing(kMetrics.card_gap)))
      .boxed();
}

namespace {

WidgetBox header(std::string line, w::Button add, w::Button print) {
  return w::Column()
      .spacing(kMetrics.unit)
      .push(w::Text("Wendlow", w::TextStyle::LargeTitle))
      .push(w::Text(std::move(line)))
      .push(w::Row()
                .spacing(kMetrics.unit)
                .push(std::move(add).with_icon(icon::kAdd))
                .push(std::move(print).with_icon(icon::kPrint))
                .push(w::Spacer()))
      .boxed();
}

}  // namespace

WidgetBox application_header(std::string summary, const EventSender& events) {
  return header(std::move(summary),
                operation_button("Add printer", ids::kAdd, events, op::FindPrinters{}),
                operation_button("Print a document", ids::kPrint, events, op::ChooseDocument{},
                                 w::ButtonStyle::Primary));
}

WidgetBox supply_meter(const status::SupplyMeter& meter) {
  return w::Column()
      .spacing(kMetrics.unit / 2)
      .push(w::Text(meter.text, w::TextStyle::Caption))
      .push(w::ProgressBar(meter.fraction, meter.accessible_name))
      .boxed();
}

WidgetBox sub_screen_header(std::string title, std::string subtitle, const EventSender& events) {
  return w::Column()
      .spacing(kMetrics.unit / 2)
      .push(operation_button("Wendlow", ids::kBack, events, op::ShowDashboard{},
                             w::ButtonStyle::Plain)
                .with_icon(icon::kBack))
      .push(w::Text(std::move(title), w::TextStyle::LargeTitle))
      .push(w::Text(std::move(subtitle), w::TextStyle::Caption))
      .boxed();
}

WidgetBox notice_banner(const Notice& notice) {
  return w::Banner(notice.success ? w::BannerStyle::Success : w::BannerStyle::Error, notice.title,
                   notice.detail)
      .with_icon(notice.success ? icon::kSuccess : icon::kError)
      .boxed();
}

std::vector<std::string> failed_areas(const DeviceSnapshot& snapshot, bool printers, bool documents,
                                      bool scanners) {
  std::vector<std::string> areas;
  if (printers && !snapshot.queues) areas.emplace_back(kPrintersArea);
  if (documents && !snapshot.jobs) areas.emplace_back(kDocumentsArea);
  if (scanners && !snapshot.scanners) areas.emplace_back(kScannersArea);
  return areas;
}

std::string service_problem_title(const std::vector<std::string>& areas) {
  if (areas.size() == 1) {
    if (areas.front() == kPrintersArea) return "Printers couldn't be checked";
    if (areas.front() == kDocumentsArea) return "Print jobs couldn't be checked";
    if (areas.front() == kScannersArea) return "Scanners couldn't be checked";
  }
  return "Some device information couldn't be checked";
}

std::string service_problem_text(const std::vector<std::string>& areas) {
  std::string joined;
  for (const auto& area : areas) {
    if (!joined.empty()) joined += " or ";
    joined += area;
  }
  return "Wendlow couldn't get " + joined +
         " right now. Your saved devices and documents have not been removed.";
}

WidgetBox service_problem_banner(const std::vector<std::string>& areas, const EventSender& events) {
  if (areas.empty()) return nullptr;
  // A warning rather than an error: what was stored is intact, only fresh news is missing.
  return w::Banner(w::BannerStyle::Warning, service_problem_title(areas),
                   service_problem_text(areas))
      .with_icon(icon::kWarning)
      .with_action(operation_button("Try again", ids::kServiceRetry, events, op::Refresh{})
                       .with_icon(icon::kRefresh))
      .boxed();
}

}  // namespace wendlow::screens
