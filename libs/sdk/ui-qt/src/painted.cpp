#include "painted.hpp"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace vesk_ui_qt {

namespace {

// The smallest selection the editor makes, in each direction; anything smaller is no crop.
constexpr double kMinimumCropFraction = 0.05;
constexpr int kHandleReach = 10;

QColor mixed(const QColor& a, const QColor& b, double share_of_b) {
  return QColor::fromRgbF(
      static_cast<float>(a.redF() * (1 - share_of_b) + b.redF() * share_of_b),
      static_cast<float>(a.greenF() * (1 - share_of_b) + b.greenF() * share_of_b),
      static_cast<float>(a.blueF() * (1 - share_of_b) + b.blueF() * share_of_b));
}

}  // namespace

// ---------------------------------------------------------------------------------------

Switch::Switch(const vesk_ui::theme::Palette& palette, QWidget* parent)
    : QAbstractButton(parent),
      on_(QColor(QString::fromStdString(palette.accent))),
      off_(mixed(QColor(QString::fromStdString(palette.hairline)),
                 QColor(QString::fromStdString(palette.secondary_text)), 0.35)),
      knob_(QColor(QString::fromStdString(palette.card))),
      focus_(QColor(QString::fromStdString(palette.accent))) {
  setCheckable(true);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::TabFocus);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize Switch::sizeHint() const {
  return {44, 26};
}

void Switch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF track = QRectF(rect()).adjusted(2, 2, -2, -2);
  const qreal radius = track.height() / 2;
  if (hasFocus()) {
    painter.setPen(QPen(focus_, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), radius + 1, radius + 1);
  }
  painter.setPen(Qt::NoPen);
  QColor fill = isChecked() ? on_ : off_;
  if (!isEnabled()) fill.setAlphaF(0.5f);
  painter.setBrush(fill);
  painter.drawRoundedRect(track, radius, radius);
  const qreal knob = track.height() - 4;
  const qreal x = isChecked() ? track.right() - 2 - knob : track.left() + 2;
  painter.setBrush(isChecked() ? QColor(Qt::white) : knob_);
  painter.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
}

// ---------------------------------------------------------------------------------------

ProgressLine::ProgressLine(std::optional<double> fraction, const vesk_ui::theme::Theme& theme,
                           QWidget* parent)
    : QWidget(parent),
      fraction_(fraction ? std::optional(std::clamp(*fraction, 0.0, 1.0)) : std::nullopt),
      track_(QString::fromStdString(theme.palette.hairline)),
      fill_(QString::fromStdString(theme.palette.accent)),
      height_(theme.metrics.progress_height) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  frames_.setInterval(16);
  connect(&frames_, &QTimer::timeout, this, [this] {
    if (window()->property("vesk-still").toBool()) {
      frames_.stop();
      return;
    }
    update();
  });
}

QSize ProgressLine::sizeHint() const {
  return {160, height_};
}
QSize ProgressLine::minimumSizeHint() const {
  return {24, height_};
}

void ProgressLine::showEvent(QShowEvent*) {
  if (!fraction_ && !window()->property("vesk-still").toBool()) {
    clock_.start();
    frames_.start();
  }
}

void ProgressLine::hideEvent(QHideEvent*) {
  frames_.stop();
}

void ProgressLine::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  const QRectF track(0, (height() - height_) / 2.0, width(), height_);
  const qreal radius = height_ / 2.0;
  painter.setBrush(track_);
  painter.drawRoundedRect(track, radius, radius);
  painter.setBrush(fill_);
  if (fraction_) {
    if (*fraction_ <= 0) return;
    QRectF done = track;
    done.setWidth(std::max(track.height(), track.width() * *fraction_));
    painter.drawRoundedRect(done, radius, radius);
    return;
  }
  // A segment of a third of the track sliding across it, 1.4 s a pass.
  // Still windows (screenshots) show one fixed frame.
  const bool still = window()->property("vesk-still").toBool();
  const double phase = !still && clock_.isValid()
                           ? std::fmod(static_cast<double>(clock_.elapsed()) / 1400.0, 1.0)
                           : 0.45;
  const qreal segment = track.width() / 3;
  const qreal x = -segment + (track.width() + segment) * phase;
  QPainterPath clip;
  clip.addRoundedRect(track, radius, radius);
  painter.setClipPath(clip);
  painter.drawRoundedRect(QRectF(x, track.top(), segment, track.height()), radius, radius);
}

