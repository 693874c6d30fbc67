#include "layouts.hpp"

#include <QWidget>
#include <algorithm>

namespace vesk_ui_qt {

namespace {

int item_height_for(const QLayoutItem* item, int width) {
  if (item->hasHeightForWidth())
    return std::max(item->heightForWidth(width), item->minimumSize().height());
  return item->sizeHint().height();
}

void delete_items(QList<QLayoutItem*>& items) {
  while (!items.isEmpty()) delete items.takeFirst();  // a layout owns its items
}

}  // namespace

// ---------------------------------------------------------------------------------------
// FlowLayout

FlowLayout::FlowLayout(int horizontal_gap, int vertical_gap, Qt::Alignment vertical_align)
    : horizontal_gap_(horizontal_gap),
      vertical_gap_(vertical_gap),
      vertical_align_(vertical_align) {
  setContentsMargins(0, 0, 0, 0);
}

FlowLayout::~FlowLayout() {
  delete_items(items_);
}

void FlowLayout::addItem(QLayoutItem* item) {
  items_.append(item);
}
int FlowLayout::count() const {
  return static_cast<int>(items_.size());
}
QLayoutItem* FlowLayout::itemAt(int index) const {
  return items_.value(index);
}
QLayoutItem* FlowLayout::takeAt(int index) {
  return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}
Qt::Orientations FlowLayout::expandingDirections() const {
  return {};
}
bool FlowLayout::hasHeightForWidth() const {
  return true;
}
int FlowLayout::heightForWidth(int width) const {
  return arrange(QRect(0, 0, width, 0), false);
}

QSize FlowLayout::minimumSize() const {
  QSize size;
  for (const QLayoutItem* item : items_) size = size.expandedTo(item->minimumSize());
  const QMargins margins = contentsMargins();
  return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

QSize FlowLayout::sizeHint() const {
  int width = 0;
  int height = 0;
  for (const QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    if (width > 0) width += horizontal_gap_;
    width += item->sizeHint().width();
    height = std::max(height, item->sizeHint().height());
  }
  const QMargins margins = contentsMargins();
  return {width + margins.left() + margins.right(), height + margins.top() + margins.bottom()};
}

void FlowLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  arrange(rect, true);
}

int FlowLayout::arrange(const QRect& rect, bool apply) const {
  const QRect area = rect.marginsRemoved(contentsMargins());
  // Lines first, then placement, so items of a line can share its alignment.
  struct Line {
    int first = 0;
    int end = 0;
    int height = 0;
  };
  QList<Line> lines;
  Line line;
  int x = 0;
  for (int index = 0; index < items_.size(); ++index) {
    const QLayoutItem* item = items_[index];
    if (item->isEmpty()) continue;
    const int width = std::min(item->sizeHint().width(), std::max(area.width(), 1));
    if (line.end > line.first && x + horizontal_gap_ + width > area.width()) {
      lines.append(line);
      line = Line{index, index, 0};
      x = 0;
    } else if (line.end > line.first) {
      x += horizontal_gap_;
    } else {
      line.first = index;
    }
    x += width;
    line.end = index + 1;
    line.height = std::max(line.height, item_height_for(item, width));
  }
  if (line.end > line.first) lines.append(line);

  int y = area.y();
  for (const Line& placed : lines) {
    if (apply) {
      int left = area.x();
      for (int index = placed.first; index < placed.end; ++index) {
        QLayoutItem* item = items_[index];
        if (item->isEmpty()) continue;
        const int width = std::min(item->sizeHint().width(), std::max(area.width(), 1));
        const int height = std::min(item_height_for(item, width), placed.height);
        int top = y;
        if (vertical_align_ & Qt::AlignVCenter) top += (placed.height - height) / 2;
        if (vertical_align_ & Qt::AlignBottom) top += placed.height - height;
        item->setGeometry(QRect(left, top, width, height));
        left += width + horizontal_gap_;
      }
    }
    y += placed.height + vertical_gap_;
  }
  if (!lines.isEmpty()) y -= vertical_gap_;
  const QMargins margins = contentsMargins();
  return y - area.y() + margins.top() + margins.bottom();
}

// ---------------------------------------------------------------------------------------
// CardGridLayout

CardGridLayout::CardGridLayout(int min_column_width, int gap, int narrow_width)
    : min_column_width_(std::max(min_column_width, 1)), gap_(gap), narrow_width_(narrow_width) {
  setContentsMargins(0, 0, 0, 0);
}

CardGridLayout::~CardGridLayout() {
  delete_items(items_);
}

int CardGridLayout::columns_for(int width) const {
  if (width < narrow_width_) return 1;
  return std::max(1, (width + gap_) / (min_column_width_ + gap_));
}

void CardGridLayout::addItem(QLayoutItem* item) {
  items_.append(item);
}
int CardGridLayout::count() const {
  return static_cast<int>(items_.size());
}
QLayoutItem* CardGridLayout::itemAt(int index) const {
  return items_.value(index);
}
QLayoutItem* CardGridLayout::takeAt(int index) {
  return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}
Qt::Orientations CardGridLayout::expandingDirections() const {
  return Qt::Horizontal;
}
bool CardGridLayout::hasHeightForWidth() const {
  return true;
}
int CardGridLayout::heightForWidth(int width) const {
  return arrange(QRect(0, 0, width, 0), false);
}

QSize CardGridLayout::minimumSize() const {
  int width = 0;
  for (const QLayoutItem* item : items_) width = std::max(width, item->minimumSize().width());
  const QMargins margins = contentsMargins();
  return {width + margins.left() + margins.right(), margins.top() + margins.bottom()};
}

QSize CardGridLayout::sizeHint() const {
  const int width = 2 * min_column_width_ + gap_;
  return {width, heightForWidth(width)};
}

void CardGridLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  arrange(rect, true);
}

int CardGridLayout::arrange(const QRect& rect, bool apply) const {
  const QRect area = rect.marginsRemoved(contentsMargins());
  QList<QLayoutItem*> visible;
  for (QLayoutItem* item : items_) {
    if (!item->isEmpty()) visible.append(item);
  }
  const int columns = columns_for(area.width());
  const int column_width = std::max(1, (area.width() - gap_ * (columns - 1)) / columns);
  int y = area.y();
  for (qsizetype first = 0; first < visible.size(); first += columns) {
    const qsizetype end = std::min(visible.size(), first + columns);
    int height = 0;
    for (qsizetype index = first; index < end; ++index) {
      height = std::max(height, item_height_for(visible[index], column_width));
    }
    if (apply) {
      for (qsizetype index = first; index < end; ++index) {
        const int column = static_cast<int>(index - first);
        visible[index]->setGeometry(
            QRect(area.x() + column * (column_width + gap_), y, column_width, height));
      }
    }
    y += height + gap_;
  }
  if (!visible.isEmpty()) y -= gap_;
  const QMargins margins = contentsMargins();
  return y - area.y() + margins.top() + margins.bottom();
}

}  // namespace vesk_ui_qt
