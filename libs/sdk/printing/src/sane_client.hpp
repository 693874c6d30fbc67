#pragma once
// The scanner half of the system backend: SANE, always through the scan helper program.
#include <cstdint>
#include <expected>
#include <string>
#include <vector>

#include "os_actions/printing/records.hpp"

namespace os_actions::printing::detail {

std::expected<std::vector<Scanner>, std::string> sane_scanners();
std::expected<std::vector<std::uint8_t>, std::string> sane_scan_page(const std::string& scanner_id,
                                                                     const ScanSettings& settings);

// "<id>\t<name>" lines as the helper lists them; lines without a tab are skipped.
std::vector<Scanner> parse_scanner_list(const std::string& text);

}  // namespace os_actions::printing::detail
