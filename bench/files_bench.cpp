// The Current Directory pane under load, measured (not a test: it prints figures).
//   1. First listing of a folder of N files, from the request to the painted list.
//   2. An unchanged refresh of the same folder: its time and how often the list
//      was rebuilt and repainted (both should be 0).
//   3. 1,000 files created in one burst in the shown folder: how long after the
//      last one the list was right, and how many refills that took.
//   4. Idle: CPU used by the whole process while the pane watches a tree of
//      100 folders of 1,000 files each and nothing changes.
//
// usage: files-bench [rounds]   (QT_QPA_PLATFORM=offscreen without a display)
#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "console/files/DirectoryWatcher.h"
#include "console/files/FileListModel.h"
#include "console/files/FileView.h"
#include "console/files/FilesExplorer.h"

namespace {

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double CpuMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

void MakeFiles(const QString& folder, int count, const char* prefix) {
  for (int i = 0; i < count; ++i) {
    std::ofstream((folder + QStringLiteral("/%1%2.m").arg(QLatin1String(prefix)).arg(i)).toStdString())
        << "x = " << i << ";\n";
  }
}

// Counts the paints of the list.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
};

struct Pane {
  CFileView view;
  PaintCounter counter;
  Pane() {
    view.Attach({[](const std::string&, bool) {}, [](const std::string&) { return 0; }, [](const QString&) {}});
    view.resize(600, 800);
    view.show();
    view.List()->viewport()->installEventFilter(&counter);
    if (!QTest::qWaitForWindowExposed(&view)) std::printf("(the list was never shown)\n");
  }
  // Lists and paints; milliseconds.
  double Show(const QString& folder) {
    QSignalSpy listed(&view, &CFileView::Listed);
    QElapsedTimer timer;
    timer.start();
    view.ShowFolder(folder);
    listed.wait(30000);
    view.List()->viewport()->repaint();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
  QTemporaryDir temp;

  std::printf("first listing and unchanged refresh (median of %d rounds)\n", rounds);
  std::printf("%8s %14s %14s %9s %8s\n", "files", "first ms", "refresh ms", "refills", "paints");
  for (int files : {1000, 10000, 50000}) {
    const QString folder = temp.path() + QStringLiteral("/flat%1").arg(files);
    QDir().mkpath(folder);
    MakeFiles(folder, files, "f");
    std::vector<double> first, again;
    int refills = 0, paints = 0;
    for (int round = 0; round < rounds; ++round) {
      Pane pane;
      first.push_back(pane.Show(folder));
      QApplication::processEvents();
      const int refillsBefore = pane.view.Model()->Refills();
      const int paintsBefore = pane.counter.paints;
      QSignalSpy listed(&pane.view, &CFileView::Listed);
      QElapsedTimer timer;
      timer.start();
      pane.view.Refresh();
      listed.wait(30000);
      QApplication::processEvents();
      again.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
      refills += pane.view.Model()->Refills() - refillsBefore;
      paints += pane.counter.paints - paintsBefore;
    }
    std::printf("%8d %14.1f %14.1f %9d %8d\n", files, Median(first), Median(again), refills, paints);
  }

  std::printf("\nburst of 1,000 new files in the shown folder\n");
  std::printf("%8s %16s %10s\n", "files", "right after ms", "refills");
  for (int files : {0, 10000}) {
    const QString folder = temp.path() + QStringLiteral("/burst%1").arg(files);
    QDir().mkpath(folder);
    MakeFiles(folder, files, "f");
    Pane pane;
    pane.Show(folder);
    const int refillsBefore = pane.view.Model()->Refills();
    MakeFiles(folder, 1000, "burst");
    QElapsedTimer timer;
    timer.start();
    const int wanted = files + 1000 + 1;
    const bool right = QTest::qWaitFor([&] { return pane.view.Model()->rowCount() == wanted; }, 30000);
    std::printf("%8d %16.1f %10d%s\n", files, static_cast<double>(timer.nsecsElapsed()) / 1e6,
                pane.view.Model()->Refills() - refillsBefore, right ? "" : " (never right)");
  }

  std::printf("\nidle: 100 folders of 1,000 files below the shown folder, 5 s of nothing\n");
  const QString home = temp.path() + QStringLiteral("/home");
  for (int i = 0; i < 100; ++i) {
    const QString sub = home + QStringLiteral("/d%1").arg(i);
    QDir().mkpath(sub);
    MakeFiles(sub, 1000, "f");
  }
  Pane pane;
  pane.Show(home);
  QTest::qWait(200);
  const int refillsBefore = pane.view.Model()->Refills();
  const double cpuBefore = CpuMs();
  QElapsedTimer wall;
  wall.start();
  QTest::qWait(5000);
  std::printf("CPU %.1f ms in %.0f ms; folders watched %d; refills while idle %d\n",
              CpuMs() - cpuBefore, static_cast<double>(wall.elapsed()), pane.view.Watcher()->WatchCount(),
              pane.view.Model()->Refills() - refillsBefore);
  return 0;
}
