// The dispatcher's order of tests and the state it keeps, against a target that
// writes down what it is asked to do.
#include "editor/app/LinkDispatcher.h"

#include <gtest/gtest.h>

namespace {

using Items = std::vector<std::string>;

class CRecordingTarget : public IDispatchTarget {
 public:
  void ReloadPreferences() override { calls.push_back("reload"); }
  bool CallTipsEnabled() override { return callTips; }
  void ShowHtmlTip(const std::string& html) override { calls.push_back("tip:" + html); }
  void ShowCallTip() override { calls.push_back("calltip"); }
  void OpenOrActivate(const std::string& path) override { calls.push_back("open:" + path); }
  void GotoLine(long line) override { calls.push_back("goto:" + std::to_string(line)); }
  void ShowDebugArrow(long line) override { calls.push_back("arrow:" + std::to_string(line)); }
  void ClearAllBreakpoints() override { calls.push_back("clear"); }
  void StartErrorWorker(const SErrorReport& report) override {
    calls.push_back("error:" + report.lastTargetName + "|" + report.errorText);
  }

  Items calls;
  bool callTips = true;
};

class LinkDispatcherTest : public ::testing::Test {
 protected:
  void Target(const std::string& name) {
    state.lastTargetName = name;
    state.lastTargetPath = "/w/" + name + ".m";
  }
  SLinkState state;
  CRecordingTarget target;
  CLinkDispatcher dispatcher{state, target};
};

}  // namespace

TEST_F(LinkDispatcherTest, PreferencesHelpAndCompletionAreExclusive) {
  Target("f");
  dispatcher.Dispatch("UpdatePreferences");
  dispatcher.Dispatch("completion:\nsin\ncos\n>> ");
  EXPECT_EQ(target.calls, Items{"reload"});
  EXPECT_EQ(state.completionWords, (Items{"sin", "cos"}));
  // None of them empties the last target's name.
  EXPECT_EQ(state.lastTargetName, "f");
  dispatcher.Dispatch("completion:\n>> ");
  EXPECT_EQ(state.completionWords, Items{});
}

TEST_F(LinkDispatcherTest, HelpAnswerShowsCallTipOrDescribeTip) {
  dispatcher.Dispatch("parameters: -- max (X, Y)\n  Find maximum values.\n>> ");
  EXPECT_EQ(state.callTipLines, Items{"max (X, Y)"});
  EXPECT_EQ(target.calls, Items{"calltip"});

  target.calls.clear();
  target.callTips = false;
  dispatcher.Dispatch("parameters: -- max (X, Y)\n>> ");
  EXPECT_EQ(target.calls, Items{});

  target.callTips = true;
  dispatcher.Dispatch("parameters:\n>> ");  // no usage: no call tip
  EXPECT_EQ(target.calls, Items{});
  EXPECT_EQ(state.callTipHtml, "");

  // "Describe command" waits for the answer, whatever it holds, once.
  state.bDescribePending = true;
  state.tipWord = "nosuch";
  dispatcher.Dispatch("parameters:error: help: 'nosuch' not found\n>> ");
  EXPECT_EQ(target.calls, Items{"tip:'<b>nosuch</b>' is not a command or has no description."});
  EXPECT_FALSE(state.bDescribePending);
  target.calls.clear();
  state.bDescribePending = true;
  dispatcher.Dispatch("parameters: -- abs (Z)\n Absolute value.\n");
  EXPECT_EQ(target.calls, Items{"tip:" + state.callTipHtml + "</font>"});
}

TEST_F(LinkDispatcherTest, DebugStopAndEnd) {
  Target("f");
  dispatcher.Dispatch("debug\nLine=5\nPath=/w/f.m");
  EXPECT_EQ(target.calls, (Items{"open:/w/f.m", "arrow:5"}));
  EXPECT_TRUE(state.bDebugging);
  EXPECT_EQ(state.lastTargetName, "");

  target.calls.clear();
  dispatcher.Dispatch("dbended\nPath=");
  EXPECT_EQ(target.calls, Items{"clear"});
  EXPECT_FALSE(state.bDebugging);
}

TEST_F(LinkDispatcherTest, ValueTipsConsoleLinksAndOtherTexts) {
  Target("f");
  state.tipWord = "a(1)";
  dispatcher.Dispatch("varvalue:<b>ans </b>= 3");
  EXPECT_EQ(target.calls, Items{"tip:<b>a(1) </b>= 3"});
  EXPECT_EQ(state.lastTargetName, "f");  // a value answer keeps the target

  target.calls.clear();
  dispatcher.Dispatch("line 4 column 1 file /w/g.m");
  EXPECT_EQ(target.calls, (Items{"open:/w/g.m", "goto:4"}));
  EXPECT_EQ(state.lastTargetName, "");
  EXPECT_FALSE(state.bDebugging);

  Target("f");
  target.calls.clear();
  dispatcher.Dispatch("anything at all");
  EXPECT_EQ(target.calls, Items{});
  EXPECT_EQ(state.lastTargetName, "");
}

TEST_F(LinkDispatcherTest, ErrorsGoToTheWorkerWithTheNameAtThatMoment) {
  Target("f");
  dispatcher.Dispatch("error: 'f' undefined near line 1, column 1");
  EXPECT_EQ(target.calls, Items{"error:f|error: 'f' undefined near line 1, column 1"});
  EXPECT_EQ(state.lastTargetName, "f");
  dispatcher.Dispatch("dbended\nPath=");
  dispatcher.Dispatch("error: 'f' undefined");
  EXPECT_EQ(target.calls.back(), "error:|error: 'f' undefined");
}
