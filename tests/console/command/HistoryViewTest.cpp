#include "console/command/HistoryView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <thread>

#include "common/Ini.h"
#include "console/session/SessionViews.h"
#include "tests/common/TestFiles.h"
#include "tests/common/TestPrompts.h"

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QRect& rect, std::ostream* out) {
  *out << rect.x() << ',' << rect.y() << ' ' << rect.width() << 'x' << rect.height();
}
inline void PrintTo(const QStringList& list, std::ostream* out) {
  *out << '{' << list.join(", ").toStdString() << '}';
}

namespace {

using Lines = std::vector<std::string>;

const std::string kFirst = "%-- 01/02/24 09:00:00 --%";
const std::string kSecond = "%-- 01/03/24 10:30:00 --%";

class CMemorySettings : public ISettings {
 public:
  int GetInt(const std::string& section, const std::string& key, int fallback) override {
    auto found = ints.find(section + "/" + key);
    return found == ints.end() ? fallback : found->second;
  }
  std::string GetString(const std::string&, const std::string&, const std::string& fallback) override {
    return fallback;
  }
  void SetInt(const std::string& section, const std::string& key, int value) override {
    ints[section + "/" + key] = value;
  }
  void SetString(const std::string&, const std::string&, const std::string&) override {}

  std::map<std::string, int> ints;
};

// One row of the tree as a user reads it: its text and the heading it sits under.
struct SRow {
  std::string text;
  std::string parent;
  bool operator==(const SRow&) const = default;
};

std::string TextOf(const QModelIndex& index) { return index.data().toString().toStdString(); }

std::vector<SRow> Rows(QTreeView* tree) {
  const QAbstractItemModel* model = tree->model();
  std::vector<SRow> rows;
  for (int i = 0; i < model->rowCount(); ++i) {
    const QModelIndex top = model->index(i, 0);
    rows.push_back({TextOf(top), ""});
    for (int c = 0; c < model->rowCount(top); ++c)
      rows.push_back({TextOf(model->index(c, 0, top)), TextOf(top)});
  }
  return rows;
}

// The rows the store's lines should give: commands under the latest heading.
std::vector<SRow> ExpectedRows(const Lines& lines) {
  std::vector<SRow> rows;
  std::string heading;
  for (const std::string& line : lines) {
    if (CHistoryStore::IsHeading(line)) {
      heading = line;
      rows.push_back({line, ""});
    } else {
      rows.push_back({line, heading});
    }
  }
  return rows;
}

QModelIndex FindItem(QTreeView* tree, const std::string& text) {
  const QAbstractItemModel* model = tree->model();
  const QModelIndexList found = model->match(model->index(0, 0), Qt::DisplayRole, QString::fromStdString(text),
                                             1, Qt::MatchExactly | Qt::MatchRecursive);
  return found.isEmpty() ? QModelIndex() : found.front();
}

class HistoryViewTest : public ::testing::Test {
 protected:
  HistoryViewTest()
      : m_view(m_store, m_settings, m_prompts,
               [this](const std::string& text) { m_enqueued.push_back(text); },
               [this] { return m_connected; }) {}

  static void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  void Fill(const Lines& lines) {
    for (const std::string& line : lines) m_store.AddHistoryEntry(line, false);
    Settle();
  }

  void Select(const std::string& text) {
    const QModelIndex item = FindItem(m_view.Tree(), text);
    ASSERT_TRUE(item.isValid()) << text;
    m_view.Tree()->setCurrentIndex(item);
  }

  void ShowActive() {
    m_view.resize(300, 400);
    m_view.show();
    m_view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_view));
    m_view.setFocus();
  }

  CHistoryStore m_store;
  CMemorySettings m_settings;
  CTestPrompts m_prompts;
  Lines m_enqueued;
  bool m_connected = true;
  CHistoryView m_view;
};

}  // namespace

