// The console's keys, links and formats, with the session core behind it (its
// dispatcher not started, so that what a key queued can be read off the queue).
#include "console/command/ConsoleView.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTextBlock>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "console/command/CompletionPopup.h"
#include "console/command/ConsoleText.h"
#include "console/command/HistoryStore.h"
#include "console/command/LinkOpener.h"
#include "console/headless/MemoryViews.h"
#include "console/session/SessionCore.h"
#include "tests/common/TestPrompts.h"

namespace {

class ConsoleViewTest : public ::testing::Test {
 protected:
  CMemoryViews memory;
  CHistoryStore history;
  CTestPrompts prompts;
  CCalyxView view{prompts};
  AutoComplete popup{&view};
  std::unique_ptr<CSessionCore> core;

  ConsoleViewTest() {
    SessionViews views = memory.Views();
    views.console = &view;
    views.completion = &popup;
    core = std::make_unique<CSessionCore>(views, "", history);
    view.Attach(core.get(), nullptr, &history, &memory.settings, &memory.host, &popup);
    view.resize(600, 400);
    view.show();
    view.AppendOutput("banner\n>> ", {}, 2000);
  }

  std::vector<CommandRecord> Queued() {
    std::vector<CommandRecord> records;
    CommandRecord record;
    while (core->m_commandQueue.Pop(record)) records.push_back(record);
    return records;
  }
  QString Input() { return view.toPlainText().mid(view.InputStart()); }
  int Caret() { return view.textCursor().position(); }
};

TEST_F(ConsoleViewTest, TypingLandsInTheInputLineAndThePromptCannotBeErased) {
  QTextCursor old = view.textCursor();
  old.setPosition(2);
  view.setTextCursor(old);
  QTest::keyClicks(&view, "x");
  EXPECT_EQ(view.toPlainText(), "banner\n>> x");
  QTest::keyClick(&view, Qt::Key_Backspace);
  QTest::keyClick(&view, Qt::Key_Backspace);
  EXPECT_EQ(view.toPlainText(), "banner\n>> ");
  QTest::keyClicks(&view, "ab");
  QTest::keyClick(&view, Qt::Key_Home);
  EXPECT_EQ(Caret(), view.InputStart());
  QTest::keyClick(&view, Qt::Key_Left);
  EXPECT_EQ(Caret(), view.InputStart());
  QTest::keyClick(&view, Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(Input(), "");
  QTest::keyClicks(&view, "plot x(1) y");
  QTest::keyClick(&view, Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(Input(), "plot x(1) ");
  QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Caret(), view.InputStart());
  QTest::keyClick(&view, Qt::Key_D, Qt::ControlModifier);
  EXPECT_EQ(Input(), "lot x(1) ");
}

TEST_F(ConsoleViewTest, EnterQueuesEveryPastedLineWithEcho) {
  QApplication::clipboard()->setText("a = 1\nb = 2\n\nc = 3");
  QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(&view, Qt::Key_Return);
  const auto queued = Queued();
  ASSERT_EQ(queued.size(), 3u);
  EXPECT_EQ(queued[2].text, "c = 3");
  EXPECT_TRUE(queued[0].echo);
  EXPECT_TRUE(queued[0].typed);
  EXPECT_EQ(view.toPlainText(), "banner\n>> a = 1\nb = 2\nc = 3\n");
  // After the answer, an empty line sends a bare line end, silently.
  view.AppendOutput(">> ", {}, 2000);
  QTest::keyClick(&view, Qt::Key_Return);
  const auto empty = Queued();
  ASSERT_EQ(empty.size(), 1u);
  EXPECT_EQ(empty[0].text, "\n");
  EXPECT_FALSE(empty[0].echo);
}

TEST_F(ConsoleViewTest, TabAsksForTheWordAfterTheLastSeparator) {
  QTest::keyClicks(&view, "x = plo");
  QTest::keyClick(&view, Qt::Key_Tab);
  const auto queued = Queued();
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(queued[0].text, "completion_matches('plo')###");
  EXPECT_FALSE(queued[0].echo);
  // A single answer replaces just that word.
  popup.Accept("plot");
  EXPECT_EQ(Input(), "x = plot");
}

TEST_F(ConsoleViewTest, UpAndDownRecallHistoryByPrefix) {
  for (const char* line : {"plot(x)", "x = 1", "PLOT(y)", "disp(x)"}) history.AddHistoryEntry(line, false);
  QTest::keyClick(&view, Qt::Key_Up);
  EXPECT_EQ(Input(), "disp(x)");
  EXPECT_EQ(Caret(), view.InputStart() + 7);
  QTest::keyClick(&view, Qt::Key_Up);
  EXPECT_EQ(Input(), "PLOT(y)");
  // Typing a new prefix starts again from the newest line.
  QTest::keyClick(&view, Qt::Key_K, Qt::ControlModifier);
  QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&view, Qt::Key_K, Qt::ControlModifier);
  QTest::keyClicks(&view, "pL");
  QTest::keyClick(&view, Qt::Key_Up);
  EXPECT_EQ(Input(), "PLOT(y)");
  EXPECT_EQ(Caret(), view.InputStart() + 7);
  QTest::keyClick(&view, Qt::Key_Up);
  EXPECT_EQ(Input(), "plot(x)");
  QTest::keyClick(&view, Qt::Key_Down);
  EXPECT_EQ(Input(), "PLOT(y)");
}

TEST_F(ConsoleViewTest, UpAtTheOldestLineEmptiesTheInputAndStartsAgain) {
  history.AddHistoryEntry("only", false);
  QTest::keyClick(&view, Qt::Key_Up);
  EXPECT_EQ(Input(), "only");
  QTest::keyClick(&view, Qt::Key_Up);
  EXPECT_EQ(Input(), "");
  QTest::keyClick(&view, Qt::Key_Up);
  EXPECT_EQ(Input(), "only");
}

TEST_F(ConsoleViewTest, DoubledControlCWarnsThenInterrupts) {
  ASSERT_TRUE(core->Redirector().Start("/bin/sleep 30"));
  core->Signals().g_bConnected = true;
  QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
  // Nothing runs: a fresh prompt follows the warning.
  EXPECT_TRUE(view.toPlainText().endsWith("Press Control-C again to abort.\n>> "));
  QTest::keyClick(&view, Qt::Key_Return);
  const auto queued = Queued();
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(queued[0].text, "\n");
  QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
  // SIGINT ends the sleeping child.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !core->Redirector().IsRunning(); }, 10000));
  core->Signals().g_bConnected = false;
}

TEST_F(ConsoleViewTest, ClearWindowAsksOnlyWhenTheSettingSaysSo) {
  memory.settings.SetInt("General", "ConfirmClearWindow", 1);
  QTest::keyClick(&view, Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(prompts.confirmations, QStringList{"All text will be cleared from the command window."});
  EXPECT_EQ(view.toPlainText(), "banner\n>> ");
  memory.settings.SetInt("General", "ConfirmClearWindow", 0);
  QTest::keyClick(&view, Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(prompts.confirmations.size(), 1);
  EXPECT_EQ(view.toPlainText(), ">> ");
  EXPECT_EQ(view.InputStart(), 3);
}

TEST_F(ConsoleViewTest, OutputIsCappedFormattedAndLinksRunHelp) {
  std::string flood;
  for (int i = 1; i <= 2500; ++i) flood += std::to_string(i) + "\n";
  view.AppendOutput(flood, {}, 2000);
  EXPECT_EQ(view.document()->blockCount(), 2000);
  EXPECT_EQ(view.document()->firstBlock().text(), "502");

  const std::string help = "See also: asin, sind\n>> ";
  view.AppendOutput(help, {{ConsoleMark::Kind::Link, 10, 14}, {ConsoleMark::Kind::Bold, 20, 24}},
                    2000);
  const QTextBlock seeAlso = view.document()->lastBlock().previous();
  ASSERT_EQ(seeAlso.text(), "See also: asin, sind");
  QTextCursor at(seeAlso);
  at.setPosition(seeAlso.position() + 12);
  EXPECT_EQ(at.charFormat().anchorHref(), "asin");
  QTextCursor prompt(view.document()->lastBlock());
  prompt.movePosition(QTextCursor::NextCharacter);
  EXPECT_EQ(prompt.charFormat().fontWeight(), QFont::Bold);

  view.setTextCursor(at);
  const QRect link = view.cursorRect(at);
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, link.center() + QPoint(2, 0));
  const auto queued = Queued();
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(queued[0].text, "help asin");
  EXPECT_TRUE(queued[0].echo);
}

// Writes down what each click asked for.
class CRecordingOpener : public IConsoleLinkOpener {
 public:
  void OpenWebAddress(const std::string& address) override { calls.push_back("web " + address); }
  void OpenFileAt(const std::string& path, long line) override {
    calls.push_back("file " + path + " " + std::to_string(line));
  }
  void OpenFunctionAt(const std::string& name, long line) override {
    calls.push_back("function " + name + " " + std::to_string(line));
  }
  std::vector<std::string> calls;
};

TEST_F(ConsoleViewTest, ClicksOnAddressesAndPlacesReachTheOpener) {
  CRecordingOpener opener;
  view.SetLinkOpener(&opener);
  // As the interpreter writes it: the session finds the links.
  core->Redirector().FeedOutput(
      "Read https://www.octave.org/bugs.html to learn more.\n"
      "error: parse error near line 2 of file /tmp/d/p.m\n"
      "error: badf: no\nerror: called from\n    badf at line 3 column 5\n>> ");
  core->Redirector().FeedQuiet();
  const QString text = view.toPlainText();
  ASSERT_TRUE(text.endsWith(QStringLiteral("column 5\n>> ")));
  const auto clickOn = [&](const QString& part, int occurrence = 0) {
    int at = -1;
    for (int i = 0; i <= occurrence; ++i) at = text.indexOf(part, at + 1);
    QTextCursor cursor(view.document());
    cursor.setPosition(at + 2);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.cursorRect(cursor).center());
  };
  clickOn(QStringLiteral("www.octave"));
  clickOn(QStringLiteral("line 2 of file"));
  clickOn(QStringLiteral("badf"), 0);
  clickOn(QStringLiteral("badf at line"));
  EXPECT_EQ(opener.calls, (std::vector<std::string>{"web https://www.octave.org/bugs.html",
                                                    "file /tmp/d/p.m 2", "function badf 3",
                                                    "function badf 3"}));
  // Plain text, and a selection that ends on a link, open nothing.
  opener.calls.clear();
  clickOn(QStringLiteral("to learn"));
  QTextCursor start(view.document());
  start.setPosition(text.indexOf(QStringLiteral("Read")));
  QTextCursor end(view.document());
  end.setPosition(text.indexOf(QStringLiteral("www.")) + 3);
  QTest::mousePress(view.viewport(), Qt::LeftButton, {}, view.cursorRect(start).center());
  QTest::mouseMove(view.viewport(), view.cursorRect(end).center());
  QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, view.cursorRect(end).center());
  EXPECT_TRUE(view.textCursor().hasSelection());
  EXPECT_TRUE(opener.calls.empty());
  EXPECT_TRUE(Queued().empty());
}

