// Configuration, text access, markers, margins, folding, brace highlight, zoom,
// case, status data and word lookup of a live control.
#include "ScintillaFixture.h"

#include <QApplication>
#include <QSignalSpy>

#include <algorithm>
#include <cstdlib>
#include <cstdint>

#include "editor/view/FileRules.h"

using Sci = QsciScintillaBase;
using ScintillaView = ScintillaFixture;

namespace {

// The word characters as a sorted set (Scintilla reports them in its own order).
std::string WordChars(const CScintillaWnd& wnd) {
  std::string chars(256, '\0');
  const long n = wnd.SendScintilla(Sci::SCI_GETWORDCHARS, 0UL, static_cast<void*>(chars.data()));
  chars.resize(static_cast<size_t>(n));
  std::sort(chars.begin(), chars.end());
  return chars;
}

std::string Sorted(std::string chars) {
  std::sort(chars.begin(), chars.end());
  return chars;
}

// Runs the event loop until `done` holds, for at most two seconds.
template <typename Done>
bool WaitFor(Done done) {
  for (int i = 0; i < 200 && !done(); ++i) QTest::qWait(10);
  return done();
}

std::string Property(const CScintillaWnd& wnd, const char* key) {
  char value[32] = {};
  wnd.SendScintilla(Sci::SCI_GETPROPERTY, key, value);
  return value;
}

}  // namespace

TEST_F(ScintillaView, InitConfiguresTheControl) {
  EXPECT_EQ(m_wnd.GetLexer(), LEXER_OCTAVE);
  EXPECT_EQ(Message(Sci::SCI_STYLEGETFORE, 1), CScintillaWnd::Rgb(34, 139, 34));
  EXPECT_EQ(Message(Sci::SCI_STYLEGETBOLD, 4), 1);
  EXPECT_EQ(Message(Sci::SCI_STYLEGETBACK, 34), CScintillaWnd::Rgb(255, 255, 0));
  EXPECT_EQ(Message(Sci::SCI_GETEOLMODE), PlatformLineEnds());
  EXPECT_EQ(static_cast<uint32_t>(Message(Sci::SCI_GETMARGINMASKN, 2)),
            static_cast<uint32_t>(Sci::SC_MASK_FOLDERS));
  EXPECT_EQ(Property(m_wnd, "fold"), "1");
  EXPECT_EQ(WordChars(m_wnd), Sorted(CScintillaWnd::WORD_CHARS));
  EXPECT_EQ(Message(Sci::SCI_MARKERSYMBOLDEFINED, 0), Sci::SC_MARK_PIXMAP);
  EXPECT_EQ(Message(Sci::SCI_MARKERSYMBOLDEFINED, 1), Sci::SC_MARK_PIXMAP);
}

TEST_F(ScintillaView, TheCaretLineIsASoftTintOfTheBackground) {
  const auto paper = static_cast<int>(Message(Sci::SCI_STYLEGETBACK, Sci::STYLE_DEFAULT));
  const auto line = static_cast<int>(Message(Sci::SCI_GETCARETLINEBACK));
  EXPECT_NE(line, paper);
  for (int shift = 0; shift <= 16; shift += 8) {
    const int difference = std::abs(((line >> shift) & 0xff) - ((paper >> shift) & 0xff));
    EXPECT_LE(difference, 30) << "channel at bit " << shift;
  }
  EXPECT_EQ(CScintillaWnd::Blend(CScintillaWnd::Rgb(255, 255, 255), CScintillaWnd::Rgb(0, 0, 100), 10),
            CScintillaWnd::Rgb(229, 229, 239));
}

TEST_F(ScintillaView, KeywordsAreStyledAsKeywords) {
  SetLines("if x\n  disp(x) % note\nend");
  m_wnd.Refresh();
  auto styleAt = [&](long position) { return Message(Sci::SCI_GETSTYLEAT, position); };
  EXPECT_EQ(styleAt(0), 4);   // if
  EXPECT_EQ(styleAt(3), 7);   // x, an identifier
  EXPECT_EQ(styleAt(8), 7);   // disp is not in this list
  EXPECT_EQ(styleAt(16), 1);  // the comment
  EXPECT_EQ(styleAt(24), 4);  // end
}

