// The Current Directory pane under load, measured (not a test: it prints figures).
//   1. First listing of a folder of N files, from the request to the painted list.
//   2. An unchanged refresh of the same folder: its time, and how often the list
//      was rebuilt and painted (both should be 0), counted between two moments at
//      which the event loop has settled. Also the time of a listing that must ask
//      the disk about every entry (a folder whose changes are not reported).
//   3. 1,000 files created in one burst in the shown folder: how long after the
//      last one the list was right, and how many refills that took.
//   4. Idle: CPU used by the whole process while the pane watches a tree of
//      100 folders of 1,000 files each and nothing changes, and how often the
//      watcher's own code ran meanwhile.
// The files differ in extension, size and date, as in a real folder.
//
// usage: files-bench [rounds] [sizes...]   default: 3 rounds, 1000 10000 50000
//        FILES_BENCH_PARTS=listing,burst,idle picks parts (default: all)
//        (QT_QPA_PLATFORM=offscreen without a display; TMPDIR picks the disk)
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "console/files/DirectoryScanner.h"
#include "console/files/DirectoryWatcher.h"
#include "console/files/FileListModel.h"
#include "console/files/FileView.h"
#include "console/files/FilesExplorer.h"
#include "widgets/UserPrompts.h"

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

double Ms(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

// Files of several types and sizes, each dated an hour before the one before.
void MakeFiles(const QString& folder, int count, const char* prefix, bool dated = true) {
  static const char* const extensions[] = {".m", ".mat", ".txt", ".csv", "", ".m", ".png", ".m"};
  const time_t now = time(nullptr);
  for (int i = 0; i < count; ++i) {
    const std::string path = (folder + QStringLiteral("/%1%2").arg(QLatin1String(prefix)).arg(i)).toStdString() +
                             extensions[i % 8];
    std::ofstream(path) << std::string(static_cast<size_t>(i % 5000), 'x');
    if (!dated) continue;
    const timespec times[2] = {{now, 0}, {now - static_cast<time_t>(i) * 3600, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
  }
}

// Counts the paints of the list and its header.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
};

struct Pane {
  CDesktopPrompts prompts;
  CFileView view{prompts};
  PaintCounter counter;
  Pane() {
    view.Attach({[](const std::string&, bool) {}, [](const std::string&) { return 0; }, [](const QString&) {}});
    view.resize(600, 800);
    view.show();
    view.List()->viewport()->installEventFilter(&counter);
    view.List()->header()->viewport()->installEventFilter(&counter);
    if (!QTest::qWaitForWindowExposed(&view)) std::printf("(the list was never shown)\n");
  }
  // Lists and paints; milliseconds.
  double Show(const QString& folder) {
    QSignalSpy listed(&view, &CFileView::Listed);
    QElapsedTimer timer;
    timer.start();
    view.ShowFolder(folder);
    listed.wait(60000);
    view.List()->viewport()->repaint();
    return Ms(timer);
  }
  // Runs the event loop until nothing was painted and no change waited for 300 ms.
  void Settle() {
    QElapsedTimer quiet;
    quiet.start();
    int paints = counter.paints;
    for (int slices = 0; slices < 200 && quiet.elapsed() < 300; ++slices) {
      QTest::qWait(25);
      if (counter.paints != paints || view.Watcher()->HasPendingChanges()) {
        paints = counter.paints;
        quiet.restart();
      }
    }
  }
};

bool Wanted(const char* part) {
  const QByteArray parts = qgetenv("FILES_BENCH_PARTS");
  return parts.isEmpty() || parts.split(',').contains(part);
}

void Listing(const QString& root, int rounds, const std::vector<int>& sizes) {
  std::printf("first listing and unchanged refresh (median of %d rounds)\n", rounds);
  std::printf("%8s %7s %10s %12s %12s %9s %8s\n", "files", "rows", "first ms", "refresh ms", "rescan ms",
              "refills", "paints");
  for (int files : sizes) {
    const QString folder = root + QStringLiteral("/flat%1").arg(files);
    QDir().mkpath(folder);
    MakeFiles(folder, files, "f");
    std::vector<double> first, again, rescan;
    int refills = 0, paints = 0, rows = 0;
    for (int round = 0; round < rounds; ++round) {
      Pane pane;
      first.push_back(pane.Show(folder));
      pane.Settle();
      const int refillsBefore = pane.view.Model()->Refills();
      const int paintsBefore = pane.counter.paints;
      QSignalSpy listed(&pane.view, &CFileView::Listed);
      QElapsedTimer timer;
      timer.start();
      pane.view.Refresh();
      listed.wait(60000);
      again.push_back(Ms(timer));
      pane.Settle();
      refills += pane.view.Model()->Refills() - refillsBefore;
      paints += pane.counter.paints - paintsBefore;
      rows = pane.view.Model()->rowCount();
      CDirectoryScanner scanner;
      CFileRowBuilder builder;
      timer.restart();
      builder.Build(scanner.Scan(folder.toStdString(), file_commands::kFilters[0], {}));
      rescan.push_back(Ms(timer));
    }
    std::printf("%8d %7d %10.1f %12.1f %12.1f %9d %8d\n", files, rows, Median(first), Median(again),
                Median(rescan), refills, paints);
  }
}

void Burst(const QString& root, const std::vector<int>& sizes) {
  std::printf("\nburst of 1,000 new files in the shown folder (filter *.*)\n");
  std::printf("%8s %16s %10s\n", "files", "right after ms", "refills");
  for (int files : sizes) {
    const QString folder = root + QStringLiteral("/burst%1").arg(files);
    QDir().mkpath(folder);
    MakeFiles(folder, files, "f");
    Pane pane;
    pane.view.FilterBox()->setEditText(QStringLiteral("*.*"));
    pane.Show(folder);
    pane.Settle();
    const int refillsBefore = pane.view.Model()->Refills();
    MakeFiles(folder, 1000, "burst", false);
    QElapsedTimer timer;
    timer.start();
    const int wanted = files + 1000 + 1;
    const bool right = QTest::qWaitFor([&] { return pane.view.Model()->rowCount() == wanted; }, 30000);
    const double after = Ms(timer);
    pane.Settle();
    std::printf("%8d %16.1f %10d%s\n", files, after, pane.view.Model()->Refills() - refillsBefore,
                right ? "" : " (never right)");
  }
}

void Idle(const QString& root) {
  std::printf("\nidle: 100 folders of 1,000 files below the shown folder, 5 s of nothing\n");
  const QString home = root + QStringLiteral("/home");
  for (int i = 0; i < 100; ++i) {
    const QString sub = home + QStringLiteral("/d%1").arg(i);
    QDir().mkpath(sub);
    MakeFiles(sub, 1000, "f", false);
  }
  Pane pane;
  pane.Show(home);
  pane.Settle();
  const int refillsBefore = pane.view.Model()->Refills();
  const int wakesBefore = pane.view.Watcher()->Wakes();
  const double cpuBefore = CpuMs();
  QElapsedTimer wall;
  wall.start();
  QTest::qWait(5000);
  std::printf("CPU %.1f ms in %.0f ms (whole process, with the wait loop); folders watched %d; "
              "watcher woken %d times; refills %d\n",
              CpuMs() - cpuBefore, static_cast<double>(wall.elapsed()), pane.view.Watcher()->WatchCount(),
              pane.view.Watcher()->Wakes() - wakesBefore, pane.view.Model()->Refills() - refillsBefore);
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // figures show as they come
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
  std::vector<int> sizes;
  for (int i = 2; i < argc; ++i) sizes.push_back(std::max(0, atoi(argv[i])));
  if (sizes.empty()) sizes = {1000, 10000, 50000};
  QTemporaryDir temp;
  if (Wanted("listing")) Listing(temp.path(), rounds, sizes);
  if (Wanted("burst")) Burst(temp.path(), {0, 10000});
  if (Wanted("idle")) Idle(temp.path());
  return 0;
}
