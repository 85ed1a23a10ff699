// Measures how Quire's view opens files of growing size, with line-feed and
// with CR LF line ends: the time until the window shows the text with its first
// screen styled, the time until the whole file is in the control and the
// longest the event loop went without a tick meanwhile (and the window
// thread's CPU time over the open and the load, which the machine's load does
// not inflate), then the same while
// the rest is styled in idle time (stopped after 20 s), how long Ctrl+End takes
// to show the end once styled, and how long it takes at once after loading.
// It checks that the loaded text is the file's, byte for byte.
//
// usage: open-bench [SIZE_MB...]   (default 0.1 1 10 50)
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "editor/view/ScintillaWnd.h"

namespace {

using Sci = QsciScintillaBase;

// Octave code of about `bytes` bytes, lines of several kinds, each ending in `eol`.
std::string OctaveText(size_t bytes, const std::string& eol) {
  const std::vector<std::string> lines = {
      "function [s, d] = f (a, b)", "  % a comment about the next lines",
      "  s = a + b;  d = 'a string';", "  for k = 1:10", "    x(k) = sin (k) * 3.5e-2;",
      "  end", "endfunction", ""};
  std::string text;
  text.reserve(bytes + 64);
  for (size_t i = 0; text.size() < bytes; ++i) text += lines[i % lines.size()] + eol;
  return text;
}

struct Gaps {
  QElapsedTimer sinceTick;
  qint64 longest = 0;
  void Tick() { longest = std::max(longest, sinceTick.restart()); }
};

// Runs the event loop, ticking every 5 ms, until `done` or `limitMs`; returns
// the longest time between two ticks.
qint64 LongestGapUntil(const std::function<bool()>& done, int limitMs) {
  QEventLoop loop;
  QTimer ticker;
  ticker.setInterval(5);
  Gaps gaps;
  QElapsedTimer clock;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    gaps.Tick();
    if (done() || clock.elapsed() > limitMs) loop.quit();
  });
  clock.start();
  gaps.sinceTick.start();
  ticker.start();
  loop.exec();
  return gaps.longest;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const std::vector<double> sizes = SizesFromArgs(argc, argv, {0.1, 1, 10, 50});
  QTemporaryDir folder;

  std::printf("%-6s %6s %8s %10s %9s %8s %10s %9s %12s %11s %6s\n", "eol", "MB", "open ms", "loaded ms",
              "gap ms", "cpu ms", "styled ms", "gap ms", "Ctrl+End ms", "at once ms", "same");
  for (const char* eolName : {"LF", "CRLF"}) {
    const std::string eol = std::string(eolName) == "LF" ? "\n" : "\r\n";
    for (double mb : sizes) {
      const std::string path = (folder.path() + QStringLiteral("/f.m")).toStdString();
      const std::string content = OctaveText(static_cast<size_t>(mb * 1e6), eol);
      std::ofstream(path, std::ios::binary) << content;

      CScintillaWnd view;
      view.Init({"function", "endfunction", "for", "end"});
      view.resize(900, 700);
      view.show();
      if (!QTest::qWaitForWindowExposed(&view)) return 1;

      QElapsedTimer clock;
      clock.start();
      const double cpuBefore = ThreadCpuMs();
      view.LoadFile(path);
      view.viewport()->repaint();
      const qint64 openMs = clock.elapsed();
      const qint64 loadGap = LongestGapUntil([&] { return !view.IsLoading(); }, 60000);
      const qint64 loadedMs = clock.elapsed();
      const double loadCpuMs = ThreadCpuMs() - cpuBefore;
      const bool same = view.GetText() == content;

      // The rest is styled while the loop runs; the longest pause of the loop meanwhile.
      const long length = view.GetLength();
      clock.restart();
      const qint64 idleGap = LongestGapUntil(
          [&] { return view.SendScintilla(Sci::SCI_GETENDSTYLED) >= length; }, 20000);
      const qint64 styledMs = clock.elapsed();

      clock.restart();
      QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
      view.viewport()->repaint();
      const qint64 endMs = clock.elapsed();

      // Ctrl+End at once after opening, before idle time styled the rest.
      CScintillaWnd fresh;
      fresh.Init({"function", "endfunction", "for", "end"});
      fresh.resize(900, 700);
      fresh.show();
      if (!QTest::qWaitForWindowExposed(&fresh)) return 1;
      fresh.LoadFile(path);
      fresh.FinishLoading();
      fresh.viewport()->repaint();
      clock.restart();
      QTest::keyClick(&fresh, Qt::Key_End, Qt::ControlModifier);
      fresh.viewport()->repaint();
      const qint64 atOnceMs = clock.elapsed();

      std::printf("%-6s %6.1f %8lld %10lld %9lld %8.0f %10lld %9lld %12lld %11lld %6s\n", eolName, mb,
                  static_cast<long long>(openMs), static_cast<long long>(loadedMs),
                  static_cast<long long>(loadGap), loadCpuMs, static_cast<long long>(styledMs),
                  static_cast<long long>(idleGap), static_cast<long long>(endMs),
                  static_cast<long long>(atOnceMs), same ? "yes" : "NO");
      std::fflush(stdout);
    }
  }
  return 0;
}
