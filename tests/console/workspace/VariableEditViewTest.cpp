// The Variable Editor pane: the grid from the exchange file, pages, edits and
// the commands they queue.
#include "console/workspace/VariableEditView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "console/headless/MemoryViews.h"
#include "console/session/OctaveRedirector.h"
#include "console/workspace/WorkspaceIds.h"
#include "tests/common/TestFiles.h"
#include "tests/common/TestPrompts.h"
#include "tests/console/workspace/WorkspaceTestSupport.h"

namespace {

using namespace workspace_id;
using Commands = std::vector<QueuedCommand>;
using Texts = std::vector<std::string>;

const char* kPage3 = " 25 29 33\n 26 30 34\n 27 31 35\n 28 32 36\n";

class VariableEditViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exchange = dir.File("matrix_temp.csv");
    editor.Attach({[this](const std::string& t, bool e) { return queue.Enqueue(t, e); }, exchange,
                   &workspace});
    workspace.SetRows({{{"A", "4x3x5", "double", "480"}, 1}, {{"M", "3x2", "double", "48"}, 2}});
    editor.resize(500, 300);
    editor.show();
  }
  void WriteExchange(const std::string& content) { std::ofstream(exchange) << content; }
  // The interpreter wrote the page and answered.
  void Answer(const std::string& content) {
    WriteExchange(content);
    editor.LoadGrid();
  }
  void Open(const std::string& name, const std::string& content) {
    ASSERT_TRUE(editor.ShowVariable(name));
    queue.Take();
    Answer(content);
  }
  QString Cell(int row, int column) { return editor.Model().index(row - 1, column - 1).data().toString(); }
  Texts Pages() {
    Texts pages;
    for (int i = 0; i < editor.PageBox()->count(); ++i) pages.push_back(editor.PageBox()->itemText(i).toStdString());
    return pages;
  }
  void ChoosePage(int page) {
    editor.PageBox()->setCurrentIndex(page - 1);
    emit editor.PageBox()->activated(page - 1);
  }
  // Types into a cell as a user does: focus, type, Enter.
  void Type(int row, int column, const QString& text) {
    CVariableGrid* grid = editor.Grid();
    grid->setFocus();
    grid->setCurrentIndex(editor.Model().index(row - 1, column - 1));
    // The editor of the last edit is deleted later; only this one may be found.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::keyClick(grid, Qt::Key_F2);
    auto* edit = grid->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Delete);
    else QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::processEvents();  // the delegate commits after the key
  }

  CTempDir dir;
  std::string exchange;
  CMemoryRowList workspace;
  CCommandRecorder queue;
  CTestPrompts prompts;
  CVariableEditView editor{prompts};
};

TEST_F(VariableEditViewTest, ShowVariableQueuesTheFirstPageSilently) {
  ASSERT_TRUE(editor.ShowVariable("A"));
  EXPECT_EQ(queue.Take(), (Commands{{"csvwrite('" + exchange +
                                         "', A(:,:,1), 'delimiter', ' ', 'coffset', 1); ",
                                     false}}));
  EXPECT_EQ(editor.VariableName(), "A");
  EXPECT_FALSE(editor.ShowVariable("A'); system('id"));
  CVariableEditView unattached(prompts);
  EXPECT_FALSE(unattached.ShowVariable("A"));
  EXPECT_TRUE(queue.Take().empty());
}

TEST_F(VariableEditViewTest, LoadGridFillsHeadersValuesTitleAndPagesAndDeletesTheFile) {
  Open("A", " 1 5 9\n 2 6 10\n 3 7 11\n 4 8 12\n");
  ASSERT_EQ(editor.Model().rowCount(), 4);
  ASSERT_EQ(editor.Model().columnCount(), 3);
  EXPECT_EQ(Cell(1, 1), "1");
  EXPECT_EQ(Cell(2, 3), "10");
  EXPECT_EQ(Cell(4, 3), "12");
  EXPECT_EQ(editor.Model().headerData(3, Qt::Vertical, Qt::DisplayRole).toString(), "4");
  EXPECT_EQ(editor.Model().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "1");
  EXPECT_EQ(editor.Grid()->horizontalHeader()->sectionSize(0), 70);
  EXPECT_GE(editor.Grid()->verticalHeader()->width(), 30);
  EXPECT_EQ(editor.windowTitle(), "Variable Editor - A <4x3x5>");
  EXPECT_EQ(Pages(), (Texts{"1", "2", "3", "4", "5"}));
  EXPECT_TRUE(editor.PageBox()->isEnabled());
  EXPECT_EQ(editor.PageBox()->accessibleName(), "Index");
  EXPECT_TRUE(editor.Grid()->isEnabled());
  EXPECT_EQ(editor.Grid()->Focus(), (grid_commands::Cell{1, 1}));
  EXPECT_FALSE(std::filesystem::exists(exchange));
  EXPECT_TRUE(queue.Take().empty());
}

