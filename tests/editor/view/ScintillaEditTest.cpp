// Smart indentation, re-indentation, indent and unindent, comment and
// uncomment, find and replace, on a live control.
#include "ScintillaFixture.h"

using Sci = QsciScintillaBase;

using ScintillaSmartIndent = ScintillaFixture;

TEST_F(ScintillaSmartIndent, OpeningLineIndentsTheNextOne) {
  SetLines("if x > 1");
  EnterAtEndOf(1);
  EXPECT_EQ(Lines(), "if x > 1\n    ");
  EXPECT_EQ(m_wnd.GetCurrentLine(), 2);
  EXPECT_EQ(m_wnd.GetCurrentColumn(), 5);

  // "(" ends the first word; the new line goes one level right of the last.
  SetLines("    for(i = 1:3)");
  EnterAtEndOf(1);
  EXPECT_EQ(Lines(), "    for(i = 1:3)\n        ");
}

TEST_F(ScintillaSmartIndent, ClosingLineMovesLeftAndTheNewLineStaysWithIt) {
  SetLines("if x\n    y\n    end");
  EnterAtEndOf(3);
  EXPECT_EQ(Lines(), "if x\n    y\nend\n");
  EXPECT_EQ(m_wnd.GetCurrentColumn(), 1);

  // Only one level, although Enter adds two characters.
  SetLines("        end");
  EnterAtEndOf(1);
  EXPECT_EQ(Lines(), "    end\n    ");

  SetLines("    endfunction # done");
  EnterAtEndOf(1);
  EXPECT_EQ(Lines(), "endfunction # done\n");

  // "else" closes one block and opens the next.
  SetLines("if x\n    y\n    else");
  EnterAtEndOf(3);
  EXPECT_EQ(Lines(), "if x\n    y\nelse\n    ");

  // At column 0 it stays there, and so does the caret.
  SetLines("end");
  EnterAtEndOf(1);
  EXPECT_EQ(Lines(), "end\n");
  EXPECT_EQ(m_wnd.GetCurrentLine(), 2);
  EXPECT_EQ(m_wnd.GetCurrentColumn(), 1);
}

TEST_F(ScintillaSmartIndent, EveryEnterIndentsWhateverWasTypedBefore) {
  // Typed characters flip the flag that pairs CR with LF; odd and even counts
  // must both give exactly one indentation per Enter.
  QTest::keyClicks(&m_wnd, "for k = 1:2");
  QTest::keyClick(&m_wnd, Qt::Key_Return);
  QTest::keyClicks(&m_wnd, "while 1");
  QTest::keyClick(&m_wnd, Qt::Key_Return);
  QTest::keyClicks(&m_wnd, "x");
  QTest::keyClick(&m_wnd, Qt::Key_Return);
  QTest::keyClicks(&m_wnd, "end");
  QTest::keyClick(&m_wnd, Qt::Key_Return);
  EXPECT_EQ(Lines(), "for k = 1:2\n    while 1\n        x\n    end\n    ");
}

TEST_F(ScintillaSmartIndent, TabsOrNothingAsThePreferencesSay) {
  m_settings.useSpaces = false;
  m_wnd.ApplyTabSettings();
  SetLines("\tif x");
  EnterAtEndOf(1);
  EXPECT_EQ(Lines(), "\tif x\n\t\t");
  EXPECT_EQ(m_wnd.GetCurrentPosition(), m_wnd.GetLength());

  m_settings.smartIndent = false;
  SetLines("    if x");
  EnterAtEndOf(1);
  EXPECT_EQ(Lines(), "    if x\n");
}

TEST_F(ScintillaSmartIndent, EnterInsideALineIndentsTheRest) {
  SetLines("if x y = 1;");
  m_wnd.GotoPosition(4);
  QTest::keyClick(&m_wnd, Qt::Key_Return);
  EXPECT_EQ(Lines(), "if x\n    y = 1;");
  EXPECT_EQ(m_wnd.GetCurrentColumn(), 5);
}

using ScintillaReindent = ScintillaFixture;

