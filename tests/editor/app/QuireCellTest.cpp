// Evaluate, the cell commands and the cell toolbar, with their keys, against a
// stand-in console that records every text Quire sends.
#include <QAction>
#include <QComboBox>
#include <QFocusEvent>
#include <QSignalSpy>
#include <QToolBar>

#include "editor/app/CommandIds.h"
#include "tests/editor/app/QuireTestSupport.h"

namespace {

using Items = std::vector<std::string>;
using namespace quire_command;

const char* const kThreeCells = "pre = 0;\n%% First\na = 1;\n\nb = a + 1;\n%% \nc = 2.5;\n%% Last\nd = 4;\n";

class QuireCellTest : public QuireTest {
 protected:
  // The window is shown and active, so that the keys reach the frame's commands.
  CQuireDoc* OpenCells() {
    Start({}, true);
    frame->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame));
    CQuireDoc* doc = frame->OpenDocument(WriteFile("cells.m", kThreeCells), true);
    doc->View()->setFocus();
    console.Clear();  // the name-list request of the start
    return doc;
  }
  void CaretAt(CQuireDoc* doc, int line, int column) {
    doc->View()->GotoLine(line);
    doc->View()->GotoPosition(doc->View()->GetCurrentPosition() + column - 1);
  }
  void Key(CQuireDoc* doc, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(doc->View(), key, modifiers);
  }
  CConsoleStandIn console;
};

}  // namespace

