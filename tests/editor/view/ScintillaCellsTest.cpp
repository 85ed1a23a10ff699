// Cells on a live control: markers kept through typing, moving between cells,
// the text of the cell at the caret, new marker lines and the number commands.
#include <QSignalSpy>

#include "ScintillaFixture.h"

using quire_cells::NudgeOp;
using Strings = std::vector<std::string>;

class ScintillaCells : public ScintillaFixture {
 protected:
  // Caret to the 1-based line and column.
  void CaretAt(int line, int column) {
    m_wnd.GotoPosition(Message(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line - 1)) +
                       column - 1);
  }
};

TEST_F(ScintillaCells, CellsAreNamedAndFollowTyping) {
  SetLines("%% \nx = 1;\n%% Setup\ny = 2;\n  %% \nz = 3;");
  EXPECT_EQ(m_wnd.GetCellMarkerLines(), (std::vector<int>{0, 2, 4}));
  EXPECT_EQ(m_wnd.GetCellNames(), (Strings{"cell 1", "Setup", "cell 2"}));

  QSignalSpy changed(&m_wnd, &CScintillaWnd::cellsChanged);
  // Typing a plain line changes no cell.
  CaretAt(2, 7);
  QTest::keyClicks(&m_wnd, " % note");
  // A new marker typed on its own line, and Enter above it, move the lines.
  CaretAt(6, 7);
  QTest::keyClick(&m_wnd, Qt::Key_Return);
  QTest::keyClicks(&m_wnd, "%% End");
  CaretAt(1, 1);
  QTest::keyClick(&m_wnd, Qt::Key_Return);
  EXPECT_EQ(m_wnd.GetCellMarkerLines(), (std::vector<int>{1, 3, 5, 7}));
  EXPECT_EQ(m_wnd.GetCellNames(), (Strings{"cell 1", "Setup", "cell 2", "End"}));
  // One notice for the whole burst of edits, once they are done.
  ASSERT_TRUE(QTest::qWaitFor([&] { return changed.count() > 0; }, 5000));
  EXPECT_EQ(changed.count(), 1);

  // Undoing the edits brings the lines back with the text.
  while (m_wnd.GetLineCount() > 6 || m_wnd.GetLine(1) != "x = 1;") m_wnd.Undo();
  EXPECT_EQ(m_wnd.GetCellMarkerLines(), (std::vector<int>{0, 2, 4}));
}

TEST_F(ScintillaCells, NextAndPreviousCellGoJustAfterTheMarkers) {
  SetLines("a = 1;\n%% one\nb = 2;\n  %% two\nc = 3;");
  CaretAt(1, 1);
  EXPECT_TRUE(m_wnd.NextCell());
  EXPECT_EQ(m_wnd.GetCurrentLine(), 2);
  EXPECT_EQ(m_wnd.GetCurrentColumn(), 4);
  EXPECT_TRUE(m_wnd.NextCell());
  EXPECT_EQ(m_wnd.GetCurrentLine(), 4);
  EXPECT_EQ(m_wnd.GetCurrentColumn(), 6);
  // No marker below: the caret stays.
  EXPECT_FALSE(m_wnd.NextCell());
  EXPECT_EQ(m_wnd.GetCurrentLine(), 4);

  CaretAt(5, 3);  // inside the last cell: to its own marker, then the one before
  EXPECT_TRUE(m_wnd.PreviousCell());
  EXPECT_EQ(m_wnd.GetCurrentLine(), 4);
  EXPECT_TRUE(m_wnd.PreviousCell());
  EXPECT_EQ(m_wnd.GetCurrentLine(), 2);
  EXPECT_FALSE(m_wnd.PreviousCell());
  EXPECT_EQ(m_wnd.GetCurrentLine(), 2);

  // The caret in front of a marker finds that marker first.
  CaretAt(4, 1);
  EXPECT_TRUE(m_wnd.NextCell());
  EXPECT_EQ(m_wnd.GetCurrentLine(), 4);
}

