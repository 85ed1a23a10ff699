// The new-function form, find and replace, go to, F3, F6 and dropped files,
// through the frame's commands as a user reaches them.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QUrl>

#include <functional>

#include "editor/app/CommandIds.h"
#include "editor/dialogs/GotoDlg.h"
#include "editor/dialogs/NewOctaveFile.h"
#include "editor/dialogs/ReplaceDlg.h"
#include "tests/editor/app/QuireTestSupport.h"

namespace {

using Items = std::vector<std::string>;
using namespace quire_command;

class QuireDialogsTest : public QuireTest {
 protected:
  // Runs `answer` on the modal dialog once it is up.
  static void AnswerModal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      answer(dialog);
    });
  }
  CScintillaWnd* NewDocumentWith(const std::string& text) {
    CQuireDoc* doc = frame->NewBlankDocument();
    doc->View()->SetText(text);
    return doc->View();
  }
  CReplaceDlg* OpenFind() {
    frame->Action(kFindReplace)->trigger();
    return frame->FindDialog();
  }
  static void SetFind(CReplaceDlg* dialog, const QString& find, const QString& replace = {}) {
    dialog->findChild<QComboBox*>(QStringLiteral("find"))->setEditText(find);
    dialog->findChild<QComboBox*>(QStringLiteral("replace"))->setEditText(replace);
  }
  static void Check(CReplaceDlg* dialog, const char* name, bool on = true) {
    dialog->findChild<QCheckBox*>(QLatin1String(name))->setChecked(on);
  }
  static QPushButton* Button(CReplaceDlg* dialog, const char* name) {
    return dialog->findChild<QPushButton*>(QLatin1String(name));
  }
  static QStringList BoxItems(const CReplaceDlg* dialog, const char* box) {
    QStringList items;
    const auto* combo = dialog->findChild<QComboBox*>(QLatin1String(box));
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
  }
};

TEST_F(QuireDialogsTest, TheFunctionFormOpensItsTextInANewTabNamedAfterTheFunction) {
  Start();
  AnswerModal([](QWidget* form) {
    form->findChild<QLineEdit*>(QStringLiteral("function"))->setText(QStringLiteral("addall"));
    form->findChild<QLineEdit*>(QStringLiteral("outputs"))->setText(QStringLiteral("s"));
    static_cast<QDialog*>(form)->accept();
  });
  frame->Action(kNewFunctionFile)->trigger();
  ASSERT_EQ(Titles(), (Items{"addall.m*"}));
  const std::string text = frame->ActiveDocument()->View()->GetText();
  EXPECT_EQ(text.rfind("## -*- texinfo -*-\n", 0), 0u);
  EXPECT_NE(text.find("\nfunction s = addall (x, y)\n\n\nendfunction\n"), std::string::npos);
  EXPECT_EQ(frame->ActiveDocument()->View()->GetCurrentPosition(), 0);

  // No name: the tab keeps its default title. Cancel: no tab at all.
  AnswerModal([](QWidget* form) {
    form->findChild<QLineEdit*>(QStringLiteral("function"))->clear();
    static_cast<QDialog*>(form)->accept();
  });
  frame->Action(kNewFunctionFile)->trigger();
  AnswerModal([](QWidget* form) { static_cast<QDialog*>(form)->reject(); });
  frame->Action(kNewFunctionFile)->trigger();
  EXPECT_EQ(Titles(), (Items{"addall.m*", "Untitled1*"}));
}

