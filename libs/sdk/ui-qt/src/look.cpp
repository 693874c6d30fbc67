#include "look.hpp"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

namespace vesk_ui_qt {

namespace {

QColor colour(const std::string& hex) {
  return QColor(QString::fromStdString(hex));
}

QColor blend(const QColor& from, const QColor& to, double share) {
  auto channel = [&](int a, int b) { return static_cast<int>(a + (b - a) * share + 0.5); };
  return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                channel(from.blue(), to.blue()));
}

QFont sized(const QFont& base, int pixels, bool bold) {
  QFont font = base;
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

Tint tint(const std::string& background, const std::string& text) {
  return {colour(background), blend(colour(background), colour(text), 0.18), colour(text)};
}

constexpr int kIconGap = 6;

}  // namespace

std::shared_ptr<const Look> Look::from(const vesk_ui::theme::Theme& theme) {
  auto look = std::make_shared<Look>();
  const auto& p = theme.palette;
  look->metrics = theme.metrics;
  look->window = colour(p.window);
  look->card = colour(p.card);
  look->hairline = colour(p.hairline);
  look->text = colour(p.text);
  look->secondary = colour(p.secondary_text);
  look->strong_line = blend(look->hairline, look->secondary, 0.35);
  look->accent = colour(p.accent);
  look->accent_hover = blend(look->accent, look->text, theme.is_dark ? 0.15 : 0.12);
  look->on_accent = colour(p.on_accent);
  look->hover = blend(look->card, look->text, 0.06);
  look->pressed = blend(look->card, look->text, 0.12);
  look->focus = blend(look->accent, look->card, 0.2);
  look->info = tint(p.info_background, p.info_text);
  look->success = tint(p.success_background, p.success_text);
  look->warning = tint(p.warning_background, p.warning_text);
  look->error = tint(p.error_background, p.error_text);
  const QFont base = QApplication::font();
  const auto& m = theme.metrics;
  look->body = sized(base, m.body, false);
  look->caption = sized(base, m.caption, false);
  look->heading = sized(base, m.heading, true);
  look->large_title = sized(base, m.large_title, true);
  look->strong = sized(base, m.body, true);
  return look;
}

void apply_window_look(QWidget& window, const Look& look) {
  QPalette palette = window.palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Window, look.window);
    palette.setColor(group, QPalette::WindowText,
                     group == QPalette::Disabled ? look.secondary : look.text);
    palette.setColor(group, QPalette::Base, look.card);
    palette.setColor(group, QPalette::AlternateBase, look.hover);
    palette.setColor(group, QPalette::Text,
                     group == QPalette::Disabled ? look.secondary : look.text);
    palette.setColor(group, QPalette::PlaceholderText, look.secondary);
    palette.setColor(group, QPalette::Button, look.card);
    palette.setColor(group, QPalette::ButtonText,
                     group == QPalette::Disabled ? look.secondary : look.text);
    palette.setColor(group, QPalette::Highlight, look.accent);
    palette.setColor(group, QPalette::HighlightedText, look.on_accent);
    palette.setColor(group, QPalette::Light, look.card);
    palette.setColor(group, QPalette::Midlight, look.hairline);
    palette.setColor(group, QPalette::Mid, look.strong_line);
    palette.setColor(group, QPalette::Dark, look.strong_line);
    palette.setColor(group, QPalette::Shadow, look.strong_line);
    palette.setColor(group, QPalette::ToolTipBase, look.card);
    palette.setColor(group, QPalette::ToolTipText, look.text);
    palette.setColor(group, QPalette::Link, look.accent);
  }
  window.setPalette(palette);
  window.setFont(look.body);
  window.setAutoFillBackground(true);
}

// ---------------------------------------------------------------------------------------

Surface::Surface(QColor fill, QColor border, int radius, QWidget* parent)
    : QFrame(parent), fill_(fill), border_(border), radius_(radius) {}

void Surface::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (radius_ <= 0 && !border_.isValid()) {
    painter.fillRect(rect(), fill_);
    return;
  }
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(border_.isValid() ? QPen(border_, 1) : Qt::NoPen);
  painter.setBrush(fill_);
  painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius_, radius_);
}