TEST_F(ScintillaCells, TheCurrentCellRunsToTheNextMarkerOrTheEnd) {
  SetLines("a = 1;\n%% one\nb = 2;\nc = 3;\n%% two\nd = 4;");
  CaretAt(1, 2);  // above the first marker: from the document start
  EXPECT_EQ(Lf(m_wnd.GetCurrentCellText()), "a = 1;\n");
  EXPECT_EQ(m_wnd.GetCurrentCellIndex(), -1);
  CaretAt(3, 2);
  EXPECT_EQ(Lf(m_wnd.GetCurrentCellText()), "b = 2;\nc = 3;\n");
  EXPECT_EQ(m_wnd.GetCurrentCellIndex(), 0);
  CaretAt(2, 8);  // on a marker line: the cell it starts
  EXPECT_EQ(Lf(m_wnd.GetCurrentCellText()), "b = 2;\nc = 3;\n");
  CaretAt(6, 1);  // the last cell: up to the end of the document
  EXPECT_EQ(Lf(m_wnd.GetCurrentCellText()), "d = 4;");
  EXPECT_EQ(m_wnd.GetCurrentCellIndex(), 1);
  m_wnd.GotoCell(0);
  EXPECT_EQ(m_wnd.GetCurrentLine(), 2);
  EXPECT_EQ(m_wnd.GetCurrentColumn(), 4);
}

TEST_F(ScintillaCells, CellBreaksTakeTheIndentationAndUndoAsOneStep) {
  SetLines("  a = 1;\nb = 2;");
  CaretAt(1, 3);
  m_wnd.InsertCellBreak();
  EXPECT_EQ(Lines(), "  a = 1;\n  %% \nb = 2;");
  EXPECT_EQ(m_wnd.GetCurrentLine(), 2);
  EXPECT_EQ(m_wnd.GetCurrentColumn(), 6);

  SetLines("x\ny = 1;\nz = 2;\nw");
  // Lines 2 and 3 selected whole, as a user selects them.
  Select(Message(QsciScintillaBase::SCI_POSITIONFROMLINE, 1), Message(QsciScintillaBase::SCI_POSITIONFROMLINE, 3));
  m_wnd.InsertCellBreaksAroundSelection();
  EXPECT_EQ(Lines(), "x\n%% \ny = 1;\nz = 2;\n%% \nw");
  EXPECT_EQ(m_wnd.GetCurrentLine(), 2);
  m_wnd.Undo();
  EXPECT_EQ(Lines(), "x\ny = 1;\nz = 2;\nw");

  // From the first line there is no line above: the marker goes before it.
  Select(0, 2);
  m_wnd.InsertCellBreaksAroundSelection();
  EXPECT_EQ(Lines(), "%% \nx\n%% \ny = 1;\nz = 2;\nw");
  EXPECT_EQ(m_wnd.GetCurrentLine(), 1);
  EXPECT_EQ(m_wnd.GetCurrentColumn(), 4);
}

TEST_F(ScintillaCells, TheNumberAtTheCaretChanges) {
  SetLines("a = 2.5;\nb = x-1;\nc = 4;");
  CaretAt(1, 6);
  EXPECT_TRUE(m_wnd.NudgeNumber(NudgeOp::Increment, "1.0"));
  EXPECT_EQ(Lines(), "a = 3.5;\nb = x-1;\nc = 4;");
  CaretAt(2, 8);  // "x-1": the minus is the operator
  EXPECT_TRUE(m_wnd.NudgeNumber(NudgeOp::Increment, "1.0"));
  EXPECT_EQ(Lines(), "a = 3.5;\nb = x-2;\nc = 4;");
  CaretAt(3, 5);
  EXPECT_FALSE(m_wnd.NudgeNumber(NudgeOp::Divide, "0"));
  EXPECT_TRUE(m_wnd.NudgeNumber(NudgeOp::Multiply, "1.5"));
  EXPECT_EQ(Lines(), "a = 3.5;\nb = x-2;\nc = 6;");
  CaretAt(3, 1);  // on "c": no number
  EXPECT_FALSE(m_wnd.NudgeNumber(NudgeOp::Increment, "1.0"));
}
