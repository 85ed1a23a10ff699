// The frame's file commands, titles and the open-file list of the next start.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QProgressBar>
#include <QTabWidget>

#include <sys/stat.h>
#include <unistd.h>

#include "editor/app/CommandIds.h"
#include "editor/app/DocumentRules.h"
#include "editor/view/ScintillaWnd.h"
#include "tests/common/IconCheck.h"
#include "tests/editor/app/QuireTestSupport.h"

namespace {

using Items = std::vector<std::string>;
using namespace quire_command;

class QuireFrameTest : public QuireTest {};

}  // namespace

TEST_F(QuireFrameTest, StartsWithoutDocumentsAndNumbersNewOnes) {
  Start();
  EXPECT_EQ(frame->Documents().size(), 0u);
  EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quire"));
  EXPECT_FALSE(frame->Action(kFileSave)->isEnabled());
  EXPECT_FALSE(frame->Action(kDebugStep)->isEnabled());

  frame->Action(kNewBlankFile)->trigger();
  frame->Action(kNewBlankFile)->trigger();
  frame->Action(kNewBlankFile)->trigger();
  EXPECT_EQ(Titles(), (Items{"Untitled1", "Untitled2", "Untitled3"}));
  EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quire - [Untitled3]"));
  // Untitled1 and Untitled3 left: the next is Untitled4, not a second Untitled2.
  ASSERT_TRUE(frame->CloseDocument(frame->Documents()[1]));
  frame->NewBlankDocument();
  EXPECT_EQ(Titles(), (Items{"Untitled1", "Untitled3", "Untitled4"}));
  EXPECT_TRUE(frame->Action(kFileSave)->isEnabled());
}

TEST_F(QuireFrameTest, ChangesMarkTheTitleAndSaveProposesTheFunctionName) {
  Start();
  CQuireDoc* doc = frame->NewBlankDocument();
  EXPECT_FALSE(frame->Action(kSaveAll)->isEnabled());
  doc->View()->SetText("% a function that adds\r\nfunction [s, d] = foo (a)\r\n  s = a; d = -a;\r\n");
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(doc->Title(), "Untitled1*");
  EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quire - [Untitled1*]"));
  EXPECT_TRUE(frame->Action(kSaveAll)->isEnabled());

  QString proposed;
  const std::string target = Folder() + "/chosen.m";
  questions.saveName = [&](const QString& name) {
    proposed = name;
    return QString::fromStdString(target);
  };
  frame->Action(kFileSave)->trigger();
  EXPECT_EQ(proposed, QDir::current().filePath(QStringLiteral("foo.m")));
  EXPECT_EQ(doc->Path(), target);
  EXPECT_EQ(doc->Title(), "chosen.m");
  EXPECT_FALSE(doc->IsModified());
  EXPECT_NE(ReadFile(target).find("function [s, d] = foo (a)"), std::string::npos);

  // A later Save writes to the path without asking; Save As asks again.
  proposed.clear();
  doc->View()->SetText("x = 1;\n");
  frame->Action(kFileSave)->trigger();
  EXPECT_TRUE(proposed.isEmpty());
  EXPECT_EQ(ReadFile(target), "x = 1;\n");
  questions.saveName = [&](const QString& name) {
    proposed = name;
    return QString();  // cancelled
  };
  frame->Action(kFileSaveAs)->trigger();
  EXPECT_EQ(proposed, QString::fromStdString(target));
  EXPECT_EQ(doc->Path(), target);
}

TEST_F(QuireFrameTest, FailedSaveKeepsPathTitleAndChanges) {
  Start();
  CQuireDoc* doc = frame->NewBlankDocument();
  doc->View()->SetText("a = 2;\n");
  const std::string nowhere = Folder() + "/no such folder/a.m";
  questions.saveName = [&](const QString&) { return QString::fromStdString(nowhere); };
  EXPECT_FALSE(frame->SaveDocument(doc));
  EXPECT_EQ(warnings.size(), 1u);
  EXPECT_EQ(doc->Path(), "");
  EXPECT_EQ(doc->Title(), "Untitled1*");
  EXPECT_TRUE(doc->IsModified());
  EXPECT_FALSE(QFile::exists(QString::fromStdString(nowhere)));
}

