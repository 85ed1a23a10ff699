// Call tips and completion on a live control, driven by typed keys.
#include <QSignalSpy>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "ScintillaFixture.h"

using Sci = QsciScintillaBase;
using Items = std::vector<std::string>;

class ScintillaTips : public ScintillaFixture {
 protected:
  void SetUp() override {
    ScintillaFixture::SetUp();
    m_wnd.SetCompletionSource([this]() -> const Items& { return m_names; });
  }
  bool CallTipShown() const { return Message(Sci::SCI_CALLTIPACTIVE) != 0; }
  bool ListShown() const { return Message(Sci::SCI_AUTOCACTIVE) != 0; }
  // The request that "(" made, or "" when none.
  QString Requested(QSignalSpy& spy) const { return spy.isEmpty() ? QString() : spy.takeLast().at(0).toString(); }

  Items m_names{"sinh", "size", "sin", "single", "Sigma"};
  const Items m_usage{"plot (X, Y, FMT)", "plot (Y)", "H = plot (...)"};
};

TEST_F(ScintillaTips, OpeningParenthesisAsksForTheNameBeforeIt) {
  QSignalSpy asked(&m_wnd, &CScintillaWnd::callTipRequested);
  QTest::keyClicks(&m_wnd, "y = max(");
  ASSERT_EQ(asked.count(), 1);
  EXPECT_EQ(asked.takeFirst().at(0).toString(), QStringLiteral("max"));
  QTest::keyClicks(&m_wnd, "a, s.size  ");  // blanks and tabs between name and "("
  QTest::keyClick(&m_wnd, Qt::Key_Tab);
  QTest::keyClicks(&m_wnd, "(");
  ASSERT_EQ(asked.count(), 1);
  EXPECT_EQ(asked.takeFirst().at(0).toString(), QStringLiteral("s.size"));
  QTest::keyClicks(&m_wnd, "(");  // nothing before it
  EXPECT_EQ(asked.count(), 0);

  m_settings.callTips = false;
  QTest::keyClicks(&m_wnd, " sin(");
  EXPECT_EQ(asked.count(), 0);
}

TEST_F(ScintillaTips, CommaHighlightsTheNextParameterAndArrowsCycle) {
  QTest::keyClicks(&m_wnd, "plot(");
  m_wnd.ShowCallTip(m_usage, 0, 0);
  ASSERT_TRUE(CallTipShown());
  QTest::keyClicks(&m_wnd, "a,");
  EXPECT_EQ(m_wnd.CallTipParameter(), 1);
  QTest::keyClicks(&m_wnd, "b,");
  EXPECT_EQ(m_wnd.CallTipParameter(), 2);

  // Up on the first usage line shows the last; Down and Tab go on, wrapping.
  QTest::keyClick(&m_wnd, Qt::Key_Up);
  EXPECT_EQ(m_wnd.CallTipIndex(), 2);
  EXPECT_EQ(m_wnd.CallTipParameter(), 2);  // the keys keep the parameter
  QTest::keyClick(&m_wnd, Qt::Key_Down);
  EXPECT_EQ(m_wnd.CallTipIndex(), 0);
  QTest::keyClick(&m_wnd, Qt::Key_Tab);
  EXPECT_EQ(m_wnd.CallTipIndex(), 1);
  EXPECT_EQ(Lines(), "plot(a,b,");  // the keys were the tip's, not the text's

  // The tip's own arrows start the parameter over.
  emit m_wnd.SCN_CALLTIPCLICK(1);
  EXPECT_EQ(m_wnd.CallTipIndex(), 0);
  EXPECT_EQ(m_wnd.CallTipParameter(), 0);
  emit m_wnd.SCN_CALLTIPCLICK(2);
  EXPECT_EQ(m_wnd.CallTipIndex(), 1);

  QTest::keyClicks(&m_wnd, "c)");
  EXPECT_FALSE(CallTipShown());
  // Without a tip the keys move the caret again.
  QTest::keyClick(&m_wnd, Qt::Key_Up);
  EXPECT_EQ(m_wnd.CallTipIndex(), 1);
}

