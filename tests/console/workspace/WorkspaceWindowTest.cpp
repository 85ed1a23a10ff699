// The Workspace and Variable Editor panes in the whole window: against the
// stand-in interpreter, whose log shows every text that reached it, and against
// the real one, which proves that the grid's changes land in the variable.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QHeaderView>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <fstream>

#include "console/command/ConsoleView.h"
#include "console/session/SessionCore.h"
#include "console/session/SessionWorker.h"
#include "console/shell/CalyxApp.h"
#include "console/shell/CommandIds.h"
#include "console/shell/MainFrame.h"
#include "console/workspace/VariableEditView.h"
#include "console/workspace/VariableView.h"
#include "console/workspace/WorkspaceIds.h"
#include "tests/common/CalyxWindowTest.h"
#include "tests/fake/FakeInterpreterFolder.h"

namespace {

using namespace command_id;
using Names = std::vector<std::string>;

// The listing of the stand-in interpreter, in the old form.
const char* kListing =
    "on-prefix old_format=\n"
    "  out Variables in the current scope:\\n\\n Name Size Class Bytes\\n ==== ==== ===== =====\\n"
    " A 4x3x5 double 480\\n b 1x1 double 8\\n t 1x3 char 3\\n\\nTotal is 64 elements using 491 "
    "bytes\\n\\n\n";

class WorkspaceWindowTest : public CCalyxWindowTest {
 protected:
  void Start(const QString& interpreterFolder, bool autoStart = true) {
    CCalyxWindowTest::Start(interpreterFolder, autoStart);
    if (HasFatalFailure()) return;
    pane = frame->Workspace();
    editor = frame->VariableEditor();
    WorkspaceDialogs dialogs;
    dialogs.chooseFile = [this](QWidget*, bool) { return chosenFile; };
    dialogs.askName = [this](QWidget*, const QString&, const QString&,
                             const QString&) -> std::optional<std::string> { return answer; };
    pane->SetDialogs(dialogs);
  }
  // Whether the list on screen shows `name` with `size`. (The pane's rows are
  // taken before the list shows them: a test that selects goes by the list.)
  bool Shows(const std::string& name, const std::string& size) {
    for (int row = 0; row < pane->Model().rowCount(); ++row) {
      if (pane->Model().index(row, 0).data().toString().toStdString() == name &&
          pane->Model().index(row, 1).data().toString().toStdString() == size)
        return true;
    }
    return false;
  }
  // Connected, the first listing shown, nothing left to send.
  bool Ready() {
    return QTest::qWaitFor(
        [&] {
          return app->Core()->Signals().g_bConnected && pane->Model().rowCount() > 0 &&
                 app->Core()->DispatcherIdle() &&
                 frame->Console()->toPlainText().endsWith(QStringLiteral(">> "));
        },
        30000);
  }
  void Select(const Names& names) {
    pane->List()->clearSelection();
    for (int row = 0; row < pane->Model().rowCount(); ++row) {
      const QModelIndex index = pane->Model().index(row, 0);
      for (const std::string& name : names) {
        if (index.data().toString().toStdString() == name)
          pane->List()->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
      }
    }
  }
  std::string ExchangeFile() { return app->Core()->DataDir() + "matrix_temp.csv"; }
  QString Cell(int row, int column) { return editor->Model().index(row - 1, column - 1).data().toString(); }

