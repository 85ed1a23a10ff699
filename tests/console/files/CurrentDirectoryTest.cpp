// Resolving typed folders against the saved folder, the recent-folder rules, and
// the changer on real temporary folders with the stores the headless driver uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "common/Ini.h"
#include "console/files/CurrentDirectory.h"
#include "console/headless/MemoryViews.h"
#include "tests/common/TestFiles.h"

namespace {

using current_directory::Resolution;
using current_directory::Resolve;
using Strings = std::vector<std::string>;

// A path written with "/" in the platform's own form.
std::string P(std::string path) {
  std::replace(path.begin(), path.end(), '/', kPathSeparator);
  return path;
}

Resolution Target(const std::string& folder) { return {Resolution::Kind::Target, folder}; }
Resolution Saved(const std::string& folder) { return {Resolution::Kind::ShowSaved, folder}; }

#ifdef _WIN32
const char* const kHome = "C:\\Users\\u";
#else
const char* const kHome = "/home/u";
#endif

void ExpectResolves(const std::string& text, const std::string& saved, const Resolution& wanted) {
  const Resolution got = Resolve(text, saved, kHome);
  EXPECT_EQ(got.kind, wanted.kind) << text << " in " << saved;
  EXPECT_EQ(got.folder, wanted.folder) << text << " in " << saved;
}

#ifdef _WIN32
TEST(CurrentDirectoryRules, WindowsPathsResolveWithDrivesSharesAndEitherSlash) {
  const auto resolves = ExpectResolves;
  resolves("sub", "C:\\a\\b", Target("C:\\a\\b\\sub"));
  resolves("sub/deeper\\", "C:\\a\\b\\", Target("C:\\a\\b\\sub\\deeper"));
  resolves("..", "C:\\a", Target("C:\\"));
  resolves("..", "C:\\", Saved("C:\\"));
  resolves("..\\..\\..", "C:\\a", Target("C:\\"));
  resolves("D:/x/./y//z/", "C:\\a", Target("D:\\x\\y\\z"));
  resolves("d:\\", "C:\\a", Target("d:\\"));
  resolves("..", "\\\\server\\share\\a", Target("\\\\server\\share\\"));
  resolves("..", "\\\\server\\share", Saved("\\\\server\\share"));
  resolves("\\\\server\\share\\x\\..\\y", "C:\\a", Target("\\\\server\\share\\y"));
  resolves("~", "C:\\a", Target("C:\\Users\\u"));
  resolves("~\\m", "C:\\a", Target("C:\\Users\\u\\m"));
  resolves("~/m", "C:\\a", Target("C:\\Users\\u\\m"));
}
#else
TEST(CurrentDirectoryRules, TypedTextsResolveAgainstTheSavedFolder) {
  ExpectResolves("sub", "/a/b", Target("/a/b/sub"));
  ExpectResolves("sub/deeper/", "/a/b/", Target("/a/b/sub/deeper"));
  ExpectResolves("with blank", "/a", Target("/a/with blank"));
  ExpectResolves("..", "/a/b", Target("/a"));
  ExpectResolves("..", "/a", Target("/"));
  ExpectResolves("../c", "/a/b", Target("/a/c"));
  ExpectResolves(".", "/a/b", Saved("/a/b"));
  ExpectResolves("..", "/", Saved("/"));
  ExpectResolves("..", "nowhere", Saved("nowhere"));
  ExpectResolves("~", "/a", Target("/home/u"));
  ExpectResolves("~/m", "/a", Target("/home/u/m"));
  ExpectResolves("/x/./y//z/", "/a", Target("/x/y/z"));
  ExpectResolves("/x/../../y", "/a", Target("/y"));
  ExpectResolves("  sub  ", "/a", Target("/a/sub"));
}
#endif  // _WIN32

TEST(CurrentDirectoryRules, RecentListAddsOnceTrimsTheOldestAndRemovesOnlyTheEqualEntry) {
  const auto same = [](const std::string& a, const std::string& b) { return a == b; };
  Strings recent{"/a", "/b"};
  EXPECT_FALSE(current_directory::AddRecent(recent, "/b", same));
  EXPECT_TRUE(current_directory::AddRecent(recent, "/c", same));
  EXPECT_EQ(recent, (Strings{"/a", "/b", "/c"}));

  EXPECT_FALSE(current_directory::TrimRecent(recent, 3));
  EXPECT_TRUE(current_directory::TrimRecent(recent, 2));
  EXPECT_EQ(recent, (Strings{"/b", "/c"}));
  EXPECT_TRUE(current_directory::TrimRecent(recent, -1));
  EXPECT_TRUE(recent.empty());

  // A failed "/a" must not take "/ab", listed before it, along.
  recent = {"/ab", "/a", "/a"};
  EXPECT_FALSE(current_directory::RemoveRecent(recent, "/x"));
  EXPECT_TRUE(current_directory::RemoveRecent(recent, "/a"));
  EXPECT_EQ(recent, (Strings{"/ab", "/a"}));
}

TEST(CurrentDirectoryRules, MessageAndCommandTexts) {
  EXPECT_EQ(current_directory::CannotChangeMessage("/a/x"),
            "Cannot CD to \n/a/x\n(Name is not a directory)");
  EXPECT_EQ(current_directory::ChangeCommand("/a/it's"), "cd '/a/it''s';###");
  EXPECT_EQ(current_directory::ChangeCommand("/a/x\ny"), "cd ['/a/x' char(10) 'y'];###");
}

// The changer with the headless driver's stores, on real folders.
class DirectoryChangerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = std::filesystem::canonical(temp.Path()).string();
    std::filesystem::create_directories(root + P("/work/sub"));
    std::filesystem::create_directories(root + P("/work/with blank"));
    std::ofstream(root + P("/work/file.m")) << "x = 1;\n";
    userData.SetPath(root + P("/userpaths.dat"));
    settings.SetString("Octave", "workpath", root + P("/work"));
    host.SetEnqueue([this](const std::string& command) { sent.push_back(command); });
    host.UseFolderStores(settings, userData);
  }
  Strings Recent() {
    Strings recent;
    userData.GetArray("WorkingPaths", recent, "|;|");
    return recent;
  }
  std::string Saved() { return settings.GetString("Octave", "workpath", ""); }

  CTempDir temp;
  std::string root;
  CIni userData;
  CMemorySettings settings;
  CMemoryHost host;
  Strings sent;
};

