#include "console/command/ConsoleText.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> kLines = {"%-- one --%", "plot(x)", "x = 1", "PLOT(y)", "disp(x)"};

TEST(CompletionWord, TheTextAfterTheLastSeparator) {
  EXPECT_EQ(CompletionWordStart(u"x = plo"), 4u);
  EXPECT_EQ(CompletionWordStart(u"a(b.c"), 4u);
  EXPECT_EQ(CompletionWordStart(u"plo"), 0u);
  EXPECT_EQ(CompletionWordStart(u"s = 'ab"), 5u);
  EXPECT_EQ(CompletionWordStart(u"x = "), 4u);
}

TEST(HistoryRecall, UpWithoutPrefixWalksBackAndEmptiesAtTheOldest) {
  RecallResult r = RecallBackward(kLines, 5, "");
  EXPECT_EQ(r, (RecallResult{4, "disp(x)"}));
  r = RecallBackward(kLines, 1, "");
  EXPECT_EQ(r, (RecallResult{0, "%-- one --%"}));
  // At the oldest line the input empties and the next Up starts from the newest.
  r = RecallBackward(kLines, 0, "");
  EXPECT_EQ(r, (RecallResult{5, ""}));
  EXPECT_EQ(RecallBackward(kLines, r.cursor, ""), (RecallResult{4, "disp(x)"}));
  EXPECT_EQ(RecallBackward({}, 0, ""), (RecallResult{0, ""}));
}

TEST(HistoryRecall, UpWithPrefixFindsTheNewestMatchIgnoringCase) {
  EXPECT_EQ(RecallBackward(kLines, 5, "pl"), (RecallResult{3, "PLOT(y)"}));
  EXPECT_EQ(RecallBackward(kLines, 3, "pl"), (RecallResult{1, "plot(x)"}));
  // Past the oldest match it goes round once from the newest lines.
  EXPECT_EQ(RecallBackward(kLines, 1, "pl"), (RecallResult{3, "PLOT(y)"}));
  // No match: one step back, input unchanged.
  EXPECT_EQ(RecallBackward(kLines, 5, "zz"), (RecallResult{4, std::nullopt}));
}

TEST(HistoryRecall, DownWalksForwardAndEmptiesAtTheNewest) {
  EXPECT_EQ(RecallForward(kLines, 2, ""), (RecallResult{3, "PLOT(y)"}));
  EXPECT_EQ(RecallForward(kLines, 4, ""), (RecallResult{0, ""}));
  EXPECT_EQ(RecallForward(kLines, 5, ""), (RecallResult{5, std::nullopt}));
  EXPECT_EQ(RecallForward(kLines, 1, "x"), (RecallResult{2, "x = 1"}));
  EXPECT_EQ(RecallForward(kLines, 3, "pl"), (RecallResult{1, "plot(x)"}));
}

TEST(CutLine, TheNoteSaysHowMuchIsLeftOutAndStandsForAllOfIt) {
  EXPECT_EQ(LeftOutNote(1989000), u" \u2026 [1,989,000 characters not shown; copying the line copies them all] \u2026 ");
  EXPECT_NE(LeftOutNote(999).find(u"[999 characters"), std::u16string::npos);
  // Shown: 10 characters, a note of 5 for 100 left out, then the rest.
  const CutLine line{10, 5, 100};
  EXPECT_EQ(WholeLineRange(line, 2, 8), (std::pair<long, long>{2, 8}));
  EXPECT_EQ(WholeLineRange(line, 0, 20), (std::pair<long, long>{0, 115}));
  EXPECT_EQ(WholeLineRange(line, 16, 18), (std::pair<long, long>{111, 113}));
  // Any part of the note takes everything left out.
  EXPECT_EQ(WholeLineRange(line, 12, 13), (std::pair<long, long>{10, 110}));
  EXPECT_EQ(WholeLineRange(line, 3, 11), (std::pair<long, long>{3, 110}));
  EXPECT_EQ(WholeLineRange(line, 10, 10), (std::pair<long, long>{10, 10}));
}

TEST(OutputPieces, BoundedPiecesEndOnWholeCharactersAndCoverTheChunk) {
  // "é" is two bytes: a cut every 5 bytes would split one.
  std::string chunk;
  for (int i = 0; i < 10; ++i) chunk += "a\xc3\xa9";
  const auto pieces = OutputPieces(chunk, 5);
  size_t next = 0;
  for (const auto& [begin, end] : pieces) {
    EXPECT_EQ(begin, next);
    EXPECT_LE(end - begin, 5u);
    EXPECT_NE(static_cast<unsigned char>(chunk[end - 1]), 0xc3u) << "a character was split at " << end;
    next = end;
  }
  EXPECT_EQ(next, chunk.size());
  EXPECT_EQ(OutputPieces("short", 5), (std::vector<std::pair<size_t, size_t>>{{0, 5}}));
  EXPECT_TRUE(OutputPieces("", 5).empty());
}

TEST(OutputPieces, MarksFollowTheirPiecesAndACutLinkKeepsItsTarget) {
  const std::string chunk = "see https://octave.org now\n>> ";
  const std::vector<ConsoleMark> marks = {{ConsoleMark::Kind::Link, 4, 22},
                                          {ConsoleMark::Kind::Bold, -1, 31},
                                          {ConsoleMark::Kind::Error, 0, 3}};
  const std::vector<ConsoleMark> first = MarksWithin(marks, chunk, 0, 10);
  EXPECT_EQ(first, (std::vector<ConsoleMark>{{ConsoleMark::Kind::Link, 4, 10, "https://octave.org"},
                                             {ConsoleMark::Kind::Bold, -1, 10},
                                             {ConsoleMark::Kind::Error, 0, 3}}));
  const std::vector<ConsoleMark> second = MarksWithin(marks, chunk, 10, 31);
  EXPECT_EQ(second, (std::vector<ConsoleMark>{{ConsoleMark::Kind::Link, 0, 12, "https://octave.org"},
                                              {ConsoleMark::Kind::Bold, 0, 21}}));
}

}  // namespace
