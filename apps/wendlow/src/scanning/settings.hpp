#pragma once
// The four scan choices on the scan screen, mapped from their selected indices.
#include <cstddef>
#include <string>

#include "os_actions/printing/records.hpp"

namespace wendlow::scanning {

struct TextLanguage {
  std::string code;   // the OCR engine's language code
  std::string label;  // shown to people
  bool operator==(const TextLanguage&) const = default;
};

// 0 → 150, 1 → 300, 2 → 600 dots per inch; any other index → 300.
std::uint16_t resolution_for(std::size_t index);
os_actions::printing::ScanSettings scan_settings_for(std::size_t resolution, std::size_t color,
                                                     std::size_t source);
// 1 German, 2 French, 3 Spanish, anything else English.
TextLanguage language_for(std::size_t index);
// The engine code for a page's language label: "German" deu, "French" fra, "Spanish" spa,
// anything else eng.
std::string language_code_for(const std::string& label);

}  // namespace wendlow::scanning
