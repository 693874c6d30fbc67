// The longest single step of the UI thread (one update call, or one realize with its first
// layout and paint at 1280 × 800) while the pages of a ten-page A4 300 dpi document are
// rotated, cropped and the document is saved as a PDF. Target: 50 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <thread>

#include "samples.hpp"
#include "scan_pages.hpp"
#include "scanning/recognition.hpp"
#include "surface.hpp"
#include "vesk_ui/portal.hpp"
#include "vesk_ui_qt/realize.hpp"

namespace {

using Clock = std::chrono::steady_clock;
using wendlow::surface::Wendlow;

double milliseconds_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of the calling thread: unlike wall time, not stretched by other programs on a
// shared machine.
double thread_cpu_ms() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The longest wall and CPU time of the steps of one kind.
struct Longest {
  double wall_ms = 0;
  double cpu_ms = 0;
  template <class Step>
  auto measure(Step&& step) {
    const auto start = Clock::now();
    const double cpu = thread_cpu_ms();
    auto result = step();
    cpu_ms = std::max(cpu_ms, thread_cpu_ms() - cpu);
    wall_ms = std::max(wall_ms, milliseconds_since(start));
    return result;
  }
};

struct AnswerWith : vesk_ui::portal::PickerBackend {
  explicit AnswerWith(std::filesystem::path chosen) : path(std::move(chosen)) {}
  void pick(const vesk_ui::portal::PickRequest&,
            vesk_os::OneshotSender<vesk_ui::portal::PickResult> reply) override {
    std::move(reply).send(vesk_ui::portal::Chosen{path});
  }
  std::filesystem::path path;
};

class Window {
 public:
  Window() : frame_(1280, 800, QImage::Format_ARGB32_Premultiplied) {
    vesk_ui_qt::apply_window_theme(window_, context_.theme);
    window_.setAttribute(Qt::WA_DontShowOnScreen);
    layout_ = new QVBoxLayout(&window_);
    layout_->setContentsMargins(0, 0, 0, 0);
    window_.resize(1280, 800);
    window_.show();
  }
  // Realizes the screen on display, lays it out and paints it.
  bool realize(const Wendlow& state) {
    if (tree_) {
      layout_->removeWidget(tree_.get());
      tree_.reset();
    }
    tree_ = vesk_ui_qt::realize_tree(*state.view, context_);
    layout_->addWidget(tree_.get());
    tree_->show();
    layout_->activate();
    QCoreApplication::sendPostedEvents();
    QPainter painter(&frame_);
    window_.render(&painter);
    return true;
  }

 private:
  const vesk_ui_qt::RealizeContext context_{vesk_ui::theme::Theme::light(), {}};
  QWidget window_;
  QVBoxLayout* layout_;
  QImage frame_;
  std::unique_ptr<QWidget> tree_;
};

void edit_and_save(benchmark::State& state) {
  // No engine: only the UI thread is measured here.
  wendlow::scanning::install_recognizer(std::make_shared<
                                        const wendlow::scanning::
                                            Recognizer>([](const vesk_image::Image&,
                                                           std::string_view language) {
    return std::expected<ocr::OcrResult, ocr::OcrError>(ocr::OcrResult{{}, std::string(language)});
  }));
  std::vector<wendlow::ScannedPage> pages;
  for (std::uint32_t seed = 0; seed < 10; ++seed) {
    auto png = std::make_shared<const std::vector<std::uint8_t>>(wendlow::bench::scanner_png(seed));
    pages.push_back(*wendlow::scanning::page_from_scan(png, {"eng", "English"}));
  }
  const auto folder = std::filesystem::temp_directory_path() / "wendlow-scan-ui-bench";
  std::filesystem::create_directories(folder);
  vesk_ui::portal::install_picker_backend(std::make_shared<AnswerWith>(folder / "document.pdf"));

  for (auto _ : state) {
    Wendlow app = Wendlow::new_scenario(3);
    app.snapshot = wendlow::samples::snapshot();
    app.pages = pages;
    Window window;
    window.realize(app);  // the host's first screen: fonts and styles are set up here
    Longest rotate, crop, next, save, realize;
    auto step = [&](Longest& kind, wendlow::Operation operation) {
      kind.measure([&] {
        wendlow::surface::apply_operation(app, std::move(operation));
        return true;
      });
      realize.measure([&] { return window.realize(app); });
    };
    step(next, wendlow::op::PreviousPage{});
    for (int page = 0; page < 10; ++page) {
      step(rotate, wendlow::op::RotatePage{});
      app.crop.set({0.05, 0.05, 0.95, 0.95});
      step(crop, wendlow::op::ApplyCrop{});
      step(next, wendlow::op::NextPage{});
    }
    step(save, wendlow::op::SaveDocument{});
    // The picker's answer, the save and its notice, one update call at a time.
    const auto deadline = Clock::now() + std::chrono::seconds(600);
    while (!app.notice && Clock::now() < deadline) {
      if (save.measure([&] { return wendlow::surface::update(app); })) {
        realize.measure([&] { return window.realize(app); });
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    }
    if (!app.notice || !app.notice->success) {
      state.SkipWithError(("the document was not saved: " +
                           (app.notice ? app.notice->title : std::string("no answer")))
                              .c_str());
    }
    for (const auto& [name, kind] :
         {std::pair{"rotate", &rotate}, std::pair{"crop", &crop}, std::pair{"next", &next},
          std::pair{"save", &save}, std::pair{"realize", &realize}}) {
      state.counters[std::string(name) + "_wall_ms"] = kind->wall_ms;
      state.counters[std::string(name) + "_cpu_ms"] = kind->cpu_ms;
    }
    state.counters["target_ms"] = 50;
  }
  std::filesystem::remove_all(folder);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RegisterBenchmark("scan_ui/10_pages_a4_300dpi/rotate_crop_save", edit_and_save)
      ->Iterations(1)
      ->UseRealTime()
      ->Unit(benchmark::kSecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
