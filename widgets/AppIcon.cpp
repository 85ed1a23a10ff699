#include "widgets/AppIcon.h"

#include <QString>

// The drawings live in a static library: registering them here makes every
// program that asks for an icon link them in. (Outside any namespace, as the
// registration macro requires.)
static void RegisterDrawings() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(icons);
    return true;
  }();
  (void)registered;
}

QIcon AppIcon(const char* themeName) {
  RegisterDrawings();
  const QString name = QString::fromLatin1(themeName);
  return QIcon::fromTheme(name, QIcon(QStringLiteral(":/icons/%1.svg").arg(name)));
}
