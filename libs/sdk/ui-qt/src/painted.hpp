#pragma once
// Widgets the host paints itself: the switch, the thin progress line, the page symbol and
// the image views.
#include <QAbstractButton>
#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "vesk_ui/local_state.hpp"
#include "vesk_ui/theme.hpp"
#include "vesk_ui/widgets.hpp"

namespace vesk_ui_qt {

// An on/off switch.
class Switch : public QAbstractButton {
 public:
  Switch(const vesk_ui::theme::Palette& palette, QWidget* parent = nullptr);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QColor on_, off_, knob_, focus_;
};

// A rounded progress line; indeterminate when the fraction is absent. Its animation stops
// when the top-level window carries the property "vesk-still".
class ProgressLine : public QWidget {
 public:
  ProgressLine(std::optional<double> fraction, const vesk_ui::theme::Theme& theme,
               QWidget* parent = nullptr);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  std::optional<double> fraction() const { return fraction_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void showEvent(QShowEvent*) override;
  void hideEvent(QHideEvent*) override;

 private:
  std::optional<double> fraction_;
  QColor track_, fill_;
  int height_;
  QTimer frames_;
  QElapsedTimer clock_;
};

// A small page with text lines, for "N of M" progress.
class PageSymbol : public QWidget {
 public:
  PageSymbol(const vesk_ui::theme::Palette& palette, QWidget* parent = nullptr);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QColor paper_, line_, text_;
};

// RGBA pixels shared with the model, wrapped without a copy; an empty image when the
// buffer is shorter than the size says.
QImage image_over(std::uint32_t width, std::uint32_t height, const vesk_ui::widget::Pixels& pixels);

// A copy of `image` at `size` (about its proportions), made quickly from large pages: an
// exact box average down to at most twice the size, then a smooth scale.
QImage scaled_for_display(const QImage& image, QSize size);

// An image scaled to the width it gets, keeping its proportions. It is drawn from a copy
// reduced with an area filter to exactly the device pixels it covers, so that a large page
// shown small stays sharp and free of moiré, on high-density screens too.
class ImageView : public QWidget {
 public:
  ImageView(std::uint32_t width, std::uint32_t height, vesk_ui::widget::Pixels pixels,
            const vesk_ui::theme::Palette& palette, QWidget* parent = nullptr);
  QSize sizeHint() const override;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;

 protected:
  void paintEvent(QPaintEvent*) override;
  // Where the image is drawn inside the widget.
  QRectF image_rect() const;
  // Draws the image into `target`, scaled once per size rather than on every paint.
  void draw_image(QPainter& painter, const QRectF& target);

  vesk_ui::widget::Pixels pixels_;  // keeps the bytes under image_ alive
  QImage image_;
  QColor hairline_;

 private:
  QImage scaled_;  // image_ at the device size it was last drawn at
};

// A page with a crop rectangle, sized to fit the window: as wide as it may be while the whole
// page stays in view below the screen's header. The user drags the rectangle or any of its
// edges and corners, or uses the keyboard: Tab and Shift+Tab choose the rectangle or one of its
// four edges, the arrow keys move it by 1 % of the page, 10 % with Shift. Writes the selection
// into `cell` as it changes and follows the cell.
class CropEditor : public ImageView {
 public:
  CropEditor(std::uint32_t width, std::uint32_t height, vesk_ui::widget::Pixels pixels,
             vesk_ui::local_state::CropState cell, const vesk_ui::theme::Palette& palette,
             std::function<void()> after_input, QWidget* parent = nullptr);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  int heightForWidth(int width) const override;
  // Shows the cell's current selection.
  void follow_cell();

  enum Part { kLeft = 1, kTop = 2, kRight = 4, kBottom = 8, kMove = 16 };
  // The part the keyboard moves.
  int focused_part() const { return focused_part_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  bool focusNextPrevChild(bool next) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent*) override;

 private:
  QRectF selection_rect() const;
  int hit(const QPointF& point) const;
  // The tallest the page may be drawn: what the window leaves below a screen's header.
  int fitting_height() const;
  // Moves `parts` by (dx, dy) fractions of the page from `origin`, within the page and never
  // narrower or shorter than the minimum.
  static vesk_ui::widget::image_crop::CropSelection moved(
      vesk_ui::widget::image_crop::CropSelection origin, int parts, double dx, double dy);
  void show_selection(const vesk_ui::widget::image_crop::CropSelection& next);
  void describe();

  vesk_ui::local_state::CropState cell_;
  vesk_ui::widget::image_crop::CropSelection shown_;
  std::function<void()> after_input_;
  QColor accent_;
  int dragging_ = 0;
  int focused_part_ = kMove;
  QPointF drag_start_;
  vesk_ui::widget::image_crop::CropSelection drag_origin_;
  QObject* watched_window_ = nullptr;
};

}  // namespace vesk_ui_qt
