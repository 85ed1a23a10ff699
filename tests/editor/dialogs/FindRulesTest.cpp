#include "editor/dialogs/FindRules.h"

#include <gtest/gtest.h>

namespace {

using namespace quire;

TEST(FindRulesTest, RecentTextsAreAddedOnceAndNeverMove) {
  std::vector<std::string> list{"alpha", "beta"};
  EXPECT_FALSE(AddRecentText(list, "alpha"));
  EXPECT_TRUE(AddRecentText(list, "Alpha"));  // case counts
  EXPECT_EQ(list, (std::vector<std::string>{"alpha", "beta", "Alpha"}));
}

TEST(FindRulesTest, TheWordAroundTheCaretEndsAtSeparatorsAndTabs) {
  const std::string line = "  y = foo(bar_2,\tqux)";
  auto word = [&](size_t caret) {
    const auto [start, end] = WordAround(line, caret);
    return line.substr(start, end - start);
  };
  EXPECT_EQ(word(7), "foo");   // inside
  EXPECT_EQ(word(6), "foo");   // at its start
  EXPECT_EQ(word(9), "foo");   // just after it, before "("
  EXPECT_EQ(word(12), "bar_2");
  EXPECT_EQ(word(18), "qux");  // after the tab
  EXPECT_EQ(word(1), "");      // among blanks
  EXPECT_EQ(word(99), "");     // past the end: after ")"
}

TEST(FindRulesTest, PatternsTheEngineRefusesAreNamed) {
  for (const char* good : {"abc", "a*b", "^x*", "x*$", "\\(ab\\)c", "[]a]", "[^]x]*", "a\\*", "\\<word\\>", "a**"})
    EXPECT_EQ(RegexProblem(good), "") << good;
  EXPECT_EQ(RegexProblem("[abc"), "Missing ]");
  EXPECT_EQ(RegexProblem("*a"), "Empty closure");
  EXPECT_EQ(RegexProblem("^*"), "Illegal closure");
  EXPECT_EQ(RegexProblem("\\(*a\\)"), "Illegal closure");
  EXPECT_EQ(RegexProblem("\\(ab"), "Unmatched \\(");
  EXPECT_EQ(RegexProblem("ab\\)"), "Unmatched \\)");
  EXPECT_EQ(RegexProblem("\\(\\)"), "Null pattern inside \\(\\)");
}

}  // namespace