// ---------------------------------------------------------------------------------------

PageSymbol::PageSymbol(const vesk_ui::theme::Palette& palette, QWidget* parent)
    : QWidget(parent),
      paper_(QString::fromStdString(palette.card)),
      line_(mixed(QColor(QString::fromStdString(palette.card)),
                  QColor(QString::fromStdString(palette.secondary_text)), 0.45)),
      text_(QString::fromStdString(palette.secondary_text)) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize PageSymbol::sizeHint() const {
  return {26, 34};
}

void PageSymbol::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF page = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
  painter.setPen(QPen(text_, 1.2));
  painter.setBrush(paper_);
  painter.drawRoundedRect(page, 3, 3);
  painter.setPen(QPen(line_, 1.5, Qt::SolidLine, Qt::RoundCap));
  for (int line = 0; line < 4; ++line) {
    const qreal y = page.top() + 8 + line * 5.5;
    const qreal right = line == 3 ? page.center().x() : page.right() - 5;
    painter.drawLine(QPointF(page.left() + 5, y), QPointF(right, y));
  }
}

// ---------------------------------------------------------------------------------------

QImage image_over(std::uint32_t width, std::uint32_t height,
                  const vesk_ui::widget::Pixels& pixels) {
  const std::uint64_t needed = std::uint64_t{width} * height * 4;
  if (!pixels || width == 0 || height == 0 || width > 65535 || height > 65535 ||
      pixels->size() < needed) {
    return {};
  }
  return QImage(pixels->data(), static_cast<int>(width), static_cast<int>(height),
                static_cast<qsizetype>(width) * 4, QImage::Format_RGBA8888);
}

namespace {

// A page is mostly white: its edge must show on a white card as well as on a dark one.
QColor page_edge(const vesk_ui::theme::Palette& palette) {
  const QColor line(QString::fromStdString(palette.hairline));
  const QColor ink(QString::fromStdString(palette.secondary_text));
  auto channel = [](int a, int b) { return static_cast<int>(a + (b - a) * 0.35 + 0.5); };
  return QColor(channel(line.red(), ink.red()), channel(line.green(), ink.green()),
                channel(line.blue(), ink.blue()));
}

// Averages every factor × factor block of an RGBA image: the rows of a block are summed first
// (one pass the compiler turns into vector adds), then the columns.
QImage box_shrink(const QImage& image, int factor) {
  const int width = image.width() / factor;
  const int height = image.height() / factor;
  const std::size_t row_values = static_cast<std::size_t>(width) * factor * 4;
  QImage out(width, height, QImage::Format_RGBA8888);
  std::vector<std::uint16_t> rows(row_values);
  const std::uint32_t area = static_cast<std::uint32_t>(factor * factor);
  for (int y = 0; y < height; ++y) {
    std::fill(rows.begin(), rows.end(), std::uint16_t{0});
    for (int row = 0; row < factor; ++row) {
      const uchar* source = image.constScanLine(y * factor + row);
      for (std::size_t i = 0; i < row_values; ++i)
        rows[i] = static_cast<std::uint16_t>(rows[i] + source[i]);
    }
    uchar* target = out.scanLine(y);
    for (int x = 0; x < width; ++x) {
      const std::uint16_t* block = rows.data() + static_cast<std::size_t>(x) * factor * 4;
      for (int channel = 0; channel < 4; ++channel) {
        std::uint32_t sum = 0;
        for (int column = 0; column < factor; ++column) sum += block[column * 4 + channel];
        target[x * 4 + channel] = static_cast<uchar>((sum + area / 2) / area);
      }
    }
  }
  return out;
}

}  // namespace

