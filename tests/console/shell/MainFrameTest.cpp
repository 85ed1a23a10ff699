// The whole window: frame, console and session, against the stand-in interpreter
// and the real one.
#include "console/shell/MainFrame.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTest>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <mutex>

#include "common/link/Link.h"
#include "console/command/ConsoleView.h"
#include "console/command/HistoryView.h"
#include "console/session/SessionCore.h"
#include "console/session/SessionWorker.h"
#include "console/shell/CalyxApp.h"
#include "console/shell/CommandIds.h"
#include "tests/common/CalyxWindowTest.h"
#include "tests/common/IconCheck.h"
#include "tests/fake/FakeInterpreterFolder.h"

namespace {

using namespace command_id;

// Quire's side of the link: the texts it was sent.
class CEditorStandIn {
 public:
  CEditorStandIn() {
    EXPECT_TRUE(m_endpoint.Open("Quire - [f.m]", [this](const std::string& text) {
      std::lock_guard lock(m_mutex);
      m_received.push_back(text);
    }));
  }
  std::vector<std::string> Received() {
    std::lock_guard lock(m_mutex);
    return m_received;
  }
  // Waits (handling events) until `text` has come.
  bool Got(const std::string& text) {
    return QTest::qWaitFor([&] {
      const std::vector<std::string> received = Received();
      return std::find(received.begin(), received.end(), text) != received.end();
    }, 30000);
  }

 private:
  std::mutex m_mutex;
  std::vector<std::string> m_received;
  calyx_link::CLinkEndpoint m_endpoint;
};

class MainFrameTest : public CCalyxWindowTest {
 protected:
  // The title of the current tab of the tab group that holds `title`.
  QString ActiveTabWith(const QString& title) {
    for (QTabBar* bar : frame->findChildren<QTabBar*>()) {
      for (int i = 0; i < bar->count(); ++i) {
        if (bar->tabText(i) == title) return bar->tabText(bar->currentIndex());
      }
    }
    return {};
  }
};

TEST_F(MainFrameTest, FirstStartShowsTheFramePanesAndMenus) {
  Start(QStringLiteral("/nonexistent"), false);
  EXPECT_EQ(frame->windowTitle(), " - Calyx");
  for (const char* title :
       {"Command History", "Current Directory", "Workspace", "Variable Editor", "Documentation"}) {
    ASSERT_NE(frame->Dock(QString::fromLatin1(title)), nullptr) << title;
    EXPECT_EQ(frame->Dock(QString::fromLatin1(title))->windowTitle(), title);
  }
  EXPECT_EQ(ActiveTabWith(QStringLiteral("Workspace")), "Command History");
  EXPECT_EQ(ActiveTabWith(QStringLiteral("Variable Editor")), "Documentation");
  EXPECT_EQ(frame->dockWidgetArea(frame->Dock(QStringLiteral("Workspace"))), Qt::LeftDockWidgetArea);
  EXPECT_EQ(frame->dockWidgetArea(frame->Dock(QStringLiteral("Documentation"))),
            Qt::BottomDockWidgetArea);
  // Not connected: Connect on, the session's commands off; unbuilt ones stay off.
  EXPECT_TRUE(frame->Action(kConnect)->isEnabled());
  EXPECT_FALSE(frame->Action(kDisconnect)->isEnabled());
  EXPECT_FALSE(frame->Action(kEditor)->isEnabled());
  EXPECT_FALSE(frame->Action(kSetPaths)->isEnabled());
  for (int id = kLookFirst; id <= kLookLast; ++id) EXPECT_NE(frame->Action(id), nullptr) << id;
}

TEST_F(MainFrameTest, ButtonsShowDrawingsAndDockTabsShowWholeTitles) {
  CNoIconTheme bare;
  Start(QStringLiteral("/nonexistent"), false);
  // The frame's toolbar and those of the Workspace and Variable Editor panes.
  EXPECT_EQ(ButtonsWithoutDrawing(frame), std::vector<std::string>{});
  for (int id : {kCut, kCopy, kPaste, kUndo, kRedo, kClearWindow, kExit})
    EXPECT_TRUE(IsShippedDrawing(frame->Action(id)->icon())) << frame->Action(id)->text().toStdString();
  EXPECT_TRUE(IsShippedDrawing(frame->windowIcon()));

  frame->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
  int tabs = 0;
  for (QTabBar* bar : frame->findChildren<QTabBar*>()) {
    if (!bar->isVisible()) continue;
    const int padding = bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
    for (int i = 0; i < bar->count(); ++i, ++tabs) {
      const int needed = bar->fontMetrics().horizontalAdvance(bar->tabText(i)) + padding;
      EXPECT_GE(bar->tabRect(i).width(), needed) << bar->tabText(i).toStdString();
      EXPECT_TRUE(bar->rect().contains(bar->tabRect(i))) << bar->tabText(i).toStdString();
    }
  }
  EXPECT_EQ(tabs, 5);
}

TEST_F(MainFrameTest, TheLookIsStoredAndComesBackAtTheNextStart) {
  Start(QStringLiteral("/nonexistent"), false);
  EXPECT_TRUE(frame->Action(kDefaultLook)->isChecked());
  frame->Action(216)->trigger();
  EXPECT_EQ(QSettings()
                .value(QStringLiteral("ApplicationLook"))
                .toInt(),
            216);
  const QColor black = QApplication::palette().color(QPalette::Window);
  frame->Action(214)->trigger();
  EXPECT_NE(QApplication::palette().color(QPalette::Window), black);
  frame->Action(216)->trigger();
  app.reset();
  Start(QStringLiteral("/nonexistent"), false);
  EXPECT_TRUE(frame->Action(216)->isChecked());
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), black);
  frame->Action(kDefaultLook)->trigger();
}

