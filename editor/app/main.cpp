// Quire: the editor of Octave files that works with Calyx.
#include <QApplication>
#include <QStringList>

#include <iostream>

#include "common/ProgramArgs.h"
#include "common/UserDirs.h"
#include "editor/app/QuireApp.h"

int main(int argc, char** argv) {
  const SProgramInfo info{"quire", "Quire", CALYX_VERSION,
                          "An editor for GNU Octave files that runs and debugs them in Calyx.",
                          "[FILE[:LINE]]...",
                          {}};
  // Answered before any window or display is needed.
  const SProgramArgs args = ParseProgramArgs({argv + 1, argv + argc}, info);
  if (const int status = AnswerStandardOptions(args, info, std::cout, std::cerr); status >= 0) return status;

  QApplication application(argc, argv);
  QApplication::setOrganizationName(QString::fromLatin1(kOrganization));
  QApplication::setApplicationName(QStringLiteral("Quire"));
  QApplication::setApplicationVersion(QStringLiteral(CALYX_VERSION));

  // Every operand is a file to open, with an optional ":LINE"; the
  // interpreter's "edit" passes one.
  QStringList files;
  for (const std::string& operand : args.operands) files << QString::fromLocal8Bit(operand.c_str());
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