TEST_F(QuireDialogsTest, FindStartsWithTheWordAtTheCaretAndSearchesAdjacentMatchesOneByOne) {
  Start();
  EXPECT_FALSE(frame->Action(kFindReplace)->isEnabled());
  CScintillaWnd* view = NewDocumentWith("x = alpha(aab);\n");
  view->GotoPosition(7);  // inside "alpha"
  CReplaceDlg* dialog = OpenFind();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Find & Replace"));
  EXPECT_EQ(view->GetSelectedText(), "alpha");
  EXPECT_EQ(dialog->FindText(), "alpha");

  SetFind(dialog, QStringLiteral("a"));
  view->GotoPosition(0);
  Button(dialog, "findNext")->click();
  EXPECT_EQ(view->GetSelectionStart(), 4);
  Button(dialog, "findNext")->click();
  EXPECT_EQ(view->GetSelectionStart(), 8);
  Button(dialog, "findNext")->click();
  EXPECT_EQ(view->GetSelectionStart(), 10);
  Button(dialog, "findPrevious")->click();
  EXPECT_EQ(view->GetSelectionStart(), 8);

  // F3 and Shift+F3 repeat the last search without the dialog.
  dialog->close();
  view->GotoPosition(0);
  frame->Action(kFindNextAgain)->trigger();
  EXPECT_EQ(view->GetSelectionStart(), 4);
  frame->Action(kFindNextAgain)->trigger();
  frame->Action(kFindPreviousAgain)->trigger();
  EXPECT_EQ(view->GetSelectionStart(), 4);
}

TEST_F(QuireDialogsTest, ReplaceAllKeepsCaseSelectionAndEndsOnPatternsThatMatchNothing) {
  Start();
  CScintillaWnd* view = NewDocumentWith("abc ABC abc\n");
  CReplaceDlg* dialog = OpenFind();
  SetFind(dialog, QStringLiteral("abc"), QStringLiteral("x"));
  Check(dialog, "matchCase");
  EXPECT_EQ(dialog->ReplaceAllMatches(), 2);
  EXPECT_EQ(view->GetText(), "x ABC x\n");
  EXPECT_NE(dialog->findChild<QLabel*>(QStringLiteral("message"))->text().indexOf(QLatin1Char('2')), -1);

  // Only inside the selection; the single-step buttons wait meanwhile.
  view->SetText("ab ab ab ab\n");
  view->SetSelectionStart(3);
  view->SetSelectionEnd(8);
  SetFind(dialog, QStringLiteral("ab"), QStringLiteral("Z"));
  Check(dialog, "inSelection");
  for (const char* name : {"findNext", "findPrevious", "replace"}) EXPECT_FALSE(Button(dialog, name)->isEnabled());
  EXPECT_TRUE(Button(dialog, "replaceAll")->isEnabled());
  EXPECT_EQ(dialog->ReplaceAllMatches(), 2);
  EXPECT_EQ(view->GetText(), "ab Z Z ab\n");
  Check(dialog, "inSelection", false);
  EXPECT_TRUE(Button(dialog, "findNext")->isEnabled());

  // Patterns that can match empty text replace each place once and end.
  Check(dialog, "regex");
  view->SetText("a\nb\nc");
  SetFind(dialog, QStringLiteral("^"), QStringLiteral("# "));
  EXPECT_EQ(dialog->ReplaceAllMatches(), 3);
  EXPECT_EQ(view->GetText(), "# a\n# b\n# c");
  view->SetText("xxb");
  SetFind(dialog, QStringLiteral("x*"), QStringLiteral("-"));
  dialog->ReplaceAllMatches();
  EXPECT_EQ(view->GetText().find("xx"), std::string::npos);

  // A pattern the engine refuses says so and changes nothing.
  view->SetText("[a\n");
  SetFind(dialog, QStringLiteral("[a"), QStringLiteral("b"));
  EXPECT_EQ(dialog->ReplaceAllMatches(), 0);
  EXPECT_EQ(view->GetText(), "[a\n");
  EXPECT_TRUE(dialog->findChild<QLabel*>(QStringLiteral("message"))->text().contains(QStringLiteral("Missing ]")));
}

TEST_F(QuireDialogsTest, ReplaceMovesOnToTheNextMatchEvenAfterAShorterReplacement) {
  Start();
  CScintillaWnd* view = NewDocumentWith("long long\n");
  CReplaceDlg* dialog = OpenFind();
  SetFind(dialog, QStringLiteral("long"), QStringLiteral("s"));
  view->GotoPosition(0);
  Button(dialog, "findNext")->click();
  Button(dialog, "replace")->click();
  EXPECT_EQ(view->GetText(), "s long\n");
  EXPECT_EQ(view->GetSelectedText(), "long");
  Button(dialog, "replace")->click();
  EXPECT_EQ(view->GetText(), "s s\n");
}

