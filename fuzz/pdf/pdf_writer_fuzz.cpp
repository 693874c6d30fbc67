// Builds documents from random pages (sizes, pixel buffers of the right or wrong length, valid
// and malformed UTF-8 text) and checks that every file is well framed: the cross-reference
// offsets point at their objects, stream lengths match, and the page count matches the
// drawable pages. The bytes must not depend on the number of compression threads.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "pdf/write_searchable_pdf.hpp"
#include "pdf_layout_check.hpp"

namespace {

using wendlow::pdf::PdfPage;

std::uint32_t pick_side(FuzzedDataProvider& input) {
  // Mostly small sides so the fuzzer runs fast; sometimes extremes that overflow.
  switch (input.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
      return 0;
    case 1:
      return input.ConsumeIntegral<std::uint32_t>();
    default:
      return input.ConsumeIntegralInRange<std::uint32_t>(1, 48);
  }
}

PdfPage pick_page(FuzzedDataProvider& input) {
  PdfPage page;
  page.width = pick_side(input);
  page.height = pick_side(input);
  std::uint64_t exact = std::uint64_t{page.width} * page.height * 3;
  std::size_t length = exact <= 48 * 48 * 3 && input.ConsumeBool()
                           ? static_cast<std::size_t>(exact)
                           : input.ConsumeIntegralInRange<std::size_t>(0, 64);
  page.rgb = input.ConsumeBytes<std::uint8_t>(length);
  page.rgb.resize(length, input.ConsumeIntegral<std::uint8_t>());
  page.text = input.ConsumeRandomLengthString(256);
  return page;
}

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  unsigned threads = input.ConsumeIntegralInRange<unsigned>(2, 4);
  std::vector<PdfPage> pages(input.ConsumeIntegralInRange<std::size_t>(0, 6));
  for (PdfPage& page : pages) page = pick_page(input);

  std::vector<std::uint8_t> file = wendlow::pdf::write_searchable_pdf(pages, 1);
  auto layout = wendlow::pdf::testing::check_pdf_layout(file);
  if (!layout) fail(layout.error().c_str());

  std::size_t drawable = 0;
  for (const PdfPage& page : pages) drawable += wendlow::pdf::is_drawable(page) ? 1 : 0;
  if (layout->object_offsets.size() != 3 * drawable + 3) fail("wrong object count");

  if (wendlow::pdf::write_searchable_pdf(pages, threads) != file) {
    fail("output depends on the thread count");
  }
  return 0;
}