TEST_F(ScintillaView, TextComesBackWhole) {
  const std::string withNul("a\0b\r\ncd", 7);
  m_wnd.SetText(withNul);
  EXPECT_EQ(m_wnd.GetText(), withNul);
  EXPECT_EQ(m_wnd.GetLength(), 7);
  EXPECT_EQ(m_wnd.GetCurrentPosition(), 0);
  // Lines come without their line end; the last line keeps its last character.
  EXPECT_EQ(m_wnd.GetLine(0), std::string("a\0b", 3));
  EXPECT_EQ(m_wnd.GetLine(1), "cd");
  EXPECT_EQ(m_wnd.GetLine(2), "");
  EXPECT_EQ(m_wnd.GetLine(-1), "");
  std::string line;
  m_wnd.GetLineString(1, line);
  EXPECT_EQ(line, "cd");

  EXPECT_EQ(m_wnd.GetSelectedText(), "");
  Select(5, 7);
  EXPECT_EQ(m_wnd.GetSelectedText(), "cd");
}

TEST_F(ScintillaView, BreakpointsSkipCommentAndBlankLines) {
  SetLines("function f\n% note\n\n  # more\n  x = 1;\ny = 2;\n% tail\n");
  EXPECT_EQ(m_wnd.AddMarker(2, CScintillaWnd::BREAKPOINT_MARKER), 4);
  EXPECT_TRUE(m_wnd.HasMarker(5, CScintillaWnd::BREAKPOINT_MARKER));
  EXPECT_FALSE(m_wnd.HasMarker(2, CScintillaWnd::BREAKPOINT_MARKER));
  EXPECT_EQ(m_wnd.AddMarker(1, CScintillaWnd::BREAKPOINT_MARKER), 0);
  EXPECT_EQ(m_wnd.AddMarker(6, CScintillaWnd::BREAKPOINT_MARKER), 5);
  // Nothing but a comment and a blank line below: nowhere.
  EXPECT_EQ(m_wnd.AddMarker(7, CScintillaWnd::BREAKPOINT_MARKER), -1);
  EXPECT_EQ(m_wnd.AddMarker(50, CScintillaWnd::BREAKPOINT_MARKER), -1);
  EXPECT_FALSE(m_wnd.HasMarker(7, CScintillaWnd::BREAKPOINT_MARKER));
  EXPECT_FALSE(m_wnd.HasMarker(8, CScintillaWnd::BREAKPOINT_MARKER));
  EXPECT_EQ(m_wnd.GetBreakpoints(), (std::vector<int>{4, 0, 5}));

  // The debug arrow lands the same way and is not a breakpoint.
  EXPECT_EQ(m_wnd.AddMarker(3, CScintillaWnd::DEBUG_ARROW_MARKER), 4);
  EXPECT_TRUE(m_wnd.HasMarker(5, CScintillaWnd::DEBUG_ARROW_MARKER));
  EXPECT_EQ(m_wnd.GetBreakpoints().size(), 3u);
}

TEST_F(ScintillaView, DeletingABreakpointRemovesItsFirstEntry) {
  SetLines("a\n% c\nb\nc");
  m_wnd.AddMarker(3, CScintillaWnd::BREAKPOINT_MARKER);
  m_wnd.AddMarker(1, CScintillaWnd::BREAKPOINT_MARKER);
  // Aimed at the comment above line 3, which is marked already: not twice.
  EXPECT_EQ(m_wnd.AddMarker(2, CScintillaWnd::BREAKPOINT_MARKER), 2);
  EXPECT_EQ(m_wnd.GetBreakpoints(), (std::vector<int>{2, 0}));
  m_wnd.DeleteMarker(3, CScintillaWnd::BREAKPOINT_MARKER);
  EXPECT_FALSE(m_wnd.HasMarker(3, CScintillaWnd::BREAKPOINT_MARKER));
  EXPECT_EQ(m_wnd.GetBreakpoints(), (std::vector<int>{0}));
  // A line without the marker: nothing happens.
  m_wnd.DeleteMarker(4, CScintillaWnd::BREAKPOINT_MARKER);
  EXPECT_EQ(m_wnd.GetBreakpoints(), (std::vector<int>{0}));

  // Next and previous go from the caret line to the marked lines.
  m_wnd.AddMarker(4, CScintillaWnd::BREAKPOINT_MARKER);
  m_wnd.GotoLine(2);
  EXPECT_EQ(m_wnd.FindNextBreakpoint(), 3);
  EXPECT_EQ(m_wnd.GetCurrentLine(), 4);
  EXPECT_LT(m_wnd.FindNextBreakpoint(), 0);
  EXPECT_EQ(m_wnd.GetCurrentLine(), 4);
  EXPECT_EQ(m_wnd.FindPreviousBreakpoint(), 0);
  EXPECT_EQ(m_wnd.GetCurrentLine(), 1);
  EXPECT_LT(m_wnd.FindPreviousBreakpoint(), 0);

  m_wnd.DeleteAllMarkers(CScintillaWnd::BREAKPOINT_MARKER);
  EXPECT_TRUE(m_wnd.GetBreakpoints().empty());
  EXPECT_FALSE(m_wnd.HasMarker(1, CScintillaWnd::BREAKPOINT_MARKER));
  EXPECT_FALSE(m_wnd.HasMarker(4, CScintillaWnd::BREAKPOINT_MARKER));
}

