// The Documentation pane on the installed manual, measured (not a test: it
// prints figures). For manuals of 1, 2 and 4 times the installed one's pages
// (copies under new names), each help request is timed from the request to the
// page shown and to the topic list filled, with the longest stretch in which
// the window's event loop did not run; `grep -l -i` over the same folder is the
// floor to compare with. The first request of a folder reads every page; the
// later ones only look at the pages' times.
//
// usage: docs-bench [manual folder]   (QT_QPA_PLATFORM=offscreen without a display)
#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "console/docs/DocumentationView.h"
#include "console/docs/ManualBrowser.h"
#include "console/docs/ManualFolder.h"

namespace {

namespace fs = std::filesystem;

// The longest time between two turns of the event loop while it runs.
class CLoopWatch : public QObject {
 public:
  CLoopWatch() {
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, [this] {
      m_longest = std::max(m_longest, m_sinceLast.nsecsElapsed() / 1e6);
      m_sinceLast.restart();
    });
  }
  void Start() {
    m_longest = 0;
    m_sinceLast.start();
    m_timer.start();
  }
  // Counts the stretch up to now as well.
  double Stop() {
    m_longest = std::max(m_longest, m_sinceLast.nsecsElapsed() / 1e6);
    m_timer.stop();
    return m_longest;
  }

 private:
  QTimer m_timer;
  QElapsedTimer m_sinceLast;
  double m_longest = 0;
};

struct Figures {
  double shownMs = 0;
  double filledMs = 0;
  double blockedMs = 0;
  int topics = 0;
};

Figures Request(CDocumentationView& view, CLoopWatch& watch, const QString& term) {
  QSignalSpy filled(&view, &CDocumentationView::TopicsFilled);
  Figures figures;
  QElapsedTimer clock;
  watch.Start();
  clock.start();
  view.ShowHelpTopic(term);
  figures.shownMs = clock.nsecsElapsed() / 1e6;
  QTest::qWaitFor([&] { return !filled.isEmpty(); }, 60000);
  figures.filledMs = clock.nsecsElapsed() / 1e6;
  figures.blockedMs = watch.Stop();
  figures.topics = view.Topics()->topLevelItemCount();
  return figures;
}

double GrepMs(const std::string& folder, const std::string& text) {
  const std::string command = "cd '" + folder + "' && grep -l -i -F -- '" + text + "' *.html > /dev/null";
  QElapsedTimer clock;
  clock.start();
  if (std::system(command.c_str()) == -1) return -1;
  return clock.nsecsElapsed() / 1e6;
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
  std::printf("%-6s %-8s %-8s %9s %9s %10s %8s %9s\n", "pages", "request", "term", "shown ms", "filled ms",
              "blocked ms", "topics", "grep ms");
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
        std::printf("%-6zu %-8s %-8s %9.1f %9.1f %10.1f %8d %9.1f\n", pages, first ? "first" : "later",
                    *term ? term : "(index)", f.shownMs, f.filledMs, f.blockedMs, f.topics,
                    GrepMs(folder, searched));
        first = false;
      }
    }
  }
  // The largest page on its own: what showing it costs the event loop.
  CDocumentationView view([installed] { return std::vector<std::string>{installed}; });
  view.resize(1000, 500);
  view.show();
  for (const char* page : {"Function-Index.html", "Two_002dDimensional-Plots.html", "Trigonometry.html"}) {
    QElapsedTimer clock;
    clock.start();
    view.Browser()->setSource(QUrl::fromLocalFile(QString::fromStdString(installed + page)));
    std::printf("page %-32s %8.1f ms\n", page, clock.nsecsElapsed() / 1e6);
  }
  return 0;
}
