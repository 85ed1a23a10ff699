#include "editor/view/Keywords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

TEST(KeywordList, BuiltInListHoldsTheInterpretersNames) {
  const std::vector<std::string>& keywords = BuiltInKeywords();
  ASSERT_GT(keywords.size(), 1000u);
  const std::set<std::string> unique(keywords.begin(), keywords.end());
  EXPECT_EQ(unique.size(), keywords.size());
  EXPECT_EQ(unique.count(""), 0u);
  for (const char* name : {"if", "for", "end", "function", "endfunction", "unwind_protect", "sum"})
    EXPECT_EQ(unique.count(name), 1u) << name;
  // Sorted down the columns of the listing, read across them: every n-th entry
  // is in order, the list as a whole is not.
  EXPECT_FALSE(std::is_sorted(keywords.begin(), keywords.end()));
  bool columnsSorted = false;
  for (size_t n = 2; n <= 12 && !columnsSorted; ++n) {
    columnsSorted = true;
    for (size_t i = n; i < keywords.size() && columnsSorted; ++i)
      columnsSorted = keywords[i - n] < keywords[i];
  }
  EXPECT_TRUE(columnsSorted);
}

TEST(KeywordList, JoinSplitAndFallBack) {
  EXPECT_EQ(JoinKeywords({"abs", "all", "if"}), "abs all if");
  EXPECT_EQ(JoinKeywords({}), "");
  EXPECT_EQ(SplitKeywords("abs,all, sin ,,cos\r\n", ','),
            (std::vector<std::string>{"abs", "all", "sin", "cos"}));
  EXPECT_EQ(SplitKeywords(",, ,", ','), (std::vector<std::string>{}));
  EXPECT_EQ(&KeywordsOrBuiltIn({}), &BuiltInKeywords());
  EXPECT_EQ(&KeywordsOrBuiltIn({""}), &BuiltInKeywords());
  const std::vector<std::string> loaded = {"myfunc"};
  EXPECT_EQ(&KeywordsOrBuiltIn(loaded), &loaded);
}
