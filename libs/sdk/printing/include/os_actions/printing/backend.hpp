#pragma once
// What a printing backend implements. The free functions of printing.hpp forward to the
// installed backend; the call surface is the same.
#include <cstdint>
#include <expected>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "os_actions/printing/records.hpp"

namespace os_actions::printing {

// What a feeder scan reports while it runs, in order, for every sheet: `sheet_started` once
// the scanner has taken the sheet in, then `page` with its encoded image. Both are called on
// the scanning thread.
struct SheetListener {
  std::function<void()> sheet_started;
  std::function<void(std::vector<std::uint8_t> encoded)> page;
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual std::expected<std::vector<PrintQueue>, std::string> queues() = 0;
  virtual std::expected<std::vector<PrintJob>, std::string> jobs() = 0;
  virtual std::expected<std::vector<Scanner>, std::string> scanners() = 0;
  virtual std::expected<std::vector<DriverlessPrinter>, std::string> discover_driverless() = 0;
  virtual std::expected<void, std::string> add_driverless(const std::string& uri,
                                                          const std::string& name) = 0;
  virtual std::expected<void, std::string> set_default(const std::string& queue) = 0;
  virtual std::expected<void, std::string> set_enabled(const std::string& queue, bool enabled) = 0;
  virtual std::expected<void, std::string> cancel_job(const std::string& job_id) = 0;
  virtual std::expected<void, std::string> retry_job(const std::string& job_id) = 0;
  virtual std::expected<void, std::string> print_document(const std::filesystem::path& document,
                                                          const std::string& queue,
                                                          std::uint16_t copies, bool two_sided) = 0;
  virtual std::expected<std::vector<std::uint8_t>, std::string> scan_page(
      const std::string& scanner_id, const ScanSettings& settings) = 0;
  // Sheet after sheet until the feeder is empty. A backend without a feeder of its own scans
  // one page.
  virtual std::expected<void, std::string> scan_stack(const std::string& scanner_id,
                                                      const ScanSettings& settings,
                                                      const SheetListener& listener);
};

// Answers every call with "print service not available".
class UnavailableBackend final : public Backend {
 public:
  std::expected<std::vector<PrintQueue>, std::string> queues() override;
  std::expected<std::vector<PrintJob>, std::string> jobs() override;
  std::expected<std::vector<Scanner>, std::string> scanners() override;
  std::expected<std::vector<DriverlessPrinter>, std::string> discover_driverless() override;
  std::expected<void, std::string> add_driverless(const std::string& uri,
                                                  const std::string& name) override;
  std::expected<void, std::string> set_default(const std::string& queue) override;
  std::expected<void, std::string> set_enabled(const std::string& queue, bool enabled) override;
  std::expected<void, std::string> cancel_job(const std::string& job_id) override;
  std::expected<void, std::string> retry_job(const std::string& job_id) override;
  std::expected<void, std::string> print_document(const std::filesystem::path& document,
                                                  const std::string& queue, std::uint16_t copies,
                                                  bool two_sided) override;
  std::expected<std::vector<std::uint8_t>, std::string> scan_page(
      const std::string& scanner_id, const ScanSettings& settings) override;
};

}  // namespace os_actions::printing
