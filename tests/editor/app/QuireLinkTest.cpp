// The link as Quire lives it: each text the console sends, fed to the frame's
// dispatcher, and the texts Quire sends back to a stand-in console.
#include <QAction>

#include <future>
#include <thread>

#include "editor/app/CommandIds.h"
#include "tests/editor/app/QuireTestSupport.h"

namespace {

using Items = std::vector<std::string>;
using namespace quire_command;

constexpr int kArrow = CScintillaWnd::DEBUG_ARROW_MARKER;
constexpr int kBreakpoint = CScintillaWnd::BREAKPOINT_MARKER;

// Line 3 is a comment and line 4 blank: a stop there shows on line 5.
const char* const kScript = "function f\n  x = 1;\n  % note\n\n  y = 2;\nend\n";

class QuireLinkTest : public QuireTest {
 protected:
  CQuireDoc* OpenScript(const std::string& name, const char* text = kScript) {
    return frame->OpenDocument(WriteFile(name, text), true);
  }
  bool ArrowAt(CQuireDoc* doc, int line) { return doc->View()->HasMarker(line, kArrow); }
  int ArrowCount() {
    int count = 0;
    for (CQuireDoc* doc : frame->Documents())
      for (int line = 1; line <= doc->View()->GetLineCount(); ++line) count += ArrowAt(doc, line) ? 1 : 0;
    return count;
  }
  static bool CallTipShown(CQuireDoc* doc) {
    return doc->View()->SendScintilla(QsciScintillaBase::SCI_CALLTIPACTIVE) != 0;
  }
  SLinkState& Link() { return app->LinkState(); }
};

}  // namespace

TEST_F(QuireLinkTest, UpdatePreferencesRereadsTheEditorKeys) {
  Start();
  CQuireDoc* doc = OpenScript("f.m");
  QSettings store;
  store.setValue(QStringLiteral("General/TabSize"), 8);
  store.setValue(QStringLiteral("General/CalltipsEnabled"), 0);
  store.sync();
  EXPECT_EQ(app->Preferences().view.tabSize, 4);
  frame->OnCopyData("UpdatePreferences");
  EXPECT_EQ(app->Preferences().view.tabSize, 8);
  EXPECT_FALSE(app->Preferences().callTips);
  EXPECT_EQ(doc->View()->SendScintilla(QsciScintillaBase::SCI_GETTABWIDTH), 8);
}

TEST_F(QuireLinkTest, HelpAnswersBecomeCallTipsOrDescribeTips) {
  Start();
  CQuireDoc* doc = OpenScript("f.m");
  frame->OnCopyData("parameters:'max' is a built-in function\n\n -- max (X, Y)\n -- max (X, [], DIM)\n"
                    "     Find maximum values.\n\n>> ");
  EXPECT_EQ(Link().callTipLines, (Items{"max (X, Y)", "max (X, [], DIM)"}));
  EXPECT_TRUE(CallTipShown(doc));
  EXPECT_EQ(doc->View()->CallTipIndex(), 0);
  EXPECT_TRUE(tips.empty());

  // With call tips switched off the answer is only kept.
  doc->View()->SendScintilla(QsciScintillaBase::SCI_CALLTIPCANCEL);
  QSettings()
      .setValue(QStringLiteral("General/CalltipsEnabled"), 0);
  frame->OnCopyData("UpdatePreferences");
  frame->OnCopyData("parameters:\n -- min (X)\n>> ");
  EXPECT_FALSE(CallTipShown(doc));
  EXPECT_EQ(Link().callTipLines, Items{"min (X)"});

  // "Describe command" shows its tip once, found or not.
  Link().bDescribePending = true;
  Link().tipWord = "nosuch";
  frame->OnCopyData("parameters:error: help: 'nosuch' not found\n>> ");
  EXPECT_EQ(tips, Items{"'<b>nosuch</b>' is not a command or has no description."});
  EXPECT_FALSE(Link().bDescribePending);
  frame->OnCopyData("parameters:error: help: 'nosuch' not found\n>> ");
  EXPECT_EQ(tips.size(), 1u);
}

TEST_F(QuireLinkTest, CompletionAnswerAndValueTips) {
  Start();
  frame->OnCopyData("completion:\nabs\nacos\n>> ");
  EXPECT_EQ(Link().completionWords, (Items{"abs", "acos"}));
  frame->OnCopyData("completion:\n>> ");
  EXPECT_EQ(Link().completionWords, Items{});

  Link().tipWord = "v(2)";
  frame->OnCopyData("varvalue:<b>ans </b>= 5");
  Link().tipWord = "v";
  frame->OnCopyData("varvalue:<b>v </b>=\n\n   1   2\n");
  EXPECT_EQ(tips, (Items{"<b>v(2) </b>= 5", "<b>v </b>=\n\n   1   2\n"}));
}

