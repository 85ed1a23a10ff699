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

TEST(FileRules, LoadPiecesEndAfterALineEndAndKeepCharactersWhole) {
  // The last line feed within the piece ends it.
  EXPECT_EQ(LoadPieceEnd("ab\ncd\nef", 0, 7), 6u);
  EXPECT_EQ(LoadPieceEnd("ab\r\ncd\r\nef", 0, 8), 8u);
  EXPECT_EQ(LoadPieceEnd("ab\ncd\nef", 6, 7), 8u);  // the rest
  // A CR LF across the size stays whole: the piece ends before its CR.
  EXPECT_EQ(LoadPieceEnd("abc\r\ndef", 0, 4), 3u);
  // Inside a long line, never in a UTF-8 character ("\xc3\xa9" is one).
  EXPECT_EQ(LoadPieceEnd("ab\xc3\xa9" "cd", 0, 3), 2u);
  EXPECT_EQ(LoadPieceEnd("ab\xc3\xa9" "cd", 0, 4), 4u);
  // Always forward, even when the piece holds only part of one character.
  EXPECT_EQ(LoadPieceEnd("\xe2\x82\xac\xe2\x82\xac", 0, 1), 1u);
  EXPECT_EQ(LoadPieceEnd("abc", 0, 0), 1u);
}

TEST(FileRules, DigitsAndStatusText) {
  EXPECT_EQ(DecimalDigits(9), 1);
  EXPECT_EQ(DecimalDigits(12345), 5);
  EXPECT_EQ(StatusPaneText(12, 5, 0), "Line: 12    Col: 5    Sel: 0");
}
