#pragma once
// Pieces that several screens share: the page frame, the application header, the
// sub-screen header, the notice banner and the service problem banner.
#include <string>
#include <string_view>
#include <vector>

#include "control_ids.hpp"
#include "notice.hpp"
#include "snapshot.hpp"
#include "vesk_ui/theme.hpp"
#include "vesk_ui/widgets.hpp"

namespace wendlow::screens {

using vesk_ui::widget::WidgetBox;

// Sizes the screens choose from; the host owns everything else about the look.
inline constexpr vesk_ui::theme::Metrics kMetrics{};

// A vertically scrolling page whose content is centred with the content maximum width.
WidgetBox page(vesk_ui::widget::Column content);

// The dashboard's header: "Wendlow", the summary line and the two buttons, which send
// FindPrinters and ChooseDocument.
WidgetBox application_header(std::string summary, const EventSender& events);
// The same header with a subtitle and buttons that carry no operation (loading and
// first-printer screens).
WidgetBox inert_application_header(std::string subtitle);

// Back button to the dashboard, the title in large type and the subtitle as a caption.
WidgetBox sub_screen_header(std::string title, std::string subtitle, const EventSender& events);

// The held notice as a success or error banner.
WidgetBox notice_banner(const Notice& notice);

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
