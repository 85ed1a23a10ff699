// Measures the console window while one very long output line arrives from the
// real interpreter and while it is on screen: the longest time the event loop
// went without handling a timer tick (how long the window would not answer),
// for lines of several sizes.
//
//   long-line-window [MB...]   (default 0.5 1 2 4)
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench/BenchSupport.h"
#include "console/command/ConsoleView.h"
#include "console/session/SessionCore.h"
#include "console/shell/CalyxApp.h"
#include "console/shell/MainFrame.h"
#include "tests/common/PrivateEnvironment.h"

namespace {

struct Measured {
  qint64 ms;   // until `step` said done; -1 when it never did
  qint64 gap;  // the longest time between two ticks
};

// Runs `step` from the event loop every 5 ms until it returns true, noting the
// longest gap between ticks.
Measured Measure(const std::function<bool()>& step, int timeoutMs) {
  QEventLoop loop;
  QElapsedTimer sinceTick, clock;
  qint64 longestGap = 0, doneAt = -1;
  QTimer ticker;
  ticker.setInterval(5);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    longestGap = std::max(longestGap, sinceTick.restart());
    if (step()) {
      doneAt = clock.elapsed();
      loop.quit();
    }
  });
  clock.start();
  sinceTick.start();
  ticker.start();
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  loop.exec();
  return {doneAt, longestGap};
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const CPrivateEnvironment privateHome;
  QApplication application(argc, argv);
  const std::vector<double> sizes = SizesFromArgs(argc, argv, {0.5, 1, 2, 4});

  CCalyxApp calyx;
  calyx.InitInstance({.splash = false, .show = true, .startFolder = {}});
  CMainFrame* frame = calyx.Frame();
  frame->resize(1000, 700);
  CCalyxView* console = frame->Console();
  if (!QTest::qWaitFor([&] { return calyx.Core()->Signals().g_bConnected.load(); }, 60000)) {
    std::fprintf(stderr, "the interpreter did not start\n");
    return 1;
  }
  QTest::qWait(3000);  // start-up queries done

  std::printf("%6s %12s %14s %14s %14s\n", "MB", "shown ms", "arrive gap ms", "scroll gap ms",
              "resize gap ms");
  for (const double mb : sizes) {
    const long bytes = static_cast<long>(mb * 1000000);
    const QString command = QStringLiteral("printf(\"%s\\n\", repmat('a', 1, %1))").arg(bytes);
    QTest::keyClicks(console, command);
    QTest::keyClick(console, Qt::Key_Return);
    const Measured arrival = Measure(
        [&] {
          const QTextBlock last = console->document()->lastBlock();
          return last.text() == QStringLiteral(">> ") && last.previous().text().startsWith(QStringLiteral("aaaa"));
        },
        300000);

    // On screen: page through it and across it, as a user would.
    QScrollBar* across = console->horizontalScrollBar();
    QScrollBar* down = console->verticalScrollBar();
    int step = 0;
    const Measured scrolling = Measure(
        [&] {
          across->setValue(across->maximum() * (step % 10) / 9);
          down->setValue(down->maximum() - (step % 3));
          console->viewport()->repaint();
          return ++step >= 40;
        },
        300000);
    const Measured resizing = Measure(
        [&] {
          frame->resize(700 + 30 * (step % 10), 500 + 20 * (step % 7));
          console->viewport()->repaint();
          return ++step >= 80;
        },
        300000);
    std::printf("%6.1f %12lld %14lld %14lld %14lld\n", mb, static_cast<long long>(arrival.ms),
                static_cast<long long>(arrival.gap), static_cast<long long>(scrolling.gap),
                static_cast<long long>(resizing.gap));
    std::fflush(stdout);
    QTest::keyClick(console, Qt::Key_L, Qt::ControlModifier);  // the next size starts clean
    QTest::qWait(2500);  // let the workspace query pass
  }
  return 0;
}
