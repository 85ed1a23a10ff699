#include "editor/view/FileRules.h"

#include <gtest/gtest.h>

TEST(FileRules, LexerByExtension) {
  EXPECT_EQ(LexerForExtension("m"), LEXER_OCTAVE);
  EXPECT_EQ(LexerForExtension("M"), LEXER_OCTAVE);
  EXPECT_EQ(LexerForExtension("py"), 2);
  EXPECT_EQ(LexerForExtension("HTML"), 4);
  EXPECT_EQ(LexerForExtension("f77"), 37);
  // The first row that lists an extension wins.
  EXPECT_EQ(LexerForExtension("mak"), 3);
  EXPECT_EQ(LexerForExtension("cpp"), 3);
  EXPECT_EQ(LexerForExtension("e"), 23);
  EXPECT_EQ(LexerForExtension("txt"), LEXER_NULL);
  EXPECT_EQ(LexerForExtension(""), LEXER_NULL);
  EXPECT_EQ(LexerForExtension("c|cc"), LEXER_NULL);
}

TEST(FileRules, FileKeepsTheKindOfItsFirstLineEnd) {
  EXPECT_EQ(LineEndsOf("a\nb\r\n"), LINE_ENDS_LF);
  EXPECT_EQ(LineEndsOf("a\r\nb\nc\n"), LINE_ENDS_CRLF);
  EXPECT_EQ(LineEndsOf("a\rb\r\n"), LINE_ENDS_CR);
  EXPECT_EQ(LineEndsOf(std::string_view("x\0y\r\n", 5)), LINE_ENDS_CRLF);
  // A CR at the very end is a line end of its own.
  EXPECT_EQ(LineEndsOf("a\r"), LINE_ENDS_CR);
  // No line end at all: new lines get the platform's.
  EXPECT_EQ(LineEndsOf("x = 1;"), PlatformLineEnds());
  EXPECT_EQ(LineEndsOf(""), PlatformLineEnds());
}

TEST(FileRules, DigitsAndStatusText) {
  EXPECT_EQ(DecimalDigits(9), 1);
  EXPECT_EQ(DecimalDigits(12345), 5);
  EXPECT_EQ(StatusPaneText(12, 5, 0), "Line: 12    Col: 5    Sel: 0");
}
