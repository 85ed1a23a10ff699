// The Workspace pane's Octave texts.
#include "console/workspace/WorkspaceCommands.h"

#include <gtest/gtest.h>

namespace wc = workspace_commands;

namespace {

using Names = std::vector<std::string>;

TEST(SaveAndLoad, FormatFollowsTheExtensionAndNamesComeInListOrder) {
  EXPECT_EQ(wc::SaveCommand("/home/u/run.fhdf5", {"b", "a"}),
            R"(save("-float-hdf5", "/home/u/run.fhdf5", "b","a");)");
  const std::pair<const char*, const char*> formats[] = {
      {"mat", "mat"}, {"hdf5", "hdf5"}, {"txt", "ascii"}, {"bin", "binary"},
      {"fbin", "float-binary"}, {"zip", "zip"}, {"MAT", "MAT"}};
  for (const auto& [extension, format] : formats)
    EXPECT_EQ(wc::SaveFormat(extension), format) << extension;
  EXPECT_EQ(wc::SaveCommand("/d/x.txt", {"x"}), R"(save("-ascii", "/d/x.txt", "x");)");
  // No names: the whole workspace.
  EXPECT_EQ(wc::SaveCommand("/d/all.mat", {}), R"(save("-mat", "/d/all.mat");)");
  EXPECT_EQ(wc::LoadCommand("/d/all.mat"), R"(load("/d/all.mat");)");
}

TEST(SaveAndLoad, NoExtensionNothingAndPathsStayInsideTheirQuotes) {
  EXPECT_EQ(wc::SaveCommand("/d/x", {"x"}), std::nullopt);
  EXPECT_EQ(wc::SaveCommand("/d.v/x", {"x"}), std::nullopt);
  EXPECT_EQ(wc::LoadCommand("/d.v/x"), std::nullopt);
  EXPECT_EQ(wc::SaveCommand("/d/x.mat", {"x; delete('*')"}), std::nullopt);
  // A folder named a"b, a backslash and a line end cannot end the string.
  EXPECT_EQ(wc::LoadCommand("/t/a\"b\\c\nd.mat"), R"(load("/t/a\"b\\c\nd.mat");)");
  // The extension is the user's text too.
  EXPECT_EQ(wc::SaveCommand("/t/x.a\");system(\"id", {"x"}),
            R"(save("-a\");system(\"id", "/t/x.a\");system(\"id", "x");)");
}

TEST(NameActions, RenameDuplicateDeleteAndTheirQuestions) {
  EXPECT_EQ(wc::RenameCommand("b", "a"), "b = a; clear a;");
  EXPECT_EQ(wc::RenameCommand("b;system('id')", "a"), std::nullopt);
  EXPECT_EQ(wc::RenameCommand("for", "a"), std::nullopt);
  EXPECT_EQ(wc::DuplicateCommands({"a", "b", "c"}, "Copy"),
            (Names{"aCopy = a;", "bCopy = b;", "cCopy = c;"}));
  EXPECT_EQ(wc::DuplicateCommands({"a"}, "-1"), std::nullopt);
  EXPECT_EQ(wc::DuplicateCommands({"a"}, std::string(63, 's')), std::nullopt);
  EXPECT_EQ(wc::DeleteCommand({"a", "b"}), "clear a b ;");
  EXPECT_EQ(wc::DeleteCommand({"x"}), "clear x ;");
  EXPECT_EQ(wc::DeleteCommand({}), std::nullopt);
  EXPECT_EQ(wc::DeleteCommand({"-all"}), std::nullopt);
  EXPECT_EQ(wc::DeleteQuestion({"x"}), "Are you sure you want delete 'x'?");
  EXPECT_EQ(wc::DeleteQuestion({"x", "y"}), "Are you sure you want delete selected variables?");
}

TEST(Plot, EveryIdHasItsFunctionAndSeveralNamesAreHeld) {
  const std::pair<int, const char*> functions[] = {
      {32850, "plot"}, {32851, "bar"}, {32852, "imagesc"}, {32853, "stem"}, {32854, "stairs"},
      {32855, "hist"}, {32856, "pie"}, {32857, "area"}, {32858, "barh"}, {32859, "pareto"},
      {32860, "rose"}, {32861, "contour"}, {32862, "image"}, {32863, "pcolor"}};
  for (const auto& [id, function] : functions) EXPECT_EQ(wc::PlotFunction(id), function) << id;
  EXPECT_EQ(wc::PlotFunction(32849), std::nullopt);
  EXPECT_EQ(wc::PlotFunction(32864), std::nullopt);
  EXPECT_EQ(wc::PlotCommand("plot", {"x"}), "figure; plot(x); hold off;");
  EXPECT_EQ(wc::PlotCommand("plot", {"a", "b"}), "figure; plot(a); hold on; plot(b); hold off;");
  EXPECT_EQ(wc::PlotCommand("stem", {"a", "b", "c"}),
            "figure; stem(a); hold on; stem(b); stem(c); hold off;");
  EXPECT_EQ(wc::PlotCommand("plot", {}), std::nullopt);
}

TEST(FileDialog, FiltersInTheirOrderWithMatFirst) {
  Names extensions;
  for (const wc::FileFilter& filter : wc::WorkspaceFileFilters()) extensions.push_back(filter.extension);
  EXPECT_EQ(extensions, (Names{"mat", "hdf5", "fhdf5", "txt", "bin", "fbin", "zip"}));
  EXPECT_EQ(wc::WorkspaceFileFilters()[2].description, "Hdf5 Single Precision (*.fhdf5)");
  EXPECT_EQ(wc::kDefaultExtension, "mat");
}

}  // namespace
