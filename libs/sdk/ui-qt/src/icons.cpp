#include "icons.hpp"

#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <array>
#include <string_view>
#include <utility>

#include "vesk_ui/icons.hpp"

// A static library's resources are only linked when initialised by name.
static void init_icon_resources() {
  Q_INIT_RESOURCE(icons);
}

namespace vesk_ui_qt {

namespace {

namespace icon = vesk_ui::icon;

// One table from code to bundled file.
constexpr std::array<std::pair<std::uint16_t, std::string_view>, 34> kIconFiles{{
    {icon::kPrinter, "printer-symbolic.svg"},
    {icon::kAdd, "list-add-symbolic.svg"},
    {icon::kPrint, "document-print-symbolic.svg"},
    {icon::kScanner, "scanner-symbolic.svg"},
    {icon::kDocument, "x-office-document-symbolic.svg"},
    {icon::kHistory, "document-open-recent-symbolic.svg"},
    {icon::kHelp, "help-about-symbolic.svg"},
    {icon::kSearch, "system-search-symbolic.svg"},
    {icon::kOpen, "document-open-symbolic.svg"},
    {icon::kSettings, "emblem-system-symbolic.svg"},
    {icon::kPause, "media-playback-pause-symbolic.svg"},
    {icon::kResume, "media-playback-start-symbolic.svg"},
    {icon::kStar, "starred-symbolic.svg"},
    {icon::kBack, "go-previous-symbolic.svg"},
    {icon::kCancel, "process-stop-symbolic.svg"},
    {icon::kRotate, "object-rotate-right-symbolic.svg"},
    {icon::kCrop, "edit-select-symbolic.svg"},
    {icon::kCopy, "edit-copy-symbolic.svg"},
    {icon::kSave, "document-save-symbolic.svg"},
    {icon::kDelete, "edit-delete-symbolic.svg"},
    {icon::kPrevious, "go-previous-symbolic.svg"},
    {icon::kNext, "go-next-symbolic.svg"},
    {icon::kImage, "image-x-generic-symbolic.svg"},
    {icon::kNetwork, "network-workgroup-symbolic.svg"},
    {icon::kSuccess, "emblem-ok-symbolic.svg"},
    {icon::kInfo, "dialog-information-symbolic.svg"},
    {icon::kWarning, "dialog-warning-symbolic.svg"},
    {icon::kError, "dialog-error-symbolic.svg"},
    {icon::kQueue, "view-list-symbolic.svg"},
    {icon::kText, "insert-text-symbolic.svg"},
    {icon::kDone, "emblem-default-symbolic.svg"},
    {icon::kMoveUp, "go-up-symbolic.svg"},
    {icon::kRefresh, "view-refresh-symbolic.svg"},
    {icon::kMoveDown, "go-down-symbolic.svg"},
}};

}  // namespace

QString icon_resource(std::uint16_t code) {
  for (const auto& [known, file] : kIconFiles) {
    if (known == code) {
      return QStringLiteral(":/vesk/icons/") +
             QString::fromLatin1(file.data(), static_cast<qsizetype>(file.size()));
    }
  }
  return {};
}

QPixmap icon_pixmap(std::uint16_t code, int size, const QColor& color, qreal device_pixel_ratio) {
  const QString path = icon_resource(code);
  if (path.isEmpty() || size <= 0) return {};
  init_icon_resources();
  QSvgRenderer renderer(path);
  if (!renderer.isValid()) return {};
  const int pixels = qRound(size * device_pixel_ratio);
  QPixmap pixmap(pixels, pixels);
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    renderer.render(&painter);
    // Symbolic icons are shapes in one colour: keep the shape, take the colour given.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), color);
  }
  pixmap.setDevicePixelRatio(device_pixel_ratio);
  return pixmap;
}

QIcon icon(std::uint16_t code, int size, const QColor& color) {
  // At the screen's ratio only: rendering SVGs is the costly part of realizing a button.
  const QPixmap glyph = icon_pixmap(code, size, color, qApp ? qApp->devicePixelRatio() : 1.0);
  return glyph.isNull() ? QIcon() : QIcon(glyph);
}

}  // namespace vesk_ui_qt
