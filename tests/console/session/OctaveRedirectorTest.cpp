// The output interpreter fed piece by piece, as the reader thread would.
#include "console/session/OctaveRedirector.h"

#include <gtest/gtest.h>

#include "common/UserDirs.h"
#include "console/headless/MemoryViews.h"
#include "tests/common/TestFiles.h"

namespace {

class OctaveRedirectorTest : public ::testing::Test {
 protected:
  CMemoryViews views;
  CSessionSignals signals;
  CHistoryStore history;
  COctaveRedirector redirector{signals, views.Views(), history};

  void Feed(const std::string& output) {
    redirector.FeedOutput(output);
    redirector.FeedQuiet();
  }
  // The same output one byte at a time, the output going quiet only at the end.
  void FeedBytes(const std::string& output) {
    for (char c : output) redirector.FeedOutput(std::string(1, c));
    redirector.FeedQuiet();
  }
  std::vector<std::string> MarkTexts(ConsoleMark::Kind kind) {
    std::vector<std::string> texts;
    const std::string text = views.console.Text();
    for (const auto& mark : views.console.Marks()) {
      if (mark.kind == kind) texts.push_back(text.substr(mark.begin, mark.end - mark.begin));
    }
    return texts;
  }
};

// Folders that exist, so that their long form is themselves.
#ifdef _WIN32
const std::string kFolderA = "C:\\windows";
const std::string kFolderB = "C:\\windows\\system32";
#else
const std::string kFolderA = "/tmp";
const std::string kFolderB = "/usr";
#endif
const std::string kPathAnswer = "\nOctave's search path contains the following directories:\n\n.\n" +
                                kFolderA + "\n" + kFolderB + "\n\n>> ";

TEST_F(OctaveRedirectorTest, CapturedAnswerInThreeChunksFillsTheListOnceAndShowsNothing) {
  Feed(">> ");
  const std::string before = views.console.Text();
  redirector.m_bExpectPath = true;
  signals.m_hReadyEvent.Reset();
  const std::string answer = kPathAnswer;
  redirector.FeedOutput(answer.substr(0, 20));
  redirector.FeedOutput(answer.substr(20, 50));
  EXPECT_FALSE(signals.m_hReadyEvent.IsSet());
  EXPECT_EQ(views.searchPath.Rebuilds(), 0);
  redirector.FeedOutput(answer.substr(70));
  EXPECT_TRUE(signals.m_hReadyEvent.IsSet());
  EXPECT_EQ(views.searchPath.Rebuilds(), 1);
  EXPECT_EQ(views.searchPath.Rows(), (std::vector<ListRow>{{{kFolderA}, -1}, {{kFolderB}, -1}}));
  EXPECT_EQ(views.console.Text(), before);
  EXPECT_FALSE(redirector.m_bExpectPath);
}

TEST_F(OctaveRedirectorTest, BarePromptAfterSilentCommandIsDroppedButFollowsAnEcho) {
  Feed("banner\n>> ");
  signals.m_hReadyEvent.Reset();
  Feed(">> ");
  EXPECT_EQ(views.console.Text(), "banner\n>> ");
  EXPECT_TRUE(signals.m_hReadyEvent.IsSet());

  views.console.EchoCommand("x = 1;");
  Feed(">> ");
  EXPECT_EQ(views.console.Text(), "banner\n>> x = 1;\n>> ");
  EXPECT_EQ(MarkTexts(ConsoleMark::Kind::Bold).back(), "\n>> ");
}

TEST_F(OctaveRedirectorTest, TheNextCommandWaitsForThePromptOrForTheInterpreterToGoQuiet) {
  Feed(">> ");
  signals.m_hReadyEvent.Reset();
  redirector.FeedOutput("A\n");
  EXPECT_EQ(views.console.Text(), ">> A\n");
  EXPECT_FALSE(signals.m_hReadyEvent.IsSet());
  redirector.FeedOutput(">> ");
  EXPECT_TRUE(signals.m_hReadyEvent.IsSet());
  // A question of input() ends without a prompt: the typed answer must get through.
  signals.m_hReadyEvent.Reset();
  redirector.FeedOutput("Enter a number: ");
  EXPECT_FALSE(signals.m_hReadyEvent.IsSet());
  redirector.FeedQuiet();
  EXPECT_TRUE(signals.m_hReadyEvent.IsSet());
  EXPECT_EQ(views.console.Tail(16), "Enter a number: ");
}

TEST_F(OctaveRedirectorTest, TheSecondPromptOfAnInterruptIsNotShownAfterTheNextEcho) {
  Feed(">> ");
  views.console.EchoCommand("for i=1:1e10, end");
  redirector.ExpectInterruptPrompts();
  Feed("\n>> ");
  views.console.EchoCommand("disp(42)");
  Feed(">> ");
  Feed("42\n>> ");
  EXPECT_EQ(views.console.Text(), ">> for i=1:1e10, end\n\n>> disp(42)\n42\n>> ");
  // Both prompts in one piece: shown once, and nothing later is held back.
  redirector.ExpectInterruptPrompts();
  views.console.EchoCommand("pause(9)");
  Feed("\n>> >> ");
  views.console.EchoCommand("x = 1;");
  Feed(">> ");
  EXPECT_EQ(views.console.Tail(23), "pause(9)\n\n>> x = 1;\n>> ");
}

TEST_F(OctaveRedirectorTest, ErrorIsRedGoesToTheEditorAndBeepsWhenAsked) {
  views.settings.SetInt("General", "BeepOnErrors", 1);
  Feed("error: 'y' undefined near line 1, column 1\n>> ");
  EXPECT_EQ(MarkTexts(ConsoleMark::Kind::Error),
            (std::vector<std::string>{"error: 'y' undefined near line 1, column 1"}));
  EXPECT_EQ(MarkTexts(ConsoleMark::Kind::Bold), (std::vector<std::string>{"\n>> "}));
  EXPECT_EQ(views.host.Beeps(), 1);
  EXPECT_EQ(views.host.EditorMessages(),
            (std::vector<std::string>{"error: 'y' undefined near line 1, column 1\n>> "}));
  // Quoted, it is no error.
  Feed("error: x error' y\n>> ");
  EXPECT_EQ(views.host.Beeps(), 1);
}

TEST_F(OctaveRedirectorTest, DebuggerStopReachesTheEditorAndTheNormalPromptEndsIt) {
  Feed("stopped in f at line 3 [/nonexistent/f.m] \n3:   y = x + 1;\ndebug> ");
  EXPECT_TRUE(redirector.InDebugMode());
  EXPECT_EQ(redirector.CurrentPrompt(), "debug> ");
  EXPECT_NE(views.console.Text().find("3:   y = x + 1;"), std::string::npos);
  views.console.EchoCommand("dbcont");
  Feed("ans = 3\n>> ");
  EXPECT_FALSE(redirector.InDebugMode());
  EXPECT_EQ(views.host.EditorMessages(),
            (std::vector<std::string>{"debug\nLine=3\nPath=/nonexistent/f.m", "dbended\nPath="}));
}

TEST_F(OctaveRedirectorTest, ValueAndHelpForTheEditorAreNotShown) {
  Feed(">> ");
  redirector.m_bExpectValue = true;
  Feed("x = 3\n>> ");
  redirector.m_bExpectEditorHelp = true;
  Feed(" -- sin (X)\n>> ");
  EXPECT_EQ(views.console.Text(), ">> ");
  EXPECT_EQ(views.host.EditorMessages(),
            (std::vector<std::string>{"varvalue:<pre><b>x </b>= 3</pre>", "parameters: -- sin (X)\n>> "}));
}

TEST_F(OctaveRedirectorTest, CompletionOpensThePopupOrAcceptsTheOnlyCandidate) {
  redirector.m_bExpectCompletion = true;
  Feed("plot\nplot3\n>> ");
  EXPECT_EQ(views.completion.Candidates(), (std::vector<std::string>{"plot", "plot3"}));
  EXPECT_TRUE(views.completion.Accepted().empty());
  redirector.m_bExpectCompletion = true;
  Feed("plotyy\n>> ");
  EXPECT_EQ(views.completion.Accepted(), (std::vector<std::string>{"plotyy"}));
  redirector.m_bExpectCompletion = true;
  Feed(">> ");
  EXPECT_EQ(views.completion.Candidates(), (std::vector<std::string>{"plotyy"}));
}

TEST_F(OctaveRedirectorTest, WorkspaceListIsRebuiltOnlyWhenNamesOrSizesChange) {
  const std::string header =
      "Variables visible from the current scope:\n\nvariables in scope: top scope\n\n"
      " Name   Size   Class   Bytes\n ====   ====   =====   =====\n";
  Feed(header + " a 1x1 double 8\n\nTotal is 1 element using 8 bytes\n\n>> ");
  EXPECT_EQ(views.workspace.Rebuilds(), 1);
  Feed(header + " a 1x1 double 8\n\nTotal is 1 element using 8 bytes\n\n>> ");
  EXPECT_EQ(views.workspace.Rebuilds(), 1);
  Feed(header + " a 1x1 double 8\n b 2x2 double 32\n\nTotal is 5 elements\n\n>> ");
  EXPECT_EQ(views.workspace.Rebuilds(), 2);
  EXPECT_EQ(views.workspace.Rows().size(), 2u);
  EXPECT_EQ(views.console.Text(), "");
}

TEST_F(OctaveRedirectorTest, LineCapKeepsTheNewestLines) {
  views.settings.SetInt("General", "MaxLines", 2000);
  std::string flood;
  for (int i = 1; i <= 2500; ++i) flood += std::to_string(i) + "\n";
  Feed(flood + ">> ");
  const std::string text = views.console.Text();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n') + 1, 2000);
  EXPECT_EQ(text.substr(0, 4), "502\n");
  EXPECT_EQ(text.substr(text.size() - 9), "\n2500\n>> ");
}

TEST_F(OctaveRedirectorTest, PipeFailuresAppearInTheConsole) {
  redirector.Start(ProgramFolder() + kPathSeparator + "no-such-interpreter --interactive");
  EXPECT_NE(views.console.Text().find("Error message: Redirect console error: 2\n"),
            std::string::npos);
}

// Every answer split at every byte must be understood exactly as when whole.
TEST(OctaveRedirectorSplit, EveryAnswerSplitAtEveryByteGivesTheSameResult) {
  const std::vector<std::pair<std::string, std::function<void(COctaveRedirector&)>>> answers = {
      {"Variables in the current scope:\n\n Name Size Class Bytes\n ==== ==== ===== =====\n"
       " a 1x1 double 8\n\nTotal is 1 element\n\n>> ",
       [](COctaveRedirector&) {}},
      {kPathAnswer, [](COctaveRedirector& r) { r.m_bExpectPath = true; }},
      {"keyboard: stopped in /x/f.m at line 2\ndebug> ", [](COctaveRedirector&) {}},
      {"stopped in f at line 3 [/x/f.m] \n3:   y = 1;\ndebug> ", [](COctaveRedirector&) {}},
      {"error: 'y' undefined near line 1, column 1\n>> ", [](COctaveRedirector&) {}},
      {"\n     See also: asin, sind, sinh.\n\nAdditional help\n>> ",
       [](COctaveRedirector& r) { r.m_bExpectHelp = true; }},
      {"x = 3\n>> ", [](COctaveRedirector& r) { r.m_bExpectValue = true; }},
      {"ans = 3\n>> ", [](COctaveRedirector&) {}},
  };
  struct Outcome {
    std::string console;
    std::vector<int> formats;  // per console byte: which kinds of mark cover it
    std::vector<ListRow> workspace, path;
    std::vector<std::string> editor;
    bool operator==(const Outcome&) const = default;
  };
  auto run = [](const std::string& answer, const std::function<void(COctaveRedirector&)>& expect,
                const std::vector<size_t>& cuts) {
    CMemoryViews views;
    CSessionSignals signals;
    CHistoryStore history;
    COctaveRedirector redirector(signals, views.Views(), history);
    redirector.FeedOutput("banner\n");
    views.console.EchoCommand("cmd");
    expect(redirector);
    size_t from = 0;
    for (size_t cut : cuts) {
      redirector.FeedOutput(answer.substr(from, cut - from));
      from = cut;
    }
    redirector.FeedOutput(answer.substr(from));
    redirector.FeedQuiet();
    Outcome outcome{views.console.Text(), {}, views.workspace.Rows(), views.searchPath.Rows(), {}};
    outcome.formats.resize(outcome.console.size());
    for (const auto& mark : views.console.Marks()) {
      for (size_t i = mark.begin; i < mark.end; ++i) outcome.formats[i] |= 1 << static_cast<int>(mark.kind);
    }
    // An error reaches the editor as it arrives, with or without the prompt after it.
    for (std::string message : views.host.EditorMessages()) {
      if (message.ends_with(">> ")) message.resize(message.size() - 3);
      if (!message.empty()) outcome.editor.push_back(message);
    }
    return outcome;
  };
  for (const auto& [answer, expect] : answers) {
    const Outcome whole = run(answer, expect, {});
    for (size_t cut = 1; cut < answer.size(); ++cut) {
      EXPECT_EQ(run(answer, expect, {cut}), whole) << "cut at " << cut << " of " << answer;
    }
    std::vector<size_t> everyByte;
    for (size_t cut = 1; cut < answer.size(); ++cut) everyByte.push_back(cut);
    EXPECT_EQ(run(answer, expect, everyByte), whole) << answer;
  }
}

}  // namespace
