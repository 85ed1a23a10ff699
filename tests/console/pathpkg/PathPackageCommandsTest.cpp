// The dialogs' commands as the interpreter of each version receives them, and
// the listing of subfolders.
#include "console/pathpkg/PathPackageCommands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "console/pathpkg/SubfolderScan.h"
#include "console/session/CommandClassifier.h"
#include "console/session/InterpreterDialect.h"
#include "tests/common/TestFiles.h"

namespace {

using namespace pathpkg;
using Folders = std::vector<std::string>;
constexpr long k324 = 3204;
constexpr long k730 = 7300;

TEST(PathDialogCommands, AddAndRemoveAreOneMarkedCommandForBothInterpreters) {
  const std::string add = AddFoldersCommand({"/p", "/p/a b", "/p/it's"});
  EXPECT_EQ(add, "addpath('/p', '/p/a b', '/p/it''s');###");
  const std::string remove = RemoveFoldersCommand({"/x", "/y"});
  EXPECT_EQ(remove, "rmpath('/x', '/y');###");
  for (long version : {k324, k730}) {
    EXPECT_EQ(AdaptForInterpreter(add, version, false), add);
    EXPECT_EQ(AdaptForInterpreter(remove, version, true), remove);
  }
  // Both mark the search path for a new listing once answered.
  EXPECT_EQ(ClassifyCommand(add).kind, CommandKind::PathChange);
  EXPECT_EQ(ClassifyCommand(remove).kind, CommandKind::PathChange);
  EXPECT_EQ(AddFoldersCommand({}), "");
}

TEST(PathDialogCommands, RemovingForgetsTheFirstEqualEntryOnly) {
  Folders user = {"/a", "/b", "/a", "/c"};
  ForgetFolders(user, {"/a", "/not-added", "/c"});
  EXPECT_EQ(user, (Folders{"/b", "/a"}));
}

TEST(PackageDialogCommands, InstallInTheFormOfEachInterpreter) {
  const std::string install = InstallPackageCommand("/home/u/pk dir/foo-1.0.tar.gz");
  EXPECT_EQ(install, "pkg install '/home/u/pk dir/foo-1.0.tar.gz' -auto -global -verbose;###");
  EXPECT_EQ(AdaptForInterpreter(install, k324, false), install);
  EXPECT_EQ(AdaptForInterpreter(install, k324, true), install);
  EXPECT_EQ(AdaptForInterpreter(install, k730, false),
            "pkg install -verbose '/home/u/pk dir/foo-1.0.tar.gz';###");
  EXPECT_EQ(AdaptForInterpreter(install, k730, true),
            "pkg install -global -verbose '/home/u/pk dir/foo-1.0.tar.gz';###");
  EXPECT_EQ(AdaptForInterpreter(InstallPackageCommand("/t/a'b.tar.gz"), k730, false),
            "pkg install -verbose '/t/a''b.tar.gz';###");
  // A file without an extension is not installed; a typed install is the user's.
  EXPECT_EQ(InstallPackageCommand("/home/u/v1.0/archive"), "");
  EXPECT_EQ(AdaptForInterpreter("pkg install x.tar.gz -auto", k730, false), "pkg install x.tar.gz -auto");
}

TEST(PackageDialogCommands, UninstallLoadAndUnloadNameThePackage) {
  EXPECT_EQ(UninstallQuestion("io"), "Do you want to uninstall 'io' package?");
  EXPECT_EQ(UninstallPackageCommand("io"), "pkg uninstall io;###");
  EXPECT_EQ(LoadPackageCommand("signal-tools_2.x"), "pkg load signal-tools_2.x;###");
  EXPECT_EQ(UnloadPackageCommand("io"), "pkg unload io;###");
  // Anything but a plain name is one quoted word.
  EXPECT_EQ(LoadPackageCommand("a b;exit"), "pkg load 'a b;exit';###");
  EXPECT_EQ(UnloadPackageCommand("it's"), "pkg unload 'it''s';###");
  EXPECT_EQ(LoadPackageCommand(""), "");
  EXPECT_EQ(UninstallPackageCommand("a\nexit"), "");
  for (const std::string& command :
       {InstallPackageCommand("/f.tar.gz"), UninstallPackageCommand("io"), LoadPackageCommand("io"),
        UnloadPackageCommand("io")}) {
    SCOPED_TRACE(command);
    EXPECT_EQ(ClassifyCommand(command).kind, CommandKind::PackageChange);
    EXPECT_EQ(AdaptForInterpreter(command, k324, false), command);
  }
  // Typed by the user, the same commands mark nothing.
  EXPECT_EQ(ClassifyCommand("pkg load io").kind, CommandKind::Ordinary);
}

class SubfolderScanTest : public ::testing::Test {
 protected:
  void Make(const std::string& relative) { std::filesystem::create_directories(dir.File(relative)); }
  Folders Relative(const Folders& found) {
    Folders out;
    for (const std::string& folder : found) out.push_back(folder.substr(dir.Path().size() + 1));
    return out;
  }
  CTempDir dir;
  std::atomic<bool> cancel{false};
};

TEST_F(SubfolderScanTest, DirectSubfoldersInByteOrderThenEachOnesListing) {
  for (const char* folder : {"b/b1", "a/a2/deep", "a/a1", "B", "a b"}) Make(folder);
  std::ofstream(dir.File("a/file.m")) << "x = 1;\n";
  const auto found = ScanSubfolders(dir.Path(), cancel);
  ASSERT_TRUE(found);
  EXPECT_EQ(Relative(*found), (Folders{"B", "a", "a b", "b", "a/a1", "a/a2", "a/a2/deep", "b/b1"}));
  EXPECT_EQ(ScanSubfolders(dir.File("b/b1"), cancel), Folders{});
}

TEST_F(SubfolderScanTest, FoldersTheInterpreterNeverLoadsFromAreLeftOut) {
  for (const char* folder : {"m/private/x", "m/@cls/y", "m/+pkg/z", "m/.git/objects", "m/keep/sub",
                             "m/privateer"}) {
    Make(folder);
  }
  const auto found = ScanSubfolders(dir.File("m"), cancel);
  ASSERT_TRUE(found);
  EXPECT_EQ(Relative(*found), (Folders{"m/keep", "m/privateer", "m/keep/sub"}));
}

TEST_F(SubfolderScanTest, ALinkBackUpTheTreeIsListedOnceAndEnds) {
  Make("top/a");
  std::filesystem::create_directory_symlink(dir.File("top"), dir.File("top/a/loop"));
  std::filesystem::create_directory_symlink(dir.File("elsewhere"), dir.File("top/dangling"));
  const auto found = ScanSubfolders(dir.File("top"), cancel);
  ASSERT_TRUE(found);
  EXPECT_EQ(Relative(*found), Folders{"top/a"});
}

TEST_F(SubfolderScanTest, CancellingGivesNothingAndProgressCounts) {
  for (int i = 0; i < 200; ++i) Make("big/" + std::to_string(i) + "/x");
  std::vector<size_t> counts;
  const auto found = ScanSubfolders(dir.File("big"), cancel, [&](size_t n) { counts.push_back(n); });
  ASSERT_TRUE(found);
  EXPECT_EQ(found->size(), 400u);
  ASSERT_FALSE(counts.empty());
  EXPECT_EQ(counts.back(), 400u);
  EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));

  const auto stopped = ScanSubfolders(dir.File("big"), cancel, [&](size_t) { cancel = true; });
  EXPECT_FALSE(stopped.has_value());
}

}  // namespace