TEST_F(ConsoleViewTest, AVeryLongLineIsShownCutAndCopiedWhole) {
  // Two megabytes in the pieces the reader hands over, the prompt on the same line.
  std::string line;
  for (int i = 0; line.size() < 2000000; ++i) line += std::to_string(i) + ' ';
  for (size_t at = 0; at < line.size(); at += 5119) view.AppendOutput(line.substr(at, 5119), {}, 2000);
  view.AppendOutput(">> ", {{ConsoleMark::Kind::Bold, 0, 3}}, 2000);
  const QTextBlock shown = view.document()->lastBlock();
  ASSERT_LE(shown.length(), kLongLine + 200);
  // The line began after the banner's prompt.
  const QString whole = QString::fromStdString(">> " + line + ">> ");
  const QString noteEnding = QStringLiteral("them all] \u2026 ");
  const long noteLength = shown.text().indexOf(noteEnding) + noteEnding.size() - kShownHead;
  const long leftOut = static_cast<long>(whole.size()) - (shown.length() - 1 - noteLength);
  EXPECT_TRUE(shown.text().startsWith(whole.left(kShownHead) + QString::fromStdU16String(LeftOutNote(leftOut))))
      << leftOut;
  EXPECT_TRUE(shown.text().endsWith(whole.right(kShownTail)));
  // The session still sees its prompt, and typing goes on after it.
  EXPECT_EQ(view.Tail(3), ">> ");
  QTest::keyClicks(&view, "x = 1");
  EXPECT_EQ(Input(), "x = 1");

  // Copy takes the whole line, or the part of it that the selection stands for.
  view.selectAll();
  view.copy();
  // (Compared as booleans: a failure would print megabytes.)
  EXPECT_TRUE(QApplication::clipboard()->text() == QStringLiteral("banner\n") + whole + QStringLiteral("x = 1"));
  QTextCursor part(view.document());
  part.setPosition(shown.position() + 5);
  part.setPosition(shown.position() + kShownHead + 3, QTextCursor::KeepAnchor);
  view.setTextCursor(part);
  view.copy();
  EXPECT_TRUE(QApplication::clipboard()->text() == whole.mid(5, kShownHead + leftOut - 5));

  // A second long line arriving whole is cut the same way; short lines never are.
  const std::string second(300000, 'b');
  view.AppendOutput("\n" + second + "\nshort\n>> ", {}, 2000);
  const QTextBlock secondShown = view.document()->lastBlock().previous().previous();
  EXPECT_LE(secondShown.length(), kLongLine);
  EXPECT_EQ(view.document()->lastBlock().previous().text(), "short");
  EXPECT_EQ(view.Tail(10), "\nshort\n>> ");
}

