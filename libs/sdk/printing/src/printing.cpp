#include "os_actions/printing/printing.hpp"

#include <algorithm>
#include <utility>

#include "vesk_os/backend_switch.hpp"

namespace os_actions::printing {

std::shared_ptr<Backend> install_backend(std::shared_ptr<Backend> backend) {
  return vesk_os::process_backend_switch<Backend>().install(std::move(backend));
}

std::shared_ptr<Backend> current_backend() {
  return vesk_os::process_backend_switch<Backend>().current_or_install(make_system_backend);
}

Result<std::vector<PrintQueue>> queues() {
  return current_backend()->queues();
}
Result<std::vector<PrintJob>> jobs() {
  return current_backend()->jobs();
}
Result<std::vector<Scanner>> scanners() {
  return current_backend()->scanners();
}
Result<std::vector<DriverlessPrinter>> discover_driverless() {
  return current_backend()->discover_driverless();
}
Result<void> add_driverless(const std::string& uri, const std::string& name) {
  return current_backend()->add_driverless(uri, name);
}
Result<void> set_default(const std::string& queue) {
  return current_backend()->set_default(queue);
}
Result<void> set_enabled(const std::string& queue, bool enabled) {
  return current_backend()->set_enabled(queue, enabled);
}
Result<void> cancel_job(const std::string& job_id) {
  return current_backend()->cancel_job(job_id);
}
Result<void> retry_job(const std::string& job_id) {
  return current_backend()->retry_job(job_id);
}
Result<void> print_document(const std::filesystem::path& document, const std::string& queue,
                            std::uint16_t copies, bool two_sided) {
  if (copies < 1 || copies > 99) return std::unexpected("copies must be between 1 and 99");
  return current_backend()->print_document(document, queue, copies, two_sided);
}
Result<std::vector<std::uint8_t>> scan_page(const std::string& scanner_id,
                                            const ScanSettings& settings) {
  return current_backend()->scan_page(scanner_id, settings);
}

Result<void> scan_stack(const std::string& scanner_id, const ScanSettings& settings,
                        const SheetListener& listener) {
  return current_backend()->scan_stack(scanner_id, settings, listener);
}

std::expected<void, std::string> Backend::scan_stack(const std::string& scanner_id,
                                                     const ScanSettings& settings,
                                                     const SheetListener& listener) {
  auto page = scan_page(scanner_id, settings);
  if (!page) return std::unexpected(std::move(page.error()));
  if (listener.sheet_started) listener.sheet_started();
  if (listener.page) listener.page(std::move(*page));
  return {};
}

std::optional<std::uint8_t> PrintJob::progress_percent() const {
  if (!pages_done || !pages_total || *pages_total == 0) return std::nullopt;
  const auto done = std::min<std::uint64_t>(*pages_done, *pages_total);
  return static_cast<std::uint8_t>(done * 100 / *pages_total);
}

}  // namespace os_actions::printing