TEST_F(QuireLinkTest, DebugStopShowsTheArrowOnTheNextCodeLineAndTheCaretOnTheLine) {
  CConsoleStandIn console;
  Start();
  console.Clear();  // the start-up request
  CQuireDoc* f = OpenScript("f.m");
  const std::string gPath = WriteFile("g.m", "a = 1;\nb = 2;\n");

  frame->OnCopyData("debug\nLine=3\nPath=" + f->Path());
  EXPECT_TRUE(Link().bDebugging);
  EXPECT_EQ(f->View()->GetCurrentLine(), 3);
  EXPECT_TRUE(ArrowAt(f, 5));
  EXPECT_EQ(ArrowCount(), 1);
  EXPECT_EQ(f->DebugArrowLine(), 3);
  EXPECT_EQ(frame->Action(kRun)->text(), QStringLiteral("Continue"));
  EXPECT_TRUE(frame->Action(kDebugStep)->isEnabled());

  // A stop in a file that is not open opens it; the arrow moves there.
  frame->OnCopyData("debug\nLine=2\nPath=" + gPath);
  ASSERT_EQ(frame->ActiveDocument()->Path(), gPath);
  EXPECT_TRUE(ArrowAt(frame->ActiveDocument(), 2));
  EXPECT_EQ(ArrowCount(), 1);

  // A stop in a file that cannot be opened draws no arrow in another file.
  frame->OnCopyData("debug\nLine=1\nPath=" + Folder() + "/vanished.m");
  EXPECT_EQ(ArrowCount(), 0);
  EXPECT_TRUE(Link().bDebugging);
  EXPECT_TRUE(warnings.empty());

  // Run continues while debugging; the step commands send their texts.
  frame->Action(kRun)->trigger();
  frame->Action(kDebugStep)->trigger();
  frame->Action(kDebugStepIn)->trigger();
  frame->Action(kDebugStepOut)->trigger();
  frame->Action(kDebugStop)->trigger();
  EXPECT_EQ(console.Texts(), (Items{"dbcont\r\n", "dbstep\r\n", "dbstep in\r\n", "dbstep out\r\n", "dbquit\r\n"}));
}

TEST_F(QuireLinkTest, BreakpointsLandOnCodeLinesAndDbendedClearsThemEverywhere) {
  CConsoleStandIn console;
  Start();
  console.Clear();  // the start-up request
  CQuireDoc* f = OpenScript("f.m");
  CQuireDoc* g = OpenScript("g.m", "a = 1;\n\nb = 2;\n");

  frame->Activate(f);
  f->View()->GotoLine(3);  // the comment line
  frame->Action(kToggleBreakpoint)->trigger();
  EXPECT_TRUE(f->View()->HasMarker(5, kBreakpoint));
  f->View()->GotoLine(1);  // the first line: the interpreter decides where it stops
  frame->ToggleBreakpoint();
  EXPECT_TRUE(f->View()->HasMarker(1, kBreakpoint));
  f->View()->GotoLine(6);
  frame->ToggleBreakpoint();  // "end" is code
  frame->ToggleBreakpoint();  // and off again
  frame->ToggleBreakpointAt(g, 2);
  EXPECT_EQ(console.Texts(), (Items{"dbstop('f',5)\r\n", "dbstop('f',1)\r\n", "dbstop('f',6)\r\n",
                                    "dbclear('f',6)\r\n", "dbstop('g',3)\r\n"}));

  console.Clear();
  frame->OnCopyData("debug\nLine=5\nPath=" + f->Path());
  frame->ToggleBreakpointAt(f, 2);  // short form while debugging
  EXPECT_EQ(console.Texts(), Items{"dbstop(2)\r\n"});

  console.Clear();
  frame->OnCopyData("dbended\nPath=");
  EXPECT_FALSE(Link().bDebugging);
  EXPECT_EQ(console.Texts(), (Items{"dbclear('f',dbstatus('f').line)\r\n", "dbclear('g',dbstatus('g').line)\r\n"}));
  EXPECT_FALSE(f->HasBreakpoints());
  EXPECT_FALSE(g->HasBreakpoints());
  EXPECT_FALSE(f->View()->HasMarker(5, kBreakpoint));
  EXPECT_FALSE(g->View()->HasMarker(3, kBreakpoint));
  EXPECT_EQ(ArrowCount(), 0);
  EXPECT_EQ(f->DebugArrowLine(), -1);
  EXPECT_EQ(frame->Action(kRun)->text(), QStringLiteral("Run / Debug"));
  EXPECT_FALSE(frame->Action(kDebugStep)->isEnabled());

  // Closing a file with breakpoints clears them in the interpreter.
  console.Clear();
  frame->ToggleBreakpointAt(g, 3);
  frame->CloseDocument(g);
  EXPECT_EQ(console.Texts(), (Items{"dbstop('g',3)\r\n", "dbclear('g',dbstatus('g').line)\r\n"}));
}