QImage scaled_for_display(const QImage& image, QSize size) {
  if (image.isNull() || size.isEmpty()) return {};
  QImage source = image;
  const int factor = std::min(image.width() / std::max(1, size.width() * 2),
                              image.height() / std::max(1, size.height() * 2));
  // Sixteen-bit row sums hold up to 257 rows of a block.
  if (factor >= 2 && image.format() == QImage::Format_RGBA8888) {
    source = box_shrink(image, std::min(factor, 256));
  }
  return source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

ImageView::ImageView(std::uint32_t width, std::uint32_t height, vesk_ui::widget::Pixels pixels,
                     const vesk_ui::theme::Palette& palette, QWidget* parent)
    : QWidget(parent),
      pixels_(std::move(pixels)),
      image_(image_over(width, height, pixels_)),
      hairline_(page_edge(palette)) {
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
}

QSize ImageView::sizeHint() const {
  if (image_.isNull()) return {160, 120};
  const int width = std::min(image_.width(), 480);
  return {width, heightForWidth(width)};
}

int ImageView::heightForWidth(int width) const {
  if (image_.isNull()) return 120;
  // Tall pages are limited so that the rest of a screen stays in view.
  const int natural =
      static_cast<int>(std::lround(static_cast<double>(width) * image_.height() / image_.width()));
  return std::min(natural, std::max(240, image_.height()));
}

QRectF ImageView::image_rect() const {
  if (image_.isNull()) return {};
  // One pixel all round stays free for the page's edge.
  const QSizeF room(std::max(1, width() - 2), std::max(1, height() - 2));
  QSizeF size = QSizeF(image_.size()).scaled(room, Qt::KeepAspectRatio);
  return QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

// Draws from a copy reduced to exactly the device pixels the target covers, so that a large
// page shown small stays sharp and free of moiré, on high-density screens too.
void ImageView::draw_image(QPainter& painter, const QRectF& target) {
  // The device's own scale: the screen's pixel ratio, or that of an image rendered into.
  const qreal ratio = std::max<qreal>(1.0, std::abs(painter.deviceTransform().m11()));
  // Whole device pixels, so that the copy is drawn one to one.
  const QRect device(static_cast<int>(std::lround(target.left() * ratio)),
                     static_cast<int>(std::lround(target.top() * ratio)),
                     std::max(1, static_cast<int>(std::lround(target.width() * ratio))),
                     std::max(1, static_cast<int>(std::lround(target.height() * ratio))));
  if (scaled_.size() != device.size() || scaled_.devicePixelRatio() != ratio) {
    scaled_ = image_.size() == device.size() ? image_ : scaled_for_display(image_, device.size());
    scaled_.setDevicePixelRatio(ratio);
  }
  painter.drawImage(QPointF(device.left() / ratio, device.top() / ratio), scaled_);
}

void ImageView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (image_.isNull()) {
    painter.setPen(QPen(hairline_, 1, Qt::DashLine));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    return;
  }
  const QRectF target = image_rect();
  draw_image(painter, target);
  painter.setPen(QPen(hairline_, 1));
  painter.drawRect(target.adjusted(-0.5, -0.5, 0.5, 0.5));
}

// ---------------------------------------------------------------------------------------

namespace {

// Room a screen needs above and below the page for its header and the page's tools.
constexpr int kRoomAroundPage = 240;
constexpr int kSmallestFit = 240;
// A small page is drawn larger, but not blown up beyond twice its size.
constexpr double kMostEnlargement = 2.0;
constexpr double kKeyStep = 0.01;
constexpr double kLargeKeyStep = 0.1;

using Selection = vesk_ui::widget::image_crop::CropSelection;

QString percent(double fraction) {
  return QString::number(std::lround(fraction * 100));
}

}  // namespace

CropEditor::CropEditor(std::uint32_t width, std::uint32_t height, vesk_ui::widget::Pixels pixels,
                       vesk_ui::local_state::CropState cell, const vesk_ui::theme::Palette& palette,
                       std::function<void()> after_input, QWidget* parent)
    : ImageView(width, height, std::move(pixels), palette, parent),
      cell_(std::move(cell)),
      shown_(cell_.get()),
      after_input_(std::move(after_input)),
      accent_(QString::fromStdString(palette.accent)) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  describe();
}

int CropEditor::fitting_height() const {
  const QWidget* top = window();
  const int window_height = top && top != this ? top->height() : 800;
  int fit = std::max(kSmallestFit, window_height - kRoomAroundPage);
  if (!image_.isNull()) {
    fit = std::min(fit, static_cast<int>(image_.height() * kMostEnlargement));
  }
  return fit;
}

QSize CropEditor::sizeHint() const {
  if (image_.isNull()) return ImageView::sizeHint();
  const int height = fitting_height();
  const int width =
      static_cast<int>(std::lround(static_cast<double>(height) * image_.width() / image_.height()));
  return {std::max(1, width), height};
}

