// Measures the Command History pane loading a saved history of growing length
// as at connection: the store loads on a worker thread while the window's event
// loop runs. Prints the load time, the time until the pane painted every entry
// in place, the GUI thread's CPU time for that, the longest the event loop went
// without a tick meanwhile, the peak and the lasting memory the load added, and
// the same times for one command typed after the load.
// With --changes it times, with the pane shown and a history of each size
// loaded, the GUI thread's CPU up to the next paint: per command typed one at
// a time (with the view at the newest row, and with the user reading the
// oldest session), per new session heading, per command typed into a session
// of 10,000 commands, and for a reload as at connection (all entries, then
// trimmed to half), one delete and one clear.
// Each size runs in a process of its own, so the peaks do not mix.
//
// usage: history-bench [--changes] [ENTRIES...]
//   (default 10000 25000 50000 100000; with --changes 1000 10000 50000 100000)
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchSupport.h"
#include "common/Ini.h"
#include "console/command/HistoryView.h"
#include "console/session/SessionViews.h"
#include "widgets/UserPrompts.h"

namespace {

class CNoSettings : public ISettings {
 public:
  int GetInt(const std::string&, const std::string&, int fallback) override { return fallback; }
  std::string GetString(const std::string&, const std::string&, const std::string& fallback) override {
    return fallback;
  }
  void SetInt(const std::string&, const std::string&, int) override {}
  void SetString(const std::string&, const std::string&, const std::string&) override {}
};

// Calls `painted` after each paint of `widget`.
class CPaintWatch : public QObject {
 public:
  CPaintWatch(QWidget* widget, std::function<void()> painted) : m_painted(std::move(painted)) {
    widget->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) QTimer::singleShot(0, this, m_painted);
    return false;
  }

 private:
  std::function<void()> m_painted;
};

// A field of /proc/self/status in kB ("VmRSS", "VmHWM").
long StatusKb(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
  return 0;
}

// Runs the event loop until the pane's model holds `rows` rows and the tree
// has painted after that (it lays its rows out when it paints); returns the
// longest the loop went without a tick meanwhile.
qint64 LongestGapUntilPainted(CHistoryView& view, int rows) {
  QEventLoop loop;
  QTimer ticker;
  ticker.setInterval(5);
  QElapsedTimer sinceTick;
  qint64 longestGap = 0;
  const QAbstractItemModel* model = view.Tree()->model();
  bool modelComplete = false;
  CPaintWatch paints(view.Tree()->viewport(), [&] {
    if (modelComplete) loop.quit();
  });
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    longestGap = std::max(longestGap, sinceTick.restart());
    int shown = model->rowCount();
    for (int row = 0; row < model->rowCount(); ++row) shown += model->rowCount(model->index(row, 0));
    if (shown >= rows && !modelComplete) {
      modelComplete = true;
      view.Tree()->viewport()->update();
    }
  });
  QTimer::singleShot(60000, &loop, &QEventLoop::quit);
  sinceTick.start();
  ticker.start();
  loop.exec();
  return longestGap;
}

// A saved history of `entries` entries (sessions of 200 commands) and the
// pane, shown, over a store that has not loaded it yet.
struct SShownPane {
  explicit SShownPane(int entries) {
    ini.SetPath((folder.path() + QStringLiteral("/userpaths.dat")).toStdString());
    std::vector<std::string> saved;
    for (int i = 0; static_cast<int>(saved.size()) < entries; ++i) {
      if (i % 200 == 0) saved.push_back("%-- 01/02/24 09:" + std::to_string(i / 200 % 60) + ":00 --%");
      saved.push_back("x(" + std::to_string(i) + ") = sin (" + std::to_string(i) + ") * 2;");
    }
    ini.WriteArray("History", saved, "|;|");
    view.resize(300, 600);
    view.show();
    shown = QTest::qWaitForWindowExposed(&view);
  }

  QTemporaryDir folder;
  CIni ini;
  CHistoryStore store;
  CNoSettings settings;
  CDesktopPrompts prompts;
  CHistoryView view {store, settings, prompts, {}, [] { return true; }};
  bool shown = false;
};

void MeasureLoad(SShownPane& pane, int entries) {
  CHistoryView& view = pane.view;
  CHistoryStore& store = pane.store;
  const CIni& ini = pane.ini;
  QTest::qWait(50);
  const long rssBefore = StatusKb("VmRSS");

  QElapsedTimer clock;
  clock.start();
  qint64 loadedAt = -1;
  std::thread worker([&] {
    store.LoadHistory(ini, entries);
    loadedAt = clock.elapsed();
  });
  const long cpuBefore = static_cast<long>(ThreadCpuMs());
  const qint64 loadGap = LongestGapUntilPainted(view, entries + 1);
  const qint64 shownAt = clock.elapsed();
  const long loadCpu = static_cast<long>(ThreadCpuMs()) - cpuBefore;
  worker.join();
  const long peakKb = StatusKb("VmHWM") - rssBefore;

  // A command typed afterwards, added the way the dispatcher adds it.
  clock.restart();
  std::thread dispatcher([&] { store.AddHistoryEntry("disp (42)", true); });
  const qint64 typedGap = LongestGapUntilPainted(view, entries + 2);
  const qint64 typedAt = clock.elapsed();
  dispatcher.join();
  std::printf("%10d %10lld %10lld %10ld %12lld %10ld %10ld %10lld %10lld\n", entries,
              static_cast<long long>(loadedAt), static_cast<long long>(shownAt), loadCpu,
              static_cast<long long>(loadGap), peakKb / 1024, (StatusKb("VmRSS") - rssBefore) / 1024,
              static_cast<long long>(typedAt), static_cast<long long>(typedGap));
}

