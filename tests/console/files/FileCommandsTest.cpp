// The file pane's patterns, size text, scanner and command texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "console/files/DirectoryScanner.h"
#include "console/files/FileCommands.h"
#include "tests/common/TestFiles.h"

namespace {

using namespace file_commands;
using Strings = std::vector<std::string>;

TEST(FilePatterns, StarQuestionMarkCaseAndSeparators) {
  EXPECT_TRUE(MatchesPattern("f.m", "*.m", false));
  EXPECT_TRUE(MatchesPattern("a.b.m", "*.m", false));
  EXPECT_FALSE(MatchesPattern("f.mat", "*.m", false));
  EXPECT_TRUE(MatchesPattern("ab", "a?", false));
  EXPECT_FALSE(MatchesPattern("abc", "a?", false));
  EXPECT_TRUE(MatchesPattern("aXbYc", "a*b*c", false));
  EXPECT_FALSE(MatchesPattern("aXbYd", "a*b*c", false));
  EXPECT_TRUE(MatchesPattern("", "*", false));
  EXPECT_FALSE(MatchesPattern("A.M", "*.m", false));
  EXPECT_TRUE(MatchesPattern("A.M", "*.m", true));
  // "*.*" lists every file, with or without a dot.
  EXPECT_TRUE(MatchesPattern("Makefile", "*.*", true));
  EXPECT_TRUE(MatchesPattern("x.txt", "*.*", true));

  EXPECT_TRUE(MatchesFilter("A.M", "*.m;*.mat"));
  EXPECT_TRUE(MatchesFilter("b.Mat", "*.m;*.mat"));
  EXPECT_FALSE(MatchesFilter("c.txt", "*.m;*.mat"));
  EXPECT_TRUE(MatchesFilter("b.mat", "*.m;*.mat;"));
  EXPECT_EQ(MatchesFilter("c.txt", "*.m;*.mat;"), MatchesFilter("c.txt", "*.m;*.mat"));
  EXPECT_TRUE(MatchesFilter("c.txt", ""));
}

TEST(FileSizes, KilobytesRoundUpAndLargerUnitsRoundDown) {
  EXPECT_EQ(SizeText(0), "1 KB");
  EXPECT_EQ(SizeText(1023), "1 KB");
  EXPECT_EQ(SizeText(1024), "2 KB");
  EXPECT_EQ(SizeText(1048575), "1024 KB");
  EXPECT_EQ(SizeText(1048576), "1 MB");
  EXPECT_EQ(SizeText(1073741823), "1023 MB");
  EXPECT_EQ(SizeText(1073741824), "1 GB");
  EXPECT_EQ(SizeText(5ull << 40), "5120 GB");
}

TEST(FileNames, TypeFallbackIgnoredChangesDuplicateAndDeleteTexts) {
  EXPECT_EQ(FallbackTypeName("f.m"), "M File");
  EXPECT_EQ(FallbackTypeName("a.b.txt"), "TXT File");
  EXPECT_EQ(FallbackTypeName("README"), "File");
  for (const char* name : {"~f.m", "f.m.bak", "x.TMP", "save.tmp1", ".hidden", ".f.m.swp"})
    EXPECT_TRUE(IsIgnoredChange(name)) << name;
  for (const char* name : {"f.m", "template.m", "backup.m"}) EXPECT_FALSE(IsIgnoredChange(name)) << name;
  EXPECT_EQ(DuplicateName("Copy", "f.m"), "Copy f.m");
  EXPECT_EQ(DeleteQuestion({{"f.m", false}}), "Are you sure you want delete 'f.m'?");
  EXPECT_EQ(DeleteQuestion({{"f.m", false}, {"d", true}}),
            "Are you sure you want delete selected files?");
}

TEST(FileCommandTexts, OpenLoadsDataByExactExtensionAndStopsAtTheFirstFolder) {
  const OpenPlan plan = PlanOpen({{"d.mat", false}, {"DATA.MAT", false}, {"it's.m", false},
                                  {"sub", true}, {"after.m", false}});
  EXPECT_EQ(plan.command, "load 'd.mat'; edit 'DATA.MAT'; edit 'it''s.m'; ");
  EXPECT_TRUE(plan.enterFolder);
  EXPECT_EQ(plan.folder, "sub");
  const OpenPlan up = PlanOpen({{"..", true}});
  EXPECT_EQ(up.command, "");
  EXPECT_EQ(up.folder, "..");
  EXPECT_FALSE(PlanOpen({{"x.zip", false}}).enterFolder);
  EXPECT_EQ(PlanOpen({{"x.zip", false}, {"y.fhdf5", false}}).command, "load 'x.zip'; load 'y.fhdf5'; ");
}

TEST(FileCommandTexts, OpenAsTextLoadAndRunQuoteEveryName) {
  EXPECT_EQ(OpenAsTextCommand({{"a.m", false}, {"sub", true}, {"b c.txt", false}}),
            "edit 'a.m'; edit 'b c.txt'; ");
  EXPECT_EQ(OpenAsTextCommand({{"sub", true}}), "");
  EXPECT_EQ(LoadCommand({{"d.mat", false}, {"it's", true}}), "load 'd.mat'; load 'it''s'; ");
  EXPECT_EQ(RunCommand("/w", "script.m"), "run script");
  EXPECT_EQ(RunCommand("/w", "my script.m"), "run('/w/my script.m')");
  EXPECT_EQ(RunCommand("/w/", "1st.m"), "run('/w/1st.m')");
  EXPECT_EQ(RunCommand("/w", "a'b;quit.m"), "run('/w/a''b;quit.m')");
}

TEST(FolderScan, FoldersAlwaysFilesByFilterHiddenLeftOutByteOrder) {
  CTempDir dir;
  for (const char* name : {"b.m", "A.M", "c.txt", "Z.mat", ".hidden.m", "noext"})
    std::ofstream(dir.File(name)) << "1234";
  for (const char* name : {"sub", "Alpha", ".git"}) std::filesystem::create_directory(dir.File(name));
  const ScannedFolder scanned = ScanFolder(dir.Path(), "*.m;*.mat");
  ASSERT_TRUE(scanned.readable);
  Strings folders, files;
  for (const ScannedEntry& e : scanned.folders) folders.push_back(e.name);
  for (const ScannedEntry& e : scanned.files) files.push_back(e.name);
  EXPECT_EQ(folders, (Strings{"Alpha", "sub"}));
  EXPECT_EQ(files, (Strings{"A.M", "Z.mat", "b.m"}));
  EXPECT_EQ(scanned.files.front().size, 4u);
  EXPECT_EQ(ScanFolder(dir.Path(), "*.*").files.size(), 5u);
  EXPECT_FALSE(ScanFolder(dir.File("missing"), "*.*").readable);
}

// Listing again asks the disk only about entries that are new or named as
// changed: a size changed unannounced stays as it was, one announced is read.
TEST(FolderScan, ListingAgainReadsOnlyNewAndChangedEntries) {
  CTempDir dir;
  std::ofstream(dir.File("a.m")) << "1";
  std::ofstream(dir.File("b.m")) << "1";
  CDirectoryScanner scanner;
  const auto sizes = [](const ScannedFolder& scanned) {
    Strings shown;
    for (const ScannedEntry& e : scanned.files) shown.push_back(e.name + "=" + std::to_string(e.size));
    return shown;
  };
  EXPECT_EQ(sizes(scanner.Scan(dir.Path(), "*.m", {})), (Strings{"a.m=1", "b.m=1"}));
  std::ofstream(dir.File("a.m")) << "22";
  std::ofstream(dir.File("b.m")) << "22";
  std::ofstream(dir.File("c.m")) << "333";
  std::filesystem::create_directory(dir.File("sub"));
  const FolderChanges onlyB{false, {"b.m"}};
  ScannedFolder again = scanner.Scan(dir.Path(), "*.m", onlyB);
  EXPECT_EQ(sizes(again), (Strings{"a.m=1", "b.m=2", "c.m=3"}));
  ASSERT_EQ(again.folders.size(), 1u);
  std::filesystem::remove(dir.File("b.m"));
  EXPECT_EQ(sizes(scanner.Scan(dir.Path(), "*.m", {false, {}})), (Strings{"a.m=1", "c.m=3"}));
  // A file the filter left out was never read: a wider filter reads it.
  std::ofstream(dir.File("d.txt")) << "4444";
  EXPECT_EQ(sizes(scanner.Scan(dir.Path(), "*.*", {false, {}})), (Strings{"a.m=1", "c.m=3", "d.txt=4"}));
  EXPECT_EQ(sizes(scanner.Scan(dir.Path(), "*.*", {})), (Strings{"a.m=2", "c.m=3", "d.txt=4"}));
  // Another folder starts from nothing.
  CTempDir other;
  std::ofstream(other.File("a.m")) << "55555";
  EXPECT_EQ(sizes(scanner.Scan(other.Path(), "*.m", {false, {}})), (Strings{"a.m=5"}));
}

}  // namespace
