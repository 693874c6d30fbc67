#include "cups_client.hpp"
#include "os_actions/printing/printing.hpp"
#include "sane_client.hpp"
#include "scanner_list.hpp"

namespace os_actions::printing {
namespace {

// CUPS for printers and jobs, SANE (through the scan helper) for scanners.
class SystemBackend final : public Backend {
 public:
  std::expected<std::vector<PrintQueue>, std::string> queues() override {
    return detail::cups_queues();
  }
  std::expected<std::vector<PrintJob>, std::string> jobs() override { return detail::cups_jobs(); }
  // What SANE reported at most one call ago; see scanner_list.hpp.
  std::expected<std::vector<Scanner>, std::string> scanners() override {
    return scanner_list_.get();
  }
  std::expected<std::vector<DriverlessPrinter>, std::string> discover_driverless() override {
    return detail::cups_discover_driverless();
  }
  std::expected<void, std::string> add_driverless(const std::string& uri,
                                                  const std::string& name) override {
    return detail::cups_add_driverless(uri, name);
  }
  std::expected<void, std::string> set_default(const std::string& queue) override {
    return detail::cups_set_default(queue);
  }
  std::expected<void, std::string> set_enabled(const std::string& queue, bool enabled) override {
    return detail::cups_set_enabled(queue, enabled);
  }
  std::expected<void, std::string> cancel_job(const std::string& job_id) override {
    return detail::cups_cancel_job(job_id);
  }
  std::expected<void, std::string> retry_job(const std::string& job_id) override {
    return detail::cups_retry_job(job_id);
  }
  std::expected<void, std::string> print_document(const std::filesystem::path& document,
                                                  const std::string& queue, std::uint16_t copies,
                                                  bool two_sided) override {
    return detail::cups_print_document(document, queue, copies, two_sided);
  }
  std::expected<std::vector<std::uint8_t>, std::string> scan_page(
      const std::string& scanner_id, const ScanSettings& settings) override {
    return detail::sane_scan_page(scanner_id, settings);
  }
  std::expected<void, std::string> scan_stack(const std::string& scanner_id,
                                              const ScanSettings& settings,
                                              const SheetListener& listener) override {
    return detail::sane_scan_stack(scanner_id, settings, listener);
  }

 private:
  detail::ScannerList scanner_list_{detail::sane_scanners};
};

}  // namespace

std::shared_ptr<Backend> make_system_backend() {
  return std::make_shared<SystemBackend>();
}

}  // namespace os_actions::printing