// ---------------------------------------------------------------------------------------

FlatButton::FlatButton(const QString& text, Kind kind, std::shared_ptr<const Look> look,
                       QWidget* parent)
    : QPushButton(text, parent), kind_(kind), look_(std::move(look)) {
  setAttribute(Qt::WA_Hover);
  setFont(kind == Kind::Primary ? look_->strong : look_->body);
  setFocusPolicy(Qt::TabFocus);
  setCursor(Qt::PointingHandCursor);
  setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
}

QSize FlatButton::sizeHint() const {
  const QFontMetrics metrics(font());
  const int padding =
      kind_ == Kind::Segment ? look_->metrics.button_padding - 2 : look_->metrics.button_padding;
  int width = metrics.horizontalAdvance(text()) + 2 * padding;
  if (!icon().isNull()) width += iconSize().width() + (text().isEmpty() ? 0 : kIconGap);
  return {width, look_->metrics.button_height};
}

QSize FlatButton::minimumSizeHint() const {
  return sizeHint();
}

void FlatButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const Look& look = *look_;
  const qreal radius = look.metrics.unit;
  const bool down = isDown();
  const bool hovered = underMouse() && isEnabled();
  QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);

  QColor fill = Qt::transparent;
  QColor border = Qt::transparent;
  QColor ink = look.text;
  switch (kind_) {
    case Kind::Primary:
      fill = hovered || down ? look.accent_hover : look.accent;
      border = fill;
      ink = look.on_accent;
      break;
    case Kind::Secondary:
      fill = down ? look.pressed : hovered ? look.hover : look.card;
      border = look.strong_line;
      break;
    case Kind::Plain:
      fill = down ? look.pressed : hovered ? look.hover : QColor(Qt::transparent);
      ink = look.accent;
      break;
    case Kind::Segment:
      fill = isChecked() ? look.accent : down ? look.pressed : hovered ? look.hover : look.card;
      border = look.strong_line;
      ink = isChecked() ? look.on_accent : look.text;
      break;
  }
  if (!isEnabled()) ink = look.secondary;

  if (kind_ == Kind::Segment && parentWidget()) {
    // The group's rounded outline in this button's coordinates: each segment fills and
    // strokes its own share of it, so the joined buttons read as one control.
    const QRectF group = QRectF(QPointF(-x(), 0), QSizeF(parentWidget()->width(), height()))
                             .adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath outline;
    outline.addRoundedRect(group, radius, radius);
    painter.setClipRect(rect());
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPath(outline);
    painter.setPen(QPen(border, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);
    if (x() > 0) painter.drawLine(QPointF(0.5, 0), QPointF(0.5, height()));
    painter.setClipping(false);
    if (hasFocus()) {
      painter.setPen(QPen(look.focus, 2));
      painter.drawRoundedRect(QRectF(rect()).adjusted(2, 2, -2, -2), radius - 2, radius - 2);
    }
  } else {
    painter.setPen(border.alpha() ? QPen(border, 1) : Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(box, radius, radius);
    if (hasFocus()) {
      // The keyboard focus ring.
      painter.setPen(QPen(kind_ == Kind::Primary ? look.text : look.focus, 2));
      painter.setBrush(Qt::NoBrush);
      painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), radius, radius);
    }
  }

  // Icon and text, centred together.
  const QFontMetrics metrics(font());
  const int text_width = metrics.horizontalAdvance(text());
  const bool has_icon = !icon().isNull();
  const QSize icon_size = iconSize();
  const int content =
      text_width + (has_icon ? icon_size.width() + (text().isEmpty() ? 0 : kIconGap) : 0);
  int left = (width() - content) / 2;
  if (has_icon) {
    const QPixmap picture = icon().pixmap(icon_size, devicePixelRatio());
    painter.drawPixmap(QPoint(left, (height() - icon_size.height()) / 2), picture);
    left += icon_size.width() + kIconGap;
  }
  painter.setPen(ink);
  painter.drawText(QRect(left, 0, width() - left, height()), Qt::AlignLeft | Qt::AlignVCenter,
                   text());
}

}  // namespace vesk_ui_qt