TEST_F(QuireFrameTest, OpeningTheSameFileTwiceActivatesIt) {
  Start();
  const std::string a = WriteFile("a.m", "a = 1;\n");
  const std::string b = WriteFile("b.m", "b = 2;\n");
  CQuireDoc* first = frame->OpenDocument(a, true);
  frame->OpenDocument(b, true);
  EXPECT_EQ(frame->OpenDocument(Folder() + "/./a.m", true), first);
  EXPECT_EQ(frame->ActiveDocument(), first);
  EXPECT_EQ(Titles(), (Items{"a.m", "b.m"}));
  EXPECT_EQ(frame->OpenDocument(Folder() + "/missing.m", true), nullptr);
  EXPECT_EQ(warnings.size(), 1u);
  EXPECT_EQ(frame->Documents().size(), 2u);
}

TEST_F(QuireFrameTest, ClosingAsksForUnsavedChangesAndCancelKeepsEverything) {
  Start();
  const std::string a = WriteFile("a.m", "a = 1;\n");
  CQuireDoc* kept = frame->OpenDocument(a, true);
  CQuireDoc* changed = frame->NewBlankDocument();
  changed->View()->SetText("unsaved\n");
  frame->NewBlankDocument();

  std::vector<std::string> asked;
  questions.saveChanges = [&](const QString& title) {
    asked.push_back(title.toStdString());
    return SaveChoice::Cancel;
  };
  frame->Activate(kept);
  EXPECT_FALSE(frame->CloseAllButThis());
  EXPECT_EQ(asked, Items{"Untitled1"});
  EXPECT_EQ(frame->Documents().size(), 3u);

  questions.saveChanges = [&](const QString&) { return SaveChoice::Discard; };
  EXPECT_TRUE(frame->CloseAllButThis());
  EXPECT_EQ(Titles(), Items{"a.m"});
  EXPECT_EQ(frame->ActiveDocument(), kept);
  EXPECT_TRUE(frame->CloseAll());
  EXPECT_EQ(frame->Documents().size(), 0u);
  EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quire"));
}

TEST_F(QuireFrameTest, ClosingTheWindowSavesWhatTheUserSaysAndACancelKeepsItOpen) {
  Start({}, true);
  const std::string a = WriteFile("a.m", "a = 1;\n");
  CQuireDoc* saved = frame->OpenDocument(a, true);
  saved->View()->SetText("a = 2;\n");
  frame->NewBlankDocument()->View()->SetText("unsaved\n");

  std::vector<std::string> asked;
  questions.saveChanges = [&](const QString& title) {
    asked.push_back(title.toStdString());
    return asked.size() == 1 ? SaveChoice::Save : SaveChoice::Cancel;
  };
  EXPECT_FALSE(frame->close());
  EXPECT_EQ(asked, (Items{"a.m", "Untitled1"}));
  EXPECT_EQ(ReadFile(a), "a = 2;\n");
  EXPECT_TRUE(frame->isVisible());
  EXPECT_EQ(frame->Documents().size(), 2u);

  questions.saveChanges = [](const QString&) { return SaveChoice::Discard; };
  EXPECT_TRUE(frame->close());
  EXPECT_EQ(frame->Documents().size(), 0u);
}

TEST_F(QuireFrameTest, SaveAllSavesFilesWithAPathAndKeepsTheSelection) {
  Start();
  CQuireDoc* a = frame->OpenDocument(WriteFile("a.m", "a = 1;\n"), true);
  CQuireDoc* b = frame->OpenDocument(WriteFile("b.m", "b = 1;\n"), true);
  CQuireDoc* untitled = frame->NewBlankDocument();
  a->View()->SetText("a = 2;\n");
  b->View()->SetText("b = 2;\n");
  untitled->View()->SetText("u\n");
  frame->Activate(b);
  frame->Action(kSaveAll)->trigger();
  EXPECT_EQ(ReadFile(a->Path()), "a = 2;\n");
  EXPECT_EQ(ReadFile(b->Path()), "b = 2;\n");
  EXPECT_FALSE(a->IsModified());
  EXPECT_TRUE(untitled->IsModified());  // no path: left for Save
  EXPECT_EQ(frame->ActiveDocument(), b);
}