TEST_F(HistoryViewTest, EntriesFromAnotherThreadAppearInOrderUnderTheirHeading) {
  std::thread worker([this] {
    for (const char* line : {"early = 1", kFirst.c_str(), "a = 1", "b = 2", kSecond.c_str(), "plot(a)"})
      m_store.AddHistoryEntry(line, true);
  });
  worker.join();
  Settle();

  const Lines lines = m_store.Lines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(Rows(m_view.Tree()), ExpectedRows(lines));
  EXPECT_EQ(FindItem(m_view.Tree(), "plot(a)").parent(), FindItem(m_view.Tree(), kSecond));
  const QModelIndex early = FindItem(m_view.Tree(), "early = 1");
  EXPECT_FALSE(early.parent().isValid());
  // A command at the root is a command all the same: its icon, no children.
  const auto iconOf = [](const QModelIndex& index) {
    return index.data(Qt::DecorationRole).value<QIcon>().cacheKey();
  };
  EXPECT_EQ(iconOf(early), iconOf(FindItem(m_view.Tree(), "plot(a)")));
  EXPECT_NE(iconOf(early), iconOf(FindItem(m_view.Tree(), kSecond)));
  EXPECT_TRUE(early.flags() & Qt::ItemNeverHasChildren);
  EXPECT_FALSE(FindItem(m_view.Tree(), kSecond).flags() & Qt::ItemNeverHasChildren);
}

TEST_F(HistoryViewTest, NewEntriesAreAppendedWithoutRebuildingTheTree) {
  Fill({kFirst, "a = 1", "b = 2"});
  // A rebuilt model would invalidate the persistent index.
  const QPersistentModelIndex kept = FindItem(m_view.Tree(), "a = 1");
  m_view.Tree()->setCurrentIndex(kept);
  m_view.Tree()->collapse(FindItem(m_view.Tree(), kFirst));

  // Added on the GUI thread, where the store's lock is held during the callback.
  m_store.AddHistoryEntry("c = 3", true);
  m_store.AddHistoryEntry(kSecond, true);
  Settle();

  EXPECT_EQ(Rows(m_view.Tree()), ExpectedRows(m_store.Lines()));
  ASSERT_TRUE(kept.isValid());
  EXPECT_EQ(FindItem(m_view.Tree(), "a = 1"), kept);
  EXPECT_EQ(m_view.Tree()->currentIndex(), kept);
  EXPECT_FALSE(m_view.Tree()->isExpanded(FindItem(m_view.Tree(), kFirst)));
  EXPECT_TRUE(m_view.Tree()->isExpanded(FindItem(m_view.Tree(), kSecond)));
}

TEST_F(HistoryViewTest, AnEntryAddedToBeSeenIsScrolledIntoView) {
  ShowActive();
  m_view.resize(300, 150);
  m_store.AddHistoryEntry(kFirst, false);
  for (int i = 0; i < 60; ++i) m_store.AddHistoryEntry("x = " + std::to_string(i), false);
  Settle();
  QTreeView* tree = m_view.Tree();
  tree->scrollToTop();
  const QRect last = tree->visualRect(FindItem(tree, "x = 59"));
  ASSERT_FALSE(tree->viewport()->rect().contains(last));

  m_store.AddHistoryEntry("shown = 1", true);
  Settle();
  const QRect added = tree->visualRect(FindItem(tree, "shown = 1"));
  EXPECT_TRUE(tree->viewport()->rect().contains(added));
}

