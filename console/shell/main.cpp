// Calyx: a workbench for GNU Octave.
#include <QApplication>

#include <filesystem>
#include <iostream>

#include "common/UserDirs.h"
#include "console/shell/CalyxApp.h"
#include "console/shell/CalyxArgs.h"

int main(int argc, char** argv) {
  const SProgramInfo info{"calyx", "Calyx", CALYX_VERSION,
                          "A workbench for GNU Octave: a console, the workspace, the history and the manual.",
                          "[DIR]",
                          {{"--no-splash", "start without the splash window"}}};
  // Answered before any window or display is needed.
  SProgramArgs args = ParseProgramArgs({argv + 1, argv + argc}, info);
  std::error_code noCurrentFolder;
  const CalyxStart start = CalyxStartOf(
      args, std::filesystem::current_path(noCurrentFolder).string(), [](const std::string& folder) {
        std::error_code error;
        return std::filesystem::is_directory(folder, error);
      });
  if (args.action == SProgramArgs::Action::Run && !start.error.empty()) {
    args.action = SProgramArgs::Action::UsageError;
    args.error = start.error;
  }
  if (const int status = AnswerStandardOptions(args, info, std::cout, std::cerr); status >= 0) return status;

  QApplication application(argc, argv);
  QApplication::setOrganizationName(QString::fromLatin1(kOrganization));
  QApplication::setApplicationName(QStringLiteral("Calyx"));
  QApplication::setApplicationVersion(QStringLiteral(CALYX_VERSION));

  CCalyxApp calyx;
  if (!calyx.InitInstance(start.options)) return 1;
  return QApplication::exec();
}
