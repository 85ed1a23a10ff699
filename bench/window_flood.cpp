// Measures the console window under a flood of output from the real interpreter:
// how long 200,000 printed lines take to be shown, and the longest time the
// event loop went without handling a timer tick meanwhile (how long the window
// would not answer input).
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/UserDirs.h"
#include "console/command/ConsoleView.h"
#include "console/session/SessionCore.h"
#include "console/shell/CalyxApp.h"
#include "console/shell/MainFrame.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
  qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
  QApplication application(argc, argv);
  QApplication::setOrganizationName(QString::fromLatin1(kOrganization));
  const int lines = argc > 1 ? std::atoi(argv[1]) : 200000;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;

  CCalyxApp calyx;
  calyx.InitInstance({.splash = false, .show = true, .startFolder = {}});
  CMainFrame* frame = calyx.Frame();
  CCalyxView* console = frame->Console();
  if (!QTest::qWaitFor([&] { return calyx.Core()->Signals().g_bConnected.load(); }, 30000)) {
    std::fprintf(stderr, "the interpreter did not start\n");
    return 1;
  }
  QTest::qWait(3000);  // start-up queries done

  const QString command = QStringLiteral("printf(\"%d\\n\", 1:%1)").arg(lines);
  const QString last = QStringLiteral("\n%1\n>> ").arg(lines);
  std::vector<double> shown, gaps;
  for (int run = 0; run < runs; ++run) {
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    // The window's own event loop, as in the program: a tick every 5 ms notes
    // how long the loop was away, and ends the run when the answer is shown.
    QEventLoop loop;
    QTimer ticker;
    ticker.setInterval(5);
    QElapsedTimer clock;
    qint64 doneAt = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      longestGap = std::max(longestGap, sinceTick.restart());
      if (console->document()->lastBlock().text() == QStringLiteral(">> ") &&
          console->toPlainText().endsWith(last)) {
        doneAt = clock.elapsed();
        loop.quit();
      }
    });
    QTest::keyClicks(console, command);
    clock.start();
    sinceTick.start();
    ticker.start();
    QTest::keyClick(console, Qt::Key_Return);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    loop.exec();
    shown.push_back(static_cast<double>(doneAt));
    ticker.stop();
    gaps.push_back(static_cast<double>(longestGap));
    QTest::qWait(2500);  // let the workspace query pass
  }
  std::sort(shown.begin(), shown.end());
  std::sort(gaps.begin(), gaps.end());
  std::printf("window flood of %d lines, %d runs\n", lines, runs);
  std::printf("time to show ms:      median %.0f  (min %.0f, max %.0f)\n", shown[shown.size() / 2],
              shown.front(), shown.back());
  std::printf("longest event-loop gap ms: median %.0f  (max %.0f)\n", gaps[gaps.size() / 2],
              gaps.back());
  std::printf("console lines kept: %d\n", console->document()->blockCount());
  return 0;
}