TEST_F(ScintillaTips, CompletionOffersNamesThenDocumentWordsWithTheirCase) {
  SetLines("signal = 1;\nsizes = 2;\n");
  m_wnd.GotoPosition(m_wnd.GetLength());
  QTest::keyClicks(&m_wnd, "sin");
  EXPECT_TRUE(ListShown());
  EXPECT_EQ(m_wnd.ShowCompletion(), "sinh sin single");
  Message(Sci::SCI_AUTOCCANCEL);
  QTest::keyClick(&m_wnd, Qt::Key_Backspace);
  EXPECT_EQ(m_wnd.ShowCompletion(), "sinh size sin single signal sizes");
  Message(Sci::SCI_AUTOCCANCEL);

  // A word typed now is offered on the next line; "Si" matches no lower-case name.
  QTest::keyClicks(&m_wnd, "nister = 3;");
  QTest::keyClick(&m_wnd, Qt::Key_Return);
  QTest::keyClicks(&m_wnd, "sini");
  EXPECT_EQ(m_wnd.ShowCompletion(), "sinister");
  Message(Sci::SCI_AUTOCCANCEL);
  QTest::keyClicks(&m_wnd, " Si");
  EXPECT_EQ(m_wnd.ShowCompletion(), "Sigma");
  Message(Sci::SCI_AUTOCCANCEL);
  QTest::keyClicks(&m_wnd, "X");
  EXPECT_FALSE(ListShown());

  // Switched off: typing shows nothing.
  m_settings.autoComplete = false;
  QTest::keyClicks(&m_wnd, " siz");
  EXPECT_FALSE(ListShown());
}

TEST_F(ScintillaTips, EscapeAndFocusDismissTheHelpTip) {
  QSignalSpy dismissed(&m_wnd, &CScintillaWnd::tipDismissed);
  QTest::keyClick(&m_wnd, Qt::Key_Escape);
  EXPECT_EQ(dismissed.count(), 1);
  QFocusEvent focus(QEvent::FocusIn, Qt::OtherFocusReason);
  QApplication::sendEvent(&m_wnd, &focus);
  EXPECT_EQ(dismissed.count(), 2);
}

TEST_F(ScintillaTips, CompletionKnowsTheWordsOfALargeFileEditedWhileTheyAreRead) {
  std::string content = "yankee_gone = 2;\n";
  while (content.size() < CScintillaWnd::LOAD_PIECE_BYTES * 6) content += "alpha_1 = beta_2 + 3;\n";
  content += "zulu_end = 1;\n";
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("quire-words-" + std::to_string(::getpid()) + ".m");
  std::ofstream(path, std::ios::binary) << content;
  QSignalSpy finished(&m_wnd, &CScintillaWnd::loadFinished);
  ASSERT_TRUE(m_wnd.LoadFile(path.string()));
  ASSERT_TRUE(finished.wait(30000));
  std::filesystem::remove(path);

  // Edits while the words are still being read: a new word at the top, the
  // first line gone.
  m_settings.autoComplete = false;
  Message(Sci::SCI_DELETERANGE, 0, static_cast<long>(std::string("yankee_gone = 2;\n").size()));
  m_wnd.GotoPosition(0);
  QTest::keyClicks(&m_wnd, "xray_top = 1;");
  QTest::keyClick(&m_wnd, Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return m_wnd.HasDocumentWords(); }, 30000));

  m_wnd.GotoPosition(m_wnd.GetLength());
  QTest::keyClicks(&m_wnd, "xr");
  EXPECT_EQ(m_wnd.ShowCompletion(), "xray_top");
  QTest::keyClicks(&m_wnd, " zu");
  EXPECT_EQ(m_wnd.ShowCompletion(), "zulu_end");
  QTest::keyClicks(&m_wnd, " ya");
  EXPECT_EQ(m_wnd.ShowCompletion(), "");
}
