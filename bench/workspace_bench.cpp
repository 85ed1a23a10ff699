// The workspace panes under load, measured (not a test: it prints figures).
//   1. A listing of 10,000 variables: parsed and compared with the list, alone
//      and through the output interpreter in the reader's 5,119-byte pieces.
//   2. The same listing again: how often the list is rebuilt and repainted.
//   3. A 1,000x1,000 page: from the exchange file to a painted grid; and, with
//      octave-cli installed, from the View request to the painted grid.
//
// usage: workspace-bench [rounds]   (QT_QPA_PLATFORM=offscreen without a display)
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "console/headless/MemoryViews.h"
#include "console/session/OctaveRedirector.h"
#include "console/session/OutputForms.h"
#include "console/session/SessionCore.h"
#include "console/session/SessionWorker.h"
#include "console/session/StartupCommands.h"
#include "console/workspace/VariableEditView.h"
#include "console/workspace/VariableView.h"
#include "widgets/UserPrompts.h"

namespace {

constexpr size_t kChunk = 5119;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::string Listing(int variables) {
  std::string answer =
      "Variables visible from the current scope:\n\nvariables in scope: top scope\n\n"
      " Name                 Size             Class           Bytes       \n"
      " ====                 ====             =====           =====        \n"
      " old_format           1x46             char            46          \n";
  char line[128];
  for (int i = 0; i < variables; ++i) {
    std::snprintf(line, sizeof line, " var_%05d            %dx%d              double          %d\n", i,
                  1 + i % 7, 1 + i % 5, 8 * (1 + i % 7) * (1 + i % 5));
    answer += line;
  }
  return answer + "\nTotal is 10000 elements using 80000 bytes\n\n>> ";
}

void Feed(COctaveRedirector& redirector, const std::string& answer) {
  for (size_t at = 0; at < answer.size(); at += kChunk) redirector.FeedOutput(answer.substr(at, kChunk));
  redirector.FeedQuiet();
}

class CPaintCounter : public QObject {
 public:
  explicit CPaintCounter(QObject* watched) { watched->installEventFilter(this); }
  int count = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
};

void WriteBigPage(const std::string& path, int rows, int columns) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> value(0, 1);
  std::ofstream out(path);
  char number[32];
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      std::snprintf(number, sizeof number, " %.16g", value(random));
      out << number;
    }
    out << '\n';
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  CDesktopPrompts prompts;
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  QElapsedTimer timer;

  // ---- 1 and 2: the listing
  const std::string answer = Listing(10000);
  CVariableView pane(prompts);
  pane.resize(400, 600);
  pane.SetConnected(true);
  pane.show();
  (void)QTest::qWaitForWindowExposed(&pane);
  CMemoryViews memory;
  SessionViews views = memory.Views();
  views.workspace = &pane;
  CSessionSignals sessionSignals;
  CHistoryStore history;
  COctaveRedirector redirector(sessionSignals, views, history);

  timer.start();
  Feed(redirector, answer);
  const double firstFill = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  QCoreApplication::processEvents();
  pane.List()->selectionModel()->select(pane.Model().index(42, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
  QCoreApplication::processEvents();

  std::vector<double> parseCompare, throughRedirector;
  for (int i = 0; i < rounds; ++i) {
    timer.restart();
    const std::vector<ListRow> rows = output_forms::ParseWorkspaceTable(answer);
    const bool same = output_forms::SameNamesAndSizes(pane.Rows(), rows);
    parseCompare.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    if (!same) std::printf("unexpected: the listing differs\n");
  }
  const int rebuildsBefore = pane.Model().Rebuilds();
  CPaintCounter paints(pane.List()->viewport());
  for (int i = 0; i < rounds; ++i) {
    timer.restart();
    Feed(redirector, answer);
    throughRedirector.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    QCoreApplication::processEvents();
  }
  const int rebuilds = pane.Model().Rebuilds() - rebuildsBefore;
  const int unchangedPaints = paints.count;
  const bool selectionKept = pane.GetSelectedNames() == std::vector<std::string>{"var_00042"};

  std::printf("listing of 10,000 variables (%zu bytes)\n", answer.size());
  std::printf("  parse + compare, median of %d: %.2f ms (goal: 50 ms)\n", rounds, Median(parseCompare));
  std::printf("  through the output interpreter in %zu-byte pieces, median: %.2f ms\n", kChunk,
              Median(throughRedirector));
  std::printf("  first fill of the list (parse, compare, rebuild): %.2f ms\n", firstFill);
  std::printf("  unchanged listing x%d: %d rebuilds, %d repaints of the list, selection %s\n", rounds,
              rebuilds, unchangedPaints, selectionKept ? "kept" : "LOST");

  // ---- 3: a 1,000 x 1,000 page
  QTemporaryDir folder;
  const std::string exchange = folder.filePath(QStringLiteral("matrix_temp.csv")).toStdString();
  CMemoryRowList workspace;
  workspace.SetRows({{{"A", "1000x1000", "double", "8000000"}, 2}});
  CVariableEditView editor(prompts);
  editor.resize(800, 500);
  editor.Attach({[](const std::string&, bool) { return true; }, exchange, &workspace});
  editor.ShowVariable("A");
  editor.show();
  (void)QTest::qWaitForWindowExposed(&editor);
  std::vector<double> opens;
  for (int i = 0; i < std::min(rounds, 5); ++i) {
    WriteBigPage(exchange, 1000, 1000);
    CPaintCounter gridPaints(editor.Grid()->viewport());
    timer.restart();
    editor.LoadGrid();
    while (gridPaints.count == 0 && timer.elapsed() < 10000) QCoreApplication::processEvents();
    opens.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  std::printf("1,000 x 1,000 page (%ld x %ld cells shown)\n", static_cast<long>(editor.Model().rowCount()),
              static_cast<long>(editor.Model().columnCount()));
  std::printf("  exchange file to painted grid, median of %zu: %.1f ms (goal: 2,000 ms)\n", opens.size(),
              Median(opens));

  // ---- 3b: the whole way with the real interpreter
  if (!std::filesystem::exists("/usr/bin/octave-cli")) {
    std::printf("  (no /usr/bin/octave-cli: the whole way is not measured)\n");
    return 0;
  }
  CMemoryViews session;
  CVariableView realPane(prompts);
  CVariableEditView realEditor(prompts);
  SessionViews realViews = session.Views();
  realViews.workspace = &realPane;
  realViews.variableEditor = &realEditor;
  session.settings.SetString("Octave", "workpath", folder.path().toStdString());
  CHistoryStore realHistory;
  const std::string dataDir = folder.path().toStdString() + "/";
  CSessionCore core(realViews, dataDir, realHistory);
  session.host.SetEnqueue([&core](const std::string& text) { core.EnqueueCommand(text, false); });
  realEditor.Attach({[&core](const std::string& text, bool echo) { return core.EnqueueCommand(text, echo); },
                     dataDir + "matrix_temp.csv", &realPane});
  realEditor.show();
  CSessionWorker worker(core);
  core.StartDispatcher();
  worker.Connect(InterpreterCommandLine("/usr/bin"));
  auto waitFor = [](auto done, int ms) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
  };
  bool ok = waitFor([&] { return worker.GetState() == CSessionWorker::State::Connected && core.DispatcherIdle(); }, 30000);
  core.EnqueueCommand("A = rand(1000);", false);
  core.Signals().Raise(core.Signals().g_bRefreshWorkspace);
  ok = ok && waitFor([&] {
         for (const ListRow& row : realPane.Rows())
           if (row.columns[0] == "A") return true;
         return false;
       }, 30000);
  ok = ok && waitFor([&] { return core.DispatcherIdle(); }, 30000);
  if (!ok) {
    std::printf("  the interpreter did not answer; the whole way is not measured\n");
  } else {
    CPaintCounter gridPaints(realEditor.Grid()->viewport());
    timer.restart();
    realEditor.ShowVariable("A");
    waitFor([&] { return realEditor.Model().rowCount() == 1000 && gridPaints.count > 0; }, 20000);
    std::printf("  View to painted grid with octave-cli (export included): %.1f ms\n",
                static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  worker.Shutdown();
  core.StopDispatcher();
  return 0;
}
