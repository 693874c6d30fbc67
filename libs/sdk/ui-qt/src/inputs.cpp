#include "inputs.hpp"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyleOptionSpinBox>

#include "icons.hpp"
#include "vesk_ui/icons.hpp"

namespace vesk_ui_qt {

namespace {

void draw_centred(QPainter& painter, const QRect& area, const QPixmap& picture) {
  if (area.isEmpty() || picture.isNull()) return;
  const QSize size = picture.deviceIndependentSize().toSize();
  painter.drawPixmap(area.center().x() - size.width() / 2 + 1,
                     area.center().y() - size.height() / 2 + 1, picture);
}

qreal ratio() {
  return qApp ? qApp->devicePixelRatio() : 1.0;
}

}  // namespace

ChoiceBox::ChoiceBox(const QColor& ink, QWidget* parent)
    : QComboBox(parent), chevron_(icon_pixmap(vesk_ui::icon::kMoveDown, 12, ink, ratio())) {}

void ChoiceBox::paintEvent(QPaintEvent* event) {
  QComboBox::paintEvent(event);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  QPainter painter(this);
  draw_centred(
      painter,
      style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this),
      chevron_);
}

NumberBox::NumberBox(const QColor& ink, QWidget* parent)
    : QDoubleSpinBox(parent),
      up_(icon_pixmap(vesk_ui::icon::kMoveUp, 10, ink, ratio())),
      down_(icon_pixmap(vesk_ui::icon::kMoveDown, 10, ink, ratio())) {}

void NumberBox::paintEvent(QPaintEvent* event) {
  QDoubleSpinBox::paintEvent(event);
  QStyleOptionSpinBox option;
  initStyleOption(&option);
  QPainter painter(this);
  draw_centred(painter,
               style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this),
               up_);
  draw_centred(painter,
               style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxDown, this),
               down_);
}

}  // namespace vesk_ui_qt
