#pragma once
// Built-in sample records and the sample screens of the start scenarios. The live
// application never uses them.
#include <cstdint>
#include <vector>

#include "control_ids.hpp"
#include "document.hpp"
#include "scanning/page.hpp"
#include "snapshot.hpp"
#include "vesk_ui/widget.hpp"

namespace wendlow::samples {

DeviceSnapshot snapshot();
std::vector<os_actions::printing::DriverlessPrinter> discovery();
preview::Ready print_preview();
ScannedPage scanned_page();

// The sample screen of scenario 0..12 (an unknown number shows scenario 0's).
vesk_ui::widget::WidgetBox scenario_view(std::uint8_t scenario, const EventSender& events);

}  // namespace wendlow::samples
