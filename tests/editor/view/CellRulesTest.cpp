#include "editor/view/CellRules.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "editor/view/NumberNudge.h"

using namespace quire_cells;

TEST(CellRules, MarkerLinesStartWithPercentPercentBlankAfterTheIndentation) {
  EXPECT_EQ(MarkerOffset("%% name"), 0u);
  EXPECT_EQ(MarkerOffset(" \t%% \r"), 2u);
  EXPECT_FALSE(MarkerOffset("%%"));  // no blank: a comment
  EXPECT_FALSE(MarkerOffset("%%\r"));
  EXPECT_FALSE(MarkerOffset("x = 1; %% not a cell"));
  EXPECT_FALSE(MarkerOffset("% % spaced"));
  EXPECT_EQ(FindMarkerLines("%% first\r\na = 1;\r\n  %% \r\nb %% c\r\n%% last"), (std::vector<int>{0, 2, 4}));
  EXPECT_EQ(FindMarkerLines("a\nb\n"), std::vector<int>{});
  EXPECT_EQ(FindMarkerLines(""), std::vector<int>{});
}

TEST(CellRules, UnnamedCellsAreCountedApartFromNamedOnes) {
  EXPECT_EQ(CellNames({"%% \r", "%% Setup", "  %% ", "%% a %% b"}),
            (std::vector<std::string>{"cell 1", "Setup", "cell 2", "a %% b"}));
  EXPECT_TRUE(CellNames({}).empty());
}

TEST(CellRules, TheCellAtALineRunsFromAfterItsMarkerToTheNextMarker) {
  const std::vector<int> markers{2, 5, 9};
  EXPECT_EQ(CellIndexAt(markers, 0), -1);  // above the first marker
  EXPECT_EQ(CellIndexAt(markers, 2), 0);   // a marker line starts its cell
  EXPECT_EQ(CellIndexAt(markers, 7), 1);
  EXPECT_EQ(CellIndexAt(markers, 20), 2);
  EXPECT_EQ(CellLinesAt(markers, 0, 12), (SLineRange{0, 2}));  // document start to the first marker
  EXPECT_EQ(CellLinesAt(markers, 5, 12), (SLineRange{6, 9}));
  EXPECT_EQ(CellLinesAt(markers, 8, 12), (SLineRange{6, 9}));
  EXPECT_EQ(CellLinesAt(markers, 9, 12), (SLineRange{10, 12}));  // the last cell runs to the end
  EXPECT_EQ(CellLinesAt({}, 3, 12), (SLineRange{0, 12}));
  // A first line that is a marker: its cell is listed once and starts below it.
  EXPECT_EQ(CellLinesAt({0, 4}, 0, 6), (SLineRange{1, 4}));
}

TEST(CellRules, NextAndPreviousCellStayWhereNoMarkerLies) {
  const std::vector<int> markers{2, 5};
  EXPECT_EQ(NextMarker(markers, 0, false), 2);
  EXPECT_EQ(NextMarker(markers, 2, true), 2);   // caret before the marker of its line
  EXPECT_EQ(NextMarker(markers, 2, false), 5);  // caret after it
  EXPECT_EQ(NextMarker(markers, 5, false), std::nullopt);
  EXPECT_EQ(PreviousMarker(markers, 4), 2);  // inside a cell: its own marker
  EXPECT_EQ(PreviousMarker(markers, 5), 2);  // on a marker: the cell before
  EXPECT_EQ(PreviousMarker(markers, 2), std::nullopt);
  EXPECT_EQ(PreviousMarker(markers, 1), std::nullopt);
}

TEST(CellRules, NewMarkerLinesTakeTheIndentationOfTheirLine) {
  EXPECT_EQ(MarkerLineBelow("\t  x = 1;", "\r\n"), "\r\n\t  %% ");
  EXPECT_EQ(MarkerLineBelow("", "\n"), "\n%% ");
  EXPECT_EQ(MarkerLineAbove("  y", "\r\n"), "  %% \r\n");
}

