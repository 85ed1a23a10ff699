// Quire: the editor of Octave files that works with Calyx.
#include <QApplication>
#include <QStringList>

#include "editor/app/QuireApp.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Marrowby"));
  QApplication::setApplicationName(QStringLiteral("Quire"));

  // Every argument is a file to open; the interpreter's "edit" passes one.
  const QStringList files = QApplication::arguments().mid(1);
  CQuireApp quire;
  switch (quire.InitInstance(files)) {
    case CQuireApp::Start::HandedOver:
      return 0;
    case CQuireApp::Start::Failed:
      return 1;
    case CQuireApp::Start::Running:
      break;
  }
  const int result = QApplication::exec();
  quire.ExitInstance();
  return result;
}
