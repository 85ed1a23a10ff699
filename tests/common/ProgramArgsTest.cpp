#include "common/ProgramArgs.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace {

const SProgramInfo kInfo{"calyx", "Calyx", "1.2.3", "A workbench.", "[DIR]",
                         {{"--no-splash", "start without the splash window"}}};

SProgramArgs Parse(std::vector<std::string> args) { return ParseProgramArgs(args, kInfo); }

TEST(ProgramArgsTest, VersionAndHelpAnswerWithoutRunningAndWinOverEverythingAfter) {
  std::ostringstream out, err;
  EXPECT_EQ(AnswerStandardOptions(Parse({"--version", "--bogus"}), kInfo, out, err), 0);
  EXPECT_EQ(out.str(), "Calyx 1.2.3\n");
  EXPECT_EQ(err.str(), "");

  out.str("");
  EXPECT_EQ(AnswerStandardOptions(Parse({"dir", "-h"}), kInfo, out, err), 0);
  EXPECT_EQ(out.str().rfind("Usage: calyx [OPTION]... [DIR]\nA workbench.\n", 0), 0u) << out.str();
  EXPECT_NE(out.str().find("  --no-splash  "), std::string::npos);
  EXPECT_NE(out.str().find("--version"), std::string::npos);
  EXPECT_EQ(err.str(), "");
}

TEST(ProgramArgsTest, AnUnknownOptionIsAUsageErrorOnStandardError) {
  std::ostringstream out, err;
  EXPECT_EQ(AnswerStandardOptions(Parse({"--no-splash", "--colour"}), kInfo, out, err), 2);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str().rfind("calyx: unknown option '--colour'\nUsage: calyx", 0), 0u) << err.str();
  // A short option the program does not have is refused too, not taken for a file.
  EXPECT_EQ(Parse({"-x"}).action, SProgramArgs::Action::UsageError);
}

TEST(ProgramArgsTest, OperandsKeepTheirOrderAndADoubleDashEndsTheOptions) {
  const SProgramArgs args = Parse({"a.m", "--no-splash", "-", "--", "--help", "-b.m"});
  EXPECT_EQ(args.action, SProgramArgs::Action::Run);
  EXPECT_EQ(args.options, std::vector<std::string>{"--no-splash"});
  EXPECT_EQ(args.operands, (std::vector<std::string>{"a.m", "-", "--help", "-b.m"}));
  std::ostringstream out, err;
  EXPECT_EQ(AnswerStandardOptions(args, kInfo, out, err), -1);
}

TEST(ProgramArgsTest, FileColonLineNamesALineUnlessTheWholeNameIsAFile) {
  const std::set<std::string> files{"notes:3", "/d/f.m"};
  const auto isFile = [&](const std::string& path) { return files.count(path) > 0; };
  EXPECT_EQ(SplitFileLine("/d/f.m:12", isFile), (SFileLine{"/d/f.m", 12}));
  EXPECT_EQ(SplitFileLine("new.m:7", isFile), (SFileLine{"new.m", 7}));
  EXPECT_EQ(SplitFileLine("notes:3", isFile), (SFileLine{"notes:3", 0}));
  EXPECT_EQ(SplitFileLine("/d/f.m", isFile), (SFileLine{"/d/f.m", 0}));
  for (const char* plain : {"f.m:", "f.m:0", "f.m:x1", "f.m:-2", ":5", "f.m:99999999999", "C:\\f.m"})
    EXPECT_EQ(SplitFileLine(plain, isFile), (SFileLine{plain, 0})) << plain;
}

}  // namespace
