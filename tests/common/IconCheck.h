// Checks of the icons the windows show: on a system without an icon theme,
// every command button must show one of the drawings shipped with the programs.
#pragma once

#include <QAction>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QStringList>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include <string>
#include <vector>

#include "widgets/AppIcon.h"

// While alive, the desktop has no icon theme, as on a bare system.
class CNoIconTheme {
 public:
  CNoIconTheme() : m_name(QIcon::themeName()), m_paths(QIcon::themeSearchPaths()) {
    QIcon::setThemeSearchPaths({});
    QIcon::setThemeName(QStringLiteral("no-such-theme"));
  }
  ~CNoIconTheme() {
    QIcon::setThemeSearchPaths(m_paths);
    QIcon::setThemeName(m_name);
  }

 private:
  QString m_name;
  QStringList m_paths;
};

inline QImage IconImage(const QIcon& icon) { return icon.pixmap(16, 16).toImage(); }

// Whether `icon` looks like one of the shipped drawings.
inline bool IsShippedDrawing(const QIcon& icon) {
  if (icon.isNull()) return false;
  AppIcon("edit-cut");  // makes sure the drawings are registered
  const QImage image = IconImage(icon);
  for (const QString& file : QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.svg")}))
    if (IconImage(QIcon(QStringLiteral(":/icons/") + file)) == image) return true;
  return false;
}

// The texts of the command buttons on the toolbars inside `root` that show no
// shipped drawing.
inline std::vector<std::string> ButtonsWithoutDrawing(const QWidget* root) {
  std::vector<std::string> missing;
  for (const QToolBar* bar : root->findChildren<QToolBar*>()) {
    for (QAction* action : bar->actions()) {
      if (action->isSeparator() || !qobject_cast<QToolButton*>(bar->widgetForAction(action))) continue;
      if (!IsShippedDrawing(action->icon())) missing.push_back(action->text().toStdString());
    }
  }
  return missing;
}