TEST_F(QuireLinkTest, UnknownNameErrorOffersThePathFixOnceAndNotAfterAnotherText) {
  CConsoleStandIn console;
  Start();
  console.Clear();  // the start-up request
  CQuireDoc* f = OpenScript("f.m");
  const std::string folder = quire_link::FolderOf(f->Path());
  std::vector<std::string> asked;
  std::vector<std::string> sentBefore;  // what the console got last when each was asked
  PathFixChoice answer = PathFixChoice::AddToPath;
  questions.pathFix = [&](const QString& text) {
    asked.push_back(text.toStdString());
    sentBefore.push_back(console.Texts().back());
    return answer;
  };

  frame->Run();
  EXPECT_EQ(console.Texts(), Items{"f\r\n"});
  frame->OnCopyData("error: 'f' undefined near line 1, column 1");
  ASSERT_TRUE(QTest::qWaitFor([&] { return asked.size() == 1; }, 5000));
  EXPECT_EQ(asked[0], quire_link::kPathFixQuestion);
  EXPECT_EQ(console.Texts().back(), "addpath('" + folder + "');\r\n");

  // Another text empties the name: the same error no longer asks. Errors are
  // answered in order, so the next question shows whether this one asked.
  frame->OnCopyData("dbended\nPath=");
  frame->OnCopyData("error: 'f' undefined near line 1, column 1");

  // The old interpreter's quoting asks as well; Change Directory sends cd.
  answer = PathFixChoice::ChangeDirectory;
  frame->Run();
  frame->OnCopyData("error: `f' undefined near line 1 column 1");
  ASSERT_TRUE(QTest::qWaitFor([&] { return asked.size() >= 2; }, 5000));
  EXPECT_EQ(sentBefore[1], "f\r\n") << "the error after the emptied name asked";
  EXPECT_EQ(console.Texts().back(), "cd '" + folder + "'\r\n");

  // Cancel sends nothing.
  answer = PathFixChoice::Cancel;
  const size_t sent = console.Texts().size();
  frame->Run();
  frame->OnCopyData("error: 'f' undefined");
  ASSERT_TRUE(QTest::qWaitFor([&] { return asked.size() == 3; }, 5000));
  EXPECT_EQ(console.Texts().size(), sent + 1);  // only the run
}

TEST_F(QuireLinkTest, FailedBreakpointClearsBreakpointsAndOffersThePathFix) {
  CConsoleStandIn console;
  Start();
  console.Clear();  // the start-up request
  CQuireDoc* f = OpenScript("f.m");
  int asked = 0;
  std::vector<std::string> sentBefore;  // what the console got last when each was asked
  questions.pathFix = [&](const QString&) {
    ++asked;
    sentBefore.push_back(console.Texts().back());
    return PathFixChoice::ChangeDirectory;
  };
  frame->ToggleBreakpointAt(f, 2);
  frame->OnCopyData("error: add_breakpoints_in_function: unable to find function 'f'");
  ASSERT_TRUE(QTest::qWaitFor([&] { return asked == 1; }, 5000));
  EXPECT_FALSE(f->HasBreakpoints());
  EXPECT_EQ(console.Texts(), (Items{"dbstop('f',2)\r\n", "dbclear('f',dbstatus('f').line)\r\n",
                                    "cd '" + quire_link::FolderOf(f->Path()) + "'\r\n"}));
  // An unrelated error asks nothing: errors are answered in order, so the
  // question of the next failed breakpoint shows whether it did.
  frame->OnCopyData("error: division by zero");
  frame->ToggleBreakpointAt(f, 3);
  frame->OnCopyData("error: add_breakpoints_in_function: unable to find function 'f'");
  ASSERT_TRUE(QTest::qWaitFor([&] { return asked >= 2; }, 5000));
  EXPECT_EQ(sentBefore[1], "dbclear('f',dbstatus('f').line)\r\n")
      << "the unrelated error asked";
}

