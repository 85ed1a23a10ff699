#include "console/session/OutputForms.h"

#include <gtest/gtest.h>

#include "console/session/CommandClassifier.h"
#include "console/session/CommandLine.h"

namespace forms = output_forms;

namespace {

// The workspace answer of an old interpreter, in the query's fixed layout.
const char* kOldWorkspace =
    "Variables in the current scope:\n\n"
    " Name                 Size             Class           Bytes\n"
    " ====                 ====             =====           =====\n"
    " a                    1x1              double          8\n"
    " old_format           1x46             char            46\n"
    " s                    1x1              struct          24\n"
    " z                    2x3x4            double          192\n"
    " n                    1x5              int32           20\n"
    " c                    1x2              cell            16\n"
    "\nTotal is 63 elements using 306 bytes\n\n>> ";

// Today's answer to the same query.
const char* kNewWorkspace =
    "Variables visible from the current scope:\n\nvariables in scope: top scope\n\n"
    " Name                 Size             Class           Bytes       \n"
    " ====                 ====             =====           =====        \n"
    " old_format           1x46             char            46          \n"
    " x                    3x3              double          72          \n"
    "\nTotal is 55 elements using 118 bytes\n\n>> ";

std::vector<std::string> Column(const std::vector<ListRow>& rows, size_t column) {
  std::vector<std::string> values;
  for (const ListRow& row : rows) values.push_back(row.columns.at(column));
  return values;
}

}  // namespace

TEST(WorkspaceTable, RowsOfBothFormsWithImagesAndWithoutTheQueryVariable) {
  const auto old = forms::ParseWorkspaceTable(kOldWorkspace);
  ASSERT_EQ(old.size(), 5u);
  EXPECT_EQ(Column(old, 0), (std::vector<std::string>{"a", "s", "z", "n", "c"}));
  EXPECT_EQ(old[2].columns, (std::vector<std::string>{"z", "2x3x4", "double", "192"}));
  std::vector<int> images;
  for (const ListRow& row : old) images.push_back(row.image);
  EXPECT_EQ(images, (std::vector<int>{2, 0, 1, 2, 3}));

  const auto now = forms::ParseWorkspaceTable(kNewWorkspace);
  ASSERT_EQ(now.size(), 1u);
  EXPECT_EQ(now[0].columns, (std::vector<std::string>{"x", "3x3", "double", "72"}));
  EXPECT_TRUE(forms::IsWorkspaceHeader(kNewWorkspace));
  EXPECT_TRUE(forms::IsWorkspaceHeader(kOldWorkspace));
}

TEST(WorkspaceTable, ShortRowsLeaveColumnsEmptyAndImagesFollowTheClass) {
  const auto rows = forms::ParseWorkspaceTable(" ====\n q 1x1\nTotal\n>> ");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].columns, (std::vector<std::string>{"q", "1x1", "", ""}));
  EXPECT_EQ(forms::WorkspaceImage("uint8", "2x2"), 2);
  EXPECT_EQ(forms::WorkspaceImage("single", "2x2x2x2"), 1);
  EXPECT_EQ(forms::WorkspaceImage("logical", "1x1"), 3);
}

TEST(WorkspaceTable, ChangeTestComparesNamesAndSizesOnly) {
  const std::vector<ListRow> current = {{{"a", "1x1", "double", "8"}, 2},
                                        {{"b", "2x2", "double", "32"}, 2}};
  const std::vector<ListRow> reordered = {{{"b", "2x2", "single", "16"}, 2},
                                          {{"a", "1x1", "double", "8"}, 2}};
  EXPECT_TRUE(forms::SameNamesAndSizes(current, reordered));
  const std::vector<ListRow> resized = {{{"a", "1x1"}, 2}, {{"b", "2x3"}, 2}};
  EXPECT_FALSE(forms::SameNamesAndSizes(current, resized));
  const std::vector<ListRow> oneMore = {{{"a", "1x1"}, 2}, {{"b", "2x2"}, 2}, {{"c", "1x1"}, 2}};
  EXPECT_FALSE(forms::SameNamesAndSizes(current, oneMore));
  const std::vector<ListRow> duplicated = {{{"a", "1x1"}, 2}, {{"a", "1x1"}, 2}};
  EXPECT_FALSE(forms::SameNamesAndSizes(current, duplicated));
}

