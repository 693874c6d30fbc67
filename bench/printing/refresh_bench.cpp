// One full device refresh (queues, jobs, scanners) and the job list alone through the
// printing service, next to lpstat -t and lpstat -W all -o on the same print service. Runs inside
// the test bed:
//   printing_refresh_bench --populate N   adds N canceled (retained) jobs, then exits
//   printing_refresh_bench [benchmark flags]
#include <benchmark/benchmark.h>
#include <cups/cups.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "os_actions/printing/printing.hpp"

namespace {

using namespace os_actions::printing;

void BM_ServiceRefresh(benchmark::State& state) {
  install_backend(make_system_backend());
  std::size_t queue_count = 0, job_count = 0;
  for (auto _ : state) {
    auto q = queues();
    auto j = jobs();
    auto s = scanners();
    if (!q || !j || !s) {
      static std::string error;
      error = !q ? q.error() : !j ? j.error() : s.error();
      state.SkipWithError(error.c_str());
      return;
    }
    queue_count = q->size();
    job_count = j->size();
    benchmark::DoNotOptimize(s);
  }
  state.counters["queues"] = static_cast<double>(queue_count);
  state.counters["jobs"] = static_cast<double>(job_count);
}

// The job list alone: every active job and the newest finished ones with their details.
void BM_Jobs(benchmark::State& state) {
  install_backend(make_system_backend());
  std::size_t job_count = 0;
  for (auto _ : state) {
    auto j = jobs();
    if (!j) {
      static std::string error;
      error = j.error();
      state.SkipWithError(error.c_str());
      return;
    }
    job_count = j->size();
  }
  state.counters["jobs"] = static_cast<double>(job_count);
}

void run_quietly(benchmark::State& state, const char* command) {
  for (auto _ : state) {
    if (std::system(command) != 0) {
      state.SkipWithError(command);
      return;
    }
  }
}

void BM_LpstatT(benchmark::State& state) {
  run_quietly(state, "lpstat -t >/dev/null 2>&1");
}
void BM_LpstatAllJobs(benchmark::State& state) {
  run_quietly(state, "lpstat -W all -o >/dev/null 2>&1");
}
void BM_LpstatBoth(benchmark::State& state) {
  run_quietly(state, "lpstat -t >/dev/null 2>&1 && lpstat -W all -o >/dev/null 2>&1");
}

BENCHMARK(BM_ServiceRefresh)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Jobs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LpstatT)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LpstatAllJobs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LpstatBoth)->Unit(benchmark::kMillisecond)->UseRealTime();

// Retained history: jobs sent to a paused queue over one connection, then canceled.
int populate(int count) {
  const char* document = std::getenv("TB_DIR");
  if (!document) {
    std::fprintf(stderr, "run inside the test bed\n");
    return 1;
  }
  const std::string path = std::string(document) + "/files/test.txt";
  std::system("cupsdisable Bench_10");
  http_t* http =
      httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
  if (!http) return 1;
  for (int i = 0; i < count; ++i) {
    const std::string title = "bench document " + std::to_string(i);
    if (cupsPrintFile2(http, "Bench_10", path.c_str(), title.c_str(), 0, nullptr) <= 0) {
      std::fprintf(stderr, "job %d: %s\n", i, cupsLastErrorString());
      httpClose(http);
      return 1;
    }
  }
  httpClose(http);
  // Canceling thousands of jobs keeps the scheduler busy for a while; measure after it.
  // Then wait until five full lpstat runs in a row, a second apart, answer within a second
  // (at most three minutes): the scheduler writes thousands of job files after a while.
  return std::system(
      "cancel -a Bench_10 && cupsenable Bench_10 && "
      "until [ \"$(lpstat -W not-completed -o | wc -l)\" = 0 ]; do sleep 0.2; done; "
      "fast=0; for i in $(seq 180); do s=$(date +%s%N); lpstat -t >/dev/null 2>&1; "
      "if [ $(( ($(date +%s%N) - s) / 1000000 )) -lt 1000 ]; then fast=$((fast + 1)); "
      "else fast=0; fi; [ $fast -ge 5 ] && break; sleep 1; done");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--populate") == 0) return populate(std::atoi(argv[2]));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
