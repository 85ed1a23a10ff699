// Quire's editor view under a large script, measured (not a test: it prints
// figures). A file of N cells (about 5 KB each) is opened in the real frame:
//   1. caret moves (Down and Up within the window, Down scrolling a line, and
//      Ctrl+End/Ctrl+Home jumps), each with the cells box following the caret;
//   2. typing a character in a plain line, and in a cell marker's name (the
//      cells box is refilled then);
//   3. completion while typing with 5,000 interpreter names, the first time
//      (the document's words are read then) and afterwards.
// Each figure is the key press and everything it sets off until the event
// loop is idle again (painting included), median and worst of the rounds, in
// wall-clock time and in CPU time of the window's thread (which a loaded
// machine does not inflate as much).
//
// usage: cell-bench [cells ...]   (default 200 1000 2000; 2000 cells = 10 MB)
//        QT_QPA_PLATFORM=offscreen without a display
// Under valgrind --tool=callgrind --collect-atstart=no only the measured
// actions are counted, each kind dumped apart.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_TOGGLE_COLLECT
#define CALLGRIND_DUMP_STATS_AT(name) (void)(name)
#endif

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "editor/app/MainFrame.h"
#include "editor/app/QuireApp.h"
#include "editor/app/QuireDoc.h"
#include "editor/view/ScintillaWnd.h"

namespace {

struct SFigures {
  double median = 0;
  double worst = 0;
  double cpuMedian = 0;
  double cpuWorst = 0;
};

SFigures Summary(std::vector<double> ms, std::vector<double> cpu) {
  std::sort(ms.begin(), ms.end());
  std::sort(cpu.begin(), cpu.end());
  return {ms[ms.size() / 2], ms.back(), cpu[cpu.size() / 2], cpu.back()};
}

// One measured action: wall and CPU time, and the callgrind counts when run there.
struct SRound {
  SRound() : cpu(ThreadCpuMs()) {
    CALLGRIND_TOGGLE_COLLECT;
    timer.start();
  }
  void Stop(std::vector<double>& ms, std::vector<double>& cpuMs) {
    QCoreApplication::processEvents();
    ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    CALLGRIND_TOGGLE_COLLECT;
    cpuMs.push_back(ThreadCpuMs() - cpu);
  }
  QElapsedTimer timer;
  double cpu;
};

// About 5 KB a cell: a marker and 100 lines of code, with the control's own
// line ends (the conversion on opening is not what is measured here).
std::string Script(int cells) {
  std::string text;
  char line[128];
  for (int c = 0; c < cells; ++c) {
    std::snprintf(line, sizeof line, "%%%% Cell number %d\r\n", c + 1);
    text += line;
    for (int l = 0; l < 100; ++l) {
      std::snprintf(line, sizeof line, "value_%d_%d = sin(%d.5) * cos(x_%d) + %d; %% note\r\n", c, l, l, l, c);
      text += line;
    }
  }
  return text;
}

template <typename Action>
SFigures Time(int rounds, Action action) {
  std::vector<double> ms, cpu;
  for (int i = 0; i < rounds; ++i) {
    SRound round;
    action(i);
    round.Stop(ms, cpu);
  }
  return Summary(ms, cpu);
}

void Print(const char* what, SFigures f) {
  std::printf("  %-40s %8.2f ms median %8.2f worst | cpu %7.2f ms median %7.2f worst\n", what,
              f.median, f.worst, f.cpuMedian, f.cpuWorst);
  CALLGRIND_DUMP_STATS_AT(what);
}

void Measure(const QString& folder, int cells) {
  const std::string path = (folder + QStringLiteral("/cells%1.m").arg(cells)).toStdString();
  const std::string text = Script(cells);
  std::ofstream(path, std::ios::binary) << text;
  std::printf("%d cells, %.1f MB:\n", cells, static_cast<double>(text.size()) / 1e6);

  CQuireApp app;
  if (app.InitInstance({QString::fromStdString(path)}, {true, false}) != CQuireApp::Start::Running) return;
  CMainFrame* frame = app.Frame();
  CQuireDoc* doc = frame->ActiveDocument();
  CScintillaWnd* view = doc->View();
  view->setFocus();
  // A large file comes in pieces: measure once it is all there.
  if (!QTest::qWaitFor([&] { return !view->IsLoading(); }, 600000)) return;
  QCoreApplication::processEvents();
  std::printf("  cells box: %d entries\n", frame->CellsBox()->count());

  // Down and Up within the window, then Down on its last line, which scrolls
  // the text by a line and so repaints all of it.
  view->GotoLine(view->GetLineCount() / 2);
  view->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(view->GetCurrentLine() - 1));
  QCoreApplication::processEvents();
  Print("caret Down/Up within the window", Time(200, [&](int i) {
          QTest::keyClick(view, (i / 10) % 2 ? Qt::Key_Up : Qt::Key_Down);
        }));
  const long shown = view->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
  view->GotoLine(view->GetCurrentLine() + static_cast<int>(shown) - 1);
  QCoreApplication::processEvents();
  Print("caret Down scrolling a line", Time(100, [&](int) { QTest::keyClick(view, Qt::Key_Down); }));
  Print("caret jump (Ctrl+End / Ctrl+Home)", Time(50, [&](int i) {
          QTest::keyClick(view, i % 2 ? Qt::Key_Home : Qt::Key_End, Qt::ControlModifier);
        }));