TEST(PackageBlocks, OnePackageIsAPackageAndSeveralComeInReverse) {
  const std::string io =
      "---\nPackage name:\n\tio\nVersion:\n\t2.6.4\nShort description:\n\tInput/Output.\n"
      "Depends on:\n\toctave >= 4.2.0\nDepended on by:\n\t\nStatus:\n\tNot loaded\n";
  const auto one = forms::ParsePackageBlocks(io + ">> ");
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].columns,
            (std::vector<std::string>{"io", "2.6.4", "Input/Output.", "Not loaded"}));

  const std::string stats =
      "---\nPackage name:\n\tstatistics\nVersion:\n\t1.5.4\nShort description:\n\tStats.\n"
      "Depends on:\n\toctave >= 6.1.0\nStatus:\n\tLoaded\n";
  const auto two = forms::ParsePackageBlocks(io + stats + ">> ");
  EXPECT_EQ(Column(two, 0), (std::vector<std::string>{"statistics", "io"}));
  EXPECT_EQ(Column(two, 3), (std::vector<std::string>{"Loaded", "Not loaded"}));

  EXPECT_EQ(Column(forms::ParsePackageBlocks(">> "), 0),
            (std::vector<std::string>{forms::kNoPackages}));
  // A short block fills what it has.
  const auto partial = forms::ParsePackageBlocks("---\nPackage name:\n\tx\nVersion:\n>> ");
  EXPECT_EQ(partial.at(0).columns, (std::vector<std::string>{"x", "", "", ""}));
}

TEST(PathListing, FoldersBetweenHeadingAndPromptWithoutTheCurrentFolder) {
  EXPECT_EQ(forms::ParsePathListing("\nOctave's search path contains the following directories:\n\n"
                                    ".\n/usr/share/octave/m\n/home/u/lib\n\n>> "),
            (std::vector<std::string>{"/usr/share/octave/m", "/home/u/lib"}));
}

TEST(DebugStop, BothFormsGiveLineAndFile) {
  EXPECT_EQ(forms::ParseDebugStop("keyboard: stopped in /tmp/d/f.m at line 3\ndebug> "),
            (forms::DebugStop{"3", "/tmp/d/f.m"}));
  const char* today = "stopped in f at line 3 [/tmp/d/f.m] \n3:   y = x + 1;\ndebug> ";
  EXPECT_TRUE(forms::IsDebugStop(today));
  EXPECT_EQ(forms::ParseDebugStop(today), (forms::DebugStop{"3", "/tmp/d/f.m"}));
  // The last stop counts.
  EXPECT_EQ(forms::ParseDebugStop(std::string(today) +
                                  "stopped in f at line 4 [/tmp/d/f.m] \n4: end\ndebug> "),
            (forms::DebugStop{"4", "/tmp/d/f.m"}));
  EXPECT_FALSE(forms::ParseDebugStop("keyboard: stopped in nowhere\ndebug> "));
  EXPECT_FALSE(forms::IsDebugStop("disp('we stopped in time')\n"));
  EXPECT_TRUE(forms::IsOldDebugStopWithoutPrompt("keyboard: stopped in /f.m at line 2\n"));
  EXPECT_FALSE(forms::IsOldDebugStopWithoutPrompt("keyboard: stopped in /f.m at line 2\ndebug> "));
}

TEST(ErrorsAndPrompts, DetectionAndCollapsing) {
  EXPECT_TRUE(forms::IsErrorMessage("error: 'y' undefined near line 1, column 1\n"));
  EXPECT_TRUE(forms::IsErrorMessage("parse error:\n\n  syntax error\n"));
  EXPECT_FALSE(forms::IsErrorMessage("error: x and error' y"));
  EXPECT_EQ(forms::CollapsePrompts(">>> >> >> x\n>>  "), ">> x\n>> ");
  EXPECT_EQ(forms::CollapsePrompts("debug> debug> "), "debug> ");
  EXPECT_EQ(forms::CollapsePrompts("debug> >> "), "debug> \n>> ");
  EXPECT_EQ(forms::CollapsePrompts("debug>> "), "debug> ");
  EXPECT_EQ(forms::BarePromptCount("\n>> >> "), 2);
  EXPECT_EQ(forms::BarePromptCount("debug> "), 1);
  EXPECT_EQ(forms::BarePromptCount("ans = 1\n>> "), 0);
  EXPECT_TRUE(forms::EndsWithPrompt("x\ndebug> "));
  EXPECT_TRUE(forms::EndsWithPrompt("keyboard> "));
  EXPECT_FALSE(forms::EndsWithPrompt("a > b"));
}

