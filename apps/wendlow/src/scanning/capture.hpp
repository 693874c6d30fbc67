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

// Scans, decodes, converts to RGBA and recognizes, then sends PageScanned. The flatbed gives
// one page; the feeder is not implemented here yet.
void run_capture(const CaptureInput& input, const vesk_os::Sender<Operation>& events);

}  // namespace wendlow::scanning