QSize CropEditor::minimumSizeHint() const {
  return {120, 120};
}

int CropEditor::heightForWidth(int width) const {
  if (image_.isNull()) return ImageView::heightForWidth(width);
  const int natural =
      static_cast<int>(std::lround(static_cast<double>(width) * image_.height() / image_.width()));
  return std::min(natural, fitting_height());
}

void CropEditor::showEvent(QShowEvent*) {
  // The fitting size follows the window's height.
  QWidget* top = window();
  if (top && top != this && watched_window_ != top) {
    if (watched_window_) watched_window_->removeEventFilter(this);
    top->installEventFilter(this);
    watched_window_ = top;
  }
  updateGeometry();
}

bool CropEditor::eventFilter(QObject* watched, QEvent* event) {
  if (watched == watched_window_ && event->type() == QEvent::Resize) updateGeometry();
  return false;
}

void CropEditor::follow_cell() {
  const auto value = cell_.get();
  if (value == shown_) return;
  shown_ = value;
  describe();
  update();
}

void CropEditor::describe() {
  setAccessibleDescription(
      QStringLiteral("Selection from %1 %2 left and %3 %2 top to %4 %2 right and %5 %2 bottom "
                     "of the page. Tab chooses the whole selection or one edge; the arrow keys "
                     "move it, with Shift in larger steps.")
          .arg(percent(shown_.left), QStringLiteral("%"), percent(shown_.top),
               percent(shown_.right), percent(shown_.bottom)));
}

QRectF CropEditor::selection_rect() const {
  const QRectF image = image_rect();
  return QRectF(
      image.left() + shown_.left * image.width(), image.top() + shown_.top * image.height(),
      (shown_.right - shown_.left) * image.width(), (shown_.bottom - shown_.top) * image.height());
}

int CropEditor::hit(const QPointF& point) const {
  const QRectF box = selection_rect();
  if (box.isEmpty()) return 0;
  int edges = 0;
  const bool within_y =
      point.y() > box.top() - kHandleReach && point.y() < box.bottom() + kHandleReach;
  const bool within_x =
      point.x() > box.left() - kHandleReach && point.x() < box.right() + kHandleReach;
  if (within_y && std::abs(point.x() - box.left()) <= kHandleReach) edges |= kLeft;
  if (within_y && std::abs(point.x() - box.right()) <= kHandleReach) edges |= kRight;
  if (within_x && std::abs(point.y() - box.top()) <= kHandleReach) edges |= kTop;
  if (within_x && std::abs(point.y() - box.bottom()) <= kHandleReach) edges |= kBottom;
  if (edges == 0 && box.contains(point)) edges = kMove;
  return edges;
}

