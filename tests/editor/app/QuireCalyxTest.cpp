// Quire and a running Calyx on the real link, with the real interpreter: the
// name list at start, an unknown script and the path fix, a breakpoint, the
// debug stop with its arrow, continue and the end of debugging; cells, the
// number commands and a call tip from the interpreter's help.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "common/OctaveQuote.h"
#include "common/link/Link.h"
#include "editor/app/LinkRules.h"
#include "editor/app/MainFrame.h"
#include "editor/app/QuireApp.h"
#include "editor/app/QuireDoc.h"
#include "editor/view/ScintillaWnd.h"
#include "tests/editor/app/TestQuestions.h"

namespace {

constexpr int kWaitMs = 30000;

// Calyx started on the real interpreter, ended with the test.
class CRunningConsole {
 public:
  CRunningConsole() {
    QSettings calyx(QCoreApplication::organizationName(), QStringLiteral("Calyx"));
    calyx.setValue(QStringLiteral("Octave/path"), QStringLiteral("/usr/bin"));
    calyx.setValue(QStringLiteral("Octave/AutoStart"), 1);
    calyx.sync();
    // Calyx is its own process, as it is for a user; it shares this run's
    // settings and link folders through the environment.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(CALYX_PATH), {QStringLiteral("--no-splash")});
  }
  ~CRunningConsole() {
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) m_process.kill();
    m_process.waitForFinished(5000);
  }
  bool Ready() {
    return m_process.waitForStarted(5000) &&
           QTest::qWaitFor([] { return calyx_link::TitleExists(quire_link::kConsoleTitle); }, kWaitMs);
  }

 private:
  QProcess m_process;
};

TEST(QuireWithCalyx, RunBreakAndContinueThroughTheConsole) {
  if (!QFile::exists(QStringLiteral("/usr/bin/octave-cli"))) GTEST_SKIP() << "no octave-cli";
  CRunningConsole console;
  ASSERT_TRUE(console.Ready());

  // A script in a folder the interpreter does not know; line 3 is where it stops.
  QTemporaryDir folder;
  const QString script = folder.filePath(QStringLiteral("quirelinkdemo.m"));
  QFile file(script);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("function quirelinkdemo\n  a = 1;\n  b = 2;\n  c = a + b;\nend\n");
  file.close();

  int pathQuestions = 0;
  CTestQuestions questions;
  questions.pathFix = [&](const QString&) {
    ++pathQuestions;
    return PathFixChoice::AddToPath;
  };
  CQuireApp quire(&questions);
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

}

}  // namespace

namespace {

// The interpreter's own word on which variables exist and what c2 holds,
// written by the interpreter into `file` (any other answer: empty).
std::string AskInterpreter(CQuireApp& quire, const QString& file) {
  QFile::remove(file);
  quire.SendToConsole("probe = [exist('a1') exist('b2') exist('c2') exist('d3')]; if exist('c2'), probe(end+1) = c2; "
                      "end; save('-ascii', '" + octave_quote::EscapeSingle(file.toStdString()) + "', 'probe'); clear probe",
                      false, false);
  QFile answer(file);
  if (!QTest::qWaitFor([&] { return answer.exists() && answer.size() > 0; }, kWaitMs)) return {};
  answer.open(QIODevice::ReadOnly);
  return QString::fromLatin1(answer.readAll()).simplified().toStdString();
}

}  // namespace

TEST(QuireWithCalyx, CellsNumbersAndCallTipsThroughTheConsole) {
  if (!QFile::exists(QStringLiteral("/usr/bin/octave-cli"))) GTEST_SKIP() << "no octave-cli";
  CRunningConsole console;
  ASSERT_TRUE(console.Ready());

  QTemporaryDir folder;
  const QString script = folder.filePath(QStringLiteral("threecells.m"));
  QFile file(script);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("%% one\na1 = 11;\n%% two\nb2 = 22;\nc2 = 2.5;\n%% three\nd3 = 33;\n");
  file.close();
  const QString probe = folder.filePath(QStringLiteral("probe.txt"));

  CTestQuestions questions;
  CQuireApp quire(&questions);
  ASSERT_EQ(quire.InitInstance({script}, {true, false}), CQuireApp::Start::Running);
  CMainFrame* editor = quire.Frame();
  CQuireDoc* doc = editor->ActiveDocument();
  ASSERT_NE(doc, nullptr);
  CScintillaWnd* view = doc->View();
  editor->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
  view->setFocus();

  // Ctrl+Enter in the second cell defines that cell's variables and no others.
  view->GotoLine(4);
  QTest::keyClick(view, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(AskInterpreter(quire, probe), "0.00000000e+00 1.00000000e+00 1.00000000e+00 0.00000000e+00 2.50000000e+00");

  // Increment on 2.5 writes 3.5 and evaluates the cell again.
  view->GotoLine(5);
  view->GotoPosition(view->GetCurrentPosition() + 6);
  editor->NudgeValue(quire_cells::NudgeOp::Increment);
  EXPECT_EQ(view->GetLine(4), "c2 = 3.5;");
  EXPECT_EQ(AskInterpreter(quire, probe), "0.00000000e+00 1.00000000e+00 1.00000000e+00 0.00000000e+00 3.50000000e+00");

  // "sin(" shows the call tip of the interpreter's help for sin.
  view->GotoPosition(view->GetLength());
  QTest::keyClicks(view, "y = sin(");
  ASSERT_TRUE(QTest::qWaitFor([&] { return view->IsCallTipShown(); }, kWaitMs));
  const std::vector<std::string>& usage = quire.LinkState().callTipLines;
  ASSERT_FALSE(usage.empty());
  EXPECT_EQ(usage.front(), "sin (X)");
  EXPECT_EQ(view->CallTipIndex(), 0);

}