TEST_F(QuireFrameTest, NextStartReopensFilesAtTheirCaretsAndRemembersTheWindow) {
  const std::string a = WriteFile("a.m", "alpha = 1;\nbeta = 2;\ngamma = 3;\n");
  const std::string b = WriteFile("b.m", "x = 1;\ny = 2;\n");
  const std::string gone = WriteFile("gone.m", "z = 0;\n");
  Start();
  frame->OpenDocument(a, true)->View()->GotoPosition(14);
  frame->OpenDocument(gone, true);
  frame->NewBlankDocument();  // never saved: not listed
  frame->OpenDocument(b, true)->View()->GotoPosition(7);
  frame->SetTabSide(quire::TabSide::Left);
  frame->OnCopyData("completion:\nabs\nsin\n>> ");
  Stop();

  CIni userFile;
  userFile.SetPath(DefaultDataDir("Quire") + "userfiles.dat");
  EXPECT_EQ(userFile.GetString("OpenFiles"), a + "|;|" + gone + "|;|" + b);
  EXPECT_EQ(userFile.GetString("FilesPositions"), "14,0,7");
  EXPECT_EQ(userFile.GetString("KeyWords", "System"), "abs,sin");
  QFile::remove(QString::fromStdString(gone));

  // The file given at start is not opened a second time and stays active.
  Start({QString::fromStdString(b)});
  EXPECT_EQ(Titles(), (Items{"b.m", "a.m"}));
  EXPECT_EQ(frame->ActiveDocument()->Path(), b);
  EXPECT_EQ(frame->Documents()[0]->View()->GetCurrentPosition(), 7);
  EXPECT_EQ(frame->Documents()[1]->View()->GetCurrentPosition(), 14);
  EXPECT_EQ(frame->GetTabSide(), quire::TabSide::Left);
  EXPECT_TRUE(frame->Action(kTabLeft)->isChecked());
  EXPECT_EQ(app->Keywords(), (Items{"abs", "sin"}));
  Stop();

  QSettings()
      .setValue(QStringLiteral("General/ReopenFiles"), 0);
  Start();
  EXPECT_EQ(frame->Documents().size(), 0u);
}

TEST_F(QuireFrameTest, LargeFileShowsItsLoadAndReopensAtItsCaret) {
  std::string content;
  while (content.size() < CScintillaWnd::LOAD_PIECE_BYTES * 4) content += "value = 1; % a line\n";
  const std::string path = WriteFile("big.m", content);
  Start();
  CQuireDoc* doc = frame->OpenDocument(path, true);
  ASSERT_NE(doc, nullptr);
  // The start is on screen, the bar tells the rest is coming.
  ASSERT_TRUE(doc->View()->IsLoading());
  EXPECT_FALSE(doc->LoadBar()->isHidden());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !doc->View()->IsLoading(); }, 30000));
  EXPECT_TRUE(doc->LoadBar()->isHidden());
  EXPECT_EQ(doc->Title(), "big.m");
  EXPECT_FALSE(doc->IsModified());
  const long nearEnd = static_cast<long>(content.size()) - 5;
  doc->View()->GotoPosition(nearEnd);
  Stop();

  // Reopened at the next start, the caret goes near the end once it came.
  Start();
  ASSERT_EQ(frame->Documents().size(), 1u);
  CScintillaWnd* view = frame->Documents()[0]->View();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !view->IsLoading(); }, 30000));
  EXPECT_EQ(view->GetCurrentPosition(), nearEnd);
  EXPECT_TRUE(view->GetText() == content);
}

