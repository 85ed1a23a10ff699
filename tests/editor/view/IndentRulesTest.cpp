#include "editor/view/IndentRules.h"

#include <gtest/gtest.h>

TEST(IndentRules, FirstWordEndsAtTheFirstSeparator) {
  EXPECT_EQ(FirstWord("    if(x)"), "if");
  EXPECT_EQ(FirstWord("\t\tendfunction # done"), "endfunction");
  EXPECT_EQ(FirstWord("end;\r"), "end");
  EXPECT_EQ(FirstWord("x.y = 3"), "x");
  EXPECT_EQ(FirstWord("% if"), "%");
  EXPECT_EQ(FirstWord("   "), "");
}

TEST(IndentRules, BlockWordsOpenCloseOrBoth) {
  for (const char* word : {"end", "endif", "endwhile", "end_try_catch", "until"})
    EXPECT_TRUE(IsClosingWord(word) && !IsOpeningWord(word)) << word;
  for (const char* word : {"if", "for", "function", "switch", "try", "do", "unwind_protect"})
    EXPECT_TRUE(IsOpeningWord(word) && !IsClosingWord(word)) << word;
  for (const char* word : {"else", "elseif", "case", "otherwise", "catch", "unwind_protect_cleanup"})
    EXPECT_TRUE(IsOpeningWord(word) && IsClosingWord(word)) << word;
  for (const char* word : {"ending", "If", "x", ""})
    EXPECT_FALSE(IsOpeningWord(word) || IsClosingWord(word)) << word;
}

TEST(IndentRules, SmartIndentKeepsWholeLevels) {
  EXPECT_EQ(SmartIndentAfterEnter(6, "      x = 1;", 4), (SmartIndentResult{6, 4, 1}));
  EXPECT_EQ(SmartIndentAfterEnter(8, "case 2", 4), (SmartIndentResult{4, 8, 2}));
  EXPECT_EQ(SmartIndentAfterEnter(0, "end", 4), (SmartIndentResult{0, 0, 0}));
}

TEST(IndentRules, ReindentNestedBlocks) {
  const std::vector<std::string> lines = {
      "function r = f(x)", "if x > 0", "for i = 1:x", "r = i;", "endfor", "elseif x < 0",
      "switch x",          "case -1",  "r = 1;",      "end",    "else",   "do",
      "r = 0;",            "until r",  "end",         "endfunction"};
  EXPECT_EQ(ReindentWidths(lines, 0, 2),
            (std::vector<int>{0, 2, 4, 6, 4, 2, 4, 4, 6, 4, 2, 4, 6, 4, 2, 0}));
  // From the level of the line above; never left of column 0.
  EXPECT_EQ(ReindentWidths({"x", "end", "end", "end", "y"}, 8, 4),
            (std::vector<int>{8, 4, 0, 0, 0}));
}

TEST(IndentRules, ATabSizeBelowOneCountsAsOne) {
  EXPECT_EQ(ValidTabSize(0), 1);
  EXPECT_EQ(ValidTabSize(-3), 1);
  EXPECT_EQ(SmartIndentAfterEnter(3, "if x", 0), (SmartIndentResult{3, 4, 4}));
  EXPECT_EQ(ReindentWidths({"if x", "y", "end"}, 0, 0), (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(ShiftedIndent(2, -4), 0);
}