// The GUI thread's CPU ms for `change` and everything it sets off, up to the
// pane's next paint.
double CpuUntilPainted(CHistoryView& view, const std::function<void()>& change) {
  QEventLoop loop;
  CPaintWatch paints(view.Tree()->viewport(), [&] { loop.quit(); });
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);
  const double before = ThreadCpuMs();
  change();
  loop.exec();
  return ThreadCpuMs() - before;
}

void MeasureChanges(SShownPane& pane, int entries) {
  CHistoryView& view = pane.view;
  CHistoryStore& store = pane.store;
  const CIni& ini = pane.ini;
  CpuUntilPainted(view, [&] { store.LoadHistory(ini, entries); });

  // Mean and worst of `count` changes, each painted before the next.
  const auto costOf = [&view](int count, const std::function<void()>& change) {
    double total = 0;
    double worst = 0;
    for (int i = 0; i < count; ++i) {
      const double cpu = CpuUntilPainted(view, change);
      total += cpu;
      worst = std::max(worst, cpu);
    }
    return std::pair {total / count, worst};
  };
  int added = 0;
  const auto command = [&added](const char* name) {
    return std::string(name) + " = " + std::to_string(added++) + ";";
  };

  // Commands typed one by one, as the console adds them.
  const auto [typed, typedWorst] = costOf(200, [&] { store.AddHistoryEntry(command("y"), true); });
  // The same with the user reading an older session at the top of the pane,
  // one of its commands selected.
  const QAbstractItemModel* model = view.Tree()->model();
  view.Tree()->setCurrentIndex(model->index(0, 0, model->index(0, 0)));
  view.Tree()->scrollToTop();
  const double older = costOf(200, [&] { store.AddHistoryEntry(command("z"), false); }).first;
  // A session heading on its own.
  const double heading = costOf(5, [&] {
    store.AddHistoryEntry("%-- 12/31/99 23:59:" + std::to_string(added++) + " --%", true);
  }).first;
  // Typed into a session that already holds 10,000 commands.
  CpuUntilPainted(view, [&] {
    for (int i = 0; i < 10000; ++i) store.AddHistoryEntry(command("w"), false);
  });
  const double longSession = costOf(50, [&] { store.AddHistoryEntry(command("v"), true); }).first;

  const double deleted = CpuUntilPainted(view, [&] { store.DeleteHistoryEntry(store.Count() / 2); });
  // Connecting again: the saved history is read on the session's thread, whole
  // and then trimmed to half, and the pane shows it anew.
  const auto reload = [&](int maxHist) {
    return CpuUntilPainted(view, [&] { std::thread([&] { store.LoadHistory(ini, maxHist); }).join(); });
  };
  const double reloaded = reload(entries);
  const double trimmed = reload(entries / 2);
  reload(entries);
  const double cleared = CpuUntilPainted(view, [&] { store.ClearHistory(); });
  std::printf("%10d %10.2f %10.2f %10.2f %10.2f %12.2f %10.1f %10.1f %10.1f %10.1f\n", entries, typed,
              typedWorst, older, heading, longSession, reloaded, trimmed, deleted, cleared);
}

// Runs `measure` on a pane shown in an application of its own.
int WithShownPane(char** argv, int entries, void (*measure)(SShownPane&, int)) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  QApplication application(argc, argv);
  SShownPane pane(entries);
  if (!pane.shown) return 1;
  measure(pane, entries);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  const bool changes = argc > 1 && std::string(argv[1]) == "--changes";
  for (int i = changes ? 2 : 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = changes ? std::vector<int> {1000, 10000, 50000, 100000}
                                     : std::vector<int> {10000, 25000, 50000, 100000};
  if (changes)
    std::printf("%10s %10s %10s %10s %10s %12s %10s %10s %10s %10s\n", "entries", "typed ms", "typed max",
                "older ms", "heading ms", "10k-session", "reload ms", "trim ms", "delete ms", "clear ms");
  else
    std::printf("%10s %10s %10s %10s %12s %10s %10s %10s %10s\n", "entries", "loaded ms", "shown ms",
                "GUI cpu ms", "longest gap", "peak +MB", "after +MB", "typed ms", "typed gap");
  std::fflush(stdout);
  for (int entries : sizes) {
    const pid_t child = fork();
    if (child == 0) {
      const int status = WithShownPane(argv, entries, changes ? MeasureChanges : MeasureLoad);
      std::fflush(stdout);
      std::_Exit(status);
    }
    int status = 0;
    waitpid(child, &status, 0);
  }
  return 0;
}