TEST_F(MainFrameTest, ConnectTypeDisconnectAndConnectAgain) {
  CFakeInterpreter fake("on x = 1\n  out x = 1\\n\n");
  Start(fake.Folder());
  ASSERT_TRUE(WaitConnected(true));
  ASSERT_TRUE(ConsoleShows(QStringLiteral("GNU Octave, version 3.2.4")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Action(kDisconnect)->isEnabled(); }, 5000));
  EXPECT_FALSE(frame->Action(kConnect)->isEnabled());
  EXPECT_FALSE(frame->Console()->isReadOnly());

  Type(QStringLiteral("x = 1"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral(">> x = 1\nx = 1\n>> ")));
  const QAbstractItemModel* history = frame->HistoryPane()->Tree()->model();
  ASSERT_TRUE(QTest::qWaitFor([&] {
    return !history->match(history->index(0, 0), Qt::DisplayRole, QStringLiteral("x = 1"), 1,
                           Qt::MatchExactly | Qt::MatchRecursive).isEmpty();
  }));

  prompts.accept = true;
  frame->Action(kDisconnect)->trigger();
  ASSERT_TRUE(WaitConnected(false));
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Action(kConnect)->isEnabled(); }, 5000));
  // The session ends its part with the notice, after it has made the console refuse typing.
  ASSERT_TRUE(ConsoleShows(QStringLiteral("Disconnected from Octave.")));
  EXPECT_TRUE(frame->Console()->isReadOnly());
  EXPECT_TRUE(fake.Log().contains(QStringLiteral("if isdebugmode, dbquit; endif; quit")));

  frame->Action(kConnect)->trigger();
  ASSERT_TRUE(WaitConnected(true));
  // A request from the editor reaches the interpreter as one line.
  frame->ReceiveEditorText(QStringLiteral("x = 1\r\n"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return fake.Log().count(QStringLiteral("x = 1\n")) == 2; }, 10000));
}

TEST_F(MainFrameTest, TheEditorIsReachedOverTheLinkBothWays) {
  CFakeInterpreter fake(
      "on f(2)\n  out keyboard: stopped in /tmp/f.m at line 4\\n\n  prompt debug> \n"
      "on dbcont\n  out ans = 3\\n\n");
  CEditorStandIn editor;
  Start(fake.Folder());
  ASSERT_TRUE(WaitConnected(true));
  // The editor's request arrives with its line end and runs as one line.
  ASSERT_TRUE(calyx_link::SendToTitle(" - Calyx", "f(2)\r\n"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral("f(2)\nkeyboard: stopped in /tmp/f.m at line 4\n")));
  ASSERT_TRUE(calyx_link::SendToTitle(" - Calyx", "dbcont\r\n"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral("ans = 3\n>> ")));
  EXPECT_EQ(editor.Received(), (std::vector<std::string>{"debug\nLine=4\nPath=/tmp/f.m", "dbended\nPath="}));
}

TEST_F(MainFrameTest, ExitAsksFirstWhileConnectedAndCancelKeepsEverything) {
  CFakeInterpreter fake("");
  Start(fake.Folder());
  ASSERT_TRUE(WaitConnected(true));
  const pid_t child = app->Core()->Redirector().ChildPid();
  EXPECT_FALSE(frame->close());
  EXPECT_EQ(prompts.confirmations, QStringList{QStringLiteral("Do you want to disconnect from Octave?")});
  EXPECT_TRUE(frame->isVisible());
  EXPECT_TRUE(Connected());

  prompts.accept = true;
  prompts.dontAskAgain = true;
  EXPECT_TRUE(frame->close());
  EXPECT_FALSE(Connected());
  EXPECT_EQ(QSettings()
                .value(QStringLiteral("Octave/ConfirmExit"))
                .toInt(),
            0);
  EXPECT_NE(kill(child, 0), 0) << "the interpreter outlived the window";
}

