// The window's colours and the bundled font.
#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include "look.hpp"
#include "vesk_ui_qt/realize.hpp"

namespace vesk_ui_qt {

void apply_window_theme(QWidget& window, const vesk_ui::theme::Theme& theme) {
  apply_window_look(window, *Look::from(theme));
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