TEST_F(ScintillaView, MarginsShowAndHide) {
  auto width = [&](unsigned long margin) { return Message(Sci::SCI_GETMARGINWIDTHN, margin); };
  EXPECT_EQ(width(1), 16);
  EXPECT_EQ(width(2), 16);
  SetLines("a\nb");
  const long few = width(0);
  EXPECT_EQ(few, m_wnd.GetLineNumberWidth() + 4);
  EXPECT_GT(few, 0);

  // Room for more digits once the line count has them.
  std::string many;
  for (int i = 0; i < 12000; ++i) many += "x\n";
  SetLines(many);
  EXPECT_GT(width(0), few);
  EXPECT_EQ(width(0), m_wnd.GetLineNumberWidth() + 4);

  m_wnd.SetDisplayLineNumbers(false);
  m_wnd.SetDisplaySelection(false);
  m_wnd.SetDisplayFolding(false);
  EXPECT_EQ(width(0), 0);
  EXPECT_EQ(width(1), 0);
  EXPECT_EQ(width(2), 0);
  EXPECT_FALSE(m_wnd.GetDisplayLineNumbers());
  m_wnd.SetDisplayLineNumbers(true);
  m_wnd.SetDisplaySelection(true);
  EXPECT_EQ(width(0), m_wnd.GetLineNumberWidth() + 4);
  EXPECT_EQ(width(1), 16);
  EXPECT_TRUE(m_wnd.GetDisplaySelection());
}

TEST_F(ScintillaView, FoldingMarginClickTogglesTheBlock) {
  SetLines("if x\n  y\nend\nz");
  m_wnd.Refresh();
  auto expanded = [&] { return Message(Sci::SCI_GETFOLDEXPANDED, 0); };
  auto visible = [&] { return Message(Sci::SCI_GETLINEVISIBLE, 1); };
  ASSERT_EQ(expanded(), 1);
  m_wnd.OnMarginClick(CScintillaWnd::SELECTION_MARGIN, 0);
  EXPECT_EQ(expanded(), 1);
  m_wnd.OnMarginClick(CScintillaWnd::FOLDING_MARGIN, 1);
  EXPECT_EQ(expanded(), 0);
  EXPECT_EQ(visible(), 0);
  m_wnd.OnMarginClick(CScintillaWnd::FOLDING_MARGIN, 0);
  EXPECT_EQ(expanded(), 1);
  EXPECT_EQ(visible(), 1);
}

TEST_F(ScintillaView, MarginClicksAreReportedWithTheirLine) {
  SetLines("a\nb\nc");
  m_wnd.resize(400, 200);
  m_wnd.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_wnd));
  QSignalSpy spy(&m_wnd, &CScintillaWnd::marginClicked);
  const int lineHeight = static_cast<int>(Message(Sci::SCI_TEXTHEIGHT, 1));
  const int selectionMarginX = static_cast<int>(Message(Sci::SCI_GETMARGINWIDTHN, 0)) + 8;
  QTest::mouseClick(m_wnd.viewport(), Qt::LeftButton, {},
                    QPoint(selectionMarginX, lineHeight + lineHeight / 2));
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy.at(0).at(0).toInt(), CScintillaWnd::SELECTION_MARGIN);
  EXPECT_EQ(spy.at(0).at(1).toInt(), 2);
}