TEST_F(MainFrameTest, CopyGoesToTheFocusedToolbarBox) {
  Start(QStringLiteral("/nonexistent"), false);
  frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
  frame->Console()->AppendOutput("console text\n", {}, 2000);
  frame->Console()->selectAll();
  QLineEdit* box = frame->PathBox()->lineEdit();
  frame->PathBox()->setEnabled(true);
  box->setText(QStringLiteral("/some/folder"));
  box->setFocus();
  box->selectAll();
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        QWidget* focus = QApplication::focusWidget();
        return focus == box || focus == frame->PathBox();
      },
      2000));
  frame->Action(kCopy)->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "/some/folder");
  frame->Console()->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == frame->Console(); }, 2000));
  frame->Action(kCopy)->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "console text\n");
}

TEST_F(MainFrameTest, TheRealInterpreterAnswersInTheWindow) {
  if (!QFile::exists(QStringLiteral("/usr/bin/octave-cli"))) GTEST_SKIP() << "no octave-cli";
  Start(QStringLiteral("/usr/bin"));
  ASSERT_TRUE(WaitConnected(true));
  Type(QStringLiteral("x = magic(3)"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral("   8   1   6\n   3   5   7\n   4   9   2\n")));
  Type(QStringLiteral("y_undefined"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral("'y_undefined' undefined")));
  const pid_t child = app->Core()->Redirector().ChildPid();
  prompts.accept = true;
  frame->Action(kDisconnect)->trigger();
  ASSERT_TRUE(WaitConnected(false));
  ASSERT_TRUE(QTest::qWaitFor([&] { return kill(child, 0) != 0; }, 5000));
}

TEST_F(MainFrameTest, ErrorsInFunctionFilesLinkToTheirLinesInTheEditor) {
  if (!QFile::exists(QStringLiteral("/usr/bin/octave-cli"))) GTEST_SKIP() << "no octave-cli";
  QTemporaryDir work;
  const auto write = [&](const char* name, const char* code) {
    QFile file(work.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(code);
  };
  write("badf.m", "function y = badf(x)\n  z = 1;\n  y = undefined_thing + x;\nend\n");
  write("parsebad.m", "function y = parsebad(x)\n  y = (x + ;\nend\n");
  CEditorStandIn editor;
  const auto clickOn = [&](const QString& part) {
    CCalyxView* console = frame->Console();
    const int at = console->toPlainText().lastIndexOf(part);
    ASSERT_GE(at, 0) << part.toStdString();
    QTextCursor cursor(console->document());
    cursor.setPosition(at + 1);
    QTest::mouseClick(console->viewport(), Qt::LeftButton, {}, console->cursorRect(cursor).center());
  };
  // `calyx DIR`: the interpreter starts in DIR.
  Start(QStringLiteral("/usr/bin"), true, work.path());
  ASSERT_TRUE(WaitConnected(true));
  Type(QStringLiteral("pwd"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral("ans = ") + work.path() + QLatin1Char('\n')));

  Type(QStringLiteral("badf(1)"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral("    badf at line 3 column 5\n")));
  clickOn(QStringLiteral("badf at line 3"));
  EXPECT_TRUE(editor.Got("line 3 of file " + work.filePath(QStringLiteral("badf.m")).toStdString()));
  Type(QStringLiteral("parsebad(1)"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral("parse error near line 2 of file")));
  clickOn(QStringLiteral("line 2 of file"));
  EXPECT_TRUE(editor.Got("line 2 of file " + work.filePath(QStringLiteral("parsebad.m")).toStdString()));
  // The question for the function's file was never shown nor kept.
  EXPECT_FALSE(frame->Console()->toPlainText().contains(QStringLiteral("which")));
  const auto lines = app->Core()->History().Lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.find("which") != std::string::npos; }),
            0);
}

