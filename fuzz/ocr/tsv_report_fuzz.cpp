// Any text: the parser either fails with one of its errors or returns words that keep every
// promise of a RecognizedWord, in order.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <tuple>

#include "ocr/tsv_report.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view report(reinterpret_cast<const char*>(data), size);
  const auto result = ocr::parse_tsv_report(report, "eng");
  if (!result) return 0;
  const ocr::RecognizedWord* previous = nullptr;
  for (const ocr::RecognizedWord& word : result->words) {
    if (word.text.empty() || word.text.size() > ocr::OcrLimits::kWordTextBytes) std::abort();
    if (!(word.confidence >= 0.0f && word.confidence <= 1.0f)) std::abort();
    if (std::uint64_t{word.left} + word.width > UINT32_MAX) std::abort();
    if (std::uint64_t{word.top} + word.height > UINT32_MAX) std::abort();
    if (previous && std::tie(word.page, word.block, word.paragraph, word.line, word.word) <
                        std::tie(previous->page, previous->block, previous->paragraph,
                                 previous->line, previous->word)) {
      std::abort();
    }
    previous = &word;
  }
  return 0;
}