TEST_F(ConsoleViewTest, ALongLineArrivingWholeReachesTheWindowCutAndIsCopiedWhole) {
  // Four megabytes in one piece from the session's thread, with a link at both
  // ends and one across the place where the shown head ends.
  const std::string link = "https://octave.org";
  std::string line = link + " ";
  while (line.size() < 3990) line += "c";
  const long middleLink = static_cast<long>(line.size());
  line += link + " ";
  while (line.size() < 4000000) line += "abcdefghij";
  line += " " + link;
  const long lastLink = static_cast<long>(line.size() - link.size());
  const auto linkAt = [&](long at) { return ConsoleMark{ConsoleMark::Kind::Link, at, at + static_cast<long>(link.size())}; };
  qsizetype largestInsert = 0;
  QObject::connect(view.document(), &QTextDocument::contentsChange, &view,
                   [&](int, int, int added) { largestInsert = std::max<qsizetype>(largestInsert, added); });
  std::atomic<bool> finished{false};
  std::thread worker([&] {
    view.AppendOutput(line + "\n>> ", {linkAt(0), linkAt(middleLink), linkAt(lastLink)}, 2000);
    finished = true;
  });
  const bool done = QTest::qWaitFor([&] { return finished.load(); }, 60000);
  worker.join();
  ASSERT_TRUE(done);
  // The middle of the line never entered the document: the window's thread
  // placed only what it shows.
  EXPECT_LE(largestInsert, kLongLine);
  const QTextBlock shown = view.document()->lastBlock().previous();
  EXPECT_LE(shown.length(), kLongLine + 200);
  EXPECT_TRUE(shown.text().startsWith(QString::fromStdString(">> " + link + " ccc")));
  EXPECT_TRUE(shown.text().endsWith(QString::fromStdString("abcdefghij " + link)));
  EXPECT_TRUE(shown.text().contains(QStringLiteral("characters not shown")));
  EXPECT_EQ(view.Tail(4), "\n>> ");
  // Each link, also the shown start of the one that was cut, opens its whole address.
  for (const int at : {shown.position() + 5, shown.position() + 3 + static_cast<int>(middleLink) + 3,
                       shown.position() + shown.length() - 5}) {
    QTextCursor onLink(view.document());
    onLink.setPosition(at);
    EXPECT_EQ(onLink.charFormat().anchorHref(), QString::fromStdString(link)) << at;
  }
  view.selectAll();
  view.copy();
  EXPECT_TRUE(QApplication::clipboard()->text() == QString::fromStdString("banner\n>> " + line + "\n>> "));
}

