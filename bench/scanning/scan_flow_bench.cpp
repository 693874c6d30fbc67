// Scanning from SANE's test scanner at 300 dpi on an A4 page, through the whole application
// flow, next to the plain tools on the same pages in the same run. Runs inside the test bed:
//   tools/testbed/testbed.sh run DIR build/bench/bench/scanning/scan_flow_bench
//
// feeder/10_sheets: Scan page with the feeder until all ten sheets are recognized and on the
//   screen, next to the sum of the stack's scan time and ten one-thread tesseract runs on its
//   pages (target: 0.65 × that sum).
// flatbed/1_page: Scan page until the recognized page is on the screen, next to scanimage plus
//   a bare tesseract run on the same page.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "os_actions/printing/printing.hpp"
#include "surface.hpp"

namespace {

namespace fs = std::filesystem;
namespace printing = os_actions::printing;
using Clock = std::chrono::steady_clock;
using wendlow::surface::Wendlow;

// CPU seconds of this process and of its finished children (the scan helper, the engine).
double cpu_seconds() {
  auto seconds = [](timeval time) { return time.tv_sec + time.tv_usec / 1e6; };
  rusage self{}, children{};
  getrusage(RUSAGE_SELF, &self);
  getrusage(RUSAGE_CHILDREN, &children);
  return seconds(self.ru_utime) + seconds(self.ru_stime) + seconds(children.ru_utime) +
         seconds(children.ru_stime);
}

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Seconds a shell command took; negative when it failed.
double timed(const std::string& command) {
  const auto start = Clock::now();
  const int status = std::system(command.c_str());
  return status == 0 ? seconds_since(start) : -1;
}

// The test scanner with an A4 page. Its grid is the picture: the colour pattern, once its
// contrast is raised for recognition, keeps the engine busy for half a minute a page laying out
// stripes (while the raw pattern takes it under a second), which measures the engine on a test
// picture rather than the flow.
fs::path configure_scanner() {
  const fs::path folder = fs::temp_directory_path() / "wendlow-scan-flow-bench";
  fs::create_directories(folder / "sane");
  std::ofstream(folder / "sane" / "dll.conf") << "test\n";
  std::ofstream(folder / "sane" / "test.conf")
      << "test-picture \"Grid\"\ngeometry_max 300.0\nbr_x 210.0\nbr_y 297.0\n";
  ::setenv("SANE_CONFIG_DIR", (folder / "sane").c_str(), 1);
  return folder;
}

// The application on the scan setup screen with the test scanner chosen; `source` 0 flatbed,
// 1 feeder.
Wendlow scanning_state(std::size_t source) {
  Wendlow app = Wendlow::new_scenario(3);
  app.snapshot = wendlow::DeviceSnapshot{std::vector<printing::PrintQueue>{},
                                         std::vector<printing::PrintJob>{}, printing::scanners()};
  wendlow::surface::apply_operation(app, wendlow::op::StartScanning{});
  app.scan_resolution.set(1);
  app.scan_source.set(source);
  return app;
}

// Presses Scan page and updates until the capture is over; its seconds.
double scan_to_screen(Wendlow& app) {
  const auto start = Clock::now();
  wendlow::surface::apply_operation(app, wendlow::op::ScanPage{});
  while (app.scanning && seconds_since(start) < 600) {
    if (!wendlow::surface::update(app)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return seconds_since(start);
}

void feeder(benchmark::State& state) {
  const fs::path folder = configure_scanner();
  for (auto _ : state) {
    // The anchor: the stack scanned alone, then ten one-thread engine runs on its pages.
    std::vector<fs::path> sheets;
    const auto scan_start = Clock::now();
    auto stacked = printing::scan_stack(
        "test:0", {300, printing::kScanColor, printing::kScanFeeder},
        {{}, [&](std::vector<std::uint8_t> png) {
           sheets.push_back(folder / ("sheet-" + std::to_string(sheets.size()) + ".png"));
           std::ofstream(sheets.back(), std::ios::binary)
               .write(reinterpret_cast<const char*>(png.data()),
                      static_cast<std::streamsize>(png.size()));
         }});
    const double scan_s = seconds_since(scan_start);
    if (!stacked || sheets.size() != 10) {
      state.SkipWithError("the test scanner's stack could not be scanned");
      break;
    }
    double engine_s = 0;
    for (const auto& sheet : sheets) {
      engine_s += timed("OMP_THREAD_LIMIT=1 tesseract '" + sheet.string() +
                        "' stdout -l eng tsv >/dev/null 2>&1");
    }

    Wendlow app = scanning_state(1);
    const double cpu_before = cpu_seconds();
    const double ours_s = scan_to_screen(app);
    // All the work the flow did, on every core: with the machine to itself, the wall time
    // approaches this divided by the cores.
    state.counters["ours_cpu_s"] = cpu_seconds() - cpu_before;
    if (app.pages.size() != 10) state.SkipWithError("the stack did not arrive whole");
    state.counters["ours_s"] = ours_s;
    state.counters["stack_scan_s"] = scan_s;
    state.counters["tesseract_10x_1thread_s"] = engine_s;
    state.counters["ratio"] = ours_s / (scan_s + engine_s);
    state.counters["target_ratio"] = 0.65;
  }
  fs::remove_all(folder);
}

void flatbed(benchmark::State& state) {
  const fs::path folder = configure_scanner();
  const fs::path page = folder / "page.png";
  for (auto _ : state) {
    const double scanimage_s = timed(
        "scanimage -d test:0 --mode Color --resolution 300 "
        "--format=png > '" +
        page.string() + "' 2>/dev/null");
    const double tesseract_s =
        timed("tesseract '" + page.string() + "' stdout -l eng tsv >/dev/null 2>&1");
    Wendlow app = scanning_state(0);
    const double ours_s = scan_to_screen(app);
    if (app.pages.size() != 1) state.SkipWithError("no page arrived");
    state.counters["ours_s"] = ours_s;
    state.counters["scanimage_s"] = scanimage_s;
    state.counters["bare_tesseract_s"] = tesseract_s;
    state.counters["anchor_s"] = scanimage_s + tesseract_s;
  }
  fs::remove_all(folder);
}

}  // namespace

BENCHMARK(feeder)
    ->Name("feeder/10_sheets_a4_300dpi")
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(flatbed)
    ->Name("flatbed/1_page_a4_300dpi")
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_MAIN();
