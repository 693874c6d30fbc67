// The dashboard with 24 printers and 24 active documents: building the widget model, and
// building plus realizing it as laid-out QWidgets in the wide window (the target is a
// median of at most 16 ms for the latter), plus painting one frame for comparison. The
// print queue with 24 documents and the history with 50 are realized and painted the same
// way, with the same target.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdlib>
#include <string>

#include "samples.hpp"
#include "screens/screens.hpp"
#include "vesk_ui_qt/realize.hpp"

namespace {

namespace printing = os_actions::printing;

wendlow::DeviceSnapshot crowded_snapshot() {
  wendlow::DeviceSnapshot snapshot = wendlow::samples::snapshot();
  const auto queue_template = snapshot.queues->front();
  const auto job_template = snapshot.jobs->front();
  snapshot.queues->clear();
  snapshot.jobs->clear();
  for (int i = 0; i < 24; ++i) {
    auto queue = queue_template;
    queue.name = "Floor_" + std::to_string(i / 6) + "-printer_" + std::to_string(i);
    queue.is_default = i == 0;
    queue.state = static_cast<printing::QueueState>(i % 4);
    if (i % 5 == 4) queue.supplies.reset();
    snapshot.queues->push_back(queue);

    auto job = job_template;
    job.id = queue.name + "-" + std::to_string(100 + i);
    job.title = i % 3 == 0 ? "" : "Quarterly report part " + std::to_string(i) + ".pdf";
    job.printer = queue.name;
    job.state = i % 2 == 0 ? printing::JobState::Waiting : printing::JobState::Printing;
    snapshot.jobs->push_back(job);
  }
  // Fifty finished documents after the active ones, for the history.
  for (int i = 0; i < 50; ++i) {
    auto job = job_template;
    job.id = "Floor_1-printer_" + std::to_string(i % 24) + "-" + std::to_string(200 + i);
    job.title = "Retained letter " + std::to_string(i) + ".pdf";
    job.printer = "Floor_1-printer_" + std::to_string(i % 24);
    job.state = static_cast<printing::JobState>(4 + i % 3);
    snapshot.jobs->push_back(job);
  }
  return snapshot;
}

enum class Screen { Dashboard, Queue, History };

struct Fixture {
  wendlow::DeviceSnapshot snapshot = crowded_snapshot();
  std::pair<vesk_os::Sender<wendlow::Operation>, vesk_os::Receiver<wendlow::Operation>> channel =
      vesk_os::channel<wendlow::Operation>();
  vesk_ui_qt::RealizeContext context{vesk_ui::theme::Theme::light(), {}};
  QWidget window;
  QVBoxLayout* layout = new QVBoxLayout(&window);

  Fixture() {
    vesk_ui_qt::install_application_font(context.theme);
    vesk_ui_qt::apply_window_theme(window, context.theme);
    window.resize(1280, 800);
    window.show();
  }

  // One dashboard from model to shown, styled and laid-out widgets, as the host puts a new
  // screen in its window; the caller owns the result.
  std::unique_ptr<QWidget> realize(Screen screen = Screen::Dashboard) {
    auto model = screen == Screen::Queue ? wendlow::screens::print_queue(snapshot, channel.first,
                                                                         std::nullopt, std::nullopt)
                 : screen == Screen::History
                     ? wendlow::screens::history(snapshot, channel.first)
                     : wendlow::screens::dashboard(snapshot, channel.first, std::nullopt);
    auto tree = vesk_ui_qt::realize_tree(*model, context);
    layout->addWidget(tree.get());
    tree->show();
    layout->activate();
    return tree;
  }
};

Fixture& fixture() {
  static Fixture shared;
  return shared;
}

void BM_BuildDashboardModel(benchmark::State& state) {
  auto& f = fixture();
  for (auto _ : state) {
    auto model = wendlow::screens::dashboard(f.snapshot, f.channel.first, std::nullopt);
    benchmark::DoNotOptimize(model);
  }
}

void BM_RealizeDashboard(benchmark::State& state) {
  auto& f = fixture();
  for (auto _ : state) {
    auto tree = f.realize();
    benchmark::DoNotOptimize(tree);
    state.PauseTiming();
    tree.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}

void BM_RealizeAndPaintDashboard(benchmark::State& state) {
  auto& f = fixture();
  for (auto _ : state) {
    auto tree = f.realize();
    QPixmap frame = f.window.grab();
    benchmark::DoNotOptimize(frame);
    state.PauseTiming();
    tree.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}

void realize_and_paint(benchmark::State& state, Screen screen) {
  auto& f = fixture();
  for (auto _ : state) {
    auto tree = f.realize(screen);
    QPixmap frame = f.window.grab();
    benchmark::DoNotOptimize(frame);
    state.PauseTiming();
    tree.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}

void BM_RealizeAndPaintQueue(benchmark::State& state) {
  realize_and_paint(state, Screen::Queue);
}
void BM_RealizeAndPaintHistory(benchmark::State& state) {
  realize_and_paint(state, Screen::History);
}

BENCHMARK(BM_RealizeAndPaintQueue)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_RealizeAndPaintHistory)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_BuildDashboardModel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RealizeDashboard)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_RealizeAndPaintDashboard)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
