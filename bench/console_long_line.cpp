// Measures the console window alone with one very long output line: the line
// handed to the console whole from another thread, as the session does, for
// lines of several sizes. Prints the milliseconds until the console has shown
// it, the bare cost of having the line's text at all (decoding it), the longest
// time the window's event loop went without a timer tick meanwhile, and what
// copying the whole line back takes.
//
//   console-long-line [MB...]   (default 1 2 4 16)
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchSupport.h"
#include "console/command/ConsoleView.h"
#include "widgets/UserPrompts.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const std::vector<double> sizes = SizesFromArgs(argc, argv, {1, 2, 4, 16});

  std::printf("%6s %10s %10s %10s %10s\n", "MB", "shown ms", "decode ms", "gap ms", "copy ms");
  for (const double mb : sizes) {
    CDesktopPrompts prompts;
    CCalyxView console(prompts);
    console.resize(800, 600);
    console.show();
    console.AppendOutput(">> ", {}, 2000);
    // A line with a link at both ends, as help texts and file lists have.
    const std::string link = "https://octave.org";
    std::string line = link + " ";
    while (line.size() < static_cast<size_t>(mb * 1000000)) line += "abcdefghij";
    line += " " + link;
    const std::string chunk = line + "\n>> ";
    const long last = static_cast<long>(line.size() - link.size());
    const std::vector<ConsoleMark> marks = {{ConsoleMark::Kind::Link, 0, static_cast<long>(link.size())},
                                            {ConsoleMark::Kind::Link, last, last + static_cast<long>(link.size())}};

    QElapsedTimer decode;
    decode.start();
    const QString decoded = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    const qint64 decodeMs = decode.elapsed();

    std::atomic<bool> done{false};
    QElapsedTimer shown, sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    shown.start();
    sinceTick.start();
    ticker.start();
    std::thread session([&] {
      console.AppendOutput(chunk, marks, 2000);
      done = true;
    });
    const bool finished = QTest::qWaitFor([&] { return done.load(); }, 600000);
    const qint64 shownMs = shown.elapsed();
    session.join();
    if (!finished) {
      std::fprintf(stderr, "the line was not shown within 10 minutes\n");
      return 1;
    }
    ticker.stop();

    QElapsedTimer copy;
    copy.start();
    console.selectAll();
    console.copy();
    const qint64 copyMs = copy.elapsed();
    const bool whole = QApplication::clipboard()->text().contains(decoded);
    std::printf("%6.1f %10lld %10lld %10lld %10lld%s\n", mb, static_cast<long long>(shownMs),
                static_cast<long long>(decodeMs), static_cast<long long>(longestGap),
                static_cast<long long>(copyMs), whole ? "" : "  (copy not whole!)");
    std::fflush(stdout);
  }
  return 0;
}
