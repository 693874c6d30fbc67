#pragma once
// Pieces that several screens share: the page frame, the application header, the
// sub-screen header, the notice banner and the service problem banner.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "control_ids.hpp"
#include "notice.hpp"
#include "snapshot.hpp"
#include "status.hpp"
#include "vesk_ui/theme.hpp"
#include "vesk_ui/widgets.hpp"

namespace wendlow::screens {

using vesk_ui::widget::WidgetBox;

// Sizes the screens choose from; the host owns everything else about the look.
inline constexpr vesk_ui::theme::Metrics kMetrics{};

// A vertically scrolling page whose content is centred with the content maximum width.
WidgetBox page(vesk_ui::widget::Column content);

// The application header: "Wendlow", the summary line (or a screen's own subtitle) and
// the two buttons, which send FindPrinters and ChooseDocument.
WidgetBox application_header(std::string summary, const EventSender& events);

// Back button to the dashboard, the title in large type and the subtitle as a caption.
WidgetBox sub_screen_header(std::string title, std::string subtitle, const EventSender& events);

// The held notice as a success or error banner.
WidgetBox notice_banner(const Notice& notice);

// A list area of the snapshot; empty when that area failed.
template <class T>
std::span<const T> listed(const AreaResult<T>& area) {
  if (!area) return {};
  return *area;
}

// A supply meter: its text, then its level bar.
WidgetBox supply_meter(const status::SupplyMeter& meter);

// ---- Partial failures --------------------------------------------------------------------

inline constexpr std::string_view kPrintersArea = "printers";
inline constexpr std::string_view kDocumentsArea = "documents";
inline constexpr std::string_view kScannersArea = "scanners";

// The areas a screen cares about whose list in the snapshot is an error, always in the
// order printers, documents, scanners.
std::vector<std::string> failed_areas(const DeviceSnapshot& snapshot, bool printers, bool documents,
                                      bool scanners);

std::string service_problem_title(const std::vector<std::string>& areas);
std::string service_problem_text(const std::vector<std::string>& areas);

// The banner with its "Try again" button (Refresh); empty when no area failed.
WidgetBox service_problem_banner(const std::vector<std::string>& areas, const EventSender& events);

}  // namespace wendlow::screens
