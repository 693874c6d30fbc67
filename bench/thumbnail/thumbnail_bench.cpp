// Page 1 previews at 720 pixels: the thumbnail library (a bounded pdftoppm child per preview)
// next to poppler rendering the same page inside this process, for a text PDF and a 300 dpi
// scanned PDF; the target is at most 1.3 times the in-process time. And a plain-text preview
// of a 64 KiB file, whose target is at most 50 ms. The ratios are printed after the runs.
#include <benchmark/benchmark.h>

#include <poppler-qt6.h>
#include <QImage>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "test_files.hpp"
#include "thumbnail/generate.hpp"

namespace {

using thumbnail::category::Category;

struct Documents {
  thumbnail::testing::TempDir dir;
  std::filesystem::path text_pdf = dir.write("text.pdf", thumbnail::testing::text_pdf());
  std::filesystem::path scanned_pdf = dir.write("scan.pdf", thumbnail::testing::scanned_pdf());
  std::filesystem::path text_file;

  Documents() {
    std::string text;
    for (int line = 0; text.size() < 64 * 1024; ++line) {
      text += "Line " + std::to_string(line) +
              ": the quick brown fox jumps over the lazy dog, café €12.40\n";
    }
    text.resize(64 * 1024);
    text_file = dir.write("notes.txt", thumbnail::testing::bytes_of(text));
  }
};

Documents& documents() {
  static Documents made;
  return made;
}

const std::filesystem::path& pdf(int kind) {
  return kind == 0 ? documents().text_pdf : documents().scanned_pdf;
}

void BM_LibraryPdf(benchmark::State& state) {
  const auto& path = pdf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto preview = thumbnail::generate::generate(path, Category::Pdf, 720);
    if (!preview) state.SkipWithError(preview.error().c_str());
    benchmark::DoNotOptimize(preview);
  }
}

// What the library would do without a child: load, render at the size, give RGBA pixels.
void BM_PopplerInProcess(benchmark::State& state) {
  const auto path = QString::fromStdString(pdf(static_cast<int>(state.range(0))).string());
  for (auto _ : state) {
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    if (!document) {
      state.SkipWithError("poppler could not load the file");
      break;
    }
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    std::unique_ptr<Poppler::Page> page = document->page(0);
    const QSizeF points = page->pageSizeF();
    const double dpi = 720 * 72.0 / std::max(points.width(), points.height());
    QImage image = page->renderToImage(dpi, dpi).convertToFormat(QImage::Format_RGBA8888);
    benchmark::DoNotOptimize(image);
  }
}

void BM_LibraryText(benchmark::State& state) {
  for (auto _ : state) {
    auto preview = thumbnail::generate::generate(documents().text_file, Category::PlainText, 720);
    if (!preview) state.SkipWithError(preview.error().c_str());
    benchmark::DoNotOptimize(preview);
  }
}

BENCHMARK(BM_LibraryPdf)->Arg(0)->Arg(1)->ArgName("scanned")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PopplerInProcess)->Arg(0)->Arg(1)->ArgName("scanned")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibraryText)->Unit(benchmark::kMillisecond);

// Keeps each run's mean wall time per iteration for the summary.
class Collector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        milliseconds[run.benchmark_name()] =
            run.real_accumulated_time * 1000.0 / static_cast<double>(run.iterations);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> milliseconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  documents();
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  auto& ms = collector.milliseconds;
  for (const char* kind : {"0", "1"}) {
    const std::string library = std::string("BM_LibraryPdf/scanned:") + kind;
    const std::string poppler = std::string("BM_PopplerInProcess/scanned:") + kind;
    if (ms.count(library) && ms.count(poppler) && ms[poppler] > 0) {
      const double ratio = ms[library] / ms[poppler];
      std::printf("%s PDF: library %.1f ms, in-process %.1f ms, ratio %.2f (target <= 1.30) %s\n",
                  kind[0] == '0' ? "text" : "scanned", ms[library], ms[poppler], ratio,
                  ratio <= 1.3 ? "ok" : "OVER");
    }
  }
  if (ms.count("BM_LibraryText")) {
    std::printf("text file: %.1f ms (target <= 50) %s\n", ms["BM_LibraryText"],
                ms["BM_LibraryText"] <= 50 ? "ok" : "OVER");
  }
  benchmark::Shutdown();
  return 0;
}
