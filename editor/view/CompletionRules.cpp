#include "editor/view/CompletionRules.h"

#include <cctype>
#include <unordered_set>

namespace quire_tips {

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
}

void CWordIndex::Count(std::string_view text, int delta) {
  size_t i = 0;
  while (i < text.size()) {
    if (!IsWordChar(text[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < text.size() && IsWordChar(text[end])) ++end;
    const char first = text[i];
    if (std::isalpha(static_cast<unsigned char>(first)) || first == '_') {
      const std::string_view word = text.substr(i, end - i);
      auto found = m_counts.find(word);
      if (found == m_counts.end()) {
        if (delta > 0) m_counts.emplace(std::string(word), delta);
      } else if ((found->second += delta) <= 0) {
        m_counts.erase(found);
      }
    }
    i = end;
  }
}

std::vector<std::string> CWordIndex::StartingWith(std::string_view prefix, std::string_view typed,
                                                  size_t limit) const {
  std::vector<std::string> words;
  for (auto it = m_counts.lower_bound(prefix);
       it != m_counts.end() && it->first.starts_with(prefix) && words.size() < limit; ++it)
    if (it->first != typed || it->second > 1) words.push_back(it->first);
  return words;
}

std::string CompletionList(const std::vector<std::string>& names, const CWordIndex& documentWords,
                           std::string_view prefix, std::string_view typed) {
  if (prefix.empty()) return {};
  std::string list;
  std::unordered_set<std::string_view> listed;
  const auto append = [&](std::string_view word) {
    if (!listed.insert(word).second) return;
    if (!list.empty()) list += ' ';
    list += word;
  };
  for (const std::string& name : names) {
    if (listed.size() == kMaxCompletionEntries) return list;
    if (name.starts_with(prefix)) append(name);
  }
  // Words that are also names come again here: enough for the list's room.
  const std::vector<std::string> words = documentWords.StartingWith(prefix, typed, kMaxCompletionEntries);
  for (const std::string& word : words) {
    if (listed.size() == kMaxCompletionEntries) break;
    append(word);
  }
  return list;
}

}  // namespace quire_tips
