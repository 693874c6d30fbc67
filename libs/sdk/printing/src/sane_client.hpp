#pragma once
// The scanner half of the system backend: SANE, always through the scan helper program.
#include <cstdint>
#include <expected>
#include <span>
#include <string>
#include <vector>

#include "child_process.hpp"
#include "os_actions/printing/backend.hpp"
#include "os_actions/printing/records.hpp"

namespace os_actions::printing::detail {

std::expected<std::vector<Scanner>, std::string> sane_scanners();
std::expected<std::vector<std::uint8_t>, std::string> sane_scan_page(const std::string& scanner_id,
                                                                     const ScanSettings& settings);

std::expected<void, std::string> sane_scan_stack(const std::string& scanner_id,
                                                 const ScanSettings& settings,
                                                 const SheetListener& listener);

// Reads the scan helper's stack records from the front of `output` and reports them; the
// number of bytes taken (a record cut short waits for the rest). A record of an unknown kind
// is an error.
std::expected<std::size_t, std::string> take_stack_records(std::span<const std::uint8_t> output,
                                                           const SheetListener& listener);

// "<id>\t<name>" lines as the helper lists them; lines without a tab are skipped.
std::vector<Scanner> parse_scanner_list(const std::string& text);

// The line that ends a complete list.
inline constexpr std::string_view kScannerListEnd = "end";

// The helper is judged by its answer: a list that reached its end line, a PNG that reached
// its end chunk. What ends the helper after it has answered (a backend hanging or crashing
// while closing, a sanitizer's verdict on leaks inside SANE) does not undo the answer.
// Without a complete answer, the error is the helper's own message.
std::expected<std::vector<Scanner>, std::string> judge_list_answer(const ChildOutput& output);
std::expected<std::vector<std::uint8_t>, std::string> judge_scan_answer(ChildOutput output);

}  // namespace os_actions::printing::detail