TEST(SeeAlso, NamesBecomeLinksWithoutTheClosingFullStop) {
  const std::string help =
      "Compute the sine.\n\n     See also: asin, sind,\n          sinh.\n\nAdditional help for "
      "sin and asin";
  std::vector<std::string> names;
  for (auto [begin, end] : forms::SeeAlsoLinks(help)) names.push_back(help.substr(begin, end - begin));
  EXPECT_EQ(names, (std::vector<std::string>{"asin", "sind", "sinh"}));
  EXPECT_TRUE(forms::SeeAlsoLinks("no links here").empty());
}

TEST(BannerVersion, OldestAcceptedIs324) {
  auto version = [](const char* banner) { return forms::BannerVersion(banner); };
  EXPECT_EQ(version("GNU Octave, version 3.2.3\nCopyright"), 3203);
  EXPECT_EQ(version("GNU Octave, version 3.2.4\nCopyright"), 3204);
  EXPECT_EQ(version("GNU Octave, version 3.4.0\nCopyright"), 3400);
  EXPECT_EQ(version("GNU Octave, version 7.3.0\nCopyright (C) 1993-2022 The Octave Project"), 7300);
  EXPECT_FALSE(version("GNU Octave\n>> "));
  EXPECT_FALSE(version("GNU Octave, version 7.3\n"));
}

TEST(CommandLine, QuotesAndEscapesKeepWordsWhole) {
  EXPECT_EQ(SplitCommandLine("/usr/bin/octave-cli --eval \"PS1('>> ')\""),
            (std::vector<std::string>{"/usr/bin/octave-cli", "--eval", "PS1('>> ')"}));
  EXPECT_EQ(SplitCommandLine("\"/opt/my \\\"dir\\\"\"/octave  'a b'  c\\ d"),
            (std::vector<std::string>{"/opt/my \"dir\"/octave", "a b", "c d"}));
  EXPECT_TRUE(SplitCommandLine("   ").empty());
}

TEST(Classifier, EveryKindFromItsText) {
  struct Case {
    const char* text;
    CommandKind kind;
  };
  const Case cases[] = {
      {"exit", CommandKind::Exit},
      {"quit", CommandKind::Exit},
      {" quit", CommandKind::Ordinary},
      {"exit;", CommandKind::Ordinary},
      {"clear all", CommandKind::Clear},
      {"clc", CommandKind::ClearConsole},
      {"clc;", CommandKind::Ordinary},
      {"home", CommandKind::ClearConsole},
      {"doc", CommandKind::Doc},
      {"doc plot", CommandKind::Doc},
      {"path;###", CommandKind::PathQuery},
      {"pkg describe all;###", CommandKind::PackageQuery},
      {"help sin", CommandKind::Help},
      {"help sin;###", CommandKind::EditorHelp},
      {"cd 'my dir'", CommandKind::ChangeDirectory},
      {"chdir x", CommandKind::ChangeDirectory},
      {"cd", CommandKind::ChangeDirectory},
      {"cd('x')", CommandKind::ChangeDirectory},
      {"cdx", CommandKind::Ordinary},
      {"cd(a, b)", CommandKind::Ordinary},
      {"cd '/tmp';###", CommandKind::Ordinary},
      {"pkg install io.tar.gz", CommandKind::Ordinary},
      {"pkg install io.tar.gz;###", CommandKind::PackageChange},
      {"addpath('/x');###", CommandKind::PathChange},
      {"addpath('/x');###\r\n", CommandKind::Ordinary},
      {"getvalue:x", CommandKind::Value},
      {"completion_matches_editor", CommandKind::EditorCompletion},
      {"completion_matches('plo')###", CommandKind::Completion},
      {"completion_matches('plo')", CommandKind::Ordinary},
      {"x = 1", CommandKind::Ordinary},
  };
  for (const Case& c : cases) EXPECT_EQ(ClassifyCommand(c.text).kind, c.kind) << c.text;

  EXPECT_EQ(ClassifyCommand("cd 'my dir'").argument, "my dir");
  EXPECT_EQ(ClassifyCommand("cd(\"x\");").argument, "x");
  EXPECT_EQ(ClassifyCommand("cd").argument, "~");
  EXPECT_EQ(ClassifyCommand("doc plot;###").argument, "plot");
  EXPECT_EQ(ClassifyCommand("getvalue:x").text, "x");
  EXPECT_TRUE(ClassifyCommand("getvalue:x").silence);
  EXPECT_EQ(ClassifyCommand("completion_matches_editor").text, "completion_matches('')");
  EXPECT_TRUE(ClassifyCommand("help sin;###").silence);
  EXPECT_FALSE(MayChangeWorkspace("dbstop('f','3')"));
  EXPECT_FALSE(MayChangeWorkspace("A = csvread('matrix_temp.csv');"));
  EXPECT_FALSE(MayChangeWorkspace(WORKSPACE_QUERY));
  EXPECT_TRUE(MayChangeWorkspace("x = 1;"));
}

