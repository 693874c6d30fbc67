#pragma once
// The print-system half of the system backend: CUPS over IPP through libcups.
#include <cstdint>
#include <expected>
#include <filesystem>
#include <string>
#include <vector>

#include "os_actions/printing/records.hpp"

namespace os_actions::printing::detail {

std::expected<std::vector<PrintQueue>, std::string> cups_queues();
std::expected<std::vector<PrintJob>, std::string> cups_jobs();
std::expected<void, std::string> cups_set_default(const std::string& queue);
std::expected<void, std::string> cups_set_enabled(const std::string& queue, bool enabled);
std::expected<void, std::string> cups_cancel_job(const std::string& job_id);
std::expected<void, std::string> cups_retry_job(const std::string& job_id);
std::expected<void, std::string> cups_print_document(const std::filesystem::path& document,
                                                     const std::string& queue, std::uint16_t copies,
                                                     bool two_sided);
std::expected<std::vector<DriverlessPrinter>, std::string> cups_discover_driverless();
std::expected<void, std::string> cups_add_driverless(const std::string& uri,
                                                     const std::string& name);

}  // namespace os_actions::printing::detail