void CropEditor::paintEvent(QPaintEvent* event) {
  ImageView::paintEvent(event);
  if (image_.isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF image = image_rect();
  const QRectF box = selection_rect();
  QPainterPath outside;
  outside.addRect(image);
  QPainterPath inside;
  inside.addRect(box);
  painter.fillPath(outside.subtracted(inside), QColor(0, 0, 0, 110));
  painter.setPen(QPen(accent_, 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(box);
  if (hasFocus()) {
    // The keyboard's part stands out: a wide edge, or a dashed ring for the whole selection.
    if (focused_part_ == kMove) {
      painter.setPen(QPen(accent_, 2, Qt::DashLine));
      painter.drawRect(box.adjusted(-4, -4, 4, 4));
    } else {
      painter.setPen(QPen(accent_, 5, Qt::SolidLine, Qt::RoundCap));
      if (focused_part_ == kLeft) painter.drawLine(box.topLeft(), box.bottomLeft());
      if (focused_part_ == kRight) painter.drawLine(box.topRight(), box.bottomRight());
      if (focused_part_ == kTop) painter.drawLine(box.topLeft(), box.topRight());
      if (focused_part_ == kBottom) painter.drawLine(box.bottomLeft(), box.bottomRight());
    }
  }
  painter.setPen(QPen(accent_, 1));
  painter.setBrush(Qt::white);
  for (const QPointF& corner :
       {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
    painter.drawEllipse(corner, 5, 5);
  }
}

Selection CropEditor::moved(Selection next, int parts, double dx, double dy) {
  if (parts == kMove) {
    const double width = next.right - next.left;
    const double height = next.bottom - next.top;
    next.left = std::clamp(next.left + dx, 0.0, 1.0 - width);
    next.top = std::clamp(next.top + dy, 0.0, 1.0 - height);
    next.right = next.left + width;
    next.bottom = next.top + height;
    return next;
  }
  if (parts & kLeft)
    next.left = std::clamp(next.left + dx, 0.0, std::max(0.0, next.right - kMinimumCropFraction));
  if (parts & kRight)
    next.right = std::clamp(next.right + dx, std::min(1.0, next.left + kMinimumCropFraction), 1.0);
  if (parts & kTop)
    next.top = std::clamp(next.top + dy, 0.0, std::max(0.0, next.bottom - kMinimumCropFraction));
  if (parts & kBottom)
    next.bottom = std::clamp(next.bottom + dy, std::min(1.0, next.top + kMinimumCropFraction), 1.0);
  return next;
}

void CropEditor::show_selection(const Selection& next) {
  if (next == shown_) return;
  shown_ = next;
  cell_.set(next);
  describe();
  update();
}

void CropEditor::mousePressEvent(QMouseEvent* event) {
  dragging_ = hit(event->position());
  drag_start_ = event->position();
  drag_origin_ = shown_;
  if (dragging_ == kMove || dragging_ == kLeft || dragging_ == kRight || dragging_ == kTop ||
      dragging_ == kBottom) {
    focused_part_ = dragging_;
  }
  update();
}

void CropEditor::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) {
    const int edges = hit(event->position());
    if (edges == kMove)
      setCursor(Qt::SizeAllCursor);
    else if ((edges & (kLeft | kTop)) == (kLeft | kTop) ||
             (edges & (kRight | kBottom)) == (kRight | kBottom))
      setCursor(Qt::SizeFDiagCursor);
    else if ((edges & (kLeft | kBottom)) == (kLeft | kBottom) ||
             (edges & (kRight | kTop)) == (kRight | kTop))
      setCursor(Qt::SizeBDiagCursor);
    else if (edges & (kLeft | kRight))
      setCursor(Qt::SizeHorCursor);
    else if (edges & (kTop | kBottom))
      setCursor(Qt::SizeVerCursor);
    else
      unsetCursor();
    return;
  }
  const QRectF image = image_rect();
  if (image.isEmpty()) return;
  const double dx = (event->position().x() - drag_start_.x()) / image.width();
  const double dy = (event->position().y() - drag_start_.y()) / image.height();
  show_selection(moved(drag_origin_, dragging_, dx, dy));
}

void CropEditor::mouseReleaseEvent(QMouseEvent*) {
  if (dragging_ && after_input_) after_input_();
  dragging_ = 0;
}

void CropEditor::keyPressEvent(QKeyEvent* event) {
  const double step = event->modifiers() & Qt::ShiftModifier ? kLargeKeyStep : kKeyStep;
  double dx = 0;
  double dy = 0;
  switch (event->key()) {
    case Qt::Key_Left:
      dx = -step;
      break;
    case Qt::Key_Right:
      dx = step;
      break;
    case Qt::Key_Up:
      dy = -step;
      break;
    case Qt::Key_Down:
      dy = step;
      break;
    default:
      ImageView::keyPressEvent(event);
      return;
  }
  // An edge moves only across itself: left and right edges sideways, top and bottom up and down.
  if ((focused_part_ & (kLeft | kRight)) && dx == 0) return event->accept();
  if ((focused_part_ & (kTop | kBottom)) && dy == 0) return event->accept();
  show_selection(moved(shown_, focused_part_, dx, dy));
  event->accept();
}

bool CropEditor::focusNextPrevChild(bool next) {
  // Tab steps through the selection's parts before leaving the editor.
  static constexpr int kOrder[] = {kMove, kLeft, kTop, kRight, kBottom};
  const auto* at = std::find(std::begin(kOrder), std::end(kOrder), focused_part_);
  const auto index = at - std::begin(kOrder);
  const auto target = next ? index + 1 : index - 1;
  if (target >= 0 && target < std::ssize(kOrder)) {
    focused_part_ = kOrder[target];
    update();
    return true;
  }
  focused_part_ = kMove;
  update();
  return QWidget::focusNextPrevChild(next);
}

}  // namespace vesk_ui_qt
