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

  vesk_ui::widget::Pixels pixels_;  // keeps the bytes under image_ alive
  QImage image_;
  QColor hairline_;

 private:
  QImage scaled_;  // image_ at the device size it was last drawn at
};

// An image with a crop rectangle the user drags (edges, corners or the whole rectangle).
// Writes the selection into `cell` while dragging and follows the cell.
class CropEditor : public ImageView {
 public:
  CropEditor(std::uint32_t width, std::uint32_t height, vesk_ui::widget::Pixels pixels,
             vesk_ui::local_state::CropState cell, const vesk_ui::theme::Palette& palette,
             std::function<void()> after_input, QWidget* parent = nullptr);
  // Shows the cell's current selection.
  void follow_cell();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;

 private:
  enum Edge { kLeft = 1, kTop = 2, kRight = 4, kBottom = 8, kMove = 16 };
  QRectF selection_rect() const;
  int hit(const QPointF& point) const;

  vesk_ui::local_state::CropState cell_;
  vesk_ui::widget::image_crop::CropSelection shown_;
  std::function<void()> after_input_;
  QColor accent_;
  int dragging_ = 0;
  QPointF drag_start_;
  vesk_ui::widget::image_crop::CropSelection drag_origin_;
};

}  // namespace vesk_ui_qt
