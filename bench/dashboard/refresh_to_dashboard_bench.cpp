// Refresh to dashboard through the application's own update cycle, on the system's own SANE
// configuration (SANE_CONFIG_DIR is ignored unless --keep-sane-config is given), next to
// `scanimage -L` in the same run. Run it inside the test bed for a print service:
//   bench/dashboard/run_refresh_to_dashboard_bench.sh
//   BUILD/bench/dashboard/refresh_to_dashboard_bench
//
//   BM_ScanimageList             scanimage -L, the floor for any one SANE enumeration
//   BM_FirstRefreshToDashboard   the start: loading screen until the dashboard shows
//   BM_RefreshToDashboard/GAP    Refresh pressed GAP ms after the previous refresh ended,
//                                until the dashboard shows again
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "os_actions/printing/printing.hpp"
#include "surface.hpp"

namespace {

namespace printing = os_actions::printing;
using Clock = std::chrono::steady_clock;
using wendlow::surface::Wendlow;

// Runs the update cycle until the refresh in flight has put up its dashboard.
void until_dashboard(Wendlow& state) {
  while (state.refresh_rx) {
    if (!wendlow::surface::update(state))
      std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

void count_areas(benchmark::State& bench, const Wendlow& state) {
  if (!state.snapshot) return;
  const auto& snapshot = *state.snapshot;
  bench.counters["queues"] = snapshot.queues ? static_cast<double>(snapshot.queues->size()) : -1;
  bench.counters["scanners"] =
      snapshot.scanners ? static_cast<double>(snapshot.scanners->size()) : -1;
}

void BM_ScanimageList(benchmark::State& bench) {
  for (auto _ : bench) {
    if (std::system("scanimage -L >/dev/null 2>&1") != 0) {
      bench.SkipWithError("scanimage -L failed");
      return;
    }
  }
}

void BM_FirstRefreshToDashboard(benchmark::State& bench) {
  for (auto _ : bench) {
    bench.PauseTiming();
    printing::install_backend(printing::make_system_backend());  // nothing enumerated yet
    bench.ResumeTiming();
    Wendlow state = Wendlow::new_live();
    until_dashboard(state);
    bench.PauseTiming();
    count_areas(bench, state);
    bench.ResumeTiming();
  }
}

void BM_RefreshToDashboard(benchmark::State& bench) {
  const auto gap = std::chrono::milliseconds(bench.range(0));
  printing::install_backend(printing::make_system_backend());
  Wendlow state = Wendlow::new_live();
  until_dashboard(state);
  // The steady state: every refresh after this one finds the enumeration its predecessor
  // started.
  wendlow::surface::apply_operation(state, wendlow::op::Refresh{});
  until_dashboard(state);
  for (auto _ : bench) {
    std::this_thread::sleep_for(gap);
    const auto start = Clock::now();
    wendlow::surface::apply_operation(state, wendlow::op::Refresh{});
    until_dashboard(state);
    bench.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
  count_areas(bench, state);
}

BENCHMARK(BM_ScanimageList)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FirstRefreshToDashboard)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
// Back to back, within an enumeration, and at a reading pace.
BENCHMARK(BM_RefreshToDashboard)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5)
    ->Arg(0)
    ->Arg(1000)
    ->Arg(5000);

}  // namespace

int main(int argc, char** argv) {
  bool keep_sane_config = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--keep-sane-config") == 0) keep_sane_config = true;
  }
  if (!keep_sane_config) unsetenv("SANE_CONFIG_DIR");
  const char* sane_config = std::getenv("SANE_CONFIG_DIR");
  const char* cups_server = std::getenv("CUPS_SERVER");
  benchmark::AddCustomContext("sane_config", sane_config ? sane_config : "system default");
  benchmark::AddCustomContext("cups_server", cups_server ? cups_server : "system default");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
