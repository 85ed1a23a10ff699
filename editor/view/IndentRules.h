// Indentation rules of Octave code: the first word of a line, the words that
// open and close blocks, and what smart indentation and re-indentation decide.
// Widths are in columns. A tab size below 1 counts as 1, so that no rule ever
// divides by zero.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The characters that end the first word of a line.
inline constexpr std::string_view INDENT_SEPARATORS = "([{)]} <>=+-*/\\&|;,.:@\"'\t";

int ValidTabSize(int tabSize);

// The line's text without leading blanks and tabs, cut before the first
// separator, with carriage returns and line feeds removed.
std::string FirstWord(std::string_view line);

// Words that end the block above them ("end", "else", "case", ...).
bool IsClosingWord(std::string_view word);
// Words that start a block below them ("if", "for", "else", "case", ...). Words
// of both kinds close one block and open the next at the same level.
bool IsOpeningWord(std::string_view word);

struct SmartIndentResult {
  int previousIndent;  // new indentation of the line Enter was pressed on
  int newIndent;       // indentation of the new line
  int level;           // indentation level of the new line
  bool operator==(const SmartIndentResult&) const = default;
};

// Enter was pressed at the end of `previousLine`, indented by `previousIndent`
// columns: the previous line moves one level left when it starts with a closing
// word; the new line goes one level right of it when it starts with an opening
// word, and stays at its level otherwise.
SmartIndentResult SmartIndentAfterEnter(int previousIndent, std::string_view previousLine,
                                        int tabSize);

// Re-indents `lines` from the level of the line above them (`indentBefore`
// columns): the indentation each line gets, in order.
std::vector<int> ReindentWidths(const std::vector<std::string>& lines, int indentBefore,
                                int tabSize);

// Indentation after adding `delta` columns (Indent, Unindent); never negative.
int ShiftedIndent(int indent, int delta);