TEST(WorkspaceTable, AVariableCalledTotalIsARowNotTheEnd) {
  const char* answer =
      "Variables visible from the current scope:\n\nvariables in scope: top scope\n\n"
      " Name                 Size             Class           Bytes       \n"
      " ====                 ====             =====           =====        \n"
      " A                    4x3x5            double          480         \n"
      " Total                1x1              double          8           \n"
      " Totals               1x2              double          16          \n"
      " z                    0x0              double          0           \n"
      "\nTotal is 63 elements using 504 bytes\n\n>> ";
  EXPECT_EQ(Column(forms::ParseWorkspaceTable(answer), 0),
            (std::vector<std::string>{"A", "Total", "Totals", "z"}));
}

TEST(Classifier, TheVariableEditorsExportIsExpectedWhenDispatched) {
  const std::string exportPage =
      "csvwrite('/home/u/.local/share/Marrowby/Calyx/matrix_temp.csv', A(:,:,3), 'delimiter', ' ', "
      "'coffset', 1); ";
  const ClassifiedCommand c = ClassifyCommand(exportPage);
  EXPECT_EQ(c.kind, CommandKind::MatrixExport);
  EXPECT_EQ(c.text, exportPage);
  EXPECT_FALSE(MayChangeWorkspace(exportPage));
  // Other files, or the user's own form of the call, are ordinary commands.
  EXPECT_EQ(ClassifyCommand("csvwrite('/tmp/a.csv', A(:,:,3), 'delimiter', ' ', 'coffset', 1); ").kind,
            CommandKind::Ordinary);
  EXPECT_EQ(ClassifyCommand("csvwrite('/tmp/matrix_temp.csv', A)").kind, CommandKind::Ordinary);
}

TEST(CommandClassifier, TypedChangeOfFolderInEveryForm) {
  const std::pair<const char*, const char*> cases[] = {
      {"cd sub", "sub"},
      {"cd ..", ".."},
      {"cd ~", "~"},
      {"cd", "~"},
      {"cd;", "~"},
      {"cd()", "~"},
      {"chdir", "~"},
      {"cd 'with blank'", "with blank"},
      {"cd \"with blank\";", "with blank"},
      {"cd('it''s')", "it's"},
      {"cd (\"x\")", "x"},
      {"chdir sub", "sub"},
      {"cd  sub  ", "sub"},
      {"cd a'b", "ab"},
  };
  for (const auto& [typed, folder] : cases) {
    const auto got = TypedDirectory(typed);
    ASSERT_TRUE(got.has_value()) << typed;
    EXPECT_EQ(*got, folder) << typed;
  }
  for (const char* other : {"cdx", "chdirs", "cd(x)", "cd('a', 'b')", "x = cd", "cd('a"})
    EXPECT_FALSE(TypedDirectory(other).has_value()) << other;
}
