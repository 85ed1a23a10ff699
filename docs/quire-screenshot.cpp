// Takes the README's picture of Quire at its default size: a script with a
// breakpoint, the caret on a line of code, saved as a PNG.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include "common/UserDirs.h"
#include "editor/app/MainFrame.h"
#include "editor/app/QuireApp.h"
#include "editor/app/QuireDoc.h"
#include "editor/view/ScintillaWnd.h"

namespace {

const char* const kScript =
    "% Fit a line through noisy samples and plot both.\n"
    "x = linspace (0, 10, 50);\n"
    "y = 3 * x + 2 + randn (size (x));\n"
    "\n"
    "p = polyfit (x, y, 1);\n"
    "if abs (p(1) - 3) > 0.5\n"
    "  warning (\"slope is off: %g\", p(1));\n"
    "end\n"
    "plot (x, y, 'o', x, polyval (p, x), '-');\n"
    "title ('Least-squares line');\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: quire-screenshot OUTPUT.png\n");
    return 64;
  }
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
  qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
  qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
  qputenv("MARROWBY_LINK_DIR", (home.path() + QStringLiteral("/link")).toLocal8Bit());
  QApplication application(argc, argv);
  QApplication::setOrganizationName(QString::fromLatin1(kOrganization));
  QApplication::setApplicationName(QStringLiteral("Quire"));

  const QString path = QDir(home.path()).filePath(QStringLiteral("fitline.m"));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(kScript) < 0) return 1;
  file.close();

  CQuireApp quire;
  if (quire.InitInstance({path}, {true, false}) != CQuireApp::Start::Running) return 1;
  CMainFrame* frame = quire.Frame();
  if (!QTest::qWaitForWindowExposed(frame)) return 1;
  if (CQuireDoc* doc = frame->ActiveDocument()) {
    doc->View()->AddMarker(5, CScintillaWnd::BREAKPOINT_MARKER);
    doc->View()->GotoLine(6);
  }
  QTest::qWait(500);
  if (!frame->grab().save(QString::fromLocal8Bit(argv[1]))) return 1;
  return 0;
}
