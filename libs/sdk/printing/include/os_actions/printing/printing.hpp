#pragma once
// The printing and scanning service. Every call is synchronous and may block for seconds:
// call it from a background thread only. Failures are error texts for logs, never for
// people.
#include <cstddef>
#include <cstdint>
#include <expected>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "os_actions/printing/backend.hpp"
#include "os_actions/printing/records.hpp"
#include "vesk_os/backend_switch.hpp"

namespace os_actions::printing {

inline constexpr std::size_t kFinishedJobLimit = 500;

template <class T>
using Result = std::expected<T, std::string>;

Result<std::vector<PrintQueue>> queues();
// Every active job, oldest first, then the newest finished ones (at most
// kFinishedJobLimit, however many the print system retains), newest first.
Result<std::vector<PrintJob>> jobs();
Result<std::vector<Scanner>> scanners();
Result<std::vector<DriverlessPrinter>> discover_driverless();
Result<void> add_driverless(const std::string& uri, const std::string& name);
Result<void> set_default(const std::string& queue);
Result<void> set_enabled(const std::string& queue, bool enabled);
Result<void> cancel_job(const std::string& job_id);
Result<void> retry_job(const std::string& job_id);
// copies: 1..99; anything else is refused with an error.
Result<void> print_document(const std::filesystem::path& document, const std::string& queue,
                            std::uint16_t copies, bool two_sided);
// The page as an encoded image file (PNG, JPEG, PNM or TIFF).
Result<std::vector<std::uint8_t>> scan_page(const std::string& scanner_id,
                                            const ScanSettings& settings);

// Scans sheet after sheet from the feeder until it is empty, reporting each sheet to
// `listener` as soon as it is scanned. Success means the feeder ran empty after at least one
// sheet. A fault (a jam, an open cover, no paper before the first sheet) ends the stack with
// its error; the sheets reported before it stay reported.
Result<void> scan_stack(const std::string& scanner_id, const ScanSettings& settings,
                        const SheetListener& listener);

// The backend switch. The program runs on the system backend (installed on first use);
// tests install a fake. Installing returns the backend it replaced. Thread-safe; the switch
// is never destroyed, so workers still running at exit can use it.
std::shared_ptr<Backend> install_backend(std::shared_ptr<Backend> backend);
std::shared_ptr<Backend> current_backend();

// Installs a backend for the guard's life (tests):
//   ScopedBackend<FakeBackend> service;   service->set_queues(...)
template <class Installed = Backend>
using ScopedBackend = vesk_os::ScopedBackend<Backend, Installed>;

// The backend the program starts with.
std::shared_ptr<Backend> make_system_backend();

// Text of every call's error while no print service is available.
inline constexpr const char* kServiceNotAvailable = "print service not available";

}  // namespace os_actions::printing