TEST_F(QuireCellTest, KeysEvaluateTheCellTheSelectionAndMoveBetweenCells) {
  CQuireDoc* doc = OpenCells();
  CaretAt(doc, 4, 1);  // the blank line inside "First"
  Key(doc, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(console.Texts(), (Items{"a = 1;\r\n", "b = a + 1;\r\n"}));
  EXPECT_EQ(doc->View()->GetCurrentLine(), 4);  // the caret stays
  EXPECT_EQ(app->LinkState().lastTargetName, "cells");

  // Above the first marker: from the document start to the first marker.
  console.Clear();
  CaretAt(doc, 1, 3);
  Key(doc, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(console.Texts(), Items{"pre = 0;\r\n"});

  // And advance: the last cell runs to the end; the caret goes to the next cell.
  console.Clear();
  CaretAt(doc, 7, 1);
  Key(doc, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(console.Texts(), Items{"c = 2.5;\r\n"});
  EXPECT_EQ(doc->View()->GetCurrentLine(), 8);
  console.Clear();
  Key(doc, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(console.Texts(), Items{"d = 4;\r\n"});

  Key(doc, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(doc->View()->GetCurrentLine(), 6);
  Key(doc, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(doc->View()->GetCurrentLine(), 2);
  Key(doc, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(doc->View()->GetCurrentLine(), 6);

  // Ctrl+E: each non-empty line of the selection, in order.
  console.Clear();
  doc->View()->GotoLine(3);
  // To the end of "b = a + 1;", whatever the document's line ends.
  doc->View()->SetSelectionEnd(doc->View()->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, 4));
  Key(doc, Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(console.Texts(), (Items{"a = 1;\r\n", "b = a + 1;\r\n"}));
}

TEST_F(QuireCellTest, TheCellsBoxListsTheCellsAndFollowsTheCaret) {
  CQuireDoc* doc = OpenCells();
  QComboBox* cells = frame->CellsBox();
  ASSERT_TRUE(QTest::qWaitFor([&] { return cells->count() == 3; }, 5000));
  EXPECT_EQ(cells->itemText(0), QStringLiteral("First"));
  EXPECT_EQ(cells->itemText(1), QStringLiteral("cell 1"));
  EXPECT_TRUE(cells->isEnabled());
  CaretAt(doc, 9, 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return cells->currentIndex() == 2; }, 5000));

  // Choosing an entry puts the caret after that cell's marker.
  cells->activated(0);
  EXPECT_EQ(doc->View()->GetCurrentLine(), 2);
  EXPECT_EQ(doc->View()->GetCurrentColumn(), 4);

  // A new marker typed in the text joins the list; without markers the box is off.
  CaretAt(doc, 1, 1);
  QTest::keyClicks(doc->View(), "%% Zero");
  QTest::keyClick(doc->View(), Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return cells->count() == 4; }, 5000));
  EXPECT_EQ(cells->itemText(0), QStringLiteral("Zero"));

  // Typing that touches no marker leaves the list as it is: after a line of
  // code and a new marker, the list was refilled once, for the marker.
  QSignalSpy refilled(cells->model(), &QAbstractItemModel::rowsRemoved);
  CaretAt(doc, 5, 1);
  QTest::keyClicks(doc->View(), "x = 12; % no marker");
  QTest::keyClick(doc->View(), Qt::Key_Return);
  doc->View()->InsertCellBreak();
  ASSERT_TRUE(QTest::qWaitFor([&] { return cells->count() == 5; }, 5000));
  EXPECT_EQ(refilled.count(), 1);
  EXPECT_EQ(cells->itemText(0), QStringLiteral("Zero"));

  frame->NewBlankDocument();
  ASSERT_TRUE(QTest::qWaitFor([&] { return cells->count() == 0; }, 5000));
  EXPECT_FALSE(cells->isEnabled());
}

TEST_F(QuireCellTest, NumberCommandsChangeTheNumberAndEvaluateTheCell) {
  CQuireDoc* doc = OpenCells();
  CaretAt(doc, 7, 6);  // in "2.5"
  Key(doc, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
  EXPECT_EQ(doc->View()->GetLine(6), "c = 3.5;");
  EXPECT_EQ(console.Texts(), Items{"c = 3.5;\r\n"});

  // A typed step joins the box's list when the box loses the focus.
  QComboBox* step = frame->StepBox();
  step->setEditText(QStringLiteral("0.25"));
  QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(step, &leave);
  EXPECT_GE(step->findText(QStringLiteral("0.25")), 0);
  QApplication::sendEvent(step, &leave);  // once only
  EXPECT_EQ(step->count(), 2);
  console.Clear();
  CaretAt(doc, 7, 6);
  Key(doc, Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
  EXPECT_EQ(doc->View()->GetLine(6), "c = 3.25;");

  // Divide by a factor of 0 changes nothing and evaluates nothing.
  frame->FactorBox()->setEditText(QStringLiteral("0"));
  console.Clear();
  frame->Action(kDivideValue)->trigger();
  EXPECT_EQ(doc->View()->GetLine(6), "c = 3.25;");
  frame->FactorBox()->setEditText(QStringLiteral("2"));
  frame->Action(kMultiplyValue)->trigger();
  EXPECT_EQ(doc->View()->GetLine(6), "c = 6.5;");
  EXPECT_EQ(console.Texts(), Items{"c = 6.5;\r\n"});
}

TEST_F(QuireCellTest, CellModeShowsTheToolbarAndEnablesTheCellCommands) {
  CQuireDoc* doc = OpenCells();
  QToolBar* bar = frame->findChild<QToolBar*>(QStringLiteral("CellToolBar"));
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->isVisible());
  // A window 1200 pixels wide shows every box of the bar, none in an overflow menu.
  frame->resize(1200, 800);
  for (QComboBox* box : {frame->StepBox(), frame->FactorBox(), frame->CellsBox()})
    EXPECT_TRUE(QTest::qWaitFor([&] { return box->isVisible(); }, 5000)) << box->accessibleName().toStdString();
  EXPECT_EQ(frame->Action(kCellMode)->text(), QStringLiteral("Disable Cell Mode"));
  EXPECT_TRUE(frame->Action(kEvaluateCell)->isEnabled());
  EXPECT_TRUE(frame->Action(kInsertCellBreak)->isEnabled());
  EXPECT_FALSE(frame->Action(kInsertCellBreaksAround)->isEnabled());
  doc->View()->SetSelectionEnd(doc->View()->GetCurrentPosition() + 3);
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Action(kInsertCellBreaksAround)->isEnabled(); }, 5000));
  EXPECT_FALSE(frame->Action(kInsertCellBreak)->isEnabled());

  frame->Action(kCellMode)->trigger();
  EXPECT_FALSE(bar->isVisible());
  EXPECT_EQ(frame->Action(kCellMode)->text(), QStringLiteral("Enable Cell Mode"));
  EXPECT_EQ(CQuireApp::ProfileInt(QStringLiteral("General"), QStringLiteral("CellMode"), 1), 0);
  for (int id : {kEvaluateCell, kEvaluateCellAdvance, kEvaluateAll, kNextCell, kPreviousCell, kInsertCellBreak,
                 kInsertCellBreaksAround, kIncrementValue, kDecrementValue, kMultiplyValue, kDivideValue})
    EXPECT_FALSE(frame->Action(id)->isEnabled()) << id;
  EXPECT_TRUE(frame->Action(kEvaluate)->isEnabled());  // not a cell command
  frame->Action(kCellMode)->trigger();
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(CQuireApp::ProfileInt(QStringLiteral("General"), QStringLiteral("CellMode"), 0), 1);

  // Evaluate all: every non-empty line, the caret where it was.
  console.Clear();
  CaretAt(doc, 5, 2);
  frame->Action(kEvaluateAll)->trigger();
  EXPECT_EQ(console.Texts().size(), 8u);  // the blank line is not sent
  EXPECT_EQ(doc->View()->GetCurrentLine(), 5);
}