TEST_F(QuireDialogsTest, RecentTextsComeBackNewestFirstAfterARestart) {
  Start();
  NewDocumentWith("one two three\n");
  CReplaceDlg* dialog = OpenFind();
  for (const char* text : {"one", "two", "one", "three"}) {
    SetFind(dialog, QLatin1String(text), QStringLiteral("2"));
    Button(dialog, "findNext")->click();
  }
  Button(dialog, "replace")->click();
  EXPECT_EQ(BoxItems(dialog, "find"), (QStringList{"three", "two", "one"}));
  Stop();

  Start();
  NewDocumentWith("\n");
  dialog = OpenFind();
  EXPECT_EQ(BoxItems(dialog, "find"), (QStringList{"three", "two", "one"}));
  EXPECT_EQ(BoxItems(dialog, "replace"), (QStringList{"2"}));
}

TEST_F(QuireDialogsTest, OnlyTheOldestHundredStoredFindTextsAreRead) {
  {
    QSettings store(QCoreApplication::organizationName(), QStringLiteral("Quire"));
    store.setValue(QStringLiteral("EDIT/FINDSTRINGCOUNT"), 120);
    for (int i = 0; i < 120; ++i) store.setValue(QStringLiteral("EDIT/FINDSTRING%1").arg(i), QStringLiteral("t%1").arg(i));
  }
  Start();
  NewDocumentWith("\n");
  const QStringList items = BoxItems(OpenFind(), "find");
  ASSERT_EQ(items.size(), 100);
  EXPECT_EQ(items.front(), QStringLiteral("t99"));
  EXPECT_EQ(items.back(), QStringLiteral("t0"));
}

TEST_F(QuireDialogsTest, GoToLineAndPositionMoveTheCaret) {
  Start();
  CScintillaWnd* view = NewDocumentWith("a\nbb\nccc\ndddd\n");
  AnswerModal([](QWidget* widget) {
    auto* dialog = qobject_cast<CGotoDlg*>(widget);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Goto Line"));
    EXPECT_EQ(dialog->Value(), 1);
    dialog->SetValue(3);
    dialog->accept();
  });
  frame->Action(kGotoLine)->trigger();
  EXPECT_EQ(view->GetCurrentLine(), 3);
  EXPECT_EQ(view->GetCurrentPosition(), 5);
  AnswerModal([](QWidget* widget) {
    auto* dialog = qobject_cast<CGotoDlg*>(widget);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Value(), 5);
    dialog->SetValue(11);
    dialog->accept();
  });
  frame->Action(kGotoPosition)->trigger();
  EXPECT_EQ(view->GetCurrentPosition(), 11);
  EXPECT_EQ(view->GetCurrentLine(), 4);
}

TEST_F(QuireDialogsTest, DroppedFilesOpenAndF6WalksTheTabsRoundTheEnd) {
  const std::string a = WriteFile("a.m", "a = 1;\n");
  const std::string b = WriteFile("b.m", "b = 2;\n");
  Start({}, true);
  // Dropped on the text of an open document: the files open, no text goes in.
  CScintillaWnd* view = frame->NewBlankDocument()->View();
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(a)), QUrl::fromLocalFile(QString::fromStdString(b))});
  data.setText(QString::fromStdString(a));
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view->viewport(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view->viewport(), &drop);
  ASSERT_EQ(Titles(), (Items{"Untitled1", "a.m", "b.m"}));
  EXPECT_EQ(view->GetText(), "");

  frame->Action(kNextDocument)->trigger();
  EXPECT_EQ(frame->ActiveDocument()->Title(), "Untitled1");
  frame->Action(kPreviousDocument)->trigger();
  frame->Action(kPreviousDocument)->trigger();
  EXPECT_EQ(frame->ActiveDocument()->Title(), "a.m");
}

}  // namespace