TEST_F(VariableEditViewTest, ChoosingAPageAsksForItAndShowsItsValues) {
  Open("A", " 1 5 9\n 2 6 10\n 3 7 11\n 4 8 12\n");
  ChoosePage(3);
  EXPECT_EQ(queue.Take(), (Commands{{"csvwrite('" + exchange +
                                         "', A(:,:,3), 'delimiter', ' ', 'coffset', 1); ",
                                     false}}));
  EXPECT_EQ(editor.Page(), 2);
  Answer(kPage3);
  EXPECT_EQ(Cell(1, 1), "25");
  EXPECT_EQ(Cell(4, 3), "36");
  EXPECT_EQ(editor.PageBox()->currentText(), "3");
  // A listing asks for the page shown again.
  editor.ReloadPage();
  EXPECT_EQ(queue.Take(), (Commands{{"csvwrite('" + exchange +
                                         "', A(:,:,3), 'delimiter', ' ', 'coffset', 1); ",
                                     false}}));
}

TEST_F(VariableEditViewTest, MatrixHasOneDisabledPageAndFourDimensionsPageTheThirdIndex) {
  Open("M", " 1 2\n 3 4\n 5 6\n");
  EXPECT_EQ(Pages(), (Texts{"1"}));
  EXPECT_FALSE(editor.PageBox()->isEnabled());
  EXPECT_TRUE(editor.Action(kAddLeft)->isEnabled());

  workspace.SetRows({{{"Q", "2x3x2x4", "double", "384"}, 1}});
  Open("Q", " 1 2 3\n 4 5 6\n");
  EXPECT_EQ(Pages(), (Texts{"1", "2"}));
  EXPECT_EQ(editor.Model().columnCount(), 3);
  // Inserting or deleting would fold the fourth dimension into the third.
  for (int id : {kAddLeft, kAddRight, kDeleteColumn, kAddAbove, kAddBelow, kDeleteRow})
    EXPECT_FALSE(editor.Action(id)->isEnabled()) << id;
  EXPECT_TRUE(editor.Action(kCut)->isEnabled());
}

TEST_F(VariableEditViewTest, EmptyVariableShowsOnlyTheHeaderCorner) {
  workspace.SetRows({{{"Z", "0x0", "double", "0"}, 2}});
  Open("Z", " \n");
  EXPECT_EQ(editor.Model().rowCount(), 0);
  EXPECT_EQ(editor.Model().columnCount(), 0);
  EXPECT_EQ(editor.Grid()->horizontalHeader()->count(), 0);
  EXPECT_EQ(editor.Grid()->verticalHeader()->count(), 0);
  EXPECT_EQ(editor.windowTitle(), "Variable Editor - Z <0x0>");
  EXPECT_TRUE(editor.Grid()->isEnabled());
}

TEST_F(VariableEditViewTest, GoneVariableHidesThePaneAndMissingFileLeavesCellsEmpty) {
  Open("M", " 1 2\n 3 4\n 5 6\n");
  workspace.SetRows({{{"A", "4x3x5", "double", "480"}, 1}});
  WriteExchange(" 7 8\n");
  EXPECT_EQ(editor.FillGrid({"7", "8"}), 0);
  EXPECT_FALSE(editor.isVisible());
  EXPECT_FALSE(editor.Grid()->isEnabled());
  EXPECT_EQ(Cell(1, 1), "1");
  // The answer's file never outlives the answer.
  editor.LoadGrid();
  EXPECT_FALSE(std::filesystem::exists(exchange));

  editor.ShowVariable("A");
  editor.LoadGrid();  // the interpreter wrote nothing
  EXPECT_TRUE(editor.isVisible());
  EXPECT_EQ(editor.Model().rowCount(), 4);
  EXPECT_EQ(Cell(1, 1), "");
  EXPECT_EQ(Cell(4, 3), "");
}

TEST_F(VariableEditViewTest, TokensOfAnyLengthAndShortFilesAreRead) {
  workspace.SetRows({{{"M", "1x3", "double", "24"}, 2}});
  const std::string longValue = "1." + std::string(20000, '1');
  Open("M", " " + longValue + " 2\n");
  EXPECT_EQ(Cell(1, 1).toStdString(), longValue);
  EXPECT_EQ(Cell(1, 2), "2");
  EXPECT_EQ(Cell(1, 3), "");
}

