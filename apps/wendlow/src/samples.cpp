#include "samples.hpp"

#include <algorithm>
#include <array>

#include "screens/screens.hpp"
#include "vesk_image/encode.hpp"

namespace wendlow::samples {

namespace printing = os_actions::printing;
using printing::JobState;
using printing::QueueState;

namespace {
constexpr const char* kSampleUser = "alex";
}

DeviceSnapshot snapshot() {
  printing::PrintQueue queue;
  queue.name = "Studio_printer";
  queue.supplies =
      std::vector<printing::Supply>{{"Black", "#111111", 72}, {"Colour", std::nullopt, 64}};
  queue.responded = true;
  queue.is_default = true;
  queue.accepting = true;
  queue.state = QueueState::Printing;

  printing::PrintJob itinerary;
  itinerary.id = "Studio_printer-42";
  itinerary.title = "Travel itinerary.pdf";
  itinerary.submitted = "today";
  itinerary.printer = "Studio_printer";
  itinerary.user = kSampleUser;
  itinerary.pages_done = 8;
  itinerary.pages_total = 12;
  itinerary.size = 1240000;
  itinerary.state = JobState::Printing;

  printing::PrintJob labels;
  labels.id = "Studio_printer-41";
  labels.title = "Shipping labels.pdf";
  labels.submitted = "yesterday";
  labels.printer = "Studio_printer";
  labels.user = kSampleUser;
  labels.pages_done = 2;
  labels.pages_total = 2;
  labels.size = 440000;
  labels.state = JobState::Completed;

  return DeviceSnapshot{std::vector{queue}, std::vector{itinerary, labels},
                        std::vector<printing::Scanner>{{"scanner0", "Studio scanner"}}};
}

std::vector<printing::DriverlessPrinter> discovery() {
  return {{"ipps://studio-printer.local:631/ipp/print", "Studio printer", "Upstairs workspace"},
          {"ipps://office-laser.local:631/ipp/print", "Office laser", "Downstairs office"}};
}

namespace {

using Rgba = std::array<std::uint8_t, 4>;

void put(std::vector<std::uint8_t>& pixels, std::uint32_t width, std::uint32_t x, std::uint32_t y,
         Rgba colour) {
  const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 4;
  std::copy(colour.begin(), colour.end(), pixels.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

preview::Ready print_preview() {
  constexpr std::uint32_t kWidth = 320;
  constexpr std::uint32_t kHeight = 420;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * 4);
  for (std::uint32_t y = 0; y < kHeight; ++y) {
    for (std::uint32_t x = 0; x < kWidth; ++x) put(pixels, kWidth, x, y, {248, 248, 246, 255});
  }
  for (std::uint32_t y = 28; y <= 87; ++y) {
    for (std::uint32_t x = 24; x <= 295; ++x) put(pixels, kWidth, x, y, {44, 91, 162, 255});
  }
  constexpr std::array<std::uint32_t, 6> kBarWidths = {238, 260, 214, 248, 176, 226};
  for (std::uint32_t i = 0; i < kBarWidths.size(); ++i) {
    for (std::uint32_t y = 126 + 38 * i; y <= 132 + 38 * i; ++y) {
      for (std::uint32_t x = 28; x < 28 + kBarWidths[i]; ++x) {
        put(pixels, kWidth, x, y, {54, 59, 68, 255});
      }
    }
  }
  return preview::Ready{kWidth, kHeight,
                        std::make_shared<const std::vector<std::uint8_t>>(std::move(pixels))};
}

ScannedPage scanned_page() {
  constexpr std::uint32_t kWidth = 320;
  constexpr std::uint32_t kHeight = 440;
  constexpr std::array<std::uint32_t, 7> kTextRows = {92, 119, 146, 198, 225, 252, 306};
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * 4);
  for (std::uint32_t y = 0; y < kHeight; ++y) {
    const bool text_row =
        std::ranges::any_of(kTextRows, [y](auto r) { return y >= r && y <= r + 2; });
    for (std::uint32_t x = 0; x < kWidth; ++x) {
      Rgba colour{250, 248, 243, 255};
      if (x < 4 || x >= kWidth - 4 || y < 4 || y >= kHeight - 4) {
        colour = {196, 198, 202, 255};
      } else if (y >= 328 && y <= 365 && x >= 30 && x <= 289) {
        colour = {224, 235, 255, 255};
      } else if (y >= 38 && y <= 53 && x >= 34 && x <= 237) {
        colour = {45, 51, 65, 255};
      } else if (text_row && x >= 34 && x <= 285) {
        colour = {45, 51, 65, 255};
      }
      put(pixels, kWidth, x, y, colour);
    }
  }
  ScannedPage page;
  page.status = "Recognized 8 words.";
  page.language = "English";
  page.text =
      "Travel receipt\nCoffee and breakfast  \xE2\x82\xAC"
      "12.40\nMonday, 7 September";
  page.pixels = std::make_shared<const std::vector<std::uint8_t>>(std::move(pixels));
  page.width = kWidth;
  page.height = kHeight;
  // A sample page has no scanner file; it is exported as the PNG of its pixels.
  auto image =
      vesk_image::Image::from_pixels(kWidth, kHeight, vesk_image::PixelFormat::Rgba8, page.pixels);
  auto png = vesk_image::encode_png(*image, vesk_image::PngOptions::fast());
  page.encoded = EncodedImage::ready(std::make_shared<const std::vector<std::uint8_t>>(
      png ? std::move(*png) : std::vector<std::uint8_t>()));
  page.id = PageId::fresh();
  return page;
}

vesk_ui::widget::WidgetBox scenario_view(std::uint8_t scenario, const EventSender& events) {
  namespace local = vesk_ui::local_state;
  DeviceSnapshot sample = snapshot();
  auto& queue = sample.queues->front();
  auto& itinerary = sample.jobs->front();
  switch (scenario) {
    case 1:
      return screens::dashboard(sample, events, std::nullopt);
    case 2:
      queue.accepting = false;
      queue.state = QueueState::Paused;
      queue.state_reasons = {"media-empty-warning"};
      itinerary.state = JobState::Stopped;
      itinerary.state_reasons = {"media-empty-warning"};
      return screens::dashboard(sample, events, std::nullopt);
    case 3:
      return screens::first_printer(events, false);
    case 4:
      return screens::print_queue(sample, events, std::nullopt, std::nullopt);
    case 5:
      return screens::printer_controls(queue, events);
    case 6:
      return screens::discovery_result(discovery(), events);
    case 7: {
      const std::filesystem::path document = "Travel itinerary.pdf";
      const DocumentPreview ready = print_preview();
      const std::optional<std::string> printer = "Studio_printer";
      return screens::print(
          {sample, document, ready, printer, local::NumberState(1.0), local::BoolState(true)},
          events);
    }
    case 8:
    case 9: {
      const std::optional<std::string> scanner = "scanner0";
      const std::optional<ScannedPage> page =
          scenario == 9 ? std::optional(scanned_page()) : std::nullopt;
      const std::optional<Notice> no_notice;
      return screens::scan({sample, local::IndexState(1), local::IndexState(0),
                            local::IndexState(0), local::IndexState(0), local::CropState(), page,
                            false, no_notice, page ? 1u : 0u, 0, scanner},
                           events);
    }
    case 10:
      return screens::history(sample, events);
    case 11:
      return screens::diagnostics(sample, events);
    case 12: {
      const DeviceSnapshot failed{std::unexpected("service unavailable"),
                                  std::unexpected("service unavailable"),
                                  std::unexpected("service unavailable")};
      return screens::dashboard(failed, events, std::nullopt);
    }
    default:
      queue.state = QueueState::Idle;
      itinerary.state = JobState::Completed;
      itinerary.pages_done = itinerary.pages_total;
      return screens::dashboard(sample, events, std::nullopt);
  }
}

}  // namespace wendlow::samples