  // A plain line in the middle; then the name of a marker line there.
  view->GotoLine(view->GetLineCount() / 2 + 3);
  Print("typing in a plain line", Time(200, [&](int) { QTest::keyClick(view, Qt::Key_Z); }));
  view->GotoLine(101 * (cells / 2) + 1);
  view->GotoPosition(view->GetCurrentPosition() + 5);
  Print("typing in a cell marker's name", Time(50, [&](int) { QTest::keyClick(view, Qt::Key_Q); }));

  // 5,000 names that all start with "na": every key shows the whole list.
  std::vector<std::string>& names = app.LinkState().completionWords;
  names.clear();
  for (int i = 0; i < 5000; ++i) names.push_back("na" + std::to_string(100000 + i * 7));
  view->GotoLine(view->GetLineCount() / 2 + 5);
  QTest::keyClick(view, Qt::Key_Return);
  QTest::keyClick(view, Qt::Key_Up);
  Print("completion, first key (reads the words)", Time(1, [&](int) { QTest::keyClick(view, Qt::Key_N); }));
  view->SendScintilla(QsciScintillaBase::SCI_AUTOCCANCEL);
  std::vector<double> completion, completionCpu;
  for (int i = 0; i < 50; ++i) {
    SRound round;
    QTest::keyClick(view, Qt::Key_A);  // "na": all 5,000 names
    round.Stop(completion, completionCpu);
    if (i + 1 == 50) break;
    view->SendScintilla(QsciScintillaBase::SCI_AUTOCCANCEL);
    QTest::keyClick(view, Qt::Key_Backspace);
    QCoreApplication::processEvents();
  }
  Print("completion of \"na\" with 5,000 names", Summary(completion, completionCpu));
  std::printf("  list shown: %s\n", view->SendScintilla(QsciScintillaBase::SCI_AUTOCACTIVE) ? "yes" : "no");
  // Saved first, so closing does not ask.
  doc->SaveTo(path);
  frame->CloseAll();
}

}  // namespace

int main(int argc, char** argv) {
  // Private settings and data: the benchmark must not touch the user's.
  QTemporaryDir home;
  for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
    setenv(variable, home.path().toLocal8Bit().constData(), 1);
  QApplication application(argc, argv);
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // figures show as they come
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {200, 1000, 2000};
  for (int cells : sizes) Measure(home.path(), cells);
  return 0;
}