TEST_F(QuireFrameTest, PreferencesHaveTheirDefaultsAndAreWrittenForTheConsole) {
  Start();
  const QuirePreferences& prefs = app->Preferences();
  EXPECT_TRUE(prefs.autoComplete);
  EXPECT_TRUE(prefs.callTips);
  EXPECT_FALSE(prefs.view.showAllCharacters);
  EXPECT_TRUE(prefs.view.smartIndent);
  EXPECT_EQ(prefs.view.comment, 0);
  EXPECT_TRUE(prefs.view.useSpaces);
  EXPECT_EQ(prefs.view.tabSize, 4);
  EXPECT_TRUE(prefs.reopenFiles);
  EXPECT_TRUE(prefs.cellMode);
  QSettings store;
  EXPECT_EQ(store.value(QStringLiteral("General/SmarIndent")).toInt(), 1);
  EXPECT_EQ(store.value(QStringLiteral("General/TabSize")).toInt(), 4);

  frame->Action(kCellMode)->trigger();
  EXPECT_EQ(frame->Action(kCellMode)->text(), QStringLiteral("Enable Cell Mode"));
  EXPECT_EQ(CQuireApp::ProfileInt(QStringLiteral("General"), QStringLiteral("CellMode"), 1), 0);
}

TEST_F(QuireFrameTest, WindowPlacementIsRestoredAndFindHistoriesRoundTrip) {
  {
    QSettings store;
    store.setValue(QStringLiteral("Main/x"), 40);
    store.setValue(QStringLiteral("Main/y"), 30);
    store.setValue(QStringLiteral("Main/cx"), 120);  // too narrow
    store.setValue(QStringLiteral("Main/cy"), 400);
    store.setValue(QStringLiteral("EDIT/FINDSTRINGCOUNT"), 3);
    store.setValue(QStringLiteral("EDIT/FINDSTRING0"), QStringLiteral("  needle"));
    store.setValue(QStringLiteral("EDIT/FINDSTRING1"), QStringLiteral(" "));
    store.setValue(QStringLiteral("EDIT/FINDSTRING2"), QStringLiteral("pin"));
  }
  Start();
  const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(frame->geometry().width(), desktop.width());
  EXPECT_EQ(frame->geometry().x(), desktop.x());
  EXPECT_EQ(app->FindHistory(), (Items{"needle", "pin"}));
  app->ReplaceHistory() = {"r"};
  app->FindHistory() = {"one"};
  Stop();
  QSettings store;
  EXPECT_EQ(store.value(QStringLiteral("EDIT/FINDSTRINGCOUNT")).toInt(), 1);
  EXPECT_EQ(store.value(QStringLiteral("EDIT/FINDSTRING0")).toString(), QStringLiteral("one"));
  EXPECT_FALSE(store.contains(QStringLiteral("EDIT/FINDSTRING2")));
  EXPECT_EQ(store.value(QStringLiteral("EDIT/REPLACESTRING0")).toString(), QStringLiteral("r"));
  EXPECT_EQ(store.value(QStringLiteral("Main/cx")).toInt(), desktop.width());
  EXPECT_EQ(store.value(QStringLiteral("TabDocs/Orientation")).toInt(), kTabTop);
}

TEST_F(QuireFrameTest, StatusPaneFollowsTheCaretAndOpenedFilesBecomeRecent) {
  Start({}, true);  // the control reports caret moves when it is drawn
  const std::string a = WriteFile("a.m", "alpha = 1;\nbeta = 2;\n");
  const std::string b = WriteFile("b.m", "b = 1;\n");
  CQuireDoc* doc = frame->OpenDocument(a, true);
  frame->OpenDocument(b, true);
  frame->Activate(doc);
  doc->View()->GotoLine(2);
  doc->View()->SetSelectionEnd(doc->View()->GetCurrentPosition() + 4);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return frame->StatusText() == QStringLiteral("Line: 2    Col: 5    Sel: 4"); }, 2000))
      << frame->StatusText().toStdString();
  frame->CloseAll();
  EXPECT_EQ(frame->StatusText(), QString());

  QSettings store;
  EXPECT_EQ(store.value(QStringLiteral("Recent File List/File1")).toString(), QString::fromStdString(b));
  EXPECT_EQ(store.value(QStringLiteral("Recent File List/File2")).toString(), QString::fromStdString(a));
  for (int i = 0; i < 5; ++i) frame->OpenDocument(WriteFile("r" + std::to_string(i) + ".m", "r\n"), true);
  EXPECT_EQ(store.value(QStringLiteral("Recent File List/File4")).toString(),
            QString::fromStdString(Folder() + "/r1.m"));
  EXPECT_FALSE(store.contains(QStringLiteral("Recent File List/File5")));
}

