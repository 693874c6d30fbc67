#pragma once
// One press of "Scan page": the capture that runs on the "vesk-scan-document" worker.
#include <string>

#include "operation.hpp"
#include "os_actions/printing/records.hpp"
#include "scanning/settings.hpp"
#include "vesk_os/channel.hpp"

namespace wendlow::scanning {

// What the worker owns.
struct CaptureInput {
  std::string scanner_id;
  TextLanguage language;
  os_actions::printing::ScanSettings settings;
};

// Scans, decodes, converts to RGBA and recognizes, and sends PageScanned. The flatbed gives one
// page. The feeder (and two-sided) scans the whole stack: every sheet is sent as its own
// PageScanned, in order, marked `last` only for the final message; a fault part way keeps the
// sheets already sent and ends with a failure. Sheets are recognized on workers of their own
// (as many at once as there are cores) while the scanner goes on feeding.
void run_capture(const CaptureInput& input, const vesk_os::Sender<Operation>& events);

}  // namespace wendlow::scanning
