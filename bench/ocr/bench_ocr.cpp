// Text recognition on an A4 page at 300 dpi (2480 × 3508): the preparation (grey, contrast,
// skew estimate, rotation), the temporary PNG write, a plain engine run on the same page and
// the whole recognize_text call. The preparation and PNG write should stay within 5 % of the
// engine's time.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <memory>

#include "bounded_command/run.hpp"
#include "ocr/engine.hpp"
#include "ocr/prepare.hpp"
#include "ocr/recognize.hpp"
#include "vesk_image/convert.hpp"
#include "vesk_image/encode.hpp"
#include "vesk_image/transform.hpp"
#include "vesk_os/temp_file.hpp"

namespace {

constexpr int kWidth = 2480;
constexpr int kHeight = 3508;

// 12 pt text (50 px at 300 dpi) in 50 lines, tilted by 1.5° like a page laid on the glass.
const vesk_image::Image& a4_page() {
  static const vesk_image::Image page = [] {
    QImage text(kWidth, kHeight, QImage::Format_RGBA8888);
    text.fill(Qt::white);
    {
      QPainter painter(&text);
      QFont font("DejaVu Serif");
      font.setPixelSize(50);
      painter.setFont(font);
      painter.setPen(Qt::black);
      for (int line = 0; line < 50; ++line) {
        painter.drawText(
            250, 300 + 60 * line,
            QString("Line %1: scanned pages are prepared before recognition.").arg(line + 1));
      }
    }
    QImage tilted(text.size(), QImage::Format_RGBA8888);
    tilted.fill(Qt::white);
    {
      QPainter painter(&tilted);
      painter.translate(kWidth / 2.0, kHeight / 2.0);
      painter.rotate(1.5);
      painter.translate(-kWidth / 2.0, -kHeight / 2.0);
      painter.drawImage(0, 0, text);
    }
    std::vector<std::uint8_t> pixels;
    pixels.reserve(std::size_t{kWidth} * kHeight * 4);
    for (int y = 0; y < kHeight; ++y) {
      const auto* row = tilted.constScanLine(y);
      pixels.insert(pixels.end(), row, row + kWidth * 4);
    }
    return *vesk_image::Image::from_pixels(kWidth, kHeight, vesk_image::PixelFormat::Rgba8,
                                           std::move(pixels));
  }();
  return page;
}

void BM_PreparePage(benchmark::State& state) {
  const auto& page = a4_page();
  for (auto _ : state) benchmark::DoNotOptimize(ocr::prepare_page(page));
}
BENCHMARK(BM_PreparePage)->Unit(benchmark::kMillisecond)->Iterations(5);

// The pieces of the preparation, to see where its time goes.
void BM_PreparePieces(benchmark::State& state) {
  const auto& page = a4_page();
  const vesk_image::Image raised = vesk_image::adjust_contrast(vesk_image::to_grey8(page), 22.0f);
  for (auto _ : state) {
    switch (state.range(0)) {
      case 0:
        benchmark::DoNotOptimize(vesk_image::adjust_contrast(vesk_image::to_grey8(page), 22.0f));
        break;
      case 1:
        benchmark::DoNotOptimize(vesk_image::resize_triangle(raised, 848, 1200));
        break;
      case 2:
        benchmark::DoNotOptimize(ocr::estimate_skew(raised));
        break;
      case 3:
        benchmark::DoNotOptimize(ocr::rotate_about_centre(raised, -1.5));
        break;
    }
  }
}
BENCHMARK(BM_PreparePieces)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

void write_grey_png(benchmark::State& state, const vesk_image::PngOptions& options) {
  const vesk_image::Image grey = ocr::prepare_page(a4_page());
  std::size_t size = 0;
  for (auto _ : state) {
    auto file = vesk_os::TempFile::create(".tmp", ".png");
    auto encoded = vesk_image::encode_for_file_name(grey, file->path().string(), options);
    size = encoded->size();
    benchmark::DoNotOptimize(file->write_all(*encoded));
  }
  state.counters["png_bytes"] = static_cast<double>(size);
}

void BM_GreyPngWriteFast(benchmark::State& state) {
  write_grey_png(state, vesk_image::PngOptions::fast());
}
BENCHMARK(BM_GreyPngWriteFast)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_GreyPngWriteStored(benchmark::State& state) {
  write_grey_png(state, vesk_image::PngOptions::stored());
}
BENCHMARK(BM_GreyPngWriteStored)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_GreyPngWriteDefault(benchmark::State& state) {
  write_grey_png(state, vesk_image::PngOptions{});
}
BENCHMARK(BM_GreyPngWriteDefault)->Unit(benchmark::kMillisecond)->Iterations(3);

double children_cpu_ms() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// The engine alone on the prepared page, one thread, as recognize_text calls it.
void BM_TesseractPlain(benchmark::State& state) {
  const vesk_image::Image grey = ocr::prepare_page(a4_page());
  auto file = vesk_os::TempFile::create(".tmp", ".png");
  (void)file->write_all(*vesk_image::encode_png(grey, vesk_image::PngOptions::stored()));
  const double cpu_before = children_cpu_ms();
  for (auto _ : state) {
    auto outcome = bounded_command::run_prepared_with_limits(
        ocr::engine_command("tesseract", file->path(), "eng"), {}, 16 << 20, 4096,
        std::chrono::seconds(120));
    if (!outcome || !outcome->status.success()) state.SkipWithError("tesseract failed");
  }
  // The engine's own CPU time per run: comparable with the CPU column of the preparation
  // when the machine is shared.
  state.counters["engine_cpu_ms"] =
      (children_cpu_ms() - cpu_before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_TesseractPlain)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_RecognizeText(benchmark::State& state) {
  const auto& page = a4_page();
  std::size_t words = 0;
  for (auto _ : state) {
    auto result = ocr::recognize_text(page, "eng");
    if (!result) {
      state.SkipWithError(result.error().message.c_str());
      break;
    }
    words = result->words.size();
  }
  state.counters["words"] = static_cast<double>(words);
}
BENCHMARK(BM_RecognizeText)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);  // fonts for the page
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
