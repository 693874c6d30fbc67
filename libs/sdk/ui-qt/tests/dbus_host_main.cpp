// A small program on the real launch path: the gallery screen under a switching root, with
// test resources. The D-Bus test drives it with gdbus; the screenshot test photographs it.
// With VESK_TEST_HOST_MARK set, the root creates that file and its destructor removes it:
// the signal test sees from outside that the program ended by its own shutdown.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "test_roots.hpp"
#include "vesk_ui/launch.hpp"
#include "vesk_ui/widgets.hpp"

namespace {

using namespace vesk_ui::widget;
using vesk_ui_qt::testing::GalleryCells;
using vesk_ui_qt::testing::SwitchingRoot;

WidgetBox pressed_view(int presses, std::shared_ptr<int> pending) {
  return Column()
      .push(Text("Pressed " + std::to_string(presses), TextStyle::Heading))
      .push(Button("Press again").with_id("gallery.print").on_action([pending] { ++*pending; }))
      .boxed();
}

// A file that exists exactly as long as the object does.
class MarkFile {
 public:
  explicit MarkFile(std::filesystem::path path) : path_(std::move(path)) {
    std::ofstream(path_) << "alive\n";
  }
  ~MarkFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  MarkFile(const MarkFile&) = delete;
  MarkFile& operator=(const MarkFile&) = delete;

 private:
  std::filesystem::path path_;
};

std::shared_ptr<MarkFile> mark_file() {
  const char* path = std::getenv("VESK_TEST_HOST_MARK");
  if (path == nullptr || *path == '\0') return nullptr;
  return std::make_shared<MarkFile>(path);
}

}  // namespace

int main(int argc, char** argv) {
  vesk_ui::launch::LaunchDescriptor descriptor;
  descriptor.app_id = "io.github.vesk.TestHost";
  descriptor.scenarios = {"gallery", "narrow"};
  auto build = [](const vesk_ui::launch::LaunchContext& context) {
    const bool narrow = context.scenario_name() && *context.scenario_name() == "narrow";
    auto cells = std::make_shared<GalleryCells>();
    auto root = std::make_unique<SwitchingRoot>(nullptr);
    SwitchingRoot* raw = root.get();
    auto presses = std::make_shared<int>(0);
    auto pending = std::make_shared<int>(0);
    // A press is only noted; the update replaces the view, as an application does, so a
    // button's action never destroys the button it runs from.
    root->replace(vesk_ui_qt::testing::gallery(
        *cells, [pending] { ++*pending; }, narrow));
    root->on_update = [raw, presses, pending, cells, mark = mark_file()] {
      const bool changed = *pending > 0;
      if (changed) {
        *presses += std::exchange(*pending, 0);
        raw->replace(pressed_view(*presses, pending));
      }
      raw->resource_title = "Test root (presses: " + std::to_string(*presses) +
                            ", mode: " + std::to_string(cells->mode.get()) +
                            ", ping: " + raw->last_payload +
                            ", kind: " + std::to_string(raw->last_kind) + ")";
      return changed;
    };
    return vesk_ui::launch::ScenarioRoot{std::move(root), std::nullopt};
  };
  descriptor.build_scenario_root = build;
  descriptor.build_live_root = [build] { return build({}).root; };
  descriptor.window_size = [](const vesk_ui::launch::LaunchContext& context) {
    const bool narrow = context.scenario_name() && *context.scenario_name() == "narrow";
    return narrow ? vesk_ui::launch::WindowSize{520, 820} : vesk_ui::launch::WindowSize{1280, 800};
  };
  return vesk_ui::launch::run_or_exit(std::move(descriptor), argc, argv);
}
