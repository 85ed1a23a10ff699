#include "console/command/HistoryStore.h"

#include <gtest/gtest.h>

#include <thread>

#include "common/Ini.h"
#include "tests/common/TestFiles.h"

namespace {

using Lines = std::vector<std::string>;

Lines ToLines(const CTextList& list) {
  Lines lines;
  for (size_t i = 0; i < list.Size(); ++i) lines.emplace_back(list[i]);
  return lines;
}

const std::string kOld = "%-- 01/02/24 09:00:00 --%";
const std::string kLater = "%-- 01/03/24 10:30:00 --%";

// Mirrors what the pane would show.
class CRecordingView : public IHistoryView {
 public:
  void HistoryEntryAdded(size_t index, const std::string& text, bool isHeading, bool ensureVisible) override {
    shown.insert(shown.begin() + static_cast<std::ptrdiff_t>(std::min(index, shown.size())), text);
    headingFlags.push_back(isHeading);
    visibleFlags.push_back(ensureVisible);
  }
  void HistoryReset(const std::vector<std::string>& entries) override {
    shown = entries;
    ++resets;
  }

  Lines shown;
  std::vector<bool> headingFlags, visibleFlags;
  int resets = 0;
};

class HistoryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { m_ini.SetPath(m_dir.File("user.ini")); }
  // Loads `saved` and returns the lines before the heading a load must add.
  Lines Load(const Lines& saved, int maxHist) {
    EXPECT_TRUE(m_ini.WriteArray("History", saved, "|;|"));
    m_store.LoadHistory(m_ini, maxHist);
    Lines lines = m_store.Lines();
    EXPECT_EQ(m_view.shown, lines);
    if (lines.empty() || !CHistoryStore::IsHeading(lines.back())) return {"no new heading"};
    EXPECT_EQ(m_view.visibleFlags.back(), true);
    lines.pop_back();
    return lines;
  }

  CTempDir m_dir;
  CIni m_ini;
  CRecordingView m_view;
  CHistoryStore m_store{&m_view};
};

}  // namespace

TEST_F(HistoryStoreTest, RepeatsPromptsAndBlankEntriesAreNotStored) {
  EXPECT_TRUE(m_store.AddHistoryEntry("x = 1", true));
  EXPECT_FALSE(m_store.AddHistoryEntry("x = 1", true));
  EXPECT_TRUE(m_store.AddHistoryEntry("a b", true));
  EXPECT_FALSE(m_store.AddHistoryEntry("a,b", true));
  EXPECT_FALSE(m_store.AddHistoryEntry("a\r\nb ", true));
  EXPECT_FALSE(m_store.AddHistoryEntry(">> disp(1)", true));
  EXPECT_FALSE(m_store.AddHistoryEntry(" ,\n", true));
  EXPECT_TRUE(m_store.AddHistoryEntry("x = 1", true));  // no longer the last entry
  EXPECT_EQ(m_store.Lines(), (Lines{"x = 1", "a b", "x = 1"}));
}

TEST_F(HistoryStoreTest, LineBreaksAreRemovedAndViewFollows) {
  EXPECT_TRUE(m_store.AddHistoryEntry("plot(x)", false));
  EXPECT_TRUE(m_store.AddHistoryEntry(kOld, true));
  EXPECT_TRUE(m_store.AddHistoryEntry("if 1\r\nend\n", true));
  EXPECT_EQ(m_store.Lines(), (Lines{"plot(x)", kOld, "if 1end"}));
  EXPECT_EQ(m_view.shown, m_store.Lines());
  EXPECT_EQ(m_view.headingFlags, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(m_view.visibleFlags, (std::vector<bool>{false, true, true}));
}

TEST_F(HistoryStoreTest, RecallCursorIsEntryCountAfterChanges) {
  EXPECT_EQ(m_store.RecallCursor(), 0u);
  m_store.AddHistoryEntry("a", true);
  m_store.AddHistoryEntry("b", true);
  m_store.SetRecallCursor(0);
  EXPECT_EQ(m_store.RecallCursor(), 0u);
  m_store.AddHistoryEntry("b", true);  // a repeat still moves the cursor to the end
  EXPECT_EQ(m_store.RecallCursor(), 2u);
  m_store.DeleteHistoryEntry(0);
  EXPECT_EQ(m_store.RecallCursor(), 1u);
}

TEST_F(HistoryStoreTest, RecallWalksTheStoredEntriesAndMovesTheCursor) {
  for (const char* entry : {"plot(x)", "x = 1", "PLOT(y)", "disp(x)"}) m_store.AddHistoryEntry(entry, true);
  EXPECT_EQ(m_store.Recall(true, ""), (RecallResult{3, "disp(x)"}));
  EXPECT_EQ(m_store.Recall(true, "pl"), (RecallResult{2, "PLOT(y)"}));
  EXPECT_EQ(m_store.Recall(true, "pl"), (RecallResult{0, "plot(x)"}));
  EXPECT_EQ(m_store.RecallCursor(), 0u);
  EXPECT_EQ(m_store.Recall(false, "x"), (RecallResult{1, "x = 1"}));
  // A new entry starts recall again after the newest one.
  m_store.AddHistoryEntry("y = 2", true);
  EXPECT_EQ(m_store.Recall(true, ""), (RecallResult{4, "y = 2"}));
}

TEST_F(HistoryStoreTest, ClearLeavesOneNewHeading) {
  m_store.AddHistoryEntry(kOld, true);
  m_store.AddHistoryEntry("a", true);
  m_store.ClearHistory();
  const Lines lines = m_store.Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0].starts_with("%-- ") && lines[0].ends_with(" --%") && lines[0].size() > 8) << lines[0];
  EXPECT_NE(lines[0], kOld);
  EXPECT_EQ(m_view.shown, lines);
  EXPECT_EQ(m_view.resets, 1);
}

