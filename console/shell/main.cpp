// Calyx: a workbench for GNU Octave.
#include <QApplication>
#include <QFileInfo>

#include <algorithm>
#include <iostream>

#include "common/ProgramArgs.h"
#include "common/UserDirs.h"
#include "console/shell/CalyxApp.h"

int main(int argc, char** argv) {
  const SProgramInfo info{"calyx", "Calyx", CALYX_VERSION,
                          "A workbench for GNU Octave: a console, the workspace, the history and the manual.",
                          "[DIR]",
                          {{"--no-splash", "start without the splash window"}}};
  // Answered before any window or display is needed.
  const SProgramArgs args = ParseProgramArgs({argv + 1, argv + argc}, info);
  if (const int status = AnswerStandardOptions(args, info, std::cout, std::cerr); status >= 0) return status;

  QApplication application(argc, argv);
  QApplication::setOrganizationName(QString::fromLatin1(kOrganization));
  QApplication::setApplicationName(QStringLiteral("Calyx"));
  QApplication::setApplicationVersion(QStringLiteral(CALYX_VERSION));

  CalyxOptions options;
  options.splash = std::find(args.options.begin(), args.options.end(), "--no-splash") == args.options.end();
  // A folder given on the command line is where the interpreter starts.
  if (!args.operands.empty())
    options.startFolder = QFileInfo(QString::fromLocal8Bit(args.operands.front().c_str())).absoluteFilePath().toStdString();
  CCalyxApp calyx;
  if (!calyx.InitInstance(options)) return 1;
  return QApplication::exec();
}
