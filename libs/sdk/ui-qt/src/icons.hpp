#pragma once
// The toolkit's icon codes mapped to the bundled symbolic SVGs.
#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <cstdint>

namespace vesk_ui_qt {

// The resource path of the SVG for `code`, or an empty string for an unknown code.
QString icon_resource(std::uint16_t code);

// The icon painted in `color` (symbolic icons are single-colour shapes), `size` logical
// pixels square at `device_pixel_ratio`; a null pixmap for an unknown code.
QPixmap icon_pixmap(std::uint16_t code, int size, const QColor& color,
                    qreal device_pixel_ratio = 1.0);

QIcon icon(std::uint16_t code, int size, const QColor& color);

}  // namespace vesk_ui_qt