TEST_F(ScintillaReindent, AutoIndentLaysOutEveryBlock) {
  SetLines(
      "function r = f(x)\n"
      "      if x > 0\n"
      "r = 1;\n"
      "  else\n"
      "switch x\n"
      "case 0\n"
      "r = 0;\n"
      "      otherwise\n"
      "r = -1;\n"
      "end\n"
      "       end\n"
      "  unwind_protect\n"
      "g();\n"
      "unwind_protect_cleanup\n"
      "h();\n"
      "end_unwind_protect\n"
      "    endfunction");
  m_wnd.AutoIndent();
  EXPECT_EQ(Lines(),
            "function r = f(x)\n"
            "    if x > 0\n"
            "        r = 1;\n"
            "    else\n"
            "        switch x\n"
            "        case 0\n"
            "            r = 0;\n"
            "        otherwise\n"
            "            r = -1;\n"
            "        end\n"
            "    end\n"
            "    unwind_protect\n"
            "        g();\n"
            "    unwind_protect_cleanup\n"
            "        h();\n"
            "    end_unwind_protect\n"
            "endfunction");
  // One command, one undo step.
  m_wnd.Undo();
  EXPECT_EQ(Lines().substr(0, 26), "function r = f(x)\n      if");
}

TEST_F(ScintillaReindent, FromTheLineAboveAndNothingPastTheLastLine) {
  SetLines("if x\ny");
  m_wnd.AutoIndent();
  EXPECT_EQ(Lines(), "if x\n    y");

  m_settings.tabSize = 2;
  SetLines("  if x\ny\nz\nend");
  m_wnd.ReindentLines(1, 4);
  EXPECT_EQ(Lines(), "  if x\n    y\n    z\n  end");

  m_settings.useSpaces = false;
  m_settings.tabSize = 4;
  m_wnd.ApplyTabSettings();
  SetLines("for i = 1:2\nfor j = 1:2\nx\nend\nend");
  m_wnd.AutoIndent();
  EXPECT_EQ(Lines(), "for i = 1:2\n\tfor j = 1:2\n\t\tx\n\tend\nend");
}

using ScintillaIndent = ScintillaFixture;

TEST_F(ScintillaIndent, IndentAndUnindentTheSelectedLines) {
  SetLines("a\nb\nc\nd");
  Select(2, 5);  // from line 2 into line 3
  m_wnd.IndentSelection();
  EXPECT_EQ(Lines(), "a\n    b\n    c\nd");
  m_wnd.IndentSelection();
  EXPECT_EQ(Lines(), "a\n        b\n        c\nd");
  m_wnd.UnindentSelection();
  m_wnd.UnindentSelection();
  m_wnd.UnindentSelection();
  EXPECT_EQ(Lines(), "a\nb\nc\nd");
}

using ScintillaComment = ScintillaFixture;

TEST_F(ScintillaComment, MarkerGoesAfterTheIndentation) {
  m_settings.comment = 1;
  SetLines("a\n  b");
  m_wnd.SelectAll();
  m_wnd.CommentSelection();
  EXPECT_EQ(Lines(), "% a\n  % b");
}

TEST_F(ScintillaComment, UncommentRemovesTheRunAndOneBlank) {
  SetLines("  %% b\nx = 1; % keep\n#no blank\n   # two");
  m_wnd.SelectAll();
  m_wnd.UncommentSelection();
  EXPECT_EQ(Lines(), "  b\nx = 1; % keep\nno blank\n   two");
}

TEST_F(ScintillaComment, RoundTripKeepsTextAndSelection) {
  const std::string original = "a = 1;\n  if a\n\tb = 2;\n  end";
  SetLines(original);
  m_wnd.SelectAll();
  m_wnd.CommentSelection();
  EXPECT_EQ(Lines(), "# a = 1;\n  # if a\n\t# b = 2;\n  # end");
  // The selection still covers every line, so Uncomment reaches them all.
  EXPECT_EQ(m_wnd.GetSelectionStart(), 0);
  EXPECT_EQ(m_wnd.GetSelectionEnd(), m_wnd.GetLength());
  m_wnd.UncommentSelection();
  EXPECT_EQ(Lines(), original);
  EXPECT_EQ(m_wnd.GetSelectionStart(), 0);
  EXPECT_EQ(m_wnd.GetSelectionEnd(), m_wnd.GetLength());
  // Each command is one undo step.
  m_wnd.Undo();
  EXPECT_EQ(Lines(), "# a = 1;\n  # if a\n\t# b = 2;\n  # end");

  m_settings.comment = 3;
  m_wnd.SelectAll();
  m_wnd.UncommentSelection();
  m_wnd.CommentSelection();
  EXPECT_EQ(Lines(), "%% a = 1;\n  %% if a\n\t%% b = 2;\n  %% end");
}

