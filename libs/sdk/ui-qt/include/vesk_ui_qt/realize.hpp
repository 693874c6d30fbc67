#pragma once
// Realizing a model tree as real QWidgets.
//
// Every model widget becomes one QWidget (object name = control id, accessible name =
// label). Buttons run a copy of their model action, so a widget stays safe to click after
// its model tree was replaced. Bound inputs write their local-state cell and follow it.
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "vesk_ui/theme.hpp"
#include "vesk_ui/widget.hpp"

namespace vesk_ui_qt {

struct RealizeContext {
  vesk_ui::theme::Theme theme = vesk_ui::theme::Theme::light();
  // Runs after the user changed something through a realized widget (a click, a new
  // value); the host schedules its update cycle there.
  std::function<void()> after_input;
};

// The realized tree; the caller owns the returned widget.
std::unique_ptr<QWidget> realize_tree(const vesk_ui::widget::Widget& model,
                                      const RealizeContext& context);

// Gives a top-level window the theme's colours and font; realized trees inside it take
// the rest of their look from the context's theme.
void apply_window_theme(QWidget& window, const vesk_ui::theme::Theme& theme);

// Loads the bundled font and makes it the application font (once per process).
void install_application_font(const vesk_ui::theme::Theme& theme);

}  // namespace vesk_ui_qt
