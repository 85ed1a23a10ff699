#include "editor/view/CallTipRules.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "common/Text.h"

namespace quire_tips {

namespace {

// " Mapping Function", " Function File", " Command": the category an old
// interpreter puts before the usage, ended by ":".
bool IsUsageCategory(std::string_view s) {
  s = text::TrimRight(text::TrimLeft(s));
  if (s.empty() || !std::ranges::all_of(s, [](unsigned char c) { return std::isalpha(c) || c == ' ' || c == '-'; }))
    return false;
  static constexpr std::array<std::string_view, 7> kLastWords = {
      "Function", "File", "Command", "Variable", "Operator", "Keyword", "Constant"};
  return std::ranges::any_of(kLastWords, [s](std::string_view w) { return s.ends_with(w); });
}

}  // namespace

std::optional<std::string> UsageOf(std::string_view helpLine) {
  std::string_view line = text::TrimLeft(helpLine);
  if (!line.starts_with("--")) return std::nullopt;
  line.remove_prefix(2);
  const size_t colon = line.find(':');
  if (colon != std::string_view::npos && IsUsageCategory(line.substr(0, colon))) line.remove_prefix(colon + 1);
  return text::Trim(line);
}

SCallTip BuildCallTip(const std::vector<std::string>& lines, int index, int parameter) {
  SCallTip tip;
  const int count = static_cast<int>(lines.size());
  if (count == 0) return tip;
  if (index < 0) index = count - 1;
  if (index >= count) index = 0;
  tip.index = index;
  tip.text = "\001" + std::to_string(index + 1) + " of " + std::to_string(count) + "\002" +
             lines[static_cast<size_t>(index)];
  const std::string& t = tip.text;
  // The highlight starts after the "(" for the first parameter and after the
  // k-th "," behind it for parameter k.
  size_t start = t.find('(');
  for (int k = 0; k < parameter && start != std::string::npos; ++k) start = t.find(',', start + 1);
  if (start == std::string::npos) return tip;
  size_t end = t.find(',', start + 1);
  if (end == std::string::npos) end = t.find(')', start + 1);
  // Skip the blank after a comma, so the parameter's name is what stands out.
  size_t first = start + 1;
  while (first < end && end != std::string::npos && t[first] == ' ') ++first;
  if (end == std::string::npos || first >= end) return tip;
  tip.highlightStart = static_cast<long>(first);
  tip.highlightEnd = static_cast<long>(end);
  return tip;
}

}  // namespace quire_tips
