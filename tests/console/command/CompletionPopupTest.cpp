#include "console/command/CompletionPopup.h"

#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

using Words = std::vector<std::string>;

std::vector<std::string> ListTexts(QListWidget* list) {
  std::vector<std::string> texts;
  for (int i = 0; i < list->count(); ++i) texts.push_back(list->item(i)->text().toStdString());
  return texts;
}

Words Numbered(int count) {
  Words words;
  for (int i = 0; i < count; ++i) words.push_back("name" + std::to_string(i));
  return words;
}

class CompletionPopupTest : public ::testing::Test {
 protected:
  CompletionPopupTest() : m_popup(&m_console) {}

  void SetUp() override {
    m_console.resize(500, 300);
    m_console.show();
    m_console.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_console));
    m_console.setFocus();
  }

  // Console text with the caret at the end and the popup set to replace the
  // characters [start, end).
  void Type(const QString& text, int start, int end) {
    m_console.setPlainText(text);
    m_console.moveCursor(QTextCursor::End);
    m_popup.SetWordRange(start, end);
  }

  QPoint CaretOnScreen() {
    return m_console.viewport()->mapToGlobal(m_console.cursorRect().topLeft());
  }

  // Runs `call` on a worker thread, serving the GUI thread until it is done.
  static void FromWorker(const std::function<void()>& call) {
    std::atomic<bool> done {false};
    std::thread worker([&] {
      call();
      done = true;
    });
    while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
  }

  QPlainTextEdit m_console;
  AutoComplete m_popup;
};

}  // namespace

TEST_F(CompletionPopupTest, CandidatesAreSortedWithTheFirstSelected) {
  const Words candidates {"plot", "abs", "max", "Zeta", "plotyy"};
  Type("p", 0, 1);
  m_popup.ShowCandidates(candidates);

  Words sorted = candidates;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(ListTexts(m_popup.List()), sorted);
  EXPECT_EQ(m_popup.List()->currentRow(), 0);
  EXPECT_TRUE(m_popup.IsShown());
  EXPECT_EQ(QApplication::focusWidget(), &m_console);
  EXPECT_EQ(m_popup.List()->accessibleName(), "Completions");

  m_popup.ShowCandidates({"zz", "yy"});
  EXPECT_EQ(ListTexts(m_popup.List()), (Words {"yy", "zz"}));
}

TEST_F(CompletionPopupTest, SelectionMovesOneStepAndStopsAtTheEnds) {
  Type("p", 0, 1);
  m_popup.ShowCandidates({"a1", "a2", "a3"});
  m_popup.SelectPrevious();
  EXPECT_EQ(m_popup.List()->currentRow(), 0);
  m_popup.SelectNext();
  EXPECT_EQ(m_popup.List()->currentRow(), 1);
  m_popup.SelectNext();
  m_popup.SelectNext();
  EXPECT_EQ(m_popup.List()->currentRow(), 2);
  m_popup.SelectPrevious();
  EXPECT_EQ(m_popup.List()->currentRow(), 1);
}

TEST_F(CompletionPopupTest, SizeFollowsTheEntriesUpToTenRows) {
  Type("n", 0, 1);
  m_popup.ShowCandidates(Numbered(9));
  const QSize nine = m_popup.size();
  m_popup.ShowCandidates(Numbered(10));
  const QSize ten = m_popup.size();
  m_popup.ShowCandidates(Numbered(14));
  const QSize fourteen = m_popup.size();
  EXPECT_LT(nine.height(), ten.height());
  EXPECT_EQ(fourteen.height(), ten.height());
  EXPECT_EQ(m_popup.List()->count(), 14);
  EXPECT_LT(m_popup.List()->height(), m_popup.height());

  m_popup.ShowCandidates({"a_much_longer_candidate_name"});
  EXPECT_GT(m_popup.width(), ten.width());
  EXPECT_LT(m_popup.height(), nine.height());
}

