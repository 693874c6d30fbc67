// The theme table turned into a style sheet and a font.
#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include "vesk_ui_qt/realize.hpp"

namespace vesk_ui_qt {

namespace {

QString hex(const std::string& colour) {
  return QString::fromStdString(colour);
}

// `a` moved towards `b` by `share` (0..1), as #rrggbb.
QString blend(const std::string& a, const std::string& b, double share) {
  const QColor from(hex(a));
  const QColor to(hex(b));
  auto channel = [&](int x, int y) { return static_cast<int>(x + (y - x) * share + 0.5); };
  return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                channel(from.blue(), to.blue()))
      .name();
}

QString px(int value) {
  return QString::number(value) + QStringLiteral("px");
}

}  // namespace

QString style_sheet(const vesk_ui::theme::Theme& theme) {
  const auto& c = theme.palette;
  const auto& m = theme.metrics;
  const QString control_radius = px(m.unit);
  const QString hover = blend(c.card, c.text, 0.06);
  const QString pressed = blend(c.card, c.text, 0.12);
  const QString accent_hover = blend(c.accent, c.text, theme.is_dark ? 0.15 : 0.12);
  const QString strong_line = blend(c.hairline, c.secondary_text, 0.35);
  // Borders are part of the minimum height in Qt's box model.
  const QString inner_height = px(m.button_height - 2);

  QStringList rules;
  auto rule = [&](const QString& text) { rules << text; };

  rule(QStringLiteral("QWidget[vesk=\"window\"] { background: %1; color: %2; }")
           .arg(hex(c.window), hex(c.text)));
  rule(QStringLiteral("QLabel { color: %1; background: transparent; font-size: %2; }")
           .arg(hex(c.text), px(m.body)));
  rule(QStringLiteral("QLabel[vesk=\"large-title\"] { font-size: %1; font-weight: bold; }")
           .arg(px(m.large_title)));
  rule(QStringLiteral("QLabel[vesk=\"heading\"] { font-size: %1; font-weight: bold; }")
           .arg(px(m.heading)));
  rule(QStringLiteral("QLabel[vesk=\"caption\"] { font-size: %1; color: %2; }")
           .arg(px(m.caption), hex(c.secondary_text)));

  // Cards and dividers.
  rule(QStringLiteral(
           "QFrame[vesk=\"card\"] { background: %1; border: 1px solid %2; border-radius: %3; }")
           .arg(hex(c.card), hex(c.hairline), px(m.card_radius)));
  rule(QStringLiteral("QFrame[vesk=\"card-plain\"] { background: %1; border: 1px solid %2; "
                      "border-radius: %3; }")
           .arg(hex(c.card), hex(c.hairline), px(m.card_radius)));
  rule(QStringLiteral("QFrame[vesk=\"divider\"] { background: %1; border: none; }")
           .arg(hex(c.hairline)));

  // Banners: a tinted surface, the title and icon in the banner's colour.
  const std::pair<const char*, std::pair<std::string, std::string>> banners[] = {
      {"info", {c.info_background, c.info_text}},
      {"success", {c.success_background, c.success_text}},
      {"warning", {c.warning_background, c.warning_text}},
      {"error", {c.error_background, c.error_text}},
  };
  for (const auto& [name, colours] : banners) {
    const QString selector = QStringLiteral("QFrame[vesk=\"banner-%1\"]").arg(QLatin1String(name));
    rule(QStringLiteral("%1 { background: %2; border: 1px solid %3; border-radius: %4; }")
             .arg(selector, hex(colours.first), blend(colours.first, colours.second, 0.18),
                  px(m.card_radius)));
    rule(QStringLiteral(
             "%1 QLabel[vesk=\"banner-title\"] { color: %2; font-size: %3; font-weight: bold; }")
             .arg(selector, hex(colours.second), px(m.heading)));
  }

  // Buttons: secondary by default, primary filled, plain text only.
  rule(QStringLiteral(
           "QPushButton { min-height: %1; padding: 0 %2; border: 1px solid %3; border-radius: %4;"
           " background: %5; color: %6; font-size: %7; }")
           .arg(inner_height, px(m.button_padding - 1), strong_line, control_radius, hex(c.card),
                hex(c.text), px(m.body)));
  rule(QStringLiteral("QPushButton:hover { background: %1; }").arg(hover));
  rule(QStringLiteral("QPushButton:pressed { background: %1; }").arg(pressed));
  rule(QStringLiteral("QPushButton:disabled { color: %1; }").arg(hex(c.secondary_text)));
  rule(QStringLiteral("QPushButton[vesk=\"primary\"] { background: %1; border-color: %1; color: "
                      "%2; font-weight: bold; }")
           .arg(hex(c.accent), hex(c.on_accent)));
  rule(QStringLiteral("QPushButton[vesk=\"primary\"]:hover { background: %1; border-color: %1; }")
           .arg(accent_hover));
  rule(QStringLiteral("QPushButton[vesk=\"plain\"] { background: transparent; border-color: "
                      "transparent; color: %1; }")
           .arg(hex(c.accent)));
  rule(QStringLiteral("QPushButton[vesk=\"plain\"]:hover { background: %1; }").arg(hover));
  // Segmented controls: joined buttons, the chosen one filled.
  rule(QStringLiteral("QPushButton[vesk=\"segment\"] { border-radius: 0; padding: 0 %1; }")
           .arg(px(m.button_padding - 2)));
  rule(
      QStringLiteral("QPushButton[vesk=\"segment\"][position=\"middle\"], "
                     "QPushButton[vesk=\"segment\"][position=\"last\"] { border-left: none; }"));
  rule(QStringLiteral("QPushButton[vesk=\"segment\"][position=\"first\"] { border-top-left-radius: "
                      "%1; border-bottom-left-radius: %1; }")
           .arg(control_radius));
  rule(QStringLiteral("QPushButton[vesk=\"segment\"][position=\"last\"] { border-top-right-radius: "
                      "%1; border-bottom-right-radius: %1; }")
           .arg(control_radius));
  rule(QStringLiteral("QPushButton[vesk=\"segment\"][position=\"only\"] { border-radius: %1; }")
           .arg(control_radius));
  rule(QStringLiteral(
           "QPushButton[vesk=\"segment\"]:checked { background: %1; border-color: %1; color: %2; }")
           .arg(hex(c.accent), hex(c.on_accent)));
  // The keyboard focus ring (buttons take focus from the keyboard only).
  rule(QStringLiteral("QPushButton:focus { border: 2px solid %1; padding: 0 %2; }")
           .arg(blend(c.accent, c.card, 0.25), px(m.button_padding - 2)));
  rule(QStringLiteral("QPushButton[vesk=\"primary\"]:focus { border-color: %1; }")
           .arg(blend(c.accent, c.text, 0.45)));

  // Inputs.
  rule(QStringLiteral(
           "QComboBox, QDoubleSpinBox { min-height: %1; padding: 0 %2; border: 1px solid %3;"
           " border-radius: %4; background: %5; color: %6; font-size: %7; }")
           .arg(inner_height, px(m.unit + 4), strong_line, control_radius, hex(c.card), hex(c.text),
                px(m.body)));
  rule(QStringLiteral(
           "QComboBox:focus, QDoubleSpinBox:focus { border: 2px solid %1; padding: 0 %2; }")
           .arg(hex(c.accent), px(m.unit + 3)));
  rule(QStringLiteral("QComboBox::drop-down { border: none; width: 28px; }"));
  rule(
      QStringLiteral("QComboBox::down-arrow { image: url(:/vesk/icons/go-down-symbolic.svg); "
                     "width: 12px; height: 12px; }"));
  rule(QStringLiteral(
           "QComboBox QAbstractItemView { background: %1; color: %2; border: 1px solid %3;"
           " selection-background-color: %4; selection-color: %5; outline: none; }")
           .arg(hex(c.card), hex(c.text), hex(c.hairline), hex(c.accent), hex(c.on_accent)));
  rule(
      QStringLiteral("QDoubleSpinBox::up-button, QDoubleSpinBox::down-button { width: 20px; "
                     "border: none; background: transparent; }"));
  rule(
      QStringLiteral("QDoubleSpinBox::up-arrow { image: url(:/vesk/icons/go-up-symbolic.svg); "
                     "width: 10px; height: 10px; }"));
  rule(
      QStringLiteral("QDoubleSpinBox::down-arrow { image: url(:/vesk/icons/go-down-symbolic.svg); "
                     "width: 10px; height: 10px; }"));

  // Scrolling.
  rule(QStringLiteral("QScrollArea[vesk=\"scroll\"] { background: transparent; border: none; }"));
  rule(QStringLiteral("QWidget[vesk=\"scroll-content\"] { background: transparent; }"));
  rule(
      QStringLiteral("QScrollBar:vertical { width: 12px; background: transparent; margin: 2px; }"));
  rule(QStringLiteral(
           "QScrollBar::handle:vertical { background: %1; border-radius: 4px; min-height: 32px; }")
           .arg(strong_line));
  rule(QStringLiteral("QScrollBar::handle:vertical:hover { background: %1; }")
           .arg(hex(c.secondary_text)));
  rule(QStringLiteral("QScrollBar::add-line, QScrollBar::sub-line { height: 0; width: 0; }"));
  rule(QStringLiteral("QScrollBar::add-page, QScrollBar::sub-page { background: none; }"));
  return rules.join(QLatin1Char('\n'));
}

void install_application_font(const vesk_ui::theme::Theme& theme) {
  if (!qApp) return;
  static bool loaded = false;  // font files are added to Qt's database once per process
  static QString family;
  if (!loaded) {
    loaded = true;
    const QDir folder(QStringLiteral("/usr/share/fonts/opentype/cantarell"));
    for (const QString& name :
         {QStringLiteral("Cantarell-Regular.otf"), QStringLiteral("Cantarell-Bold.otf")}) {
      const int id = QFontDatabase::addApplicationFont(folder.filePath(name));
      if (id >= 0 && family.isEmpty()) {
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty()) family = families.front();
      }
    }
  }
  QFont font = QApplication::font();
  if (!family.isEmpty()) font.setFamily(family);
  font.setPixelSize(theme.metrics.body);
  font.setHintingPreference(QFont::PreferNoHinting);
  QApplication::setFont(font);
}

}  // namespace vesk_ui_qt