TEST_F(ConsoleViewTest, ALongLineContinuedInLargeChunksKeepsItsTextInOrderAndItsMarksInPlace) {
  // The line is already shown cut when a megabyte of wide characters (two,
  // three and four bytes each) continues it, then its end with an error mark.
  std::string first;
  while (first.size() < 20000) first += "ab\xc3\xa9 ";
  std::string middle;
  while (middle.size() < 1000000) middle += "\xe2\x82\xac\xf0\x9f\x98\x80 x";
  // A byte that is no character (shown as U+FFFD) must not shift the mark.
  const std::string end = "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\x80 tail error";
  const long errorAt = static_cast<long>(end.size()) - 5;
  view.AppendOutput(first, {}, 2000);
  view.AppendOutput(middle, {}, 2000);
  view.AppendOutput(end + "\n>> ", {{ConsoleMark::Kind::Error, errorAt, errorAt + 5}}, 2000);

  const QString whole = QString::fromStdString(">> " + first + middle + end);
  const QTextBlock shown = view.document()->lastBlock().previous();
  // The shown tail may grow a little before the line is cut again.
  const QString noteEnding = QStringLiteral("them all] \u2026 ");
  const qsizetype tail = shown.text().size() - shown.text().indexOf(noteEnding) - noteEnding.size();
  EXPECT_GE(tail, kShownTail);
  const long leftOut = static_cast<long>(whole.size() - kShownHead - tail);
  EXPECT_TRUE(shown.text() ==
              whole.left(kShownHead) + QString::fromStdU16String(LeftOutNote(leftOut)) + whole.right(tail))
      << leftOut;
  // "error" is red, the blank before it is not.
  const int errorStart = shown.position() + shown.length() - 1 - 5;
  QTextCursor at(view.document());
  at.setPosition(errorStart + 1);
  EXPECT_EQ(at.charFormat().foreground().color(), QColor(255, 0, 0));
  at.setPosition(errorStart);
  EXPECT_NE(at.charFormat().foreground().color(), QColor(255, 0, 0));
  view.selectAll();
  view.copy();
  EXPECT_TRUE(QApplication::clipboard()->text() == QStringLiteral("banner\n") + whole + QStringLiteral("\n>> "));
}

