#include "scanning/capture.hpp"

#include "os_actions/printing/printing.hpp"
#include "scanning/recognition.hpp"

namespace wendlow::scanning {

namespace printing = os_actions::printing;

void run_capture(const CaptureInput& input, const vesk_os::Sender<Operation>& events) {
  auto scanned = printing::scan_page(input.scanner_id, input.settings);
  if (!scanned) {
    events.send(op::PageScanned{std::unexpected(std::move(scanned.error()))});
    return;
  }
  auto encoded = std::make_shared<const std::vector<std::uint8_t>>(std::move(*scanned));
  events.send(op::PageScanned{page_from_scan(std::move(encoded), input.language)});
}

}  // namespace wendlow::scanning
