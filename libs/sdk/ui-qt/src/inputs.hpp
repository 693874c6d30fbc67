#pragma once
// The choice list and the number field with chevrons painted in the theme's text colour
// (their frames come from a small style sheet, which leaves the arrows blank).
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPixmap>

namespace vesk_ui_qt {

class ChoiceBox : public QComboBox {
 public:
  explicit ChoiceBox(const QColor& ink, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap chevron_;
};

class NumberBox : public QDoubleSpinBox {
 public:
  explicit NumberBox(const QColor& ink, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap up_, down_;
};

}  // namespace vesk_ui_qt
