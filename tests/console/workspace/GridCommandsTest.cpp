// The Variable Editor's Octave texts and grid rules.
#include "console/workspace/GridCommands.h"

#include <gtest/gtest.h>

#include <utility>

namespace gc = grid_commands;

namespace {

TEST(Export, PageOfTheVariableIntoTheQuotedExchangeFile) {
  EXPECT_EQ(gc::ExportCommand("/home/u/.local/share/Marrowby/Calyx/matrix_temp.csv", "A", 3),
            "csvwrite('/home/u/.local/share/Marrowby/Calyx/matrix_temp.csv', A(:,:,3), "
            "'delimiter', ' ', 'coffset', 1); ");
  EXPECT_EQ(gc::ExportCommand("/home/o'b/matrix_temp.csv", "A", 1),
            "csvwrite('/home/o''b/matrix_temp.csv', A(:,:,1), 'delimiter', ' ', 'coffset', 1); ");
  EXPECT_EQ(gc::ExportCommand("/f", "A;x", 1), std::nullopt);
  EXPECT_EQ(gc::ExportCommand("/f", "A", 0), std::nullopt);
}

TEST(CellValue, OneExpressionOfAnyKindIsAccepted) {
  for (const char* expression :
       {"1", "-2.5", "1e5", "1+2i", "Inf", "NA", "pi", "pi/2", "1/3", "2*x", "x'", "x.'", "x''",
        "(1:3)'", "A(2,3)'", "sum([1, 2; 3, 4](:))", "[a' b']", "max(1, 2)", "c{1,2}",
        "'a;b'", "\"x,y\"", "'it''s'", "\"say \\\"hi\\\"; %\"", "[1 'a;b']", "@(x) x.^2",
        "s.field", "1.'", "x ' ", "a == b", "~flag", "f(a ')"})
    EXPECT_EQ(gc::CheckCellExpression(expression), gc::ExpressionFault::kNone) << expression;
}

TEST(CellValue, WhatWouldRunMoreThanTheExpressionIsRefused) {
  using F = gc::ExpressionFault;
  const std::pair<const char*, F> cases[] = {
      {"1; system('id')", F::kSeparator},
      {"1, clear all", F::kSeparator},
      {"x';y='", F::kSeparator},  // a transpose, not a string hiding the ";"
      {"(1)';y=''", F::kSeparator},
      {"1\nclear", F::kLineEnd},
      {"1\r", F::kLineEnd},
      {"'a\nb'", F::kLineEnd},
      {"1 % note", F::kComment},
      {"1 # note", F::kComment},
      {"1 ... ; clear", F::kContinuation},
      {"(1", F::kUnbalanced},
      {"[1 2", F::kUnbalanced},
      {"1)", F::kUnbalanced},
      {"(1]", F::kUnbalanced},
      {"{1)", F::kUnbalanced},
      {"'abc", F::kOpenString},
      {"\"abc\\\"", F::kOpenString},
      {"[a 'b]", F::kOpenString},  // after a blank inside [] the quote opens a string
      {"'it''s", F::kOpenString},
  };
  for (const auto& [text, fault] : cases) EXPECT_EQ(gc::CheckCellExpression(text), fault) << text;
}

TEST(CellValue, TheAssignmentOfOneCellAndTheEmptyCellIsZero) {
  EXPECT_EQ(gc::CellCommand("A", 1, 2, 1, " pi/2 "), "A(1,2,1)=pi/2;");
  EXPECT_EQ(gc::CellCommand("A", 2, 3, 2, "7.5"), "A(2,3,2)=7.5;");
  EXPECT_EQ(gc::CellCommand("A", 2, 3, 2, ""), "A(2,3,2)=0;");
  EXPECT_EQ(gc::CellCommand("A", 2, 3, 2, "  "), "A(2,3,2)=0;");
  EXPECT_EQ(gc::CellCommand("A", 1, 1, 1, " -1e3 "), "A(1,1,1)=-1e3;");
  EXPECT_EQ(gc::CellCommand("A", 1, 1, 1, "1; system('id')"), std::nullopt);
  EXPECT_EQ(gc::CellCommand("A", 0, 1, 1, "1"), std::nullopt);
}

TEST(Columns, AddLeftRightAndDeleteWithAndWithoutTheirPieces) {
  // A has 3 columns: the grid has 4, header included.
  EXPECT_EQ(gc::AddLeftCommand("A", 2), "A=[A(:,1:1,:),zeros(size(A,1),1,size(A,3)),A(:,2:end,:)];");
  EXPECT_EQ(gc::AddLeftCommand("A", 1), "A=[zeros(size(A,1),1,size(A,3)),A(:,1:end,:)];");
  EXPECT_EQ(gc::AddRightCommand("A", 3, 4), "A=[A(:,1:3,:),zeros(size(A,1),1,size(A,3)),A(:,4:end,:)];");
  EXPECT_EQ(gc::AddRightCommand("A", 4, 4), "A=[A(:,1:4,:),zeros(size(A,1),1,size(A,3))];");
  EXPECT_EQ(gc::DeleteColumnsCommand("A", 2, 2, 4), "A=[A(:,1:1,:),A(:,3:end,:)];");
  EXPECT_EQ(gc::DeleteColumnsCommand("A", 1, 1, 4), "A=[A(:,2:end,:)];");
  EXPECT_EQ(gc::DeleteColumnsCommand("A", 2, 3, 4), "A=[A(:,1:1,:),A(:,4:end,:)];");
  EXPECT_EQ(gc::DeleteColumnsCommand("A", 2, 4, 4), "A=[A(:,1:1,:),];");
  for (auto command : {gc::AddLeftCommand("A", 0), gc::AddRightCommand("A", -1, 4),
                       gc::DeleteColumnsCommand("A", 0, 2, 4), gc::AddLeftCommand("1A", 1)})
    EXPECT_EQ(command, std::nullopt);
}

TEST(Rows, AddAboveBelowAndDeleteWithAndWithoutTheirPieces) {
  // A has 4 rows: the grid has 5.
  EXPECT_EQ(gc::AddAboveCommand("A", 2), "A=[A(1:1,:,:);zeros(1,size(A,2),size(A,3));A(2:end,:,:)];");
  EXPECT_EQ(gc::AddAboveCommand("A", 1), "A=[zeros(1,size(A,2),size(A,3));A(1:end,:,:)];");
  EXPECT_EQ(gc::AddBelowCommand("A", 4, 5), "A=[A(1:4,:,:);zeros(1,size(A,2),size(A,3));A(5:end,:,:)];");
  EXPECT_EQ(gc::AddBelowCommand("A", 5, 5), "A=[A(1:5,:,:);zeros(1,size(A,2),size(A,3))];");
  EXPECT_EQ(gc::DeleteRowsCommand("A", 1, 2, 5), "A=[A(3:end,:,:)];");
  EXPECT_EQ(gc::DeleteRowsCommand("A", 2, 3, 5), "A=[A(1:1,:,:);A(4:end,:,:)];");
  EXPECT_EQ(gc::AddAboveCommand("A", 0), std::nullopt);
  EXPECT_EQ(gc::DeleteRowsCommand("A", -1, -1, 5), std::nullopt);
}

TEST(GridRules, SizesPagesAndTokensOfAnyLength) {
  EXPECT_EQ(gc::ParseVariableSize("4x3x5"), (gc::VariableSize{4, 3, 5, true, 3}));
  EXPECT_EQ(gc::ParseVariableSize("3x4"), (gc::VariableSize{3, 4, 1, false, 2}));
  EXPECT_EQ(gc::ParseVariableSize("2x3x2x2"), (gc::VariableSize{2, 3, 2, true, 4}));
  EXPECT_EQ(gc::ParseVariableSize("0x0"), (gc::VariableSize{0, 0, 1, false, 2}));
  EXPECT_EQ(gc::ParseVariableSize(""), (gc::VariableSize{0, 0, 1, false, 0}));

  const std::string longToken(100000, '7');
  EXPECT_EQ(gc::ExchangeTokens(" 1 2.5\r\n -3 " + longToken + "\n\tNaN\n"),
            (std::vector<std::string>{"1", "2.5", "-3", longToken, "NaN"}));
  EXPECT_TRUE(gc::ExchangeTokens(" \n").empty());
}

TEST(GridRules, FocusKeptOnlyInsideAndTheRangeFallsBackToTheFocusCell) {
  EXPECT_EQ(gc::FocusAfterRefill({-1, -1}, 4, 3), (gc::Cell{1, 1}));
  EXPECT_EQ(gc::FocusAfterRefill({4, 3}, 4, 3), (gc::Cell{4, 3}));
  EXPECT_EQ(gc::FocusAfterRefill({4, 3}, 3, 3), (gc::Cell{1, 1}));
  EXPECT_EQ(gc::FocusAfterRefill({2, 4}, 4, 3), (gc::Cell{1, 1}));

  EXPECT_EQ(gc::CommandRange({}, {2, 3}), (gc::CellRange{2, 3, 2, 3}));
  EXPECT_EQ(gc::CommandRange({1, 2, 3, 4}, {2, 3}), (gc::CellRange{1, 2, 3, 4}));
  EXPECT_EQ(gc::CommandRange({}, {}), (gc::CellRange{-1, -1, -1, -1}));
}

TEST(GridRules, ClipboardRowsAndCellsRoundTrip) {
  const std::vector<std::vector<std::string>> cells = {{"1", "2"}, {"", "4e-3"}};
  EXPECT_EQ(gc::CellsToClipboard(cells), "1\t2\n\t4e-3\n");
  EXPECT_EQ(gc::CellsFromClipboard(gc::CellsToClipboard(cells)), cells);
  // Spreadsheets end rows with CR LF; a last row without a line end counts.
  EXPECT_EQ(gc::CellsFromClipboard("5\t6\r\n7"), (std::vector<std::vector<std::string>>{{"5", "6"}, {"7"}}));
  EXPECT_TRUE(gc::CellsFromClipboard("").empty());
}

}  // namespace
