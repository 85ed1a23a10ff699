// The keyword list of the Octave lexer: the built-in list of the interpreter's
// names, and how a list travels as one text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The names of the interpreter's functions and keywords in the order of its
// multi-column listing read row by row (OctaveKeywords.txt, built into the
// program). Used when the user file holds no list.
const std::vector<std::string>& BuiltInKeywords();

// The entries joined by one blank each: the text of keyword set 0.
std::string JoinKeywords(const std::vector<std::string>& keywords);

// The non-empty entries of `text` between the separators (the user file joins
// the list with ","); blanks, tabs and line ends around an entry are dropped.
std::vector<std::string> SplitKeywords(std::string_view text, char separator);

// `loaded` when it holds at least one name, the built-in list otherwise.
const std::vector<std::string>& KeywordsOrBuiltIn(const std::vector<std::string>& loaded);
