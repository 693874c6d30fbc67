#pragma once
// The host of one root widget: its window, its realized tree and its update cycle.
//
// The cycle calls the root's `update` after input, while `needs_idle_sync` is true and
// whenever the installed waker fires; a dirty structure is realized anew at most once per
// event-loop turn. All members run on the UI thread.
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "vesk_ui/theme.hpp"
#include "vesk_ui/widget.hpp"

namespace vesk_ui_qt {

class Host {
 public:
  Host(vesk_ui::widget::WidgetBox root, vesk_ui::theme::Theme theme);
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // The top-level window (not shown yet).
  QWidget& window();
  vesk_ui::widget::Widget& root();
  const vesk_ui::theme::Theme& theme() const;

  // Schedules one turn of the update cycle (coalesced).
  void request_cycle();
  // Runs the update cycle now.
  void run_cycle();

  // True when no cycle and no realization is waiting.
  bool settled() const;
  // How often the tree was realized (1 after construction).
  int realization_count() const;
  // Freezes animations (for screenshots).
  void freeze_animations();
  // Hands files to open from outside to the root as one FilesOpened event.
  void open_files(std::vector<std::filesystem::path> paths);
  // Brings the window forward (shown, raised, activated).
  void bring_forward();
  // Called after every cycle that updated the root, with what the root announced in it
  // (announcements are taken every cycle, hook or not). Empty: none.
  void set_after_cycle(std::function<void(std::vector<vesk_ui::widget::Announcement>)> hook);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vesk_ui_qt