TEST_F(HistoryStoreTest, DeletingAHeadingTakesItsCommandsOutOfTheSavedHistory) {
  for (const char* entry : {"%-- first --%", "a", "%-- second --%", "b", "c", "%-- third --%", "d"})
    m_store.AddHistoryEntry(entry, false);
  m_store.DeleteHistoryEntry(2);
  m_store.DeleteHistoryEntry(1);
  m_store.DeleteHistoryEntry(99);
  const Lines expected{"%-- first --%", "%-- third --%", "d"};
  EXPECT_EQ(m_store.Lines(), expected);
  EXPECT_EQ(m_view.shown, expected);

  ASSERT_TRUE(m_store.SaveHistory(m_ini));
  Lines saved;
  m_ini.GetArray("History", saved, "|;|");
  EXPECT_EQ(saved, expected);
}

TEST_F(HistoryStoreTest, LoadKeepsLastCommandsWithTheHeadingAboveThem) {
  EXPECT_EQ(Load({kOld, "c1", "c2", "c3", "c4", "c5"}, 3), (Lines{kOld, "c3", "c4", "c5"}));
  const Lines twoSessions{kOld, "a", "b", kLater, "c", "d", "e"};
  EXPECT_EQ(Load(twoSessions, 2), (Lines{kLater, "d", "e"}));
  EXPECT_EQ(Load(twoSessions, 4), (Lines{kOld, "b", kLater, "c", "d", "e"}));
  EXPECT_EQ(Load(twoSessions, 0), twoSessions);  // no limit
  EXPECT_EQ(Load({"a", "b", "c"}, 1), (Lines{"a", "c"}));  // no heading: starts at the first entry
}

TEST_F(HistoryStoreTest, SaveThenLoadRoundTripAndMissingFile) {
  EXPECT_FALSE(m_store.SaveHistory(m_ini));  // nothing to save
  m_store.LoadHistory(m_ini, 50);            // no file
  ASSERT_EQ(m_store.Lines().size(), 1u);
  EXPECT_TRUE(CHistoryStore::IsHeading(m_store.Lines()[0]));

  m_store.AddHistoryEntry("disp('a, b')", true);
  m_store.AddHistoryEntry("x = [1 2; 3 4]", true);
  const Lines before = m_store.Lines();
  ASSERT_TRUE(m_store.SaveHistory(m_ini));
  CHistoryStore loaded;
  loaded.LoadHistory(m_ini, 100);
  Lines after = loaded.Lines();
  ASSERT_EQ(after.size(), before.size() + 1);
  EXPECT_TRUE(CHistoryStore::IsHeading(after.back()));
  after.pop_back();
  EXPECT_EQ(after, before);
}

TEST_F(HistoryStoreTest, ConcurrentAddsAreAllKept) {
  constexpr int kEach = 200;
  auto adder = [this](const std::string& prefix) {
    for (int i = 0; i < kEach; ++i) m_store.AddHistoryEntry(prefix + std::to_string(i), false);
  };
  std::thread dispatcher(adder, "dispatcher");
  std::thread window(adder, "window");
  dispatcher.join();
  window.join();
  EXPECT_EQ(m_store.Lines().size(), 2u * kEach);
  EXPECT_EQ(m_view.shown, m_store.Lines());
}

TEST_F(HistoryStoreTest, ChangesSinceGiveNewEntriesOrAllAfterARemoval) {
  CHistoryStore store;
  store.AddHistoryEntry(kOld, false);
  store.AddHistoryEntry("a = 1", false);
  CHistoryStore::SChanges all = store.ChangesSince(0, 0);
  EXPECT_EQ(all.first, 0u);
  EXPECT_EQ(ToLines(all.lines), (Lines{kOld, "a = 1"}));

  store.AddHistoryEntry("b = 2", false);
  CHistoryStore::SChanges added = store.ChangesSince(all.generation, 2);
  EXPECT_EQ(added.generation, all.generation);
  EXPECT_EQ(added.first, 2u);
  EXPECT_EQ(ToLines(added.lines), Lines{"b = 2"});
  EXPECT_TRUE(store.ChangesSince(all.generation, 3).lines.Empty());

  // A delete or a clear changes earlier entries: everything comes again.
  store.DeleteHistoryEntry(1);
  CHistoryStore::SChanges afterDelete = store.ChangesSince(all.generation, 3);
  EXPECT_NE(afterDelete.generation, all.generation);
  EXPECT_EQ(afterDelete.first, 0u);
  EXPECT_EQ(ToLines(afterDelete.lines), (Lines{kOld, "b = 2"}));
  store.ClearHistory();
  CHistoryStore::SChanges afterClear = store.ChangesSince(afterDelete.generation, 2);
  EXPECT_NE(afterClear.generation, afterDelete.generation);
  ASSERT_EQ(afterClear.lines.Size(), 1u);
  EXPECT_TRUE(CHistoryStore::IsHeading(afterClear.lines[0]));
}

TEST(TextListTest, EachTextReadsBackWholeAlsoEmptyOnesAndMultiByte) {
  CTextList list;
  EXPECT_TRUE(list.Empty());
  const Lines texts{"", "x = 1", "", "disp ('\xc3\xa9t\xc3\xa9')", std::string(5000, 'a')};
  for (const std::string& text : texts) list.PushBack(text);
  EXPECT_EQ(ToLines(list), texts);
  EXPECT_EQ(list.Back(), texts.back());
}