TEST_F(HistoryViewTest, DeleteRemovesTheEntryAndAHeadingsCommands) {
  Fill({kFirst, "a = 1", "b = 2", kSecond, "c = 3", "d = 4"});
  ShowActive();
  m_view.Tree()->collapse(FindItem(m_view.Tree(), kFirst));
  Select("c = 3");
  QTest::keyClick(m_view.Tree(), Qt::Key_Delete);
  Settle();
  Lines expected {kFirst, "a = 1", "b = 2", kSecond, "d = 4"};
  EXPECT_EQ(m_store.Lines(), expected);
  EXPECT_EQ(Rows(m_view.Tree()), ExpectedRows(expected));
  // The rebuilt tree keeps the session the user closed closed, the others open.
  EXPECT_FALSE(m_view.Tree()->isExpanded(FindItem(m_view.Tree(), kFirst)));
  EXPECT_TRUE(m_view.Tree()->isExpanded(FindItem(m_view.Tree(), kSecond)));
  EXPECT_EQ(TextOf(m_view.Tree()->currentIndex()), "d = 4");

  Select(kFirst);
  m_view.DeleteAction()->trigger();
  Settle();
  expected = {kSecond, "d = 4"};
  EXPECT_EQ(m_store.Lines(), expected);
  EXPECT_EQ(Rows(m_view.Tree()), ExpectedRows(expected));
}

TEST_F(HistoryViewTest, EvaluateIsOffForHeadingsAndWhileDisconnected) {
  Fill({kFirst, "a = 1"});
  Select(kFirst);
  EXPECT_FALSE(m_view.EvaluateAction()->isEnabled());
  m_view.EvaluateSelected();
  Settle();
  EXPECT_TRUE(m_enqueued.empty());
  EXPECT_EQ(m_store.Lines(), (Lines {kFirst, "a = 1"}));

  Select("a = 1");
  EXPECT_TRUE(m_view.EvaluateAction()->isEnabled());
  m_connected = false;
  m_view.UpdateActions();
  EXPECT_FALSE(m_view.EvaluateAction()->isEnabled());
  m_view.EvaluateAction()->trigger();
  EXPECT_TRUE(m_enqueued.empty());
}

TEST_F(HistoryViewTest, EvaluatingACommandQueuesItOnce) {
  Fill({kFirst, "a = 1", "b = 2"});
  ShowActive();
  Select("b = 2");
  QTest::keyClick(m_view.Tree(), Qt::Key_Return);
  Settle();
  EXPECT_EQ(m_enqueued, (Lines {"b = 2"}));
  const Lines lines = m_store.Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "b = 2"), 1);
  EXPECT_EQ(Rows(m_view.Tree()), ExpectedRows(lines));

  // An older command runs again and becomes the newest entry.
  const QModelIndex older = FindItem(m_view.Tree(), "a = 1");
  m_view.Tree()->setCurrentIndex(older);
  emit m_view.Tree()->doubleClicked(older);
  Settle();
  EXPECT_EQ(m_enqueued, (Lines {"b = 2", "a = 1"}));
  EXPECT_EQ(m_store.Lines().back(), "a = 1");
  EXPECT_EQ(Rows(m_view.Tree()), ExpectedRows(m_store.Lines()));
}

TEST_F(HistoryViewTest, ClearAsksWhenTheSettingSaysSo) {
  Fill({kFirst, "a = 1", kSecond, "b = 2"});
  const Lines before = m_store.Lines();
  m_settings.SetInt("General", "ConfirmClearHistory", 1);
  m_view.ClearAction()->trigger();
  Settle();
  EXPECT_EQ(m_prompts.confirmations, QStringList {"Are you sure you want to clear your command history."});
  EXPECT_EQ(m_store.Lines(), before);
  EXPECT_EQ(Rows(m_view.Tree()), ExpectedRows(before));

  m_settings.SetInt("General", "ConfirmClearHistory", 0);
  m_view.ClearAction()->trigger();
  Settle();
  EXPECT_EQ(m_prompts.confirmations.size(), 1);
  const Lines after = m_store.Lines();
  ASSERT_EQ(after.size(), 1u);
  EXPECT_TRUE(CHistoryStore::IsHeading(after.front()));
  EXPECT_EQ(Rows(m_view.Tree()), ExpectedRows(after));
}

