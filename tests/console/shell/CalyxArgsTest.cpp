// Calyx's command line: the splash option and the folder the interpreter starts in.
#include "console/shell/CalyxArgs.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const SProgramInfo kInfo{"calyx", "Calyx", "1.2.3", "A workbench.", "[DIR]",
                         {{"--no-splash", "start without the splash window"}}};
const std::set<std::string> kFolders = {"/home/u", "/home/u/work", "/data/my work", "/"};

CalyxStart StartOf(const std::vector<std::string>& args) {
  return CalyxStartOf(ParseProgramArgs(args, kInfo), "/home/u",
                      [](const std::string& path) { return kFolders.count(path) > 0; });
}

TEST(CalyxArgsTest, AFolderOnTheCommandLineIsWhereTheInterpreterStarts) {
  EXPECT_EQ(StartOf({"work"}).options.startFolder, "/home/u/work");
  EXPECT_EQ(StartOf({"./work/"}).options.startFolder, "/home/u/work");
  EXPECT_EQ(StartOf({"work/.."}).options.startFolder, "/home/u");
  EXPECT_EQ(StartOf({"/data/my work"}).options.startFolder, "/data/my work");
  EXPECT_EQ(StartOf({"--", "/"}).options.startFolder, "/");
  EXPECT_TRUE(StartOf({"--no-splash", "work"}).error.empty());
  EXPECT_FALSE(StartOf({"--no-splash", "work"}).options.splash);
  // Without one, the saved folder.
  const CalyxStart plain = StartOf({});
  EXPECT_EQ(plain.options.startFolder, "");
  EXPECT_TRUE(plain.options.splash);
  EXPECT_TRUE(plain.error.empty());
}

TEST(CalyxArgsTest, AnythingButOneFolderIsAUsageError) {
  EXPECT_EQ(StartOf({"gone"}).error, "calyx: not a folder: gone");
  EXPECT_EQ(StartOf({"/home/u/notes.txt"}).error, "calyx: not a folder: /home/u/notes.txt");
  EXPECT_EQ(StartOf({"work", "/"}).error, "calyx: one folder at most");
  EXPECT_EQ(StartOf({"gone"}).options.startFolder, "");
}

}  // namespace
