#pragma once
// Screen builders: pure functions from state to a fresh widget tree. Buttons carry the
// operation they post, fixed when the tree is built.
#include <cstddef>
#include <expected>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "control_ids.hpp"
#include "document.hpp"
#include "notice.hpp"
#include "scanning/page.hpp"
#include "snapshot.hpp"
#include "vesk_ui/local_state.hpp"
#include "vesk_ui/widget.hpp"

namespace wendlow::screens {

using vesk_ui::widget::WidgetBox;
using DiscoveryResult =
    std::expected<std::vector<os_actions::printing::DriverlessPrinter>, std::string>;

// The queue lists at most this many documents, the history this many finished ones.
inline constexpr std::size_t kQueueLimit = 24;
inline constexpr std::size_t kHistoryLimit = 50;

WidgetBox loading(const EventSender& events);
// "Connection help" shows the device help when a snapshot is loaded, else refreshes.
WidgetBox first_printer(const EventSender& events, bool snapshot_loaded);
WidgetBox dashboard(const DeviceSnapshot& snapshot, const EventSender& events,
                    const std::optional<Notice>& notice);
WidgetBox print_queue(const DeviceSnapshot& snapshot, const EventSender& events,
                      const std::optional<std::string>& cancel_request,
                      const std::optional<Notice>& notice);
WidgetBox history(const DeviceSnapshot& snapshot, const EventSender& events);
WidgetBox diagnostics(const DeviceSnapshot& snapshot, const EventSender& events);
WidgetBox printer_controls(const os_actions::printing::PrintQueue& queue,
                           const EventSender& events);
WidgetBox discovery_searching(const EventSender& events);
WidgetBox discovery_result(const DiscoveryResult& result, const EventSender& events);

struct PrintScreenInput {
  const DeviceSnapshot& snapshot;
  const std::filesystem::path& document;
  const DocumentPreview& preview;
  const std::optional<std::string>& printer;
  vesk_ui::local_state::NumberState copies;
  vesk_ui::local_state::BoolState two_sided;
};
WidgetBox print(const PrintScreenInput& input, const EventSender& events);

struct ScanScreenInput {
  const DeviceSnapshot& snapshot;
  vesk_ui::local_state::IndexState resolution;
  vesk_ui::local_state::IndexState color;
  vesk_ui::local_state::IndexState source;
  vesk_ui::local_state::IndexState language;
  vesk_ui::local_state::CropState crop;
  const std::optional<ScannedPage>& current_page;
  bool scanning;
  const std::optional<Notice>& notice;
  std::size_t page_count;
  std::size_t page_index;
  const std::optional<std::string>& scanner;
};
WidgetBox scan(const ScanScreenInput& input, const EventSender& events);

}  // namespace wendlow::screens
