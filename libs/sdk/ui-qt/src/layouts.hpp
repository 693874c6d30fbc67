#pragma once
// Two layouts Qt does not have: a wrapping row and a responsive card grid.
#include <QLayout>
#include <QList>

namespace vesk_ui_qt {

// Items left to right, continuing on a new line when the next item does not fit.
class FlowLayout : public QLayout {
 public:
  FlowLayout(int horizontal_gap, int vertical_gap, Qt::Alignment vertical_align);
  ~FlowLayout() override;

  void addItem(QLayoutItem* item) override;
  int count() const override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  Qt::Orientations expandingDirections() const override;
  bool hasHeightForWidth() const override;
  int heightForWidth(int width) const override;
  QSize minimumSize() const override;
  QSize sizeHint() const override;
  void setGeometry(const QRect& rect) override;

 private:
  int arrange(const QRect& rect, bool apply) const;

  QList<QLayoutItem*> items_;
  int horizontal_gap_;
  int vertical_gap_;
  Qt::Alignment vertical_align_;
};

// Items in equal columns of at least `min_column_width`; one column when the width is
// below `narrow_width`. Items of one line share the line's height.
class CardGridLayout : public QLayout {
 public:
  CardGridLayout(int min_column_width, int gap, int narrow_width);
  ~CardGridLayout() override;

  // The number of columns at `width`.
  int columns_for(int width) const;

  void addItem(QLayoutItem* item) override;
  int count() const override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  Qt::Orientations expandingDirections() const override;
  bool hasHeightForWidth() const override;
  int heightForWidth(int width) const override;
  QSize minimumSize() const override;
  QSize sizeHint() const override;
  void setGeometry(const QRect& rect) override;

 private:
  int arrange(const QRect& rect, bool apply) const;

  QList<QLayoutItem*> items_;
  int min_column_width_;
  int gap_;
  int narrow_width_;
};

}  // namespace vesk_ui_qt