// Marker lines kept through edits agree with a fresh scan of the edited text.
TEST(CellRules, MarkerLinesFollowEditsAsAFullScanWould) {
  std::vector<std::string> lines{"a", "%% one", "b", "%% ", "c", "d", "%% three", "e"};
  CMarkerLines markers;
  auto scan = [&] {
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    return FindMarkerLines(text);
  };
  markers.Assign(scan());
  auto edit = [&](int line, int linesAdded) {
    return markers.Update(line, linesAdded, [&](int l) { return MarkerOffset(lines[static_cast<size_t>(l)]).has_value(); });
  };

  lines[2] = "bb";  // typing in a plain line
  EXPECT_FALSE(edit(2, 0));
  EXPECT_EQ(markers.Lines(), scan());

  lines[1] = "%% one!";  // renaming a cell
  EXPECT_TRUE(edit(1, 0));

  lines[4] = "c";  // Enter in line 4: two new lines below it
  lines.insert(lines.begin() + 5, {"%% new", "x"});
  EXPECT_TRUE(edit(4, 2));
  EXPECT_EQ(markers.Lines(), scan());

  lines[2] = "bb%% ";  // lines 2 .. 3 joined: the marker in line 3 is gone
  lines.erase(lines.begin() + 3);
  EXPECT_TRUE(edit(2, -1));
  EXPECT_EQ(markers.Lines(), scan());

  lines[0] = "%% top";  // a marker typed in the first line
  EXPECT_TRUE(edit(0, 0));
  EXPECT_EQ(markers.Lines(), scan());
}

TEST(NumberNudge, ResultsAreWrittenWithoutTrailingZeros) {
  EXPECT_EQ(Nudged("2.5", NudgeOp::Increment, "1.0"), "3.5");
  EXPECT_EQ(Nudged("4", NudgeOp::Increment, "1.0"), "5");  // no decimal point
  EXPECT_EQ(Nudged("4", NudgeOp::Decrement, "1.0"), "3");
  EXPECT_EQ(Nudged("10", NudgeOp::Multiply, "1.1"), "11");
  EXPECT_EQ(Nudged("-0.5", NudgeOp::Increment, "0.5"), "0");
  EXPECT_EQ(Nudged("11", NudgeOp::Divide, "1.1"), "10");
  EXPECT_EQ(Nudged("1", NudgeOp::Divide, "3"), "0.333333");  // "%f" keeps six places
  EXPECT_EQ(Nudged(".5", NudgeOp::Multiply, "2"), "1");
  EXPECT_EQ(Nudged("2.", NudgeOp::Increment, "1"), "3");
  EXPECT_EQ(FormatNudged(1e7), "10000000");
}

TEST(NumberNudge, NothingChangesWithoutANumberOrWithAFactorOfZero) {
  EXPECT_EQ(Nudged("7", NudgeOp::Divide, "0"), std::nullopt);
  EXPECT_EQ(Nudged("7", NudgeOp::Divide, "0.0"), std::nullopt);
  EXPECT_EQ(Nudged("7", NudgeOp::Increment, "one"), std::nullopt);
  EXPECT_EQ(Nudged("-", NudgeOp::Increment, "1"), std::nullopt);
  EXPECT_EQ(Nudged("1.2.3", NudgeOp::Increment, "1"), std::nullopt);
  EXPECT_EQ(Nudged("1-2", NudgeOp::Increment, "1"), std::nullopt);
}

TEST(NumberNudge, AMinusAfterAnOperandIsNotTheSign) {
  EXPECT_EQ(NumberInWord("-1", 'x')->text, "1");
  EXPECT_EQ(NumberInWord("-1", 'x')->offset, 1u);
  EXPECT_EQ(NumberInWord("-1", ')')->text, "1");
  EXPECT_EQ(NumberInWord("-1", ' ')->text, "-1");
  EXPECT_EQ(NumberInWord("-1", '=')->text, "-1");
  EXPECT_EQ(NumberInWord("2.5", ' ')->offset, 0u);
  EXPECT_FALSE(NumberInWord(".", ' '));
}
