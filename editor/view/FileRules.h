// Rules about files and what the frame shows of a view: the lexer a file gets
// by its extension, the line ends a file is written with, and the texts of the
// status panes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Scintilla lexer numbers the editor uses by name.
inline constexpr int LEXER_NULL = 1;
inline constexpr int LEXER_MATLAB = 32;
inline constexpr int LEXER_OCTAVE = 54;

// The lexer for a file extension (without the dot), compared ignoring case;
// the null lexer when no row of the table lists it.
int LexerForExtension(std::string_view extension);

// Scintilla's line-end modes.
inline constexpr int LINE_ENDS_CRLF = 0;
inline constexpr int LINE_ENDS_CR = 1;
inline constexpr int LINE_ENDS_LF = 2;

// The characters of a line-end mode: "\r\n", "\r" or "\n".
std::string_view LineEndText(int mode);

// The platform's text line ends: line feeds here, CR LF on Windows.
int PlatformLineEnds();

// The line-end mode of a file's text: the kind of its first line end, the
// platform's when it has none.
int LineEndsOf(std::string_view text);

// Where the piece of `text` that starts at `from` ends when a file is set
// into the control in pieces of about `pieceBytes`: just after the last line
// feed within them, so a CR LF and a UTF-8 character stay whole; in a line
// longer than that, before the character that crosses the size (never between
// CR and LF). Always after `from` while text is left.
size_t LoadPieceEnd(std::string_view text, size_t from, size_t pieceBytes);

// Number of decimal digits of a non-negative count (1 for 0).
int DecimalDigits(long count);

// "Line: %ld    Col: %ld    Sel: %ld", as the status bar shows it.
std::string StatusPaneText(long line, long column, long selectionLength);
