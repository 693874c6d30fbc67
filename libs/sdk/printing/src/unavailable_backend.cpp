#include "os_actions/printing/backend.hpp"
#include "os_actions/printing/printing.hpp"

namespace os_actions::printing {
namespace {
std::unexpected<std::string> unavailable() {
  return std::unexpected(std::string(kServiceNotAvailable));
}
}  // namespace

std::expected<std::vector<PrintQueue>, std::string> UnavailableBackend::queues() {
  return unavailable();
}
std::expected<std::vector<PrintJob>, std::string> UnavailableBackend::jobs() {
  return unavailable();
}
std::expected<std::vector<Scanner>, std::string> UnavailableBackend::scanners() {
  return unavailable();
}
std::expected<std::vector<DriverlessPrinter>, std::string>
UnavailableBackend::discover_driverless() {
  return unavailable();
}
std::expected<void, std::string> UnavailableBackend::add_driverless(const std::string&,
                                                                    const std::string&) {
  return unavailable();
}
std::expected<void, std::string> UnavailableBackend::set_default(const std::string&) {
  return unavailable();
}
std::expected<void, std::string> UnavailableBackend::set_enabled(const std::string&, bool) {
  return unavailable();
}
std::expected<void, std::string> UnavailableBackend::cancel_job(const std::string&) {
  return unavailable();
}
std::expected<void, std::string> UnavailableBackend::retry_job(const std::string&) {
  return unavailable();
}
std::expected<void, std::string> UnavailableBackend::print_document(const std::filesystem::path&,
                                                                    const std::string&,
                                                                    std::uint16_t, bool) {
  return unavailable();
}
std::expected<std::vector<std::uint8_t>, std::string> UnavailableBackend::scan_page(
    const std::string&, const ScanSettings&) {
  return unavailable();
}

}  // namespace os_actions::printing
