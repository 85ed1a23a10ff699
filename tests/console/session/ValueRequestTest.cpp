// The value tip only reads: what may be asked for, and how the answer is shown.
#include "console/session/ValueRequest.h"

#include <gtest/gtest.h>

namespace {

const std::vector<ListRow> kListing = {ListRow{{"x", "1x1", "8", "double"}, 2},
                                       ListRow{{"s", "1x1", "16", "struct"}, 0}};

}  // namespace

TEST(ValueRequest, OnlyListedVariablesAndTheirFields) {
  for (const char* allowed : {"x", "s", "s.a", "s.a.b2"}) EXPECT_TRUE(IsListedVariableOrField(allowed, kListing)) << allowed;
  for (const char* refused : {"exit", "clear", "return", "dbcont", "pause", "y", "x(1)", "s.", ".s", "s..a",
                              "s.1", "x;exit", "x exit", "s.end", "", "X"})
    EXPECT_FALSE(IsListedVariableOrField(refused, kListing)) << refused;
  EXPECT_FALSE(IsListedVariableOrField("x", {}));
}

TEST(ValueRequest, AnswerIsEscapedPreformattedWithTheNameInBold) {
  EXPECT_EQ(ValueTipText("x = 3\ndebug> "), "<pre><b>x </b>= 3</pre>");
  // Columns stay as printed; "<" and "&" stay text; the name inside the value is not bold.
  EXPECT_EQ(ValueTipText("s =\n\n  a<b & x = 1\n   10    2\n\n>> "),
            "<pre><b>s </b>=\n\n  a&lt;b &amp; x = 1\n   10    2</pre>");
  EXPECT_EQ(ValueTipText("error: no\n>> "), "<pre>error: no</pre>");
}

TEST(ValueRequest, ALongValueIsCutWithAVisibleNote) {
  std::string value = "v =\n\n";
  for (int i = 0; i < 100; ++i) value += "   " + std::to_string(i) + "\n";
  const std::string tip = ValueTipText(value + "\ndebug> ");
  EXPECT_NE(tip.find("   37\n"), std::string::npos);
  EXPECT_EQ(tip.find("   38\n"), std::string::npos);
  EXPECT_NE(tip.find("… cut: 62 more lines"), std::string::npos);
  EXPECT_TRUE(tip.size() < kValueTipMaxBytes + 200);

  // One line longer than a tip holds, with a character of two bytes at the cut.
  const std::string wide = "w = " + std::string(kValueTipMaxBytes - 5, 'a') + "\xc3\xa9" + std::string(100, 'b');
  const std::string cut = ValueTipText(wide);
  EXPECT_NE(cut.find("… cut: 1 more line"), std::string::npos);
  EXPECT_EQ(cut.find("\xc3</"), std::string::npos);  // no half character before the note
  EXPECT_LT(cut.size(), kValueTipMaxBytes + 200);
}
