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

using Ranges = std::vector<std::pair<size_t, size_t>>;
using Marks = std::vector<ConsoleMark>;

TEST(LongOutput, CharactersAreCountedAsTheConsoleCountsThem) {
  // "é" is two bytes and one character; "€" three and one; the emoji four and two.
  const std::string text = "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80z";
  EXPECT_EQ(Utf16Length(text), 6u);
  EXPECT_EQ(Utf16Length(""), 0u);
  // Bytes that make no valid character count one each, as the window decodes
  // them: a lone lead, stray continuations, a cut sequence, a surrogate, an
  // overlong form, a lead beyond Unicode.
  for (const auto& [bytes, units] : std::vector<std::pair<std::string, size_t>>{
           {"\xc8", 1}, {"a\xc8z", 3}, {"\x80\x80", 2}, {"\xe2\x82z", 3}, {"\xf0\x9f\x98", 3},
           {"\xed\xa0\x80", 3}, {"\xc0\xaf", 2}, {"\xf8\x88\x80\x80\x80", 5}})
    EXPECT_EQ(Utf16Length(bytes), units) << bytes.size();
  EXPECT_EQ(CharacterOffsets(text, {11, 0, 3, -1, 6, 10}), (std::vector<long>{6, 0, 2, -1, 3, 5}));
}

TEST(LongOutput, OnlyLinesLongerThanTheLimitLeaveTheirMiddleOut) {
  using Cuts = std::vector<LeftOutRange>;
  const std::string limit(kLongLine, 'a');
  const std::string longer(kLongLine + 1, 'b');
  const size_t middle = longer.size() - kShownHead - kShownTail;
  EXPECT_TRUE(LeftOutRanges(limit + "\n" + limit).empty());
  const size_t second = limit.size() + 1;
  EXPECT_EQ(LeftOutRanges(limit + "\n" + longer + "\n>> "),
            (Cuts{{second + kShownHead, second + longer.size() - kShownTail, middle}}));
  // An unfinished last line and two long lines in one output.
  EXPECT_EQ(LeftOutRanges(longer + "\n" + longer),
            (Cuts{{kShownHead, longer.size() - kShownTail, middle},
                  {longer.size() + 1 + kShownHead, 2 * longer.size() + 1 - kShownTail, middle}}));
  // Counted in characters: 5,000 two-byte characters are 10,000 bytes but not long.
  std::string wide;
  for (int i = 0; i < 5000; ++i) wide += "\xc3\xa9";
  EXPECT_TRUE(LeftOutRanges(wide).empty());
  // A character across an edge is shown whole: the head ends after the pair
  // that reaches kShownHead, the tail starts with the one that reaches kShownTail.
  const std::string pair = "\xf0\x9f\x98\x80";
  std::string line(kShownHead - 1, 'h');
  line += pair;
  while (line.size() < 20000) line += "m";
  line += pair + std::string(kShownTail - 1, 't');
  const size_t begin = static_cast<size_t>(kShownHead - 1) + pair.size();
  const size_t end = line.size() - (kShownTail - 1) - pair.size();
  EXPECT_EQ(LeftOutRanges(line), (Cuts{{begin, end, end - begin}}));
  // Stray bytes in the tail count one character each.
  const std::string strays = std::string(20000, 's') + std::string(kShownTail, '\x80');
  EXPECT_EQ(LeftOutRanges(strays), (Cuts{{kShownHead, 20000, 20000 - kShownHead}}));
}

TEST(LongOutput, MarksKeepTheirShownPartsAroundWhatIsLeftOut) {
  // Left out: [10, 20) and [30, 40).
  const std::string chunk = "0123456789abcdefghijABCDEFGHIJklmnopqrstKLMNOPQRST";
  const std::vector<LeftOutRange> leftOut = {{10, 20, 10}, {30, 40, 10}};
  const Marks marks = {{ConsoleMark::Kind::Error, 2, 5},        // before: as it was
                       {ConsoleMark::Kind::Link, 8, 25},        // across the first: two parts
                       {ConsoleMark::Kind::Bold, 12, 18},       // inside: gone
                       {ConsoleMark::Kind::Error, 42, 45},      // after both: 20 earlier
                       {ConsoleMark::Kind::Bold, -1, 12},       // from before the chunk
                       {ConsoleMark::Kind::Link, 0, 2, "help x"}};
  EXPECT_EQ(MarksAroundLeftOut(marks, chunk, leftOut),
            (Marks{{ConsoleMark::Kind::Error, 2, 5},
                   {ConsoleMark::Kind::Link, 8, 10, "89abcdefghijABCDE"},
                   {ConsoleMark::Kind::Link, 10, 15, "89abcdefghijABCDE"},
                   {ConsoleMark::Kind::Error, 22, 25},
                   {ConsoleMark::Kind::Bold, -1, 10},
                   {ConsoleMark::Kind::Link, 0, 2, "help x"}}));
}

TEST(LongOutput, PiecesAreBoundedEndOnWholeCharactersAndKeepACutLineWhole) {
  // "é" is two bytes: a cut every 5 bytes would split one.
  std::string text;
  for (int i = 0; i < 10; ++i) text += "a\xc3\xa9";
  size_t next = 0;
  for (const auto& [begin, end] : OutputPieces(text, 5, {})) {
    EXPECT_EQ(begin, next);
    EXPECT_LE(end - begin, 5u);
    EXPECT_NE(static_cast<unsigned char>(text[end - 1]), 0xc3u) << "a character was split at " << end;
    next = end;
  }
  EXPECT_EQ(next, text.size());
  EXPECT_EQ(OutputPieces("short", 5, {}), (Ranges{{0, 5}}));
  EXPECT_TRUE(OutputPieces("", 5, {}).empty());

  // A gap at 1000 in a line ending at 1500: the piece holding it holds the
  // rest of that line.
  const std::string shown = std::string(1500, 'x') + "\n" + std::string(1000, 'y');
  EXPECT_EQ(OutputPieces(shown, 700, {1000}), (Ranges{{0, 700}, {700, 1500}, {1500, 2200}, {2200, 2501}}));
}

TEST(LongOutput, MarksFollowTheirPiecesInCharacters) {
  const Marks marks = {{ConsoleMark::Kind::Link, 4, 22, "https://octave.org"},
                       {ConsoleMark::Kind::Bold, -1, 31},
                       {ConsoleMark::Kind::Error, 0, 3}};
  EXPECT_EQ(MarksWithin(marks, 0, 10), (Marks{{ConsoleMark::Kind::Link, 4, 10, "https://octave.org"},
                                              {ConsoleMark::Kind::Bold, -1, 10},
                                              {ConsoleMark::Kind::Error, 0, 3}}));
  EXPECT_EQ(MarksWithin(marks, 10, 31), (Marks{{ConsoleMark::Kind::Link, 0, 12, "https://octave.org"},
                                               {ConsoleMark::Kind::Bold, 0, 21}}));
  // "é" before the marks: one character for two bytes.
  EXPECT_EQ(MarksInCharacters({{ConsoleMark::Kind::Error, 3, 8}, {ConsoleMark::Kind::Bold, -1, 2}},
                              "\xc3\xa9 error"),
            (Marks{{ConsoleMark::Kind::Error, 2, 7}, {ConsoleMark::Kind::Bold, -1, 1}}));
}

}  // namespace