TEST_F(ConsoleViewTest, WorkerThreadsReachTheConsoleThroughTheInterface) {
  // Every change of the document happens on the window's thread, and each call
  // returns only once it has: the worker reads back what it has just written.
  bool changedElsewhere = false;
  QObject::connect(view.document(), &QTextDocument::contentsChange, &view, [&] {
    if (QThread::currentThread() != view.thread()) changedElsewhere = true;
  });
  std::string tail;
  std::atomic<bool> finished{false};
  std::thread worker([&] {
    view.AppendOutput("error: x\n>> ", {{ConsoleMark::Kind::Error, 0, 8}}, 2000);
    view.EchoCommand("x = 1");
    tail = view.Tail(6);
    finished = true;
  });
  const bool done = QTest::qWaitFor([&] { return finished.load(); }, 10000);
  worker.join();  // the worker's writes are seen from here on
  ASSERT_TRUE(done);
  EXPECT_EQ(tail, "x = 1\n");
  EXPECT_FALSE(changedElsewhere);
  EXPECT_TRUE(view.toPlainText().endsWith("error: x\n>> x = 1\n"));
  QTextCursor error(view.document());
  error.setPosition(view.toPlainText().lastIndexOf(QStringLiteral("error: x")) + 1);
  EXPECT_EQ(error.charFormat().foreground().color(), QColor(255, 0, 0));
}