TEST_F(HistoryViewTest, CopyPutsTheSelectedTextOnTheClipboard) {
  Fill({kFirst, "disp('hi')"});
  QApplication::clipboard()->setText("before");
  m_view.CopyAction()->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "before");  // nothing selected

  Select("disp('hi')");
  m_view.CopyAction()->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "disp('hi')");
}

TEST_F(HistoryViewTest, CommandsAreOfferedInTheirOrder) {
  QStringList toolBar;
  for (QAction* action : m_view.ToolBar()->actions()) toolBar << action->iconText();
  EXPECT_EQ(toolBar, (QStringList {"Evaluate", "Copy", "Clear", "Delete"}));

  QStringList menu;
  for (QAction* action : m_view.ContextMenu()->actions())
    menu << (action->isSeparator() ? QString("-") : action->text());
  EXPECT_EQ(menu, (QStringList {"Evaluate\tEnter", "Copy\tCtrl+C", "-", "Delete\tDel",
                                "Clear Command History"}));
  EXPECT_EQ(m_view.ClearAction()->toolTip(), "Clear Command Hystory");
  EXPECT_EQ(m_view.Tree()->accessibleName(), "Command History");
}

TEST_F(HistoryViewTest, RightClickSelectsTheItemUnderTheMouse) {
  Fill({kFirst, "a = 1", "b = 2"});
  ShowActive();
  Select("a = 1");
  const QModelIndex target = FindItem(m_view.Tree(), "b = 2");
  m_view.Tree()->clearFocus();
  bool menuShown = false;
  QWidget* focusDuringMenu = nullptr;
  QTimer::singleShot(0, [&] {
    if (QWidget* popup = QApplication::activePopupWidget()) {
      menuShown = true;
      focusDuringMenu = QApplication::focusWidget();
      popup->close();
    }
  });
  emit m_view.Tree()->customContextMenuRequested(m_view.Tree()->visualRect(target).center());
  EXPECT_TRUE(menuShown);
  EXPECT_EQ(m_view.Tree()->currentIndex(), target);
  EXPECT_EQ(focusDuringMenu, m_view.Tree());

  m_view.DeleteAction()->trigger();
  Settle();
  EXPECT_EQ(m_store.Lines(), (Lines {kFirst, "a = 1"}));
}

TEST_F(HistoryViewTest, ALoadedHistoryShowsEveryEntryOpenWithOneIconPerKind) {
  Lines saved;
  for (int session = 0; session < 30; ++session) {
    saved.push_back("%-- 01/0" + std::to_string(session % 9 + 1) + "/24 " + std::to_string(session) + " --%");
    for (int i = 0; i < 100; ++i) saved.push_back("x" + std::to_string(session) + " = " + std::to_string(i));
  }
  CTempDir dir;
  CIni ini;
  ini.SetPath(dir.File("userpaths.dat"));
  ASSERT_TRUE(ini.WriteArray("History", saved, "|;|"));
  m_store.LoadHistory(ini, 2950);
  Settle();

  const Lines lines = m_store.Lines();
  ASSERT_EQ(lines.size(), 2950u + 30u + 1u);  // 50 commands of the first session dropped
  EXPECT_EQ(Rows(m_view.Tree()), ExpectedRows(lines));
  QTreeView* tree = m_view.Tree();
  const QAbstractItemModel* model = tree->model();
  ASSERT_EQ(model->rowCount(), 31);
  for (int row = 0; row < model->rowCount(); ++row)
    EXPECT_TRUE(model->rowCount(model->index(row, 0)) == 0 || tree->isExpanded(model->index(row, 0)));

  const auto iconOf = [](const QModelIndex& index) {
    return index.data(Qt::DecorationRole).value<QIcon>().cacheKey();
  };
  const QModelIndex firstHeading = model->index(0, 0);
  const QModelIndex lastHeading = model->index(30, 0);
  EXPECT_EQ(iconOf(firstHeading), iconOf(lastHeading));
  EXPECT_EQ(iconOf(model->index(0, 0, firstHeading)), iconOf(model->index(99, 0, model->index(29, 0))));
  EXPECT_NE(iconOf(firstHeading), iconOf(model->index(0, 0, firstHeading)));

  // Deleting in the middle keeps the rows in step with the store.
  Select("x10 = 5");
  m_view.DeleteAction()->trigger();
  Settle();
  EXPECT_EQ(Rows(m_view.Tree()), ExpectedRows(m_store.Lines()));
  EXPECT_EQ(TextOf(tree->currentIndex()), "x10 = 6");
}