TEST_F(DirectoryChangerTest, AChangeSavesTheFolderTellsTheInterpreterAndRemembersIt) {
  EXPECT_EQ(host.ChangeCurrentDirectory("sub"), 1);
  EXPECT_EQ(Saved(), root + P("/work/sub"));
  EXPECT_EQ(host.PathBox().Text(), root + P("/work/sub"));
  EXPECT_EQ(host.ChangeCurrentDirectory(".."), 1);
  EXPECT_EQ(host.ChangeCurrentDirectory("with blank"), 1);
  EXPECT_EQ(host.ChangeCurrentDirectory(root + P("/work/sub/")), 1);
  EXPECT_EQ(sent, (Strings{"cd '" + root + P("/work/sub';###"), "cd '" + root + P("/work';###"),
                           "cd '" + root + P("/work/with blank';###"),
                           "cd '" + root + P("/work/sub';###")}));
  const Strings recent{root + P("/work/sub"), root + P("/work"), root + P("/work/with blank")};
  EXPECT_EQ(Recent(), recent);
  EXPECT_EQ(host.PathBox().Items(), recent);
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(DirectoryChangerTest, DotShowsTheSavedFolderAndSendsNothing) {
  EXPECT_EQ(host.ChangeCurrentDirectory("."), 0);
  EXPECT_EQ(host.PathBox().Text(), root + P("/work"));
  EXPECT_TRUE(sent.empty());
}

TEST_F(DirectoryChangerTest, AMissingFolderOrAFileIsRefusedAndChangesNothing) {
  userData.WriteArray("WorkingPaths", {root + P("/work/gone-too"), root + P("/work/gone")}, "|;|");
  for (const char* name : {"gone", "file.m"}) {
    EXPECT_EQ(host.ChangeCurrentDirectory(name), 0) << name;
    EXPECT_EQ(Saved(), root + P("/work"));
    EXPECT_EQ(host.PathBox().Text(), root + P("/work"));
  }
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(host.Messages(),
            (Strings{"Cannot CD to \n" + root + P("/work/gone\n(Name is not a directory)"),
                     "Cannot CD to \n" + root + P("/work/file.m\n(Name is not a directory)")}));
  EXPECT_EQ(Recent(), (Strings{root + P("/work/gone-too")}));
}

TEST_F(DirectoryChangerTest, TheRecentListKeepsMaxDirsAndNamesEachFolderOnce) {
  settings.SetInt("General", "MaxDirs", 2);
  std::error_code error;
  std::filesystem::create_directory_symlink(root + P("/work/sub"), root + P("/work/link"), error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  for (const char* name : {"/work/sub", "/work/with blank", "/work/link", "/work"})
    EXPECT_EQ(host.ChangeCurrentDirectory(root + name), 1) << name;
  // The link names the folder that is already listed.
  EXPECT_EQ(Recent(), (Strings{root + P("/work/with blank"), root + P("/work")}));
  // The box keeps the trimmed entry until the next start.
  EXPECT_EQ(host.PathBox().Items(),
            (Strings{root + P("/work/sub"), root + P("/work/with blank"), root + P("/work")}));
}

}  // namespace
