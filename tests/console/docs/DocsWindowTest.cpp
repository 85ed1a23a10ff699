// The Documentation pane in the whole window, on the installed manual and the
// real interpreter (the cases skip themselves without either).
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTreeWidget>

#include "console/docs/DocumentationView.h"
#include "console/docs/ManualBrowser.h"
#include "tests/common/CalyxWindowTest.h"

namespace {

const QString kManual = QStringLiteral("/usr/share/doc/octave/octave.html/index.html");

class DocsWindowTest : public CCalyxWindowTest {
 protected:
  void SetUp() override {
    CCalyxWindowTest::SetUp();
    if (!QFile::exists(QStringLiteral("/usr/bin/octave-cli"))) GTEST_SKIP() << "no octave-cli";
    if (!QFile::exists(kManual)) GTEST_SKIP() << "no installed manual (octave-doc)";
  }
  CDocumentationView* Pane() const { return frame->Documentation(); }
  QString Shown() const {
    const QUrl page = Pane()->Browser()->Page();
    return page.fileName() + (page.hasFragment() ? "#" + page.fragment() : QString());
  }
  bool Lists(const QString& topic) const {
    return !Pane()->Topics()->findItems(topic, Qt::MatchExactly).isEmpty();
  }
  // The page is shown and its topics are listed.
  bool WaitShown(const QString& page, const QString& topic) {
    return QTest::qWaitFor([&] { return Shown() == page && !Pane()->Browser()->Loading() && !Pane()->Searching() && Lists(topic); }, 60000);
  }
};

}  // namespace

TEST_F(DocsWindowTest, TypedDocOpensTheManualPageAtItsAnchorAndListsTheTopics) {
  Start(QStringLiteral("/usr/bin"));
  ASSERT_TRUE(WaitConnected(true));
  // Connected is announced just before the console opens for typing.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !frame->Console()->isReadOnly(); }, 60000));
  // Once the interpreter is up, the pane shows the manual's start page.
  EXPECT_TRUE(WaitShown("index.html", "Function Index "));
  Type("doc sin");
  ASSERT_TRUE(WaitShown("Trigonometry.html#XREFsin", "Trigonometry "));
  EXPECT_TRUE(Lists("sin "));
  // The page opens at the function's description.
  CManualBrowser* browser = Pane()->Browser();
  EXPECT_TRUE(QTest::qWaitFor([&] { return browser->verticalScrollBar()->value() > 0; }, 10000));
  EXPECT_TRUE(browser->cursorForPosition(QPoint(4, 4)).block().text().contains("sin (x)"));
  EXPECT_TRUE(frame->Dock("Documentation")->isVisible());
  // The console gets its prompt back without the interpreter's help.
  EXPECT_TRUE(QTest::qWaitFor([&] { return frame->Console()->toPlainText().endsWith(">> "); }, 60000));
  EXPECT_FALSE(frame->Console()->toPlainText().contains("error:"));

  // Help F1 on the word at the console's caret.
  QTest::keyClicks(frame->Console(), "x = cos(");
  frame->Console()->setFocus();
  QTest::keyClick(frame->Console(), Qt::Key_F1);
  ASSERT_TRUE(WaitShown("Trigonometry.html#XREFcos", "cos "));

  // The editor's F1 arrives as "doc WORD;###".
  frame->ReceiveEditorText("doc zeros;###");
  ASSERT_TRUE(WaitShown("Special-Utility-Matrices.html#XREFzeros", "zeros "));
}

TEST_F(DocsWindowTest, FindHelpBoxLooksUpItsTextAndKeepsItOnTopOfItsList) {
  Start(QStringLiteral("/usr/bin"), false);
  // Without a session to wait for, the start page is there at once.
  EXPECT_TRUE(WaitShown("index.html", "Function Index "));
  QComboBox* box = frame->FindHelpBox();
  ASSERT_TRUE(box->isEnabled());
  for (const char* word : {"num2str", "sin", "num2str"}) {
    box->lineEdit()->setText(word);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
  }
  ASSERT_TRUE(WaitShown("Numerical-Data-and-Strings.html#XREFnum2str", "num2str "));
  EXPECT_EQ(box->count(), 2);
  EXPECT_EQ(box->itemText(0), "num2str");
  EXPECT_EQ(box->itemText(1), "sin");

  // A manual folder chosen in the options that does not hold the manual.
  app->Settings().SetString("Octave", "docpath", "/nonexistent/manual");
  box->lineEdit()->setText("sin");
  QTest::keyClick(box->lineEdit(), Qt::Key_Return);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Pane()->Browser()->toPlainText().contains("octave-doc"); }, 30000));
  EXPECT_EQ(Pane()->Topics()->topLevelItemCount(), 0);
}
