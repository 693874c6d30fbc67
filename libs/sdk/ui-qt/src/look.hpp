#pragma once
// The theme table as Qt colours and fonts, and the widgets that paint with them: card and
// banner surfaces, dividers and buttons. The host paints these itself instead of using a
// style sheet, which makes realizing a screen several times cheaper.
#include <QColor>
#include <QFont>
#include <QFrame>
#include <QPushButton>
#include <memory>

#include "vesk_ui/theme.hpp"

namespace vesk_ui_qt {

struct Tint {
  QColor background;
  QColor border;
  QColor text;
};

struct Look {
  vesk_ui::theme::Metrics metrics;
  QColor window, card, hairline, strong_line, text, secondary, accent, accent_hover, on_accent;
  QColor hover, pressed, focus;
  Tint info, success, warning, error;
  QFont body, caption, heading, large_title, strong;

  static std::shared_ptr<const Look> from(const vesk_ui::theme::Theme& theme);
};

// Colours and font of the window, so that Qt's own widgets (inputs, scroll bars, dialogs)
// match.
void apply_window_look(QWidget& window, const Look& look);

// A rounded surface with a hairline border: cards, banners, dividers (radius 0, no border).
class Surface : public QFrame {
 public:
  Surface(QColor fill, QColor border, int radius, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QColor fill_, border_;
  int radius_;
};

// A push button painted in the toolkit's style. Segments are the joined buttons of a
// segmented control: each paints its share of the group's rounded outline.
class FlatButton : public QPushButton {
 public:
  enum class Kind { Primary, Secondary, Plain, Segment };
  FlatButton(const QString& text, Kind kind, std::shared_ptr<const Look> look,
             QWidget* parent = nullptr);
  Kind kind() const { return kind_; }
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  Kind kind_;
  std::shared_ptr<const Look> look_;
};

}  // namespace vesk_ui_qt
