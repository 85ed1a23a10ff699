#include <gtest/gtest.h>

#include <algorithm>

#include "editor/view/CallTipRules.h"
#include "editor/view/CompletionRules.h"

using namespace quire_tips;
using Items = std::vector<std::string>;

namespace {
std::string Highlighted(const SCallTip& tip) {
  if (tip.highlightStart < 0) return "";
  return tip.text.substr(static_cast<size_t>(tip.highlightStart),
                         static_cast<size_t>(tip.highlightEnd - tip.highlightStart));
}
}  // namespace

TEST(CallTipRules, UsageLinesInTheOldAndTheCurrentForm) {
  EXPECT_EQ(UsageOf(" -- Mapping Function: sin (X)"), "sin (X)");
  EXPECT_EQ(UsageOf(" -- Function File: [Q, R] = deconv (Y, A)\r"), "[Q, R] = deconv (Y, A)");
  EXPECT_EQ(UsageOf(" -- sin (X)"), "sin (X)");
  EXPECT_EQ(UsageOf("\t-- [Q, R] = deconv (Y, A)"), "[Q, R] = deconv (Y, A)");
  EXPECT_EQ(UsageOf(" -- R = BASE : LIMIT"), "R = BASE : LIMIT");  // a colon of the usage stays
  EXPECT_EQ(UsageOf("     Compute the sine -- of X."), std::nullopt);
  EXPECT_EQ(UsageOf(""), std::nullopt);
}

TEST(CallTipRules, WrapsAroundAndHighlightsTheParameterBeingTyped) {
  const Items lines = {"plot (X, Y, FMT)", "plot (Y)", "H = plot (...)"};
  SCallTip tip = BuildCallTip(lines, 0, 0);
  EXPECT_EQ(tip.text, "\0011 of 3\002plot (X, Y, FMT)");
  EXPECT_EQ(Highlighted(tip), "X");
  EXPECT_EQ(Highlighted(BuildCallTip(lines, 0, 1)), "Y");
  EXPECT_EQ(Highlighted(BuildCallTip(lines, 0, 2)), "FMT");
  EXPECT_EQ(BuildCallTip(lines, 0, 3).highlightStart, -1);  // more commas than the line has
  EXPECT_EQ(Highlighted(BuildCallTip(lines, 1, 0)), "Y");

  tip = BuildCallTip(lines, -1, 0);  // Up on the first shows the last
  EXPECT_EQ(tip.index, 2);
  EXPECT_EQ(tip.text, "\0013 of 3\002H = plot (...)");
  EXPECT_EQ(BuildCallTip(lines, 3, 0).index, 0);
  EXPECT_EQ(BuildCallTip({}, 0, 0).text, "");
  EXPECT_EQ(BuildCallTip({"pi"}, 0, 0).highlightStart, -1);  // no parentheses
  EXPECT_EQ(BuildCallTip({"f ()"}, 0, 0).highlightStart, -1);

  // The output list does not count: the second input is the second input.
  const Items deconv = {"[Q, R] = deconv (Y, A)"};
  EXPECT_EQ(Highlighted(BuildCallTip(deconv, 0, 0)), "Y");
  EXPECT_EQ(Highlighted(BuildCallTip(deconv, 0, 1)), "A");
}

TEST(CompletionRules, NamesInListOrderThenTheDocumentsWordsCaseMatters) {
  const Items names = {"sinh", "size", "sin", "single", "Sigma"};
  CWordIndex words;
  words.Add("sig = sin(x); sizes(1) = sig2; % signal\r\nSIZE 3.5 s.field");
  EXPECT_EQ(CompletionList(names, words, "sin", "sin"), "sinh sin single");
  EXPECT_EQ(CompletionList(names, words, "siz", "siz"), "size sizes");
  EXPECT_EQ(CompletionList(names, words, "sig", "sig"), "sig2 signal");  // "sig" once: the word being typed
  EXPECT_EQ(CompletionList(names, words, "Sin", "Sin"), "");
  EXPECT_EQ(CompletionList(names, words, "s.f", "s.f"), "s.field");
  EXPECT_EQ(CompletionList(names, words, "", ""), "");
  EXPECT_EQ(CompletionList(names, words, "3", "3"), "");  // numbers are not words

  // A long list is cut after its first entries, names first.
  Items many;
  for (int i = 0; i < 5000; ++i) many.push_back("na" + std::to_string(10000 + i));
  CWordIndex own;
  own.Add("nb1 na_own1 na_own2");
  const std::string first = CompletionList(many, own, "na", "na");
  EXPECT_EQ(static_cast<size_t>(std::count(first.begin(), first.end(), ' ')) + 1, kMaxCompletionEntries);
  EXPECT_TRUE(first.starts_with("na10000 na10001 "));
  EXPECT_TRUE(first.ends_with(" na10199"));
  const Items few(many.begin(), many.begin() + static_cast<long>(kMaxCompletionEntries) - 1);
  EXPECT_TRUE(CompletionList(few, own, "na", "na").ends_with(" na10198 na_own1"));

  // Inside a word: the word itself is not offered for its own beginning.
  EXPECT_EQ(CompletionList(names, words, "sig", "sig2"), "sig signal");

  // Words counted: removing one of two occurrences keeps the word.
  words.Add("signal");
  words.Remove("% signal");
  EXPECT_EQ(CompletionList({}, words, "signa", "signa"), "signal");
  words.Remove("signal");
  EXPECT_EQ(CompletionList({}, words, "signa", "signa"), "");
}