  CVariableView* pane = nullptr;
  CVariableEditView* editor = nullptr;
  std::string chosenFile;
  std::optional<std::string> answer;
};

TEST_F(WorkspaceWindowTest, MainMenuCommandsFollowTheConnectionAndTheSelection) {
  CFakeInterpreter fake(kListing);
  Start(fake.Folder(), false);
  EXPECT_FALSE(frame->Action(kOpen)->isEnabled());
  EXPECT_FALSE(frame->Action(kSaveAs)->isEnabled());
  EXPECT_TRUE(frame->Action(kSaveWorkspaceAs)->isEnabled());
  EXPECT_TRUE(frame->Action(kClearWorkspace)->isEnabled());
  EXPECT_FALSE(pane->List()->isEnabled());
  EXPECT_EQ(frame->Dock(QStringLiteral("Workspace"))->widget(), pane);

  frame->Action(kConnect)->trigger();
  ASSERT_TRUE(Ready());
  EXPECT_TRUE(pane->List()->isEnabled());
  EXPECT_TRUE(frame->Action(kOpen)->isEnabled());
  EXPECT_FALSE(frame->Action(kSaveAs)->isEnabled());
  Select({"b"});
  EXPECT_TRUE(frame->Action(kSaveAs)->isEnabled());

  chosenFile = "/tmp/it's.mat";
  frame->Action(kSaveAs)->trigger();
  EXPECT_TRUE(fake.Logged(R"(save("-mat", "/tmp/it's.mat", "b");)"));
  chosenFile = "/tmp/all.hdf5";
  frame->Action(kSaveWorkspaceAs)->trigger();
  EXPECT_TRUE(fake.Logged(R"(save("-hdf5", "/tmp/all.hdf5", "A","b","t");)"));
  EXPECT_EQ(pane->GetSelectedNames(), (Names{"A", "b", "t"}));
  chosenFile = "/tmp/in.mat";
  frame->Action(kOpen)->trigger();
  EXPECT_TRUE(fake.Logged(R"(load("/tmp/in.mat");)"));

  // Clearing asks only while the setting says so; the tick turns it off even on Cancel.
  prompts.dontAskAgain = true;
  app->Settings().SetInt("General", "ConfirmClearVariables", 1);
  frame->Action(kClearWorkspace)->trigger();
  EXPECT_EQ(prompts.confirmations, QStringList{QStringLiteral("All variables will be deleted.")});
  EXPECT_EQ(app->Settings().GetInt("General", "ConfirmClearVariables", 1), 0);
  frame->Action(kClearWorkspace)->trigger();
  EXPECT_EQ(prompts.confirmations.size(), 1);
  EXPECT_TRUE(fake.Logged("clear all"));
  EXPECT_EQ(fake.LogLines().count(QStringLiteral("clear all")), 1);

  // With variables listed, Disconnect asks first.
  prompts.accept = true;
  frame->Action(kDisconnect)->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !app->Core()->Signals().g_bConnected; }, 10000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !frame->Action(kOpen)->isEnabled(); }, 5000));
  EXPECT_FALSE(frame->Action(kSaveAs)->isEnabled());
  EXPECT_FALSE(pane->List()->isEnabled());
}

TEST_F(WorkspaceWindowTest, ThePanesActionsReachTheInterpreterInOrder) {
  CFakeInterpreter fake(kListing);
  Start(fake.Folder());
  ASSERT_TRUE(Ready());
  Select({"t", "b"});
  answer = "c";
  pane->Action(workspace_id::kRenameSelected)->trigger();
  answer = "Copy";
  pane->Action(workspace_id::kDuplicateSelected)->trigger();
  pane->Action(32858)->trigger();
  prompts.accept = true;
  pane->Action(workspace_id::kDeleteSelected)->trigger();
  const Names expected = {"c = b; clear b;", "bCopy = b;", "tCopy = t;",
                          "figure; barh(b); hold on; barh(t); hold off;", "clear b t ;"};
  ASSERT_TRUE(fake.Logged(expected.back()));
  Names logged;
  for (const QString& line : fake.LogLines()) {
    if (std::find(expected.begin(), expected.end(), line.toStdString()) != expected.end())
      logged.push_back(line.toStdString());
  }
  EXPECT_EQ(logged, expected);
  // The plot was visible: it is in the console and the history.
  EXPECT_TRUE(ConsoleShows(QStringLiteral("figure; barh(b); hold on; barh(t); hold off;")));
}

TEST_F(WorkspaceWindowTest, ViewAfterACommandStillAnsweringShowsBothAnswersRight) {
  CFakeInterpreter fake(QByteArray(kListing) + "on slow\n  sleep 400\n  out slow answer\\n\n");
  Start(fake.Folder());
  ASSERT_TRUE(Ready());
  {
    std::ofstream(ExchangeFile()) << " 1 5 9\n 2 6 10\n 3 7 11\n 4 8 12\n";
  }
  // The export waits in the queue behind a command whose answer is slow.
  app->Core()->EnqueueCommand("slow", true);
  Select({"A"});
  pane->Action(workspace_id::kViewSelected)->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return editor->Model().rowCount() == 4; }, 10000));
  EXPECT_TRUE(fake.LogLines().contains(QString::fromStdString(
      "csvwrite('" + ExchangeFile() + "', A(:,:,1), 'delimiter', ' ', 'coffset', 1); ")));
  // The slow answer was shown, not taken for the export's.
  EXPECT_TRUE(frame->Console()->toPlainText().contains(QStringLiteral("slow answer\n")));
  EXPECT_EQ(Cell(2, 3), "10");
  EXPECT_EQ(frame->Dock(QStringLiteral("Variable Editor"))->windowTitle(),
            "Variable Editor - A <4x3x5>");
  EXPECT_TRUE(editor->isVisible());
  EXPECT_FALSE(QFile::exists(QString::fromStdString(ExchangeFile())));
  // Opened, the grid has room for ten rows.
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        return editor->Grid()->viewport()->height() >=
               10 * editor->Grid()->verticalHeader()->defaultSectionSize();
      },
      5000))
      << editor->Grid()->viewport()->height();

  editor->Grid()->SetCellText(2, 3, QStringLiteral("5"));
  EXPECT_TRUE(fake.Logged("A(2,3,1)=5;"));
  EXPECT_TRUE(ConsoleShows(QStringLiteral("A(2,3,1)=5;")));

  // Edit > Copy copies the grid's cells while the grid has the focus.
  frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
  editor->Grid()->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return editor->HasGridFocus(); }, 2000));
  editor->Grid()->Select({1, 1, 1, 2});
  frame->Action(kCopy)->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "1\t5\n");
}

