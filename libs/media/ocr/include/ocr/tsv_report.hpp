#pragma once
#include <expected>
#include <string_view>

#include "ocr/recognize.hpp"

namespace ocr {

// Parses the engine's tab-separated report (header line first). Rows that are not complete,
// valid word rows are skipped; more than the word limit fails the whole report. The words come
// back sorted stably by (page, block, paragraph, line, word).
std::expected<OcrResult, OcrError> parse_tsv_report(std::string_view report,
                                                    std::string_view language);

}  // namespace ocr
