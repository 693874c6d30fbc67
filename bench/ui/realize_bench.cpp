// A screen of 24 cards (title, three texts, a progress bar and two buttons each, about
// 220 widgets): realizing it, its first layout and its first paint at 1280 x 800.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QVBoxLayout>
#include <cstdlib>
#include <string>

#include "vesk_ui/controls.hpp"
#include "vesk_ui/widgets.hpp"
#include "vesk_ui_qt/realize.hpp"

namespace {

using namespace vesk_ui::widget;

WidgetBox twenty_four_cards() {
  auto grid = CardGrid().spacing(16).min_column(300);
  for (int index = 0; index < 24; ++index) {
    const std::string n = std::to_string(index);
    grid.push(
        Card("Printer " + n)
            .push(Text("Ready, 3 documents waiting", TextStyle::Body))
            .push(Text("Office, second floor", TextStyle::Caption))
            .push(Text("Black ink is low", TextStyle::Caption))
            .push(ProgressBar(index / 24.0, "Progress"))
            .push(
                Row()
                    .spacing(8)
                    .push(Button("Print", ButtonStyle::Primary).with_id("printer." + n + ".print"))
                    .push(Button("Queue").with_id("printer." + n + ".queue"))));
  }
  return Scrollable()
      .with_child(Container().maximum_width(1168).padded(24).with_child(
          Column().spacing(16).push(Text("Wendlow", TextStyle::LargeTitle)).push(std::move(grid))))
      .boxed();
}

std::size_t widget_count(const Widget& root) {
  std::size_t count = 0;
  vesk_ui::controls::walk(root, [&](const Widget&) { ++count; });
  return count;
}

void realize_layout_and_paint(benchmark::State& state) {
  const vesk_ui_qt::RealizeContext context{vesk_ui::theme::Theme::light(), {}};
  QWidget window;
  window.setProperty("vesk", "window");
  vesk_ui_qt::apply_window_theme(window, context.theme);
  window.setAttribute(Qt::WA_DontShowOnScreen);
  auto* layout = new QVBoxLayout(&window);
  layout->setContentsMargins(0, 0, 0, 0);
  window.resize(1280, 800);
  window.show();
  QImage frame(1280, 800, QImage::Format_ARGB32_Premultiplied);
  const WidgetBox model = twenty_four_cards();
  state.counters["model_widgets"] = static_cast<double>(widget_count(*model));

  for (auto _ : state) {
    std::unique_ptr<QWidget> tree = vesk_ui_qt::realize_tree(*model, context);
    layout->addWidget(tree.get());
    tree->show();
    layout->activate();
    QCoreApplication::sendPostedEvents();  // pending resizes and polish of the new tree
    {
      QPainter painter(&frame);
      window.render(&painter);
    }
    benchmark::DoNotOptimize(frame.constBits());
    state.PauseTiming();
    state.counters["qt_widgets"] = static_cast<double>(tree->findChildren<QWidget*>().size() + 1);
    layout->removeWidget(tree.get());
    tree.reset();
    state.ResumeTiming();
  }
}

BENCHMARK(realize_layout_and_paint)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
  QApplication app(argc, argv);
  vesk_ui_qt::install_application_font(vesk_ui::theme::Theme::light());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
