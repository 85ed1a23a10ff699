// Call tips, Describe command, doc and the Autocompletion switch, with their
// keys, against a stand-in console that records what Quire asks.
#include <QAction>

#include "editor/app/CommandIds.h"
#include "tests/editor/app/QuireTestSupport.h"

namespace {

using Items = std::vector<std::string>;
using namespace quire_command;

class QuireTipTest : public QuireTest {
 protected:
  CScintillaWnd* OpenScript(const char* text) {
    Start({}, true);
    frame->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame));
    CScintillaWnd* view = frame->OpenDocument(WriteFile("tips.m", text), true)->View();
    view->setFocus();
    console.Clear();  // the name-list request of the start
    return view;
  }
  CConsoleStandIn console;
};

}  // namespace

TEST_F(QuireTipTest, TypingAParenthesisAsksForHelpSilentlyAndShowsTheCallTip) {
  CScintillaWnd* view = OpenScript("x = 1;\n");
  app->LinkState().bDescribePending = true;  // an older Describe gives way
  view->GotoPosition(view->GetLength());
  QTest::keyClicks(view, "m = max (");
  EXPECT_EQ(console.Texts(), Items{"help max;###\r\n"});
  EXPECT_FALSE(app->LinkState().bDescribePending);
  frame->OnCopyData("parameters:\n -- max (X)\n -- max (X, Y, DIM)\n     Find maximum values.\n>> ");
  EXPECT_TRUE(view->IsCallTipShown());
  QTest::keyClick(view, Qt::Key_Down);
  EXPECT_EQ(view->CallTipIndex(), 1);
  EXPECT_TRUE(tips.empty());
}

TEST_F(QuireTipTest, DescribeShowsTheHelpTipAndDocAsksTheConsole) {
  CScintillaWnd* view = OpenScript("y = sin(x);\nz = qqq;\n");
  view->GotoPosition(5);  // in "sin"
  QTest::keyClick(view, Qt::Key_D, Qt::ControlModifier);
  EXPECT_EQ(console.Texts(), Items{"help sin;###\r\n"});
  EXPECT_TRUE(app->LinkState().bDescribePending);
  EXPECT_EQ(app->LinkState().tipWord, "sin");
  frame->OnCopyData("parameters:\n -- sin (X)\n     Compute the sine <of> X.\n>> ");
  ASSERT_EQ(tips.size(), 1u);
  EXPECT_EQ(tips[0],
            "<font color=#000000><b>sin (X)</b></font>\n<hr><font color=#202050>\nCompute the sine &lt;of&gt; X.\n</font>");
  EXPECT_FALSE(view->IsCallTipShown());  // a Describe answer is no call tip

  view->GotoLine(2);
  view->GotoPosition(view->GetCurrentPosition() + 5);  // in "qqq"
  frame->Action(kDescribe)->trigger();
  frame->OnCopyData("parameters:error: help: 'qqq' not found\n>> ");
  EXPECT_EQ(tips.back(), "'<b>qqq</b>' is not a command or has no description.");

  console.Clear();
  QTest::keyClick(view, Qt::Key_F1);
  EXPECT_EQ(console.Texts(), Items{"doc qqq;###\r\n"});
  // Between words there is nothing to describe or look up.
  console.Clear();
  view->GotoPosition(2);  // between " " and "="
  frame->Action(kDoc)->trigger();
  frame->Action(kDescribe)->trigger();
  EXPECT_EQ(console.Texts(), Items{});
}

TEST_F(QuireTipTest, TheAutocompletionSwitchIsASettingWithACheckMark) {
  CScintillaWnd* view = OpenScript("");
  frame->OnCopyData("completion:\nsin\nsinh\nsize\n>> ");
  QTest::keyClicks(view, "si");
  EXPECT_NE(view->SendScintilla(QsciScintillaBase::SCI_AUTOCACTIVE), 0);
  view->SendScintilla(QsciScintillaBase::SCI_AUTOCCANCEL);

  QAction* completion = frame->Action(kAutocompletion);
  EXPECT_TRUE(completion->isChecked());
  completion->trigger();
  EXPECT_FALSE(completion->isChecked());
  EXPECT_EQ(CQuireApp::ProfileInt(QStringLiteral("General"), QStringLiteral("AutoCompleteEnabled"), 1), 0);
  QTest::keyClicks(view, " si");
  EXPECT_EQ(view->SendScintilla(QsciScintillaBase::SCI_AUTOCACTIVE), 0);
  completion->trigger();
  EXPECT_TRUE(completion->isChecked());
  EXPECT_EQ(CQuireApp::ProfileInt(QStringLiteral("General"), QStringLiteral("AutoCompleteEnabled"), 0), 1);
}