TEST_F(VariableEditViewTest, EditedCellGoesToThePageShownAndAnEmptyCellIsZero) {
  Open("A", " 1 5 9\n 2 6 10\n 3 7 11\n 4 8 12\n");
  ChoosePage(2);
  queue.Take();
  Answer(" 13 17 21\n 14 18 22\n 15 19 23\n 16 20 24\n");
  Type(2, 3, QStringLiteral("9.5"));
  Type(1, 1, QString());
  EXPECT_EQ(queue.Take(), (Commands{{"A(2,3,2)=9.5;", true}, {"A(1,1,2)=0;", true}}));
  EXPECT_EQ(Cell(2, 3), "9.5");
  // Any one expression goes to the interpreter as typed, which computes it.
  Type(3, 2, QStringLiteral("pi/2"));
  Type(3, 3, QStringLiteral(" x' * [1; 2] "));
  EXPECT_EQ(queue.Take(), (Commands{{"A(3,2,2)=pi/2;", true}, {"A(3,3,2)=x' * [1; 2];", true}}));
  // The same text is no change; a text that would run more is refused.
  Type(2, 3, QStringLiteral("9.5"));
  Type(3, 1, QStringLiteral("1;system('id')"));
  Type(3, 1, QStringLiteral("x';y='"));
  EXPECT_TRUE(queue.Take().empty());
  EXPECT_EQ(Cell(3, 1), "15");
  EXPECT_EQ(prompts.warnings,
            (QStringList{"Variable Editor: A cell takes one expression. \"1;system('id')\" holds a "
                         "statement separator (; or ,) outside brackets and strings.",
                         "Variable Editor: A cell takes one expression. \"x';y='\" holds a statement "
                         "separator (; or ,) outside brackets and strings."}));
  // A queue that refuses the command leaves the old value.
  queue.SetAccept(false);
  Type(4, 1, QStringLiteral("5"));
  EXPECT_EQ(Cell(4, 1), "16");
}

TEST_F(VariableEditViewTest, ARefusedCellIsExplainedInABoxNamedAfterTheEditor) {
  Open("M", " 1 2\n 3 4\n 5 6\n");
  Type(1, 1, QStringLiteral("max(1, 2"));
  EXPECT_EQ(prompts.warnings, QStringList{"Variable Editor: A cell takes one expression. \"max(1, 2\" "
                                          "has a bracket without its partner."});
  EXPECT_EQ(Cell(1, 1), "1");
  EXPECT_TRUE(queue.Take().empty());
}

TEST_F(VariableEditViewTest, RefillKeepsTheFocusInsideElseGoesToTheFirstCell) {
  Open("A", kPage3);
  editor.Grid()->setCurrentIndex(editor.Model().index(3, 2));
  Answer(kPage3);
  EXPECT_EQ(editor.Grid()->Focus(), (grid_commands::Cell{4, 3}));
  workspace.SetRows({{{"A", "3x3x5", "double", "360"}, 1}});
  Answer(" 1 2 3\n 4 5 6\n 7 8 9\n");
  EXPECT_EQ(editor.Grid()->Focus(), (grid_commands::Cell{1, 1}));
}

TEST_F(VariableEditViewTest, AShownPageThatNoLongerExistsAsksForTheLastOne) {
  Open("A", kPage3);
  ChoosePage(5);
  queue.Take();
  workspace.SetRows({{{"A", "4x3x2", "double", "192"}, 1}});
  Answer("");
  EXPECT_EQ(editor.PageBox()->currentText(), "2");
  EXPECT_EQ(queue.Take(), (Commands{{"csvwrite('" + exchange +
                                         "', A(:,:,2), 'delimiter', ' ', 'coffset', 1); ",
                                     false}}));
}

TEST_F(VariableEditViewTest, CutCopyAndPasteCommitEveryChangedCell) {
  Open("A", kPage3);
  ChoosePage(3);
  queue.Take();
  Answer(kPage3);
  CVariableGrid* grid = editor.Grid();
  grid->setCurrentIndex(editor.Model().index(0, 0));
  grid->Select({1, 1, 2, 2});
  editor.Action(kCopy)->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "25\t29\n26\t30\n");
  EXPECT_TRUE(queue.Take().empty());
  editor.Action(kCut)->trigger();
  EXPECT_EQ(queue.Take(), (Commands{{"A(1,1,3)=0;", true}, {"A(1,2,3)=0;", true},
                                    {"A(2,1,3)=0;", true}, {"A(2,2,3)=0;", true}}));
  EXPECT_EQ(Cell(1, 1), "");
  // Pasted at the focus cell, clipped at the grid's edge; unchanged cells send nothing.
  QApplication::clipboard()->setText(QStringLiteral("31\t7\t8\n1e3\t(x\t9\n"));
  grid->setCurrentIndex(editor.Model().index(2, 1));
  editor.Action(kPaste)->trigger();
  EXPECT_EQ(queue.Take(), (Commands{{"A(3,3,3)=7;", true}, {"A(4,2,3)=1e3;", true}}));
  EXPECT_EQ(prompts.warnings,
            QStringList{"Variable Editor: A cell takes one expression; these would run more and were "
                        "left out: (x"});
  // The keys do the same.
  grid->setFocus();
  grid->Select({4, 2, 4, 2});
  QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "1e3\n");
}

