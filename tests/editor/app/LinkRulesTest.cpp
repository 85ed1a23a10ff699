#include "editor/app/LinkRules.h"

#include <gtest/gtest.h>

using namespace quire_link;
using Items = std::vector<std::string>;

TEST(LinkMessages, FirstThreeKindsWinOverEverythingElse) {
  EXPECT_EQ(ClassifyMessage("UpdatePreferences"), MessageKind::UpdatePreferences);
  EXPECT_EQ(ClassifyMessage("parameters:error: x"), MessageKind::Help);
  EXPECT_EQ(ClassifyMessage("completion:\nparameters:\n>> "), MessageKind::Help);
  EXPECT_EQ(ClassifyMessage("completion:\nsin\n>> "), MessageKind::Completion);
  EXPECT_EQ(ClassifyMessage("debug\nLine=3\nPath=/a.m"), MessageKind::Other);
}

TEST(HelpAnswer, CurrentAndOldUsageLinesAndTheFirstSentence) {
  const SHelpAnswer current = ParseHelpAnswer(
      "parameters:'sin' is a built-in function from the file libinterp/corefcn/mappers.cc\n\n"
      " -- sin (X)\n     Compute the sine for each element of X in radians.\n\n"
      "     See also: asin, sind, sinh.\n\n>> ");
  EXPECT_EQ(current.lines, Items{"sin (X)"});
  EXPECT_EQ(current.html,
            "<font color=#000000><b>sin (X)</b></font>\n<hr><font color=#202050>\n"
            "Compute the sine for each element of X in radians.\n");

  const SHelpAnswer old = ParseHelpAnswer(
      "parameters:\r\n -- Mapping Function: sin (X)\r\n -- Function File: [Q, R] = deconv (Y, A)\r\n"
      "     Compute the sine\r\n     of X.\r\n     Not shown.\r\n");
  EXPECT_EQ(old.lines, (Items{"sin (X)", "[Q, R] = deconv (Y, A)"}));
  EXPECT_EQ(old.html,
            "<font color=#000000><b>sin (X)</b></font>\n"
            "<font color=#000000><b>[Q, R] = deconv (Y, A)</b></font>\n"
            "<hr><font color=#202050>\nCompute the sine\nof X.\n");

  // A colon that belongs to the usage itself stays; "<" is shown, not read as a tag.
  const SHelpAnswer colon = ParseHelpAnswer("parameters: -- R = BASE : LIMIT\n  A < B.\n");
  EXPECT_EQ(colon.lines, Items{"R = BASE : LIMIT"});
  EXPECT_EQ(colon.html, "<font color=#000000><b>R = BASE : LIMIT</b></font>\n<hr><font color=#202050>\nA &lt; B.\n");
}

TEST(HelpAnswer, DescribeTipWithAndWithoutUsage) {
  const SHelpAnswer none = ParseHelpAnswer("parameters:error: help: 'qqq' not found\n>> ");
  EXPECT_EQ(none.lines, Items{});
  EXPECT_EQ(none.html, "");
  EXPECT_EQ(DescribeTipHtml(none, "qqq"), "'<b>qqq</b>' is not a command or has no description.");
  const SHelpAnswer found = ParseHelpAnswer("parameters: -- cos (X)\n Cosine.\n");
  EXPECT_EQ(DescribeTipHtml(found, "cos"), found.html + "</font>");
}

TEST(CompletionAnswer, NamesBetweenTheHeaderAndThePrompt) {
  EXPECT_EQ(ParseCompletionWords("completion:\nabs\r\naccumarray\n\nacos\n>> "),
            (Items{"abs", "accumarray", "acos"}));
  EXPECT_EQ(ParseCompletionWords("completion:\n>> "), Items{});
  EXPECT_EQ(ParseCompletionWords("completion:"), Items{});
}

TEST(ConsoleLink, LineAndFile) {
  const std::optional<SConsoleLink> link = ParseConsoleLink("line 12 column 3 file /home/u/f.m\r\n");
  ASSERT_TRUE(link.has_value());
  EXPECT_EQ(link->file, "/home/u/f.m");
  EXPECT_EQ(link->line, 12);
  EXPECT_FALSE(ParseConsoleLink("/home/u/f.m").has_value());
  EXPECT_FALSE(ParseConsoleLink("line 3 only").has_value());
}

TEST(RunFile, CallableNamesAsTheyAreEverythingElseQuoted) {
  EXPECT_EQ(RunFileCommand("/w/plain_1.m"), "plain_1");
  EXPECT_EQ(RunFileCommand("/w/my script.m"), "run('/w/my script.m')");
  EXPECT_EQ(RunFileCommand("/w/a;system('id').m"), "run('/w/a;system(''id'').m')");
  EXPECT_EQ(RunFileCommand("/w/1st.m"), "run('/w/1st.m')");
  EXPECT_EQ(RunFileCommand("/w/end.m"), "run('/w/end.m')");  // a keyword is no name
  EXPECT_EQ(RunFileCommand("/w/f.bar.m"), "run('/w/f.bar.m')");
  EXPECT_EQ(RunFileCommand("/w/notes.txt"), "run('/w/notes.txt')");
}