TEST_F(QuireFrameTest, ViewCommandsToggleMarginsCharactersZoomAndCase) {
  Start();
  CQuireDoc* doc = frame->NewBlankDocument();
  CScintillaWnd* view = doc->View();
  ASSERT_TRUE(view->GetDisplayLineNumbers());
  frame->Action(kToggleLineNumbers)->trigger();
  EXPECT_FALSE(view->GetDisplayLineNumbers());
  EXPECT_FALSE(frame->Action(kToggleLineNumbers)->isChecked());
  frame->Action(kToggleFoldingMargin)->trigger();
  EXPECT_FALSE(view->GetDisplayFolding());

  // Showing all characters is a setting of the editor, written back at once.
  frame->Action(kToggleAllCharacters)->trigger();
  EXPECT_EQ(CQuireApp::ProfileInt(QStringLiteral("General"), QStringLiteral("ShowAllCharacters"), 0), 1);
  EXPECT_TRUE(frame->Action(kToggleAllCharacters)->isChecked());
  frame->Action(kToggleAllCharacters)->trigger();
  EXPECT_EQ(CQuireApp::ProfileInt(QStringLiteral("General"), QStringLiteral("ShowAllCharacters"), 1), 0);

  frame->Action(kZoomIn)->trigger();
  EXPECT_EQ(view->GetZoom(), 1);
  frame->Action(kZoomReset)->trigger();
  EXPECT_EQ(view->GetZoom(), 0);

  view->SetText("disp(x)\n");
  view->SelectAll();
  frame->Action(kUpperCase)->trigger();
  EXPECT_EQ(view->GetText(), "DISP(X)\n");
}

TEST_F(QuireFrameTest, ButtonsShowDrawingsAndTheCellBoxesSayWhatTheyHold) {
  CNoIconTheme bare;
  Start();
  EXPECT_EQ(ButtonsWithoutDrawing(frame), std::vector<std::string>{});
  for (int id : {kEditUndo, kEditRedo, kToggleBreakpoint, kDebugStepIn, kComment, kZoomIn})
    EXPECT_TRUE(IsShippedDrawing(frame->Action(id)->icon())) << frame->Action(id)->text().toStdString();
  EXPECT_TRUE(IsShippedDrawing(frame->windowIcon()));
  // Undo and Redo have pictures of their own.
  EXPECT_NE(IconImage(frame->Action(kEditUndo)->icon()), IconImage(frame->Action(kEditRedo)->icon()));

  const QList<QComboBox*> boxes = frame->findChildren<QComboBox*>();
  ASSERT_EQ(boxes.size(), 3);
  for (const QComboBox* box : boxes) {
    EXPECT_FALSE(box->toolTip().isEmpty()) << box->currentText().toStdString();
    EXPECT_FALSE(box->accessibleName().isEmpty()) << box->currentText().toStdString();
  }
}