TEST_F(ScintillaComment, CaretLineAloneAndEmptyLastLine) {
  SetLines("a\nb\nc");
  m_wnd.GotoPosition(3);  // start of line 2, nothing selected
  m_wnd.CommentSelection();
  EXPECT_EQ(Lines(), "a\n# b\nc");
  EXPECT_EQ(m_wnd.GetCurrentPosition(), 5);  // after the marker, before "b"

  // A selection that ends at the start of a line takes that line too.
  SetLines("a\nb\n");
  Select(0, m_wnd.GetLength());
  m_wnd.CommentSelection();
  EXPECT_EQ(Lines(), "# a\n# b\n# ");
}

using ScintillaFindReplace = ScintillaFixture;

TEST_F(ScintillaFindReplace, AdjacentMatchesAreFoundOneByOne) {
  SetLines("aa b");
  EXPECT_EQ(m_wnd.SearchForward("a"), 1);
  EXPECT_EQ(m_wnd.GetSelectionStart(), 0);
  EXPECT_EQ(m_wnd.SearchForward("a"), 1);
  EXPECT_EQ(m_wnd.GetSelectionStart(), 1);
  EXPECT_EQ(m_wnd.GetSelectedText(), "a");
  EXPECT_EQ(m_wnd.SearchForward("a"), 0);
  EXPECT_EQ(m_wnd.GetSelectionStart(), 1);  // nothing changed
  EXPECT_EQ(m_wnd.SearchForward(""), 0);

  // Backward: matches that end before the selection, the adjacent one too.
  EXPECT_EQ(m_wnd.SearchBackward("a"), 1);
  EXPECT_EQ(m_wnd.GetSelectionStart(), 0);
  EXPECT_EQ(m_wnd.SearchBackward("a"), 0);
  m_wnd.GotoPosition(m_wnd.GetLength());
  EXPECT_EQ(m_wnd.SearchBackward("b"), 1);
  EXPECT_EQ(m_wnd.GetSelectionStart(), 3);
}

TEST_F(ScintillaFindReplace, FlagsDecideWhatMatches) {
  SetLines("abc ABC abcd");
  m_wnd.SetSearchFlags(Sci::SCFIND_MATCHCASE);
  EXPECT_EQ(m_wnd.ReplaceAll("abc", "x", false), 2);
  EXPECT_EQ(Lines(), "x ABC xd");

  SetLines("abc ABC abcd");
  m_wnd.SetSearchFlags(Sci::SCFIND_WHOLEWORD);
  EXPECT_EQ(m_wnd.ReplaceAll("abc", "x", false), 2);
  EXPECT_EQ(Lines(), "x x abcd");

  m_wnd.SetSearchFlags(0);
  EXPECT_EQ(m_wnd.ReplaceAll("missing", "y", false), 0);
  EXPECT_EQ(Lines(), "x x abcd");

  SetLines("a a a a");
  Select(2, 5);
  EXPECT_EQ(m_wnd.ReplaceAll("a", "bb", true), 2);
  EXPECT_EQ(Lines(), "a bb bb a");
}

TEST_F(ScintillaFindReplace, ReplacementsThatMatchAgainEndTheLoop) {
  SetLines("a a");
  EXPECT_EQ(m_wnd.ReplaceAll("a", "aa", false), 2);
  EXPECT_EQ(Lines(), "aa aa");

  // An expression matching empty text at each line start.
  SetLines("x\ny\nz");
  m_wnd.SetSearchFlags(Sci::SCFIND_REGEXP);
  EXPECT_EQ(m_wnd.ReplaceAll("^", "% ", false), 3);
  EXPECT_EQ(Lines(), "% x\n% y\n% z");
}

TEST_F(ScintillaFindReplace, ReplaceTheSelectionWithTaggedText) {
  SetLines("y = f12(x);");
  m_wnd.SetSearchFlags(Sci::SCFIND_REGEXP);
  ASSERT_EQ(m_wnd.SearchForward("f\\([0-9]+\\)"), 1);
  m_wnd.Replace("g\\1");
  EXPECT_EQ(Lines(), "y = g12(x);");

  m_wnd.SetSearchFlags(0);
  ASSERT_EQ(m_wnd.SearchForward("x"), 1);
  m_wnd.Replace("\\1");
  EXPECT_EQ(Lines(), "y = g12(\\1);");
}