TEST_F(CompletionPopupTest, OpensBelowTheCaretUnlessNearTheBottom) {
  Type("pl", 0, 2);
  m_popup.ShowCandidates(Numbered(10));
  EXPECT_GT(m_popup.geometry().top(), CaretOnScreen().y());
  EXPECT_EQ(m_popup.geometry().left(), CaretOnScreen().x());

  QString lines;
  for (int i = 0; i < 40; ++i) lines += QString("line %1\n").arg(i);
  Type(lines + "pl", lines.size(), lines.size() + 2);
  m_console.ensureCursorVisible();
  const QRect console(m_console.mapToGlobal(QPoint(0, 0)), m_console.size());
  ASSERT_GT(CaretOnScreen().y() + m_popup.height(), console.bottom());
  m_popup.ShowCandidates(Numbered(10));
  // The entries end above the caret line.
  const QWidget* list = m_popup.List();
  EXPECT_LT(list->mapToGlobal(list->rect().bottomLeft()).y(), CaretOnScreen().y());
  EXPECT_EQ(m_popup.geometry().left(), CaretOnScreen().x());
}

TEST_F(CompletionPopupTest, AcceptReplacesExactlyTheWordRange) {
  Type("x = plo", 4, 7);
  m_popup.ShowCandidates({"plotyy", "plot"});
  m_popup.Accept();
  EXPECT_EQ(m_console.toPlainText(), "x = plot");
  EXPECT_EQ(m_console.textCursor().position(), 8);
  EXPECT_FALSE(m_console.textCursor().hasSelection());
  EXPECT_FALSE(m_popup.IsShown());

  // Text after the word stays, the caret lands after the entry.
  Type("y = ma + 1", 4, 6);
  m_popup.ShowCandidates({"mat2str", "max"});
  m_popup.SelectNext();
  m_popup.Accept();
  EXPECT_EQ(m_console.toPlainText(), "y = max + 1");
  EXPECT_EQ(m_console.textCursor().position(), 7);
}

TEST_F(CompletionPopupTest, KeysInTheListChooseCancelOrGoToTheConsole) {
  Type("x = plo", 4, 7);
  m_popup.ShowCandidates({"plot", "plotyy"});
  m_popup.List()->setFocus();
  QTest::keyClick(m_popup.List(), Qt::Key_Escape);
  EXPECT_FALSE(m_popup.IsShown());
  EXPECT_EQ(m_console.toPlainText(), "x = plo");
  EXPECT_TRUE(m_console.hasFocus());

  m_popup.ShowCandidates({"plot", "plotyy"});
  m_popup.List()->setFocus();
  QTest::keyClick(m_popup.List(), Qt::Key_Down);
  QTest::keyClick(m_popup.List(), Qt::Key_Tab);
  EXPECT_EQ(m_console.toPlainText(), "x = plotyy");
  EXPECT_FALSE(m_popup.IsShown());

  Type("x = plo", 4, 7);
  m_popup.ShowCandidates({"plot", "plotyy"});
  m_popup.List()->setFocus();
  QTest::keyClick(m_popup.List(), Qt::Key_T);
  EXPECT_EQ(m_console.toPlainText(), "x = plot");
  EXPECT_TRUE(m_console.hasFocus());

  m_popup.List()->setFocus();
  QTest::keyClick(m_popup.List(), Qt::Key_Return);
  EXPECT_EQ(m_console.toPlainText(), "x = plott");  // the range still names "plo"
}

TEST_F(CompletionPopupTest, CallsFromAWorkerThreadReachTheConsole) {
  Type("x = plo", 4, 7);
  FromWorker([this] { m_popup.ShowCandidates({"plotyy", "plot"}); });
  EXPECT_TRUE(m_popup.IsShown());
  EXPECT_EQ(ListTexts(m_popup.List()), (Words {"plot", "plotyy"}));

  FromWorker([this] { m_popup.Accept("plotyy"); });
  EXPECT_EQ(m_console.toPlainText(), "x = plotyy");
  EXPECT_EQ(m_console.textCursor().position(), 10);
  EXPECT_FALSE(m_popup.IsShown());
}
