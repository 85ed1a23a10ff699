#include "editor/dialogs/FindRules.h"

#include <algorithm>

#include "common/Text.h"

namespace quire {

bool AddRecentText(std::vector<std::string>& list, const std::string& text) {
  if (std::find(list.begin(), list.end(), text) != list.end()) return false;
  list.push_back(text);
  return true;
}

std::pair<size_t, size_t> WordAround(std::string_view line, size_t caret) {
  const auto separator = [](char c) { return c == '\t' || text::kCompletionSeparators.find(c) != std::string_view::npos; };
  caret = std::min(caret, line.size());
  size_t start = caret;
  while (start > 0 && !separator(line[start - 1])) --start;
  size_t end = caret;
  while (end < line.size() && !separator(line[end])) ++end;
  return {start, end};
}

std::string RegexProblem(std::string_view pattern) {
  // The engine's own refusals: a class without "]", a closure with nothing
  // (or an anchor or group start) before it, and unbalanced groups.
  int open = 0;
  int groups = 0;
  bool closable = false;  // is there something a "*" or "+" can repeat?
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '[') {
      size_t j = i + 1;
      if (j < pattern.size() && pattern[j] == '^') ++j;
      if (j < pattern.size() && pattern[j] == ']') ++j;  // a leading "]" is literal
      while (j < pattern.size() && pattern[j] != ']') j += (pattern[j] == '\\' && j + 1 < pattern.size()) ? 2 : 1;
      if (j >= pattern.size()) return "Missing ]";
      i = j;
      closable = true;
    } else if (c == '*' || c == '+' || c == '?') {
      if (i == 0) return "Empty closure";
      if (!closable) return "Illegal closure";
    } else if (c == '\\' && i + 1 < pattern.size()) {
      const char next = pattern[++i];
      if (next == '(') {
        if (++groups > 9) return "Too many \\(\\) pairs";
        ++open;
        closable = false;
      } else if (next == ')') {
        if (open == 0) return "Unmatched \\)";
        if (pattern[i - 2] == '(' && i >= 3 && pattern[i - 3] == '\\') return "Null pattern inside \\(\\)";
        --open;
        closable = false;
      } else {
        closable = next != '<' && next != '>';
      }
    } else {
      closable = !(c == '^' && i == 0);
    }
  }
  return open > 0 ? "Unmatched \\(" : "";
}

}  // namespace quire
