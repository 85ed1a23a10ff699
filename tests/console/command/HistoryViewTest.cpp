#include "console/command/HistoryView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <thread>

#include "console/session/SessionViews.h"
#include "widgets/ConfirmBox.h"

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
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

std::vector<SRow> Rows(QTreeWidget* tree) {
  std::vector<SRow> rows;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) {
    QTreeWidgetItem* top = tree->topLevelItem(i);
    rows.push_back({top->text(0).toStdString(), ""});
    for (int c = 0; c < top->childCount(); ++c)
      rows.push_back({top->child(c)->text(0).toStdString(), top->text(0).toStdString()});
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

QTreeWidgetItem* FindItem(QTreeWidget* tree, const std::string& text) {
  const QList<QTreeWidgetItem*> found =
      tree->findItems(QString::fromStdString(text), Qt::MatchExactly | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.front();
}

class HistoryViewTest : public ::testing::Test {
 protected:
  HistoryViewTest()
      : m_view(m_store, m_settings, [this](const std::string& text) { m_enqueued.push_back(text); },
               [this] { return m_connected; }) {}

  void TearDown() override { SetConfirmationResponder(nullptr); }

  static void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  void Fill(const Lines& lines) {
    for (const std::string& line : lines) m_store.AddHistoryEntry(line, false);
    Settle();
  }

  void Select(const std::string& text) {
    QTreeWidgetItem* item = FindItem(m_view.Tree(), text);
    ASSERT_NE(item, nullptr) << text;
    m_view.Tree()->setCurrentItem(item);
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
  EXPECT_EQ(FindItem(m_view.Tree(), "plot(a)")->parent(), FindItem(m_view.Tree(), kSecond));
  EXPECT_EQ(FindItem(m_view.Tree(), "early = 1")->parent(), nullptr);
}

TEST_F(HistoryViewTest, NewEntriesAreAppendedWithoutRebuildingTheTree) {
  Fill({kFirst, "a = 1", "b = 2"});
  QTreeWidgetItem* kept = FindItem(m_view.Tree(), "a = 1");
  m_view.Tree()->setCurrentItem(kept);
  FindItem(m_view.Tree(), kFirst)->setExpanded(false);

  // Added on the GUI thread, where the store's lock is held during the callback.
  m_store.AddHistoryEntry("c = 3", true);
  m_store.AddHistoryEntry(kSecond, true);
  Settle();

  EXPECT_EQ(Rows(m_view.Tree()), ExpectedRows(m_store.Lines()));
  EXPECT_EQ(FindItem(m_view.Tree(), "a = 1"), kept);
  EXPECT_EQ(m_view.Tree()->currentItem(), kept);
  EXPECT_FALSE(FindItem(m_view.Tree(), kFirst)->isExpanded());
}

TEST_F(HistoryViewTest, AnEntryAddedToBeSeenIsScrolledIntoView) {
  ShowActive();
  m_view.resize(300, 150);
  m_store.AddHistoryEntry(kFirst, false);
  for (int i = 0; i < 60; ++i) m_store.AddHistoryEntry("x = " + std::to_string(i), false);
  Settle();
  QTreeWidget* tree = m_view.Tree();
  tree->scrollToTop();
  const QRect last = tree->visualItemRect(FindItem(tree, "x = 59"));
  ASSERT_FALSE(tree->viewport()->rect().contains(last));

  m_store.AddHistoryEntry("shown = 1", true);
  Settle();
  const QRect added = tree->visualItemRect(FindItem(tree, "shown = 1"));
  EXPECT_TRUE(tree->viewport()->rect().contains(added));
}

TEST_F(HistoryViewTest, DeleteRemovesTheEntryAndAHeadingsCommands) {
  Fill({kFirst, "a = 1", "b = 2", kSecond, "c = 3", "d = 4"});
  ShowActive();
  Select("c = 3");
  QTest::keyClick(m_view.Tree(), Qt::Key_Delete);
  Settle();
  Lines expected {kFirst, "a = 1", "b = 2", kSecond, "d = 4"};
  EXPECT_EQ(m_store.Lines(), expected);
  EXPECT_EQ(Rows(m_view.Tree()), ExpectedRows(expected));

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
  QTreeWidgetItem* older = FindItem(m_view.Tree(), "a = 1");
  m_view.Tree()->setCurrentItem(older);
  emit m_view.Tree()->itemDoubleClicked(older, 0);
  Settle();
  EXPECT_EQ(m_enqueued, (Lines {"b = 2", "a = 1"}));
  EXPECT_EQ(m_store.Lines().back(), "a = 1");
  EXPECT_EQ(Rows(m_view.Tree()), ExpectedRows(m_store.Lines()));
}

TEST_F(HistoryViewTest, ClearAsksWhenTheSettingSaysSo) {
  Fill({kFirst, "a = 1", kSecond, "b = 2"});
  const Lines before = m_store.Lines();
  m_settings.SetInt("General", "ConfirmClearHistory", 1);
  QStringList asked;
  SetConfirmationResponder([&](const QString& text) {
    asked << text;
    return ConfirmAnswer {false, false};
  });
  m_view.ClearAction()->trigger();
  Settle();
  EXPECT_EQ(asked, QStringList {"Are you sure you want to clear your command history."});
  EXPECT_EQ(m_store.Lines(), before);
  EXPECT_EQ(Rows(m_view.Tree()), ExpectedRows(before));

  m_settings.SetInt("General", "ConfirmClearHistory", 0);
  m_view.ClearAction()->trigger();
  Settle();
  EXPECT_EQ(asked.size(), 1);
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
  QTreeWidgetItem* target = FindItem(m_view.Tree(), "b = 2");
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
  emit m_view.Tree()->customContextMenuRequested(m_view.Tree()->visualItemRect(target).center());
  EXPECT_TRUE(menuShown);
  EXPECT_EQ(m_view.Tree()->currentItem(), target);
  EXPECT_EQ(focusDuringMenu, m_view.Tree());

  m_view.DeleteAction()->trigger();
  Settle();
  EXPECT_EQ(m_store.Lines(), (Lines {kFirst, "a = 1"}));
}