TEST_F(ScintillaView, BraceBeforeTheCaretAndItsMatchAreHighlighted) {
  SetLines("a(b)c [x");
  auto at = [&](long caret) {
    m_wnd.GotoPosition(caret);
    return m_wnd.UpdateBraceHighlight();
  };
  EXPECT_EQ(at(4), (CScintillaWnd::CharRange{3, 1}));
  EXPECT_EQ(at(3), (CScintillaWnd::CharRange{-1, -1}));
  EXPECT_EQ(at(7), (CScintillaWnd::CharRange{-1, -1}));  // unmatched "["
  EXPECT_EQ(at(0), (CScintillaWnd::CharRange{-1, -1}));
}

TEST_F(ScintillaView, UpdatesHighlightApplyTheSettingAndReportTheStatus) {
  SetLines("f(x)");
  m_wnd.resize(400, 200);
  m_wnd.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_wnd));
  QSignalSpy status(&m_wnd, &CScintillaWnd::statusChanged);
  m_settings.showAllCharacters = true;
  m_wnd.GotoPosition(4);
  ASSERT_TRUE(WaitFor([&] { return status.count() > 0; }));
  EXPECT_EQ(m_wnd.GetBraceHighlight(), (CScintillaWnd::CharRange{3, 1}));
  EXPECT_EQ(Message(Sci::SCI_GETVIEWWS), 1);
  EXPECT_EQ(Message(Sci::SCI_GETVIEWEOL), 1);

  m_settings.showAllCharacters = false;
  status.clear();
  m_wnd.GotoPosition(1);
  ASSERT_TRUE(WaitFor([&] { return status.count() > 0; }));
  EXPECT_EQ(m_wnd.GetBraceHighlight(), (CScintillaWnd::CharRange{-1, -1}));
  EXPECT_EQ(Message(Sci::SCI_GETVIEWWS), 0);
}

TEST_F(ScintillaView, StatusData) {
  SetLines("ab\n\tcd");
  Select(1, 5);  // from "b" to after "c"
  const CScintillaWnd::StatusInfo status = m_wnd.GetStatus();
  EXPECT_EQ(status.line, 2);
  EXPECT_EQ(status.column, 6);  // the tab counts as four columns
  EXPECT_EQ(status.selection, 4);
  EXPECT_FALSE(status.overtype);
  EXPECT_EQ(m_wnd.GetStatusText(), "Line: 2    Col: 6    Sel: 4");
  m_wnd.SetOverstrike(!m_wnd.GetOverstrike());
  EXPECT_TRUE(m_wnd.GetStatus().overtype);
}

TEST_F(ScintillaView, ZoomStepsAndReset) {
  const long width = Message(Sci::SCI_GETMARGINWIDTHN, 0);
  m_wnd.ZoomIn();
  m_wnd.ZoomIn();
  EXPECT_EQ(m_wnd.GetZoom(), 2);
  // The line numbers keep fitting the larger digits.
  EXPECT_GT(Message(Sci::SCI_GETMARGINWIDTHN, 0), width);
  m_wnd.ZoomOut();
  m_wnd.ZoomOut();
  m_wnd.ZoomOut();
  EXPECT_EQ(m_wnd.GetZoom(), -1);
  m_wnd.ZoomReset();
  EXPECT_EQ(m_wnd.GetZoom(), 0);
  EXPECT_EQ(Message(Sci::SCI_GETMARGINWIDTHN, 0), width);
}

TEST_F(ScintillaView, CaseOfTheSelection) {
  SetLines("abc Def ghi");
  Select(0, 7);
  m_wnd.UpperCase();
  EXPECT_EQ(Lines(), "ABC DEF ghi");
  Select(2, 11);
  m_wnd.LowerCase();
  EXPECT_EQ(Lines(), "ABc def ghi");
}

TEST_F(ScintillaView, WordAtThePosition) {
  SetLines("y = s.field - 2.5e3;");
  std::string word;
  CScintillaWnd::CharRange range;
  m_wnd.GetWordAt(word, range, false, 7);
  EXPECT_EQ(word, "s.field");
  EXPECT_EQ(range, (CScintillaWnd::CharRange{4, 11}));

  m_wnd.GotoPosition(15);
  m_wnd.GetWordAt(word, range, true);
  EXPECT_EQ(word, "2.5");
  m_wnd.SetText("x = -2.5;");
  m_wnd.GotoPosition(6);
  m_wnd.GetWordAt(word, range, true);
  EXPECT_EQ(word, "-2.5");
  EXPECT_EQ(range, (CScintillaWnd::CharRange{4, 8}));
  // The standard word characters are back afterwards.
  EXPECT_EQ(WordChars(m_wnd), Sorted(CScintillaWnd::WORD_CHARS));
}