TEST(ValueAnswer, BoldAnsBecomesTheHoveredWord) {
  EXPECT_EQ(ValueTipHtml("varvalue:<b>ans </b>= 5", "x(2)"), "<b>x(2) </b>= 5");
  // Only the marked name: "answer" and a value holding "ans" stay.
  EXPECT_EQ(ValueTipHtml("varvalue:<b>ans </b>= answer ans", "s.f"), "<b>s.f </b>= answer ans");
  EXPECT_EQ(ValueTipHtml("varvalue:<b>x </b>= ans", "x"), "<b>x </b>= ans");
  EXPECT_TRUE(IsValueMessage("varvalue:"));
  EXPECT_FALSE(IsValueMessage(" varvalue:"));
}

TEST(DebugMessages, StopsAndEnds) {
  SDebugMessage m = ParseDebugMessage("debug\nLine=7\nPath=/tmp/d/f.m");
  EXPECT_TRUE(m.stop);
  EXPECT_FALSE(m.ended);
  EXPECT_EQ(m.line, 7);
  EXPECT_EQ(m.path, "/tmp/d/f.m");
  // The line text the console sends may carry more after the number.
  m = ParseDebugMessage("debug\nLine=12 [/tmp/x.m]\r\nPath=/tmp/d/dbended.m\r\n");
  EXPECT_TRUE(m.stop);
  EXPECT_FALSE(m.ended);
  EXPECT_EQ(m.line, 12);
  EXPECT_EQ(m.path, "/tmp/d/dbended.m");

  m = ParseDebugMessage("dbended\nPath=");
  EXPECT_TRUE(m.ended);
  EXPECT_FALSE(m.stop);
  m = ParseDebugMessage("nothing to debug here");
  EXPECT_FALSE(m.stop);
  EXPECT_FALSE(m.ended);
}

TEST(ErrorDecision, UnknownTargetInBothQuotingsAndFailedBreakpoints) {
  EXPECT_EQ(DecideErrorAction("error: `f' undefined near line 1, column 1", "f"), ErrorAction::OfferPathFix);
  EXPECT_EQ(DecideErrorAction("error: 'f' undefined near line 1, column 1", "f"), ErrorAction::OfferPathFix);
  EXPECT_EQ(DecideErrorAction("\nerror: 'f' undefined", "f"), ErrorAction::OfferPathFix);
  EXPECT_EQ(DecideErrorAction("error: 'g' undefined", "f"), ErrorAction::None);
  EXPECT_EQ(DecideErrorAction("error: 'f' undefined", ""), ErrorAction::None);
  EXPECT_EQ(DecideErrorAction("error: 'fx' undefined", "f"), ErrorAction::None);
  EXPECT_EQ(DecideErrorAction("error: add_breakpoint: unable to find the requested function", ""),
            ErrorAction::ClearBreakpointsAndOffer);
  EXPECT_EQ(DecideErrorAction("error: add_breakpoints_in_function: unable to find function 'f'", "f"),
            ErrorAction::ClearBreakpointsAndOffer);
  EXPECT_EQ(DecideErrorAction("error: division by zero", "f"), ErrorAction::None);
  EXPECT_TRUE(IsErrorMessage("parse error:\n  syntax error"));
  EXPECT_FALSE(IsErrorMessage("debug\nLine=1\nPath=/e.m"));
}

TEST(SentTexts, BreakpointFormsAndFolderCommands) {
  EXPECT_EQ(SetBreakpointCommand("f", 4, false), "dbstop('f',4)");
  EXPECT_EQ(SetBreakpointCommand("f", 4, true), "dbstop(4)");
  EXPECT_EQ(ClearBreakpointCommand("f", 9, false), "dbclear('f',9)");
  EXPECT_EQ(ClearBreakpointCommand("f", 9, true), "dbclear(9)");
  EXPECT_EQ(ClearFileBreakpointsCommand("f"), "dbclear('f',dbstatus('f').line)");
  EXPECT_EQ(ChangeDirectoryCommand("/home/u/m files"), "cd '/home/u/m files'");
  // A quote in a name or folder cannot end the literal.
  EXPECT_EQ(SetBreakpointCommand("it's", 2, false), "dbstop('it''s',2)");

  EXPECT_EQ(FolderOf("/home/u/f.m"), "/home/u");
  EXPECT_EQ(FolderOf("/f.m"), "/");
  EXPECT_EQ(FolderOf("f.m"), "");
}