TEST_F(VariableEditViewTest, RowAndColumnCommandsUseTheSelectionOrTheFocusCell) {
  Open("A", kPage3);
  CVariableGrid* grid = editor.Grid();
  grid->selectColumn(1);
  editor.Action(kAddLeft)->trigger();
  editor.Action(kDeleteColumn)->trigger();
  editor.Action(kAddRight)->trigger();
  grid->Select({2, 1, 3, 3});
  editor.Action(kDeleteRow)->trigger();
  editor.Action(kAddBelow)->trigger();
  grid->clearSelection();
  grid->setCurrentIndex(editor.Model().index(0, 0));
  grid->clearSelection();
  editor.Action(kDeleteColumn)->trigger();
  editor.Action(kAddAbove)->trigger();
  EXPECT_EQ(queue.Take(),
            (Commands{{"A=[A(:,1:1,:),zeros(size(A,1),1,size(A,3)),A(:,2:end,:)];", true},
                      {"A=[A(:,1:1,:),A(:,3:end,:)];", true},
                      {"A=[A(:,1:2,:),zeros(size(A,1),1,size(A,3)),A(:,3:end,:)];", true},
                      {"A=[A(1:1,:,:);A(4:end,:,:)];", true},
                      {"A=[A(1:3,:,:);zeros(1,size(A,2),size(A,3));A(4:end,:,:)];", true},
                      {"A=[A(:,2:end,:)];", true},
                      {"A=[zeros(1,size(A,2),size(A,3));A(1:end,:,:)];", true}}));
  // The focus cell became the selection.
  EXPECT_EQ(grid->SelectedRange(), (grid_commands::CellRange{1, 1, 1, 1}));
}

TEST_F(VariableEditViewTest, TheSessionReloadsAfterAListingAndLoadsWhenTheExportIsAnswered) {
  CMemoryViews memory;
  SessionViews views = memory.Views();
  views.workspace = &workspace;
  views.variableEditor = &editor;
  CSessionSignals sessionSignals;
  CHistoryStore history;
  COctaveRedirector redirector(sessionSignals, views, history);
  Open("A", kPage3);
  ChoosePage(3);
  queue.Take();
  Answer(kPage3);

  redirector.FeedOutput(WorkspaceAnswer({{"A", "4x3x5", "double"}}));
  redirector.FeedQuiet();
  EXPECT_EQ(queue.Take(), (Commands{{"csvwrite('" + exchange +
                                         "', A(:,:,3), 'delimiter', ' ', 'coffset', 1); ",
                                     false}}));
  // The dispatcher expects the export when it sends it; its prompt loads the grid.
  WriteExchange(" 1 1 1\n 1 1 1\n 1 1 1\n 1 1 99\n");
  redirector.m_bExpectMatrix = true;
  redirector.FeedOutput(">> ");
  redirector.FeedQuiet();
  EXPECT_EQ(Cell(4, 3), "99");
  EXPECT_FALSE(redirector.m_bExpectMatrix);
  // Out of sight, a listing asks for nothing.
  editor.hide();
  redirector.FeedOutput(WorkspaceAnswer({{"A", "4x3x5", "double"}}));
  redirector.FeedQuiet();
  EXPECT_TRUE(queue.Take().empty());
}

TEST_F(VariableEditViewTest, AFailedExportLeavesTheNextAnswerAlone) {
  CMemoryViews memory;
  SessionViews views = memory.Views();
  views.workspace = &workspace;
  views.variableEditor = &editor;
  CSessionSignals sessionSignals;
  CHistoryStore history;
  COctaveRedirector redirector(sessionSignals, views, history);
  Open("A", kPage3);
  redirector.FeedOutput(">> ");
  redirector.FeedQuiet();
  redirector.m_bExpectMatrix = true;
  redirector.FeedOutput("error: index (_,_,9): out of bound; value 9 out of bound 5\n>> ");
  redirector.FeedQuiet();
  memory.console.EchoCommand("x = 1");
  redirector.FeedOutput("x = 1\n>> ");
  redirector.FeedQuiet();
  EXPECT_EQ(memory.console.Text(), ">> x = 1\nx = 1\n>> ");
  for (const auto& mark : memory.console.Marks())
    EXPECT_NE(mark.kind, ConsoleMark::Kind::Error) << mark.begin << "-" << mark.end;
  for (const std::string& message : memory.host.EditorMessages())
    EXPECT_EQ(message.find("x = 1"), std::string::npos) << message;
}

}  // namespace
