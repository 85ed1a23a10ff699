// The Documentation pane on the installed manual, measured (not a test: it
// prints figures). For manuals of 1, 2 and 4 times the installed one's pages
// (copies under new names), each help request is timed from the request to the
// page shown and to the topic list filled, with the longest stretch in which
// the window's event loop did not run (up to a short while after both, so that
// layout work left for later counts too); `grep -l -i` over the same folder is
// the floor to compare with. The first request of a folder reads every page;
// the later ones only look at the pages' times. Then the largest pages alone.
//
// usage: docs-bench [manual folder]   (QT_QPA_PLATFORM=offscreen without a display)
#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "console/docs/DocumentationView.h"
#include "console/docs/ManualBrowser.h"
#include "console/docs/ManualFolder.h"

namespace {

namespace fs = std::filesystem;

// CPU time in ms: on a shared machine wall-clock figures grow with the load,
// these do not.
double CpuMs(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The longest time between two turns of the event loop while it runs, on the
// wall clock and in the GUI thread's CPU time (which a loaded machine does not
// stretch).
class CLoopWatch : public QObject {
 public:
  struct Stall {
    double wallMs = 0;
    double cpuMs = 0;
  };

  CLoopWatch() {
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, [this] { Turn(); });
  }
  void Start() {
    m_longest = {};
    m_sinceLast.start();
    m_cpuAtLast = CpuMs(CLOCK_THREAD_CPUTIME_ID);
    m_timer.start();
  }
  // Counts the stretch up to now as well.
  Stall Stop() {
    Turn();
    m_timer.stop();
    return m_longest;
  }

 private:
  void Turn() {
    const double cpu = CpuMs(CLOCK_THREAD_CPUTIME_ID);
    m_longest.wallMs = std::max(m_longest.wallMs, m_sinceLast.nsecsElapsed() / 1e6);
    m_longest.cpuMs = std::max(m_longest.cpuMs, cpu - m_cpuAtLast);
    m_sinceLast.restart();
    m_cpuAtLast = cpu;
  }

  QTimer m_timer;
  QElapsedTimer m_sinceLast;
  double m_cpuAtLast = 0;
  Stall m_longest;
};

double ChildrenCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// The event loop keeps being watched this long after the page is shown (the
// layout of a long page goes on in steps), a single large page much longer.
constexpr int kSettleMs = 300;
constexpr int kPageSettleMs = 3000;

struct Figures {
  double shownMs = 0;
  double filledMs = 0;
  CLoopWatch::Stall blocked;
  double guiCpuMs = 0;     // the GUI thread, up to the page shown and the list filled
  double filledCpuMs = 0;  // the whole process, up to the filled list
  int topics = 0;
};

Figures Request(CDocumentationView& view, CLoopWatch& watch, const QString& term) {
  QSignalSpy filled(&view, &CDocumentationView::TopicsFilled);
  QSignalSpy shown(view.Browser(), &CManualBrowser::PageShown);
  Figures figures;
  QElapsedTimer clock;
  watch.Start();
  const double threadStart = CpuMs(CLOCK_THREAD_CPUTIME_ID);
  const double processStart = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
  clock.start();
  view.ShowHelpTopic(term);
  const bool done = QTest::qWaitFor(
      [&] {
        if (figures.shownMs == 0 && !shown.isEmpty()) figures.shownMs = clock.nsecsElapsed() / 1e6;
        if (figures.filledMs == 0 && !filled.isEmpty()) figures.filledMs = clock.nsecsElapsed() / 1e6;
        return figures.shownMs > 0 && figures.filledMs > 0;
      },
      60000);
  if (!done) std::fprintf(stderr, "no page or no topics after 60 s\n");
  figures.guiCpuMs = CpuMs(CLOCK_THREAD_CPUTIME_ID) - threadStart;
  figures.filledCpuMs = CpuMs(CLOCK_PROCESS_CPUTIME_ID) - processStart;
  QTest::qWait(kSettleMs);
  figures.blocked = watch.Stop();
  figures.topics = view.Topics()->topLevelItemCount();
  return figures;
}

// Wall-clock and CPU time of grep over the folder.
std::pair<double, double> GrepMs(const std::string& folder, const std::string& text) {
  const std::string command = "cd '" + folder + "' && grep -l -i -F -- '" + text + "' *.html > /dev/null";
  QElapsedTimer clock;
  const double cpuStart = ChildrenCpuMs();
  clock.start();
  if (std::system(command.c_str()) == -1) return {-1, -1};
  return {clock.nsecsElapsed() / 1e6, ChildrenCpuMs() - cpuStart};
}

// `copies` times the manual's pages in one folder; the first copy keeps the
// names, so that the redirections lead to real pages.
void Fill(const std::string& source, const std::string& target, int copies) {
  for (const fs::directory_entry& entry : fs::directory_iterator(source)) {
    if (entry.path().extension() != ".html" && entry.path().extension() != ".css") continue;
    for (int copy = 0; copy < copies; ++copy) {
      const std::string name = (copy == 0 ? "" : "Copy" + std::to_string(copy) + "-") + entry.path().filename().string();
      fs::copy_file(entry.path(), fs::path(target) / name, fs::copy_options::overwrite_existing);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string installed = argc > 1 ? argv[1] : manual::FindManualFolder(manual::ManualFolderCandidates("", "/usr/bin"));
  if (installed.empty()) {
    std::fprintf(stderr, "no manual found (install octave-doc)\n");
    return 2;
  }
  const char* terms[] = {"sin", "num2str", "plot", "", "a"};
  std::printf("%-6s %-6s %-8s %9s %9s %12s %7s %9s %8s %8s\n", "pages", "req", "term", "shown ms",
              "filled ms", "blocked ms", "topics", "grep ms", "gui cpu", "all cpu");
  std::printf("%-6s %-6s %-8s %9s %9s %12s %7s %9s %8s %8s\n", "", "", "", "", "", "(cpu)", "", "(cpu)", "", "(grep)");
  for (int copies : {1, 2, 4}) {
    QTemporaryDir scratch;
    const std::string folder = scratch.path().toStdString() + "/";
    Fill(installed, folder, copies);
    size_t pages = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) pages += entry.path().extension() == ".html";

    CDocumentationView view([folder] { return std::vector<std::string>{folder}; });
    view.resize(1000, 500);
    view.show();
    CLoopWatch watch;
    QTest::qWait(50);
    bool first = true;
    for (int round = 0; round < 2; ++round) {
      for (const char* term : terms) {
        const Figures f = Request(view, watch, QString::fromLatin1(term));
        const std::string searched = *term ? term : "index";
        const auto [grepMs, grepCpuMs] = GrepMs(folder, searched);
        std::printf("%-6zu %-6s %-8s %9.1f %9.1f %5.0f(%5.1f) %7d %4.0f(%3.0f) %8.1f %3.0f(%3.0f)\n", pages,
                    first ? "first" : "later", *term ? term : "(index)", f.shownMs, f.filledMs, f.blocked.wallMs,
                    f.blocked.cpuMs, f.topics, grepMs, grepCpuMs, f.guiCpuMs, f.filledCpuMs, grepCpuMs);
        first = false;
      }
    }
  }
  // The largest pages on their own: from the request to the page shown, and
  // the event loop's longest stall meanwhile and in the layout work after.
  CDocumentationView view([installed] { return std::vector<std::string>{installed}; });
  view.resize(1000, 500);
  view.show();
  CLoopWatch watch;
  for (const char* page : {"Function-Index.html", "Two_002dDimensional-Plots.html", "index.html", "Trigonometry.html"}) {
    QSignalSpy shown(view.Browser(), &CManualBrowser::PageShown);
    QElapsedTimer clock;
    watch.Start();
    const double cpuStart = CpuMs(CLOCK_THREAD_CPUTIME_ID);
    clock.start();
    view.Browser()->setSource(QUrl::fromLocalFile(QString::fromStdString(installed + page)));
    if (!QTest::qWaitFor([&] { return !shown.isEmpty(); }, 60000)) std::fprintf(stderr, "%s not shown\n", page);
    const double shownMs = clock.nsecsElapsed() / 1e6;
    const double guiCpuMs = CpuMs(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
    QTest::qWait(kPageSettleMs);
    const CLoopWatch::Stall blocked = watch.Stop();
    std::printf("page %-32s shown %7.1f ms, blocked %7.1f ms (cpu %5.1f ms), gui cpu to shown %5.1f ms\n", page,
                shownMs, blocked.wallMs, blocked.cpuMs, guiCpuMs);
  }
  return 0;
}
