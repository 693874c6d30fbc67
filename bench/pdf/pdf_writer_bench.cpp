// Wall time and peak memory of the searchable PDF writer on ten A4 300 dpi scan-like pages,
// with one compression thread and with all cores, next to img2pdf on the same pages as PNG.
//
// Under load from other programs, compare process_cpu_s as well as wall time.
// Memory figures: "writer_peak_MB" is the writer's peak resident growth above the input pages
// it is given; "img2pdf_peak_MB" is img2pdf's whole peak resident size (interpreter included),
// measured in a process of its own: started from this one, a child would carry this process's
// own peak in its count, so GNU time starts it and reports it.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "pdf/write_searchable_pdf.hpp"
#include "process_memory.hpp"
#include "scan_like_page.hpp"

extern char** environ;

namespace wendlow::pdf::bench {
namespace {

constexpr int kPages = 10;
constexpr double kMegabyte = 1024.0 * 1024.0;

struct Context {
  std::vector<PdfPage> pages;
  std::vector<std::filesystem::path> pngs;
  std::filesystem::path directory;
  std::vector<std::uint8_t> sequential_output;  // kept to compare the parallel result with
};

double raw_page_megabytes(const Context& context) {
  return static_cast<double>(context.pages.front().rgb.size()) / kMegabyte;
}

// CPU seconds of every thread of this process so far.
double process_cpu_seconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](timeval time) { return time.tv_sec + time.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void write_pdf(benchmark::State& state, Context& context, unsigned threads) {
  for (auto _ : state) {
    state.PauseTiming();
    reset_peak_resident();
    std::size_t baseline = current_resident_bytes();
    double cpu_before = process_cpu_seconds();
    state.ResumeTiming();

    std::vector<std::uint8_t> output = write_searchable_pdf(context.pages, threads);

    state.PauseTiming();
    // All threads' CPU time; with the machine otherwise idle, wall time ≈ this ÷ threads.
    state.counters["process_cpu_s"] = process_cpu_seconds() - cpu_before;
    std::size_t peak = peak_resident_bytes();
    double output_mb = static_cast<double>(output.size()) / kMegabyte;
    double peak_mb = static_cast<double>(peak > baseline ? peak - baseline : 0) / kMegabyte;
    state.counters["threads"] = threads;
    state.counters["output_MB"] = output_mb;
    state.counters["writer_peak_MB"] = peak_mb;
    state.counters["budget_MB"] = output_mb + 2 * raw_page_megabytes(context);
    if (context.sequential_output.empty()) {
      context.sequential_output = std::move(output);
    } else if (output != context.sequential_output) {
      state.SkipWithError("output differs from the one-thread output");
    }
    state.ResumeTiming();
  }
}

void run_img2pdf(benchmark::State& state, Context& context) {
  std::filesystem::path output = context.directory / "img2pdf.pdf";
  std::filesystem::path peak_file = context.directory / "img2pdf.peak";
  std::vector<std::string> arguments = {
      "/usr/bin/time",    "-f",      "%M",         "-o",
      peak_file.string(), "img2pdf", "--pagesize", "A4",
      "--imgsize",        "A4",      "-o",         output.string()};
  for (const auto& png : context.pngs) arguments.push_back(png.string());
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  for (auto _ : state) {
    pid_t child = 0;
    if (posix_spawn(&child, "/usr/bin/time", nullptr, nullptr, argv.data(), environ) != 0) {
      state.SkipWithError("img2pdf could not be started through /usr/bin/time");
      break;
    }
    int status = 0;
    waitpid(child, &status, 0);
    state.PauseTiming();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("img2pdf failed");
    state.counters["output_MB"] =
        static_cast<double>(std::filesystem::file_size(output)) / kMegabyte;
    double peak_kilobytes = 0;
    std::ifstream(peak_file) >> peak_kilobytes;
    state.counters["img2pdf_peak_MB"] = peak_kilobytes / 1024.0;
    state.ResumeTiming();
  }
}

}  // namespace
}  // namespace wendlow::pdf::bench

int main(int argc, char** argv) {
  using namespace wendlow::pdf::bench;
  benchmark::Initialize(&argc, argv);

  Context context;
  std::string pattern = (std::filesystem::temp_directory_path() / "wendlow-pdf-bench-XXXXXX");
  if (mkdtemp(pattern.data()) == nullptr) return 1;
  context.directory = pattern;
  for (int index = 0; index < kPages; ++index) {
    context.pages.push_back(scan_like_page(static_cast<std::uint32_t>(index)));
    context.pngs.push_back(context.directory / ("page-" + std::to_string(index) + ".png"));
    if (!write_png(context.pages.back(), context.pngs.back())) return 1;
  }

  unsigned all_threads = std::max(1u, std::thread::hardware_concurrency());
  auto once = [](benchmark::internal::Benchmark* bench) {
    bench->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
  };
  once(
      benchmark::RegisterBenchmark("write_searchable_pdf/10_pages/1_thread",
                                   [&](benchmark::State& state) { write_pdf(state, context, 1); }));
  once(benchmark::RegisterBenchmark(
      ("write_searchable_pdf/10_pages/" + std::to_string(all_threads) + "_threads").c_str(),
      [&](benchmark::State& state) { write_pdf(state, context, all_threads); }));
  once(benchmark::RegisterBenchmark("img2pdf/10_pages_png",
                                    [&](benchmark::State& state) { run_img2pdf(state, context); }));

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(context.directory);
  return 0;
}