TEST_F(QuireFrameTest, FileColonLineOpensAtThatLineAndAFileNamedSoStaysWhole) {
  std::string lines;
  for (int i = 1; i <= 40; ++i) lines += "x" + std::to_string(i) + " = " + std::to_string(i) + ";\n";
  const std::string script = WriteFile("long.m", lines);
  const std::string odd = WriteFile("notes.m:3", "a = 1;\n");
  Start({QString::fromStdString(script + ":25"), QString::fromStdString(odd)});
  ASSERT_EQ(Titles(), (Items{"long.m", "notes.m:3"}));
  EXPECT_EQ(frame->Documents()[0]->View()->GetCurrentLine(), 25);
  EXPECT_EQ(frame->Documents()[1]->View()->GetCurrentLine(), 1);

  // A running Quire handed "FILE:LINE" moves to the line of the open file.
  frame->OnHandOver({QString::fromStdString(script + ":7")});
  EXPECT_EQ(frame->Documents().size(), 2u);
  EXPECT_EQ(frame->Documents()[0]->View()->GetCurrentLine(), 7);
}

TEST_F(QuireFrameTest, UndoRedoAndPasteFollowTheView) {
  Start();
  EXPECT_FALSE(frame->Action(kEditUndo)->isEnabled());
  CQuireDoc* doc = frame->NewBlankDocument();
  EXPECT_FALSE(frame->Action(kEditUndo)->isEnabled());
  EXPECT_FALSE(frame->Action(kEditRedo)->isEnabled());
  QApplication::clipboard()->clear();
  EXPECT_FALSE(frame->Action(kEditPaste)->isEnabled());

  doc->View()->SetText("abc");
  EXPECT_TRUE(QTest::qWaitFor([&] { return frame->Action(kEditUndo)->isEnabled(); }, 5000));
  EXPECT_FALSE(frame->Action(kEditRedo)->isEnabled());
  frame->Action(kEditUndo)->trigger();
  EXPECT_TRUE(QTest::qWaitFor([&] { return frame->Action(kEditRedo)->isEnabled(); }, 5000));

  QApplication::clipboard()->setText(QStringLiteral("pasted"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return frame->Action(kEditPaste)->isEnabled(); }, 5000));
}

TEST_F(QuireFrameTest, OnlyRegularFilesOpenAndALargeOneAsksFirst) {
  Start();
  const std::string fifo = Folder() + "/pipe.m";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(frame->OpenDocument(fifo, true), nullptr);  // returns at once instead of waiting for a writer
  EXPECT_EQ(frame->OpenDocument("/dev/zero", true), nullptr);
  EXPECT_EQ(frame->OpenDocument(Folder(), true), nullptr);
  EXPECT_EQ(warnings.size(), 3u);
  EXPECT_TRUE(frame->Documents().empty());

  // A sparse file just above the limit: the question comes first, No opens nothing.
  const std::string large = Folder() + "/large.m";
  ASSERT_EQ(::truncate(WriteFile("large.m", "").c_str(), quire::kAskBeforeOpeningBytes + 1), 0);
  EXPECT_EQ(frame->OpenDocument(large, true), nullptr);
  ASSERT_EQ(largeFileQuestions.size(), 1u);
  EXPECT_NE(largeFileQuestions[0].find("large.m is larger than 64 MB"), std::string::npos);
  EXPECT_TRUE(frame->Documents().empty());
  // One at the limit opens without a question.
  ASSERT_EQ(::truncate(large.c_str(), quire::kAskBeforeOpeningBytes), 0);
  EXPECT_EQ(quire::KindOfFileToOpen(large), quire::FileKind::Regular);
}

TEST_F(QuireFrameTest, ARightClickInTheTextShowsTheEditingMenu) {
  Start({}, true);
  CQuireDoc* doc = frame->NewBlankDocument();
  QWidget* text = doc->View()->viewport();
  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 20), text->mapToGlobal(QPoint(20, 20)));
  QApplication::sendEvent(text, &click);
  QMenu* menu = nullptr;
  ASSERT_TRUE(QTest::qWaitFor([&] {
    menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    return menu != nullptr;
  }, 5000));
  QStringList entries;
  for (QAction* action : menu->actions())
    if (!action->isSeparator()) entries << action->text().remove(QLatin1Char('&'));
  EXPECT_EQ(entries, (QStringList{"Cut", "Copy", "Paste", "Delete", "Select All", "Comment", "Uncomment",
                                  "Auto-Indent", "Describe command"}));
  menu->close();
}