TEST_F(QuireLinkTest, WithoutTheConsoleOnlyAskingRequestsOfferToStartIt) {
  Start();
  CQuireDoc* f = OpenScript("f.m");
  frame->Run();  // dropped without a word
  EXPECT_TRUE(startQuestions.empty());
  frame->ToggleBreakpointAt(f, 2);
  EXPECT_EQ(startQuestions, Items{" - Calyx is not running.\nDo you like to open it?"});
  EXPECT_TRUE(f->View()->HasMarker(2, kBreakpoint));  // the editor marks it anyway
  EXPECT_TRUE(started.empty());

  questions.startConsole = [](const QString&) { return true; };
  frame->ToggleBreakpointAt(f, 2);
  EXPECT_EQ(started, Items{ProgramFolder() + "/calyx"});
}

TEST_F(QuireLinkTest, TheConsoleFindsQuireByItsTitleAndItsTextsArrive) {
  CConsoleStandIn console;
  Start();
  // Asked once at start, without a question.
  EXPECT_EQ(console.Texts(), Items{"completion_matches_editor\r\n"});
  EXPECT_TRUE(calyx_link::TitleExists("Quire"));
  EXPECT_EQ(calyx_link::FindTitleContaining("Quire - "), "");

  CQuireDoc* f = OpenScript("f.m");
  EXPECT_EQ(calyx_link::FindTitleContaining("Quire - "), "Quire - [f.m]");
  f->View()->SetText("x = 1;\n% c\ny = 2;\n");
  EXPECT_EQ(calyx_link::FindTitleContaining("Quire - "), "Quire - [f.m*]");

  // Sent as the console does, from another thread; the window keeps working.
  const std::string stop = "debug\nLine=2\nPath=" + f->Path();
  std::future<bool> sent = std::async(std::launch::async, [&stop] {
    return calyx_link::SendToTitleContaining("Quire - ", stop);
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                              10000));
  EXPECT_TRUE(sent.get());
  EXPECT_TRUE(Link().bDebugging);
  EXPECT_TRUE(ArrowAt(f, 3));
}

TEST_F(QuireLinkTest, RunSendsACallableNameAsItIsAndAnyOtherFileQuoted) {
  CConsoleStandIn console;
  Start();
  console.Clear();  // the start-up request
  CQuireDoc* plain = OpenScript("plain.m", "x = 1;\n");
  CQuireDoc* spaced = OpenScript("my script.m", "x = 1;\n");
  CQuireDoc* hostile = OpenScript("a;system('id').m", "x = 1;\n");
  for (CQuireDoc* doc : {plain, spaced, hostile}) {
    frame->Activate(doc);
    frame->Run();
  }
  EXPECT_EQ(console.Texts(), (Items{"plain\r\n", "run('" + Folder() + "/my script.m')\r\n",
                                    "run('" + Folder() + "/a;system(''id'').m')\r\n"}));
}

TEST_F(QuireLinkTest, TheModifiedMarkIsNeverPartOfTheScriptName) {
  CConsoleStandIn console;
  Start();
  console.Clear();
  CQuireDoc* doc = frame->NewBlankDocument();
  doc->View()->SetText("a = 1;\nb = 2;\n");
  ASSERT_EQ(doc->Title(), "Untitled1*");
  frame->ToggleBreakpointAt(doc, 2);
  EXPECT_EQ(console.Texts(), Items{"dbstop('Untitled1',2)\r\n"});
}

TEST_F(QuireLinkTest, ValueTipsAskOnlyForNamesInCode) {
  CConsoleStandIn console;
  Start();
  console.Clear();
  // exit in a comment, clear in a string, return a keyword, 12 a number.
  const std::string text = "x = 12; % exit\ns = 'clear';\nreturn\ny = x;\n";
  CQuireDoc* doc = OpenScript("v.m", text.c_str());
  const std::string shown = doc->View()->GetText();  // with the editor's line ends
  auto hover = [&](const char* word, size_t from = 0) {
    const long position = static_cast<long>(shown.find(word, from));
    emit doc->View()->mouseHovered(position, QPoint(10, 10));
  };
  hover("x");  // not debugging: nothing
  frame->OnCopyData("debug\nLine=1\nPath=" + doc->Path());
  ASSERT_TRUE(Link().bDebugging);
  console.Clear();
  hover("exit");
  hover("clear");
  hover("return");
  hover("12");
  hover("x", shown.find("y ="));
  hover("s");
  EXPECT_EQ(console.Texts(), (Items{"getvalue:x\r\n", "getvalue:s\r\n"}));
}