// Commands added to the open last session of a longer history, the way a user
// sees them: in order under that session, the selection and the rows in view
// where they were, the newest shown when it is to be seen.
TEST_F(HistoryViewTest, CommandsAddedToTheOpenLastSessionKeepTheRowsInViewAndTheSelection) {
  Lines lines;
  for (int session = 0; session < 3; ++session) {
    lines.push_back("%-- 01/0" + std::to_string(session + 1) + "/24 09:00:00 --%");
    for (int i = 0; i < 40; ++i) lines.push_back("s" + std::to_string(session) + " = " + std::to_string(i));
  }
  Fill(lines);
  ShowActive();
  m_view.resize(300, 200);
  Settle();
  QTreeView* tree = m_view.Tree();
  QScrollBar* scrollBar = tree->verticalScrollBar();
  const QModelIndex lastSession = FindItem(tree, lines[82]);
  ASSERT_TRUE(tree->isExpanded(lastSession));

  // Reading an older session, one of its commands selected.
  Select("s1 = 5");
  tree->scrollTo(tree->currentIndex(), QAbstractItemView::PositionAtTop);
  const int olderTop = scrollBar->value();
  m_store.AddHistoryEntry("t = 1", false);
  Settle();
  EXPECT_EQ(Rows(tree), ExpectedRows(m_store.Lines()));
  EXPECT_EQ(TextOf(tree->currentIndex()), "s1 = 5");
  EXPECT_EQ(scrollBar->value(), olderTop);
  EXPECT_TRUE(tree->isExpanded(lastSession));

  // At the bottom, a command of the last session selected: closing that
  // session for a moment must not pull the rows in view up.
  Select("s2 = 39");
  tree->scrollToBottom();
  const int bottom = scrollBar->value();
  const QRect selectedRect = tree->visualRect(tree->currentIndex());
  m_store.AddHistoryEntry("t = 2", false);
  Settle();
  EXPECT_EQ(scrollBar->value(), bottom);
  EXPECT_EQ(tree->visualRect(tree->currentIndex()), selectedRect);
  EXPECT_EQ(TextOf(tree->currentIndex()), "s2 = 39");

  // A command to be seen is scrolled into view, and is the row below the one
  // before it.
  m_store.AddHistoryEntry("t = 3", true);
  Settle();
  const QModelIndex newest = FindItem(tree, "t = 3");
  EXPECT_EQ(newest.parent(), lastSession);
  EXPECT_TRUE(tree->viewport()->rect().contains(tree->visualRect(newest)));
  EXPECT_FALSE(tree->indexBelow(newest).isValid());
  tree->setCurrentIndex(FindItem(tree, "t = 2"));
  QTest::keyClick(tree, Qt::Key_Down);
  EXPECT_EQ(tree->currentIndex(), newest);
  EXPECT_EQ(TextOf(tree->currentIndex()), "t = 3");

  // A last session the user closed stays closed.
  tree->collapse(lastSession);
  m_store.AddHistoryEntry("t = 4", false);
  Settle();
  EXPECT_FALSE(tree->isExpanded(lastSession));
  EXPECT_EQ(Rows(tree), ExpectedRows(m_store.Lines()));
  EXPECT_EQ(tree->indexBelow(lastSession), QModelIndex());
}
