// Quire and a running Calyx on the real link, with the real interpreter: the
// name list at start, an unknown script and the path fix, a breakpoint, the
// debug stop with its arrow, continue and the end of debugging.
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "common/link/Link.h"
#include "editor/app/LinkRules.h"
#include "editor/app/MainFrame.h"
#include "editor/app/Questions.h"
#include "editor/app/QuireApp.h"
#include "editor/app/QuireDoc.h"
#include "editor/view/ScintillaWnd.h"

namespace {

constexpr int kWaitMs = 30000;

TEST(QuireWithCalyx, RunBreakAndContinueThroughTheConsole) {
  if (!QFile::exists(QStringLiteral("/usr/bin/octave-cli"))) GTEST_SKIP() << "no octave-cli";
  {
    QSettings calyx(QStringLiteral("Marrowby"), QStringLiteral("Calyx"));
    calyx.setValue(QStringLiteral("Octave/path"), QStringLiteral("/usr/bin"));
    calyx.setValue(QStringLiteral("Octave/AutoStart"), 1);
  }
  // Calyx is its own process, as it is for a user; it shares this run's
  // settings and link folders through the environment.
  QProcess console;
  console.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  console.start(QStringLiteral(CALYX_PATH), {QStringLiteral("--no-splash")});
  ASSERT_TRUE(console.waitForStarted(5000));
  struct SEndConsole {
    QProcess& process;
    ~SEndConsole() {
      process.terminate();
      if (!process.waitForFinished(5000)) process.kill();
      process.waitForFinished(5000);
    }
  } endConsole{console};
  ASSERT_TRUE(QTest::qWaitFor([] { return calyx_link::TitleExists(quire_link::kConsoleTitle); }, kWaitMs));

  // A script in a folder the interpreter does not know; line 3 is where it stops.
  QTemporaryDir folder;
  const QString script = folder.filePath(QStringLiteral("quirelinkdemo.m"));
  QFile file(script);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("function quirelinkdemo\n  a = 1;\n  b = 2;\n  c = a + b;\nend\n");
  file.close();

  int pathQuestions = 0;
  SetPathFixResponder([&](const QString&) {
    ++pathQuestions;
    return PathFixChoice::AddToPath;
  });
  SetStartConsoleResponder([](const QString&) { return false; });
  CQuireApp quire;
  ASSERT_EQ(quire.InitInstance({script}, {false, false}), CQuireApp::Start::Running);
  CMainFrame* editor = quire.Frame();
  SLinkState& link = quire.LinkState();
  CQuireDoc* doc = editor->ActiveDocument();
  ASSERT_NE(doc, nullptr);

  // The names the interpreter knows arrive once Quire has asked at start.
  ASSERT_TRUE(QTest::qWaitFor([&] { return link.completionWords.size() > 100; }, kWaitMs));
  EXPECT_NE(std::find(link.completionWords.begin(), link.completionWords.end(), "sin"),
            link.completionWords.end());

  // Unknown to the interpreter: the error comes back and the folder is added.
  editor->Run();
  ASSERT_TRUE(QTest::qWaitFor([&] { return pathQuestions == 1; }, kWaitMs));

  editor->ToggleBreakpointAt(doc, 3);
  ASSERT_TRUE(doc->HasBreakpoints());
  editor->Run();
  ASSERT_TRUE(QTest::qWaitFor([&] { return link.bDebugging; }, kWaitMs));
  EXPECT_TRUE(doc->View()->HasMarker(3, CScintillaWnd::DEBUG_ARROW_MARKER));
  EXPECT_EQ(doc->View()->GetCurrentLine(), 3);

  editor->Run();  // continue to the end
  ASSERT_TRUE(QTest::qWaitFor([&] { return !link.bDebugging; }, kWaitMs));
  EXPECT_FALSE(doc->HasBreakpoints());
  EXPECT_FALSE(doc->View()->HasMarker(3, CScintillaWnd::DEBUG_ARROW_MARKER));
  EXPECT_EQ(pathQuestions, 1);

  SetPathFixResponder({});
  SetStartConsoleResponder({});
}

}  // namespace