TEST_F(MainFrameTest, EachTypedLineRunsOnceInOrderAndAnswersStayOutOfTheHistory) {
  CFakeInterpreter fake(
      "on slow\n  sleep 1500\n  out first\\n\n"
      "on fast\n  out second\\n\n"
      "on x = input('n? ')\n  out n? \n  noprompt\n"
      "on 5\n  out x = 5\\n\n");
  Start(fake.Folder());
  ASSERT_TRUE(WaitConnected(true));
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame->statusBar()->currentMessage() == "Ready"; }, 10000));
  Type(QStringLiteral("slow"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Action(kInterrupt)->isEnabled(); }, 5000));
  EXPECT_EQ(frame->statusBar()->currentMessage(), "Busy: slow");
  // Typed while the first runs: it waits where it was typed; a bare Enter adds nothing.
  Type(QStringLiteral("fast"));
  QTest::keyClick(frame->Console(), Qt::Key_Return);
  EXPECT_TRUE(frame->Console()->toPlainText().endsWith(">> slow\nfast\n"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral(">> slow\nfirst\n>> fast\nsecond\n>> ")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame->statusBar()->currentMessage() == "Ready"; }, 5000));
  EXPECT_FALSE(frame->Action(kInterrupt)->isEnabled());
  EXPECT_EQ(fake.LogLines().count(QStringLiteral("slow")), 1);
  EXPECT_EQ(fake.LogLines().count(QStringLiteral("fast")), 1);
  const auto lines = app->Core()->History().Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "slow"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "fast"), 1);

  // The answer to input() is sent once and is no command.
  Type(QStringLiteral("x = input('n? ')"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral("x = input('n? ')\nn? ")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !app->Core()->Busy(); }, 5000));
  Type(QStringLiteral("5"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral("n? 5\nx = 5\n>> ")));
  const auto after = app->Core()->History().Lines();
  EXPECT_EQ(std::count(after.begin(), after.end(), "5"), 0);
  EXPECT_EQ(std::count(after.begin(), after.end(), "x = input('n? ')"), 1);
}

TEST_F(MainFrameTest, ExitAnsweredWithCancelShowsAFreshPrompt) {
  CFakeInterpreter fake("on x = 1\n  out x = 1\\n\n");
  Start(fake.Folder());
  ASSERT_TRUE(WaitConnected(true));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !app->Core()->Busy(); }, 10000));
  Type(QStringLiteral("exit"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral(">> exit\n>> ")));
  Type(QStringLiteral("x = 1"));
  ASSERT_TRUE(ConsoleShows(QStringLiteral(">> exit\n>> x = 1\nx = 1\n>> ")));
  EXPECT_EQ(prompts.confirmations.size(), 1);
  EXPECT_TRUE(Connected());
}

TEST_F(MainFrameTest, DisconnectAsksWhileBusyAndLeavesAVisiblyClosedConsole) {
  CFakeInterpreter fake("on slow\n  sleep 20000\n  out first\\n\n");
  Start(fake.Folder());
  ASSERT_TRUE(WaitConnected(true));
  Type(QStringLiteral("slow"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Action(kInterrupt)->isEnabled(); }, 5000));
  frame->Action(kDisconnect)->trigger();
  EXPECT_EQ(prompts.confirmations, QStringList{QStringLiteral("Do you want to disconnect from Octave?")});
  EXPECT_TRUE(Connected());
  prompts.accept = true;
  frame->Action(kDisconnect)->trigger();
  ASSERT_TRUE(WaitConnected(false));
  ASSERT_TRUE(ConsoleShows(QStringLiteral("Disconnected from Octave.")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Console()->isReadOnly(); }, 5000));
  const QString shown = frame->Console()->toPlainText();
  EXPECT_FALSE(shown.endsWith(QStringLiteral(">> ")));
  QTest::keyClicks(frame->Console(), QStringLiteral("y"));
  EXPECT_EQ(frame->Console()->toPlainText(), shown);
  EXPECT_EQ(frame->statusBar()->currentMessage(), "Not connected to Octave: Connect starts it.");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->Action(kInterrupt)->isEnabled(); }, 5000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return frame->Action(kConnect)->isEnabled(); }, 5000));
  EXPECT_FALSE(frame->Action(kDisconnect)->isEnabled());
}

TEST_F(MainFrameTest, TheConsoleKeysComeBeforeTheFramesShortcuts) {
  Start(QStringLiteral("/nonexistent"), false);
  frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
  QAction* print = frame->Action(kPrint);
  print->disconnect();  // no dialog in a test
  int printed = 0;
  QObject::connect(print, &QAction::triggered, [&] { ++printed; });
  frame->Console()->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == frame->Console(); }, 2000));
  QTest::keyClick(frame->Console(), Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(printed, 0);
  QWidget* elsewhere = frame->HistoryPane()->Tree();
  elsewhere->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == elsewhere; }, 2000));
  QTest::keyClick(elsewhere, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(printed, 1);
  // One Redo key in the menu; both keys work.
  EXPECT_EQ(frame->Action(kRedo)->text(), "&Redo\tCtrl+Y");
  EXPECT_EQ(frame->Action(kRedo)->shortcuts(),
            (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Y")),
                                 QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
  // Edit > Clear Command History clears the pane's history.
  app->Core()->History().AddHistoryEntry("x = 1", false);
  frame->Action(kClearHistory)->trigger();
  const auto lines = app->Core()->History().Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "x = 1"), 0);
}

}  // namespace