TEST_F(WorkspaceWindowTest, TheRealInterpreterTakesTheGridsChanges) {
  if (!QFile::exists(QStringLiteral("/usr/bin/octave-cli"))) GTEST_SKIP() << "no octave-cli";
  Start(QStringLiteral("/usr/bin"));
  // The console takes typing once the start-up commands are answered.
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        return app->Core()->Signals().g_bConnected && !frame->Console()->isReadOnly() &&
               app->Core()->DispatcherIdle() &&
               frame->Console()->toPlainText().endsWith(QStringLiteral(">> "));
      },
      30000));
  Type(QStringLiteral("A = reshape(1:60, 4, 3, 5);"));
  auto listed = [&](const std::string& name, const std::string& size) {
    return QTest::qWaitFor([&] { return Shows(name, size); }, 20000);
  };
  ASSERT_TRUE(listed("A", "4x3x5")) << frame->Console()->toPlainText().toStdString();
  Select({"A"});
  pane->ViewSelected();
  ASSERT_TRUE(QTest::qWaitFor([&] { return editor->Model().rowCount() == 4 && Cell(4, 3) == "12"; }, 20000));
  ASSERT_EQ(editor->PageBox()->count(), 5);

  editor->PageBox()->setCurrentIndex(2);
  emit editor->PageBox()->activated(2);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Cell(1, 1) == "25"; }, 20000));
  EXPECT_EQ(Cell(4, 3), "36");

  // The listing after the change reloads the page from the interpreter: the
  // grid is filled anew (a local edit only changes its cell), and the
  // interpreter's value is the one typed.
  QSignalSpy reloads(&editor->Model(), &QAbstractItemModel::modelReset);
  editor->Grid()->SetCellText(2, 3, QStringLiteral("-7.5"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !reloads.isEmpty() && Cell(2, 3) == "-7.5"; }, 20000));
  EXPECT_EQ(Cell(1, 1), "25");

  editor->Grid()->setCurrentIndex(editor->Model().index(0, 1));
  editor->Grid()->clearSelection();
  editor->RunCommand(workspace_id::kAddLeft);
  ASSERT_TRUE(listed("A", "4x4x5"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return editor->Model().columnCount() == 4 && Cell(1, 2) == "0"; }, 20000));
  EXPECT_EQ(Cell(1, 3), "29");
  EXPECT_EQ(Cell(2, 4), "-7.5");

  // The inserted column goes again.
  editor->Grid()->setCurrentIndex(editor->Model().index(0, 1));
  editor->Grid()->clearSelection();
  editor->RunCommand(workspace_id::kDeleteColumn);
  ASSERT_TRUE(listed("A", "4x3x5"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return editor->Model().columnCount() == 3; }, 20000));
  EXPECT_EQ(Cell(2, 3), "-7.5");

  // Read back from the interpreter itself.
  Type(QStringLiteral("disp(mat2str(A(:,:,3))); disp(mat2str(size(A)))"));
  EXPECT_TRUE(ConsoleShows(QStringLiteral("[25 29 33;26 30 -7.5;27 31 35;28 32 36]\n[4 3 5]")))
      << frame->Console()->toPlainText().toStdString();
  Type(QStringLiteral("disp(mat2str(A(:,:,1)))"));
  EXPECT_TRUE(ConsoleShows(QStringLiteral("[1 5 9;2 6 10;3 7 11;4 8 12]")));

  // A cell takes an expression, which the interpreter computes.
  reloads.clear();
  ASSERT_TRUE(editor->Grid()->SetCellText(1, 1, QStringLiteral("pi/2")));
  // The exchange file holds every digit.
  auto showsHalfPi = [&] { return Cell(1, 1).startsWith(QStringLiteral("1.5707963")); };
  ASSERT_TRUE(QTest::qWaitFor([&] { return !reloads.isEmpty() && showsHalfPi(); }, 20000))
      << Cell(1, 1).toStdString();
  Type(QStringLiteral("printf('%.4f\\n', A(1,1,3))"));
  EXPECT_TRUE(ConsoleShows(QStringLiteral("\n1.5708\n"))) << frame->Console()->toPlainText().toStdString();
  // The interpreter's own error shows in the console; the reload puts its value back.
  reloads.clear();
  ASSERT_TRUE(editor->Grid()->SetCellText(1, 1, QStringLiteral("no_such_name * 2")));
  EXPECT_TRUE(ConsoleShows(QStringLiteral("error: 'no_such_name' undefined")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !reloads.isEmpty() && showsHalfPi(); }, 20000))
      << Cell(1, 1).toStdString();
}

}  // namespace
