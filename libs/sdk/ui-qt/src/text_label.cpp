#include "text_label.hpp"

#include <QEvent>
#include <QFontMetrics>
#include <cmath>

namespace vesk_ui_qt {

namespace {

// Texts up to this wide never wrap: every column the host lays out is wider.
constexpr int kShortTextWidth = 220;

}  // namespace

TextLabel::TextLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  forget();
  setTextFormat(Qt::PlainText);
  setWordWrap(true);
}

int TextLabel::natural_width() const {
  // Rounded up with a pixel to spare, so that painting never wraps what measuring did not.
  if (!natural_width_) {
    natural_width_ =
        static_cast<int>(std::ceil(QFontMetricsF(font()).horizontalAdvance(text()))) + 1;
  }
  return *natural_width_;
}

bool TextLabel::is_short() const {
  return !text().contains(QLatin1Char('\n')) && natural_width() <= kShortTextWidth;
}

QSize TextLabel::sizeHint() const {
  if (!is_short()) return QLabel::sizeHint();
  const QMargins margins = contentsMargins();
  return {natural_width() + margins.left() + margins.right(),
          QFontMetrics(font()).height() + margins.top() + margins.bottom()};
}

QSize TextLabel::minimumSizeHint() const {
  return is_short() ? sizeHint() : QLabel::minimumSizeHint();
}

int TextLabel::heightForWidth(int width) const {
  if (is_short()) return sizeHint().height();
  for (const auto& [known, height] : heights_) {
    if (known == width) return height;
  }
  const int height = QLabel::heightForWidth(width);
  heights_[next_] = {width, height};
  next_ = (next_ + 1) % heights_.size();
  return height;
}

void TextLabel::forget() const {
  natural_width_.reset();
  heights_.fill({-1, 0});
}

void TextLabel::changeEvent(QEvent* event) {
  // Anything that changes the text's metrics forgets the measurements.
  switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::ContentsRectChange:
      forget();
      break;
    default:
      break;
  }
  QLabel::changeEvent(event);
}

}  // namespace vesk_ui_qt