TEST_F(ConsoleViewTest, LinesTypedWhileBusyWaitWhereTypedAndEachIsSentOnce) {
  QTest::keyClicks(&view, "slow");
  QTest::keyClick(&view, Qt::Key_Return);
  ASSERT_EQ(Queued().size(), 1u);
  // The dispatcher takes the line; the interpreter is busy with it.
  core->m_commandQueue.Push(CommandRecord{"later", false, {}, false, {}});
  EXPECT_TRUE(view.EchoCommand("slow"));
  QTest::keyClicks(&view, "fast");
  QTest::keyClick(&view, Qt::Key_Return);
  QTest::keyClick(&view, Qt::Key_Return);  // a bare Enter while busy adds nothing
  QTest::keyClicks(&view, "par");
  auto queued = Queued();
  ASSERT_EQ(queued.size(), 2u);
  EXPECT_EQ(queued[1].text, "fast");
  EXPECT_EQ(view.toPlainText(), "banner\n>> slow\nfast\npar");
  // The answer goes before what waits; the half-typed line stays editable.
  view.AppendOutput("first\n>> ", {}, 2000);
  EXPECT_EQ(view.toPlainText(), "banner\n>> slow\nfirst\n>> fast\npar");
  EXPECT_EQ(Input(), "par");
  EXPECT_EQ(view.Tail(3), ">> ");
  EXPECT_TRUE(view.EchoCommand("fast"));
  view.AppendOutput("second\n>> ", {}, 2000);
  EXPECT_EQ(view.toPlainText(), "banner\n>> slow\nfirst\n>> fast\nsecond\n>> par");
  // An echoed command that was not typed goes before the input line.
  view.EchoCommand("help sin");
  EXPECT_EQ(view.toPlainText(), "banner\n>> slow\nfirst\n>> fast\nsecond\n>> help sin\npar");
  // Output that ends without a prompt asks a question: the answer is no command.
  view.AppendOutput("n? ", {}, 2000);
  EXPECT_FALSE(view.EchoCommand("5"));
}

TEST_F(ConsoleViewTest, UndoAndRedoCoverOnlyTheInputLine) {
  QTest::keyClicks(&view, "abc");
  view.AppendOutput("answer\n", {}, 2000);
  QTest::keyClicks(&view, " def");
  QTest::keyClick(&view, Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(Input(), "abc ");
  QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Input(), "abc def");
  // The typing is one step, and the answer that came meanwhile stays.
  QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Input(), "");
  EXPECT_EQ(view.toPlainText(), "banner\n>> answer\n");
  QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(view.toPlainText(), "banner\n>> answer\n");
  QTest::keyClick(&view, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Input(), "abc def");
  QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Input(), "abc ");
  EXPECT_EQ(view.InputStart(), view.toPlainText().size() - 4);
  // A sent line takes its steps along.
  QTest::keyClick(&view, Qt::Key_Return);
  EXPECT_FALSE(view.CanUndoInput());
  EXPECT_FALSE(view.document()->isUndoAvailable());
}

TEST_F(ConsoleViewTest, AReadOnlyConsoleRefusesTypingButKeepsItsOwnKeys) {
  view.AppendOutput("some output\n", {}, 2000);
  view.SetReadOnly(true);
  int refused = 0;
  QObject::connect(&view, &CCalyxView::InputRefused, [&] { ++refused; });
  const QString before = view.toPlainText();
  QTest::keyClicks(&view, "x");
  QTest::keyClick(&view, Qt::Key_Return);
  EXPECT_EQ(view.toPlainText(), before);
  EXPECT_EQ(refused, 2);
  QTest::keyClick(&view, Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_TRUE(view.textCursor().hasSelection());
  QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_FALSE(QApplication::clipboard()->text().isEmpty());
  QTest::keyClick(&view, Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(view.toPlainText(), "");
}

}  // namespace
