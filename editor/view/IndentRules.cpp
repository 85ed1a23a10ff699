#include "editor/view/IndentRules.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::string_view, 15> CLOSING_WORDS = {
    "end_try_catch", "end_unwind_protect", "endfunction", "endif", "endfor",
    "endswitch",     "endwhile",           "until",       "end",   "catch",
    "unwind_protect_cleanup", "else", "elseif", "case", "otherwise"};

constexpr std::array<std::string_view, 14> OPENING_WORDS = {
    "try",  "unwind_protect", "function", "if",   "for",     "switch", "while",
    "do",   "catch", "unwind_protect_cleanup", "else", "elseif", "case", "otherwise"};

template <size_t N>
bool IsOneOf(const std::array<std::string_view, N>& words, std::string_view word) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

}  // namespace

int ValidTabSize(int tabSize) { return std::max(1, tabSize); }

std::string FirstWord(std::string_view line) {
  const size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos) return {};
  line.remove_prefix(start);
  line = line.substr(0, line.find_first_of(INDENT_SEPARATORS));
  std::string word;
  for (char c : line)
    if (c != '\r' && c != '\n') word += c;
  return word;
}

bool IsClosingWord(std::string_view word) { return IsOneOf(CLOSING_WORDS, word); }

bool IsOpeningWord(std::string_view word) { return IsOneOf(OPENING_WORDS, word); }

SmartIndentResult SmartIndentAfterEnter(int previousIndent, std::string_view previousLine,
                                        int tabSize) {
  const int tab = ValidTabSize(tabSize);
  int level = std::max(0, previousIndent) / tab;
  int previous = previousIndent;
  const std::string word = FirstWord(previousLine);
  if (IsClosingWord(word)) {
    level = std::max(0, level - 1);
    previous = tab * level;
  }
  if (IsOpeningWord(word)) ++level;
  return {previous, tab * level, level};
}

std::vector<int> ReindentWidths(const std::vector<std::string>& lines, int indentBefore,
                                int tabSize) {
  const int tab = ValidTabSize(tabSize);
  int level = std::max(0, indentBefore) / tab;
  std::vector<int> widths;
  widths.reserve(lines.size());
  for (const std::string& line : lines) {
    const std::string word = FirstWord(line);
    if (IsClosingWord(word)) level = std::max(0, level - 1);
    widths.push_back(tab * level);
    if (IsOpeningWord(word)) ++level;
  }
  return widths;
}

int ShiftedIndent(int indent, int delta) { return std::max(0, indent + delta); }
