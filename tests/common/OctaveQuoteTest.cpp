#include "common/OctaveQuote.h"

#include <gtest/gtest.h>

using octave_quote::DoubleQuoted;
using octave_quote::EscapeSingle;
using octave_quote::SingleQuoted;

TEST(OctaveQuote, SingleQuotesAreDoubledSoNamesStayInside) {
  EXPECT_EQ(SingleQuoted("a'b"), "'a''b'");
  EXPECT_EQ(SingleQuoted(""), "''");
  EXPECT_EQ(SingleQuoted("x'; system('x'); '"), "'x''; system(''x''); '''");
  EXPECT_EQ(SingleQuoted("C:\\a\"b"), "'C:\\a\"b'");
  EXPECT_EQ("cd '" + EscapeSingle("it's; exit") + "';###", "cd 'it''s; exit';###");
}

TEST(OctaveQuote, LineBreaksNeverEndTheCommandLine) {
  EXPECT_EQ(SingleQuoted("a\nb"), "['a' char(10) 'b']");
  EXPECT_EQ(SingleQuoted("a'\r\n"), "['a''' char(13) '' char(10) '']");
  EXPECT_EQ(EscapeSingle("a\nb"), "a' char(10) 'b");
  EXPECT_EQ(DoubleQuoted("1\n2\r3\t4"), "\"1\\n2\\r3\\t4\"");
}

TEST(OctaveQuote, DoubleQuotedEscapesBackslashAndQuote) {
  EXPECT_EQ(DoubleQuoted("a\\b\"c"), "\"a\\\\b\\\"c\"");
  EXPECT_EQ(DoubleQuoted("\"); system(\"x"), "\"\\\"); system(\\\"x\"");
  EXPECT_EQ(DoubleQuoted("it's"), "\"it's\"");
  EXPECT_EQ(DoubleQuoted(""), "\"\"");
}
