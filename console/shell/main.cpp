// Calyx: a workbench for GNU Octave.
#include <QApplication>
#include <QStringList>

#include "console/shell/CalyxApp.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Marrowby"));
  QApplication::setApplicationName(QStringLiteral("Calyx"));
  QApplication::setApplicationVersion(QStringLiteral(CALYX_VERSION));

  CalyxOptions options;
  options.splash = !QApplication::arguments().contains(QStringLiteral("--no-splash"));
  CCalyxApp calyx;
  if (!calyx.InitInstance(options)) return 1;
  return QApplication::exec();
}
