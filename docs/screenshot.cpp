// Takes the README's picture of the window: starts Calyx on the local
// octave-cli, types a few commands as a user would, and saves the window.
// With "--doc WORD" the Documentation pane shows WORD's page as well.
#include <QApplication>
#include <QDockWidget>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <string_view>

#include "common/UserDirs.h"
#include "console/command/ConsoleView.h"
#include "console/docs/DocumentationView.h"
#include "console/docs/ManualBrowser.h"
#include "console/session/SessionCore.h"
#include "console/shell/CalyxApp.h"
#include "console/shell/MainFrame.h"

int main(int argc, char** argv) {
  const bool doc = argc == 4 && std::string_view(argv[2]) == "--doc";
  if (argc != 2 && !doc) {
    std::fprintf(stderr, "usage: calyx-screenshot OUTPUT.png [--doc WORD]\n");
    return 64;
  }
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
  qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
  QApplication application(argc, argv);
  QApplication::setOrganizationName(QString::fromLatin1(kOrganization));
  QApplication::setApplicationName(QStringLiteral("Calyx"));
  QApplication::setApplicationVersion(QStringLiteral(CALYX_VERSION));

  CCalyxApp calyx;
  calyx.InitInstance({.splash = false, .show = true, .startFolder = {}});
  CMainFrame* frame = calyx.Frame();
  CCalyxView* console = frame->Console();
  if (!QTest::qWaitFor([&] { return calyx.Core()->Signals().g_bConnected.load(); }, 30000)) return 1;
  for (const char* command : {"x = magic(3)", "y = x(2, :) * 2", "undefined_name + 1"}) {
    if (!QTest::qWaitFor([&] { return console->toPlainText().endsWith(QStringLiteral(">> ")); }, 10000))
      return 1;
    QTest::keyClicks(console, QString::fromLatin1(command));
    QTest::keyClick(console, Qt::Key_Return);
    QTest::qWait(600);
  }
  // The workspace listing follows within a few seconds; show it beside the console.
  QTest::qWait(3500);
  if (QDockWidget* workspace = frame->Dock(QStringLiteral("Workspace"))) workspace->raise();
  if (doc) {
    frame->ShowHelpTopic(argv[3]);
    const bool shown = QTest::qWaitFor(
        [&] { return !frame->Documentation()->Searching() && !frame->Documentation()->Browser()->Loading(); }, 30000);
    if (!shown) return 1;
  }
  QTest::qWait(300);
  if (!frame->grab().save(QString::fromLocal8Bit(argv[1]))) return 1;
  return 0;
}
