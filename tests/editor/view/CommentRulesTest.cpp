#include "editor/view/CommentRules.h"

#include <gtest/gtest.h>

#include <string>

TEST(CommentRules, MarkerFollowsTheSettingAndGoesAfterTheIndentation) {
  EXPECT_EQ(CommentMarker(0), "#");
  EXPECT_EQ(CommentMarker(1), "%");
  EXPECT_EQ(CommentMarker(2), "##");
  EXPECT_EQ(CommentMarker(3), "%%");
  EXPECT_EQ(CommentMarker(4), "#");
  EXPECT_EQ(LeadingBlankCount("\t x"), 2u);
  EXPECT_EQ(LeadingBlankCount("   "), 3u);
}

TEST(CommentRules, UncommentRemovesTheMarkerRunAndOneBlank) {
  const std::string line = "  %% b";
  const auto range = UncommentRange(line);
  ASSERT_TRUE(range.has_value());
  EXPECT_EQ(std::string(line).erase(range->offset, range->length), "  b");
  EXPECT_EQ(UncommentRange("\t%  two blanks"), (LineRange{1, 2}));
  EXPECT_EQ(UncommentRange("#% mixed"), (LineRange{0, 1}));
  EXPECT_FALSE(UncommentRange("x = 1; % trailing").has_value());
  EXPECT_FALSE(UncommentRange("   ").has_value());
}

TEST(CommentRules, CodeLinesAreNeitherBlankNorComments) {
  EXPECT_TRUE(IsCodeLine("  \tend\r\n"));
  EXPECT_FALSE(IsCodeLine("   # note"));
  EXPECT_FALSE(IsCodeLine(" \t \r\n"));
}

TEST(CommentRules, PositionsFollowInsertionsAndRemovals) {
  // "a\r\nb" commented: "# " at 0 and 3.
  const std::vector<TextEdit> inserted = {{0, 0, 2}, {3, 0, 2}};
  EXPECT_EQ(MapPosition(0, inserted, false), 0);  // a selection start stays before "# "
  EXPECT_EQ(MapPosition(3, inserted, true), 7);   // a caret moves with its text
  EXPECT_EQ(MapPosition(4, inserted, false), 8);
  // "  %% b" uncommented: three characters from 2; inside them means at 2.
  const std::vector<TextEdit> removed = {{2, 3, 0}};
  EXPECT_EQ(MapPosition(3, removed, false), 2);
  EXPECT_EQ(MapPosition(6, removed, true), 3);
}
