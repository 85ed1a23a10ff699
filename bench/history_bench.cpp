// Measures the Command History pane loading a saved history of growing length
// as at connection: the store loads on a worker thread while the window's event
// loop runs. Prints the load time, the longest the event loop went without a
// tick until the pane showed every entry, and the peak memory the load added.
// Each size runs in a process of its own, so the peaks do not mix.
//
// usage: history-bench [ENTRIES...]   (default 10000 25000 50000 100000)
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
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "common/Ini.h"
#include "console/command/HistoryView.h"
#include "console/session/SessionViews.h"

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

// A field of /proc/self/status in kB ("VmRSS", "VmHWM").
long StatusKb(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
  return 0;
}

int Measure(int argc, char** argv, int entries) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QTemporaryDir folder;
  CIni ini;
  ini.SetPath((folder.path() + QStringLiteral("/userpaths.dat")).toStdString());
  std::vector<std::string> saved;
  for (int i = 0; static_cast<int>(saved.size()) < entries; ++i) {
    if (i % 200 == 0) saved.push_back("%-- 01/02/24 09:" + std::to_string(i / 200 % 60) + ":00 --%");
    saved.push_back("x(" + std::to_string(i) + ") = sin (" + std::to_string(i) + ") * 2;");
  }
  ini.WriteArray("History", saved, "|;|");
  saved.clear();
  saved.shrink_to_fit();

  CHistoryStore store;
  CNoSettings settings;
  CHistoryView view(store, settings, {}, [] { return true; });
  view.resize(300, 600);
  view.show();
  if (!QTest::qWaitForWindowExposed(&view)) return 1;
  QTest::qWait(50);
  const long rssBefore = StatusKb("VmRSS");

  QElapsedTimer clock;
  clock.start();
  qint64 loadedAt = -1;
  std::thread worker([&] {
    store.LoadHistory(ini, entries);
    loadedAt = clock.elapsed();
  });
  QEventLoop loop;
  QTimer ticker;
  ticker.setInterval(5);
  QElapsedTimer sinceTick;
  qint64 longestGap = 0;
  const QAbstractItemModel* model = view.Tree()->model();
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    longestGap = std::max(longestGap, sinceTick.restart());
    int shown = model->rowCount();
    for (int row = 0; row < model->rowCount(); ++row) shown += model->rowCount(model->index(row, 0));
    if (shown >= entries + 1 || clock.elapsed() > 60000) loop.quit();
  });
  sinceTick.start();
  ticker.start();
  loop.exec();
  worker.join();
  const qint64 shownAt = clock.elapsed();
  view.Tree()->viewport()->repaint();
  std::printf("%10d %10lld %10lld %12lld %12ld\n", entries, static_cast<long long>(loadedAt),
              static_cast<long long>(shownAt), static_cast<long long>(longestGap),
              (StatusKb("VmHWM") - rssBefore) / 1024);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {10000, 25000, 50000, 100000};
  std::printf("%10s %10s %10s %12s %12s\n", "entries", "loaded ms", "shown ms", "longest gap", "peak +MB");
  std::fflush(stdout);
  for (int entries : sizes) {
    const pid_t child = fork();
    if (child == 0) {
      const int status = Measure(1, argv, entries);
      std::fflush(stdout);
      std::_Exit(status);
    }
    int status = 0;
    waitpid(child, &status, 0);
  }
  return 0;
}
