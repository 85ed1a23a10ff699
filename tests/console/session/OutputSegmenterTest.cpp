// The segmenter's pieces, however the output is split between reads: whole
// lines, text up to a prompt, the workspace heading never cut, nothing lost.
#include "console/session/OutputSegmenter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

const std::string kHeading = "Variables in the current scope:\n\n Name";

// Output with short lines, one long line, CR LF ends, the workspace heading
// and prompts.
std::string SampleOutput() {
  std::string out = "ans = 1\r\n>> ";
  out += std::string(100000, 'x') + "\r\nafter the long line\n";
  out += kHeading + "  Size\n ====\n>> ";
  out += std::string(70000, 'y') + "\n" + std::string(3, 'z');
  return out;
}

std::string WithLineFeeds(std::string s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i)
    if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out += s[i];
  return out;
}

struct Split {
  std::vector<std::string> pieces;  // what Feed returned, empty ones left out
  std::string flushed;
};

Split FeedInReads(const std::string& output, const std::vector<size_t>& cuts) {
  COutputSegmenter segmenter;
  Split split;
  size_t from = 0;
  for (size_t cut : cuts) {
    std::string piece = segmenter.Feed(std::string_view(output).substr(from, cut - from));
    if (!piece.empty()) split.pieces.push_back(std::move(piece));
    from = cut;
  }
  split.flushed = segmenter.Flush();
  EXPECT_FALSE(segmenter.HasPending());
  return split;
}

}  // namespace

TEST(OutputSegmenter, PiecesAreWholeLinesOrEndAtAPromptWhereverTheReadsSplit) {
  const std::string output = SampleOutput();
  std::mt19937 random(7);
  std::vector<std::vector<size_t>> splits;
  // One read, reads of 5,119 bytes as from the pipe, a byte at a time around
  // the long line's end, and random reads.
  splits.push_back({output.size()});
  std::vector<size_t> pipeSized;
  for (size_t cut = 5119; cut < output.size(); cut += 5119) pipeSized.push_back(cut);
  pipeSized.push_back(output.size());
  splits.push_back(pipeSized);
  std::vector<size_t> bytes;
  for (size_t cut = 99990; cut < 100200; ++cut) bytes.push_back(cut);
  bytes.push_back(output.size());
  splits.push_back(bytes);
  for (int round = 0; round < 20; ++round) {
    std::vector<size_t> cuts;
    for (size_t cut = 0; cut < output.size();) {
      cut = std::min(output.size(), cut + 1 + random() % 20000);
      cuts.push_back(cut);
    }
    splits.push_back(cuts);
  }

  for (const std::vector<size_t>& cuts : splits) {
    const Split split = FeedInReads(output, cuts);
    std::string joined;
    bool sawHeading = false;
    for (const std::string& piece : split.pieces) {
      EXPECT_TRUE(piece.ends_with('\n') || piece.ends_with("> ")) << piece.substr(0, 40);
      EXPECT_EQ(piece.find('\r'), std::string::npos);
      sawHeading = sawHeading || piece.find(kHeading) != std::string::npos;
      joined += piece;
    }
    EXPECT_TRUE(sawHeading) << cuts.size() << " reads";
    // The last line has no end: it comes only when the output goes quiet.
    EXPECT_EQ(split.flushed, "zzz");
    EXPECT_EQ(joined + split.flushed, WithLineFeeds(output)) << cuts.size() << " reads";
  }
}

TEST(OutputSegmenter, LongLineIsHeldUntilItsEndAndTheRestStaysHeld) {
  COutputSegmenter segmenter;
  EXPECT_EQ(segmenter.Feed("a\nbb"), "a\n");
  for (int i = 0; i < 100; ++i) EXPECT_EQ(segmenter.Feed(std::string(1000, 'b')), "");
  const std::string line = segmenter.Feed("b\ncc");
  EXPECT_EQ(line, "bb" + std::string(100000, 'b') + "b\n");
  // Only the line feed of this read counts: "cc" waits for its own.
  EXPECT_EQ(segmenter.Feed("c"), "");
  EXPECT_EQ(segmenter.Feed("\n"), "ccc\n");
  EXPECT_FALSE(segmenter.HasPending());
}
