#include "console/docs/TopicSearch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <mutex>

#include "console/docs/ManualIndex.h"
#include "tests/common/TestFiles.h"
#include "tests/console/docs/ManualFixture.h"

namespace {

using Files = std::vector<std::string>;

Files Search(CManualIndex& index, const std::string& folder, const std::string& text) {
  const std::atomic<bool> running{false};
  return index.Search(folder, text, running).value_or(Files{"cancelled"});
}

// Gives a file a new time, as an edit would.
void Touch(const std::string& path, int secondsLater) {
  namespace fs = std::filesystem;
  fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(secondsLater));
}

}  // namespace

TEST(ManualIndexTest, PagesHoldingTheTextIgnoringCaseInThisFolderOnly) {
  CTempDir dir;
  WriteTodaysManual(dir.Path());
  WriteFile(dir.File("sub/Deeper.html"), "sin");
  WriteFile(dir.File("notes.txt"), "sin");
  WriteFile(dir.File("Nul.html"), std::string("co\0s", 4));
  CManualIndex index;
  // "single" holds "sin": the text is looked for anywhere in the page.
  EXPECT_EQ(Search(index, dir.Path(), "sin"),
            (Files{"Built_002din-Data-Types.html", "Converting-Numerical-Data-to-Strings.html",
                   "Trigonometry.html", "XREFsin.html"}));
  EXPECT_EQ(Search(index, dir.Path(), "SINGLE"), Files{"Built_002din-Data-Types.html"});
  EXPECT_EQ(Search(index, dir.Path(), "cos"),
            (Files{"Nul.html", "Trigonometry.html", "XREFcos.html", "index.html"}));
  EXPECT_EQ(Search(index, dir.Path(), "nowhere to be found"), Files{});
  EXPECT_EQ(Search(index, dir.Path(), ""), Files{});
}

TEST(ManualIndexTest, OnlyChangedPagesAreReadAgain) {
  CTempDir dir;
  WriteTodaysManual(dir.Path());
  CManualIndex index;
  EXPECT_EQ(Search(index, dir.Path(), "tangent"), Files{});
  const size_t firstRead = index.PagesRead();
  EXPECT_EQ(firstRead, 7u);
  EXPECT_EQ(Search(index, dir.Path(), "XREFsin"), (Files{"Trigonometry.html", "XREFsin.html"}));
  EXPECT_EQ(index.PagesRead(), firstRead);

  WriteFile(dir.File("Trigonometry.html"), Page("Trigonometry", "tangent"));
  Touch(dir.File("Trigonometry.html"), 5);
  WriteFile(dir.File("Tangent.html"), "TANGENT");
  std::filesystem::remove(dir.File("XREFsin.html"));
  EXPECT_EQ(Search(index, dir.Path(), "tangent"), (Files{"Tangent.html", "Trigonometry.html"}));
  EXPECT_EQ(index.PagesRead(), firstRead + 2);
  EXPECT_EQ(Search(index, dir.Path(), "XREFsin"), Files{});

  // Another folder replaces the pages of the first.
  CTempDir other;
  WriteOldManual(other.Path());
  EXPECT_EQ(Search(index, other.Path(), "num_005felements"),
            (Files{"Utility-Functions.html", "doc_002dnum_005felements.html"}));
  EXPECT_EQ(Search(index, other.Path(), "tangent"), Files{});
}

TEST(ManualIndexTest, ACancelledSearchReportsNothing) {
  CTempDir dir;
  WriteTodaysManual(dir.Path());
  CManualIndex index;
  const std::atomic<bool> cancelled{true};
  EXPECT_FALSE(index.Search(dir.Path(), "sin", cancelled).has_value());
}

namespace {

// Collects what the worker reports and wakes the waiting test.
struct Reports {
  std::mutex lock;
  std::condition_variable arrived;
  std::vector<std::pair<std::uint64_t, Files>> seen;

  void Add(std::uint64_t number, Files files) {
    std::lock_guard<std::mutex> guard(lock);
    seen.emplace_back(number, std::move(files));
    arrived.notify_all();
  }
  bool WaitFor(std::uint64_t number) {
    std::unique_lock<std::mutex> guard(lock);
    return arrived.wait_for(guard, std::chrono::seconds(30), [&] {
      for (const auto& report : seen) if (report.first == number) return true;
      return false;
    });
  }
};

}  // namespace

TEST(TopicSearchTest, ANewSearchReplacesTheOneQueuedOrRunning) {
  CTempDir dir;
  WriteTodaysManual(dir.Path());
  // Enough pages that the first search is still running when the next arrives.
  for (int i = 0; i < 400; ++i) WriteFile(dir.File("Filler-" + std::to_string(i) + ".html"), std::string(20000, 'x'));
  Reports reports;
  CTopicSearch search([&](std::uint64_t number, Files files) { reports.Add(number, std::move(files)); });
  const std::uint64_t first = search.Start(dir.Path(), "sin");
  const std::uint64_t second = search.Start(dir.Path(), "num2str");
  ASSERT_TRUE(reports.WaitFor(second));
  // The worker takes requests in order, so a report of the first would be here by now.
  ASSERT_EQ(reports.seen.size(), 1u);
  EXPECT_NE(first, second);
  EXPECT_EQ(reports.seen[0].second,
            (Files{"Converting-Numerical-Data-to-Strings.html", "Trigonometry.html", "XREFnum2str.html"}));

  const std::uint64_t third = search.Start(dir.Path(), "cos");
  search.Cancel();
  const std::uint64_t fourth = search.Start(dir.Path(), "single");
  ASSERT_TRUE(reports.WaitFor(fourth));
  ASSERT_EQ(reports.seen.size(), 2u);
  EXPECT_NE(reports.seen[1].first, third);
  EXPECT_EQ(reports.seen[1].second, Files{"Built_002din-Data-Types.html"});
}
