// What the completion list offers for the word being typed: the interpreter's
// names that start with it (case matters), in their order, then the
// document's own words that start with it. The document's words are kept in
// an index that edits update line by line.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quire_tips {

// Characters of a word for completion and help (a "." joins a field access).
bool IsWordChar(char c);

// At most this many entries are offered: the list box builds a row for each
// (about 20 µs apiece), and more letters narrow the list anyway.
inline constexpr size_t kMaxCompletionEntries = 200;

// The words of a text with how often each occurs; a word starts with a letter
// or "_" (numbers are not offered).
class CWordIndex {
 public:
  void Add(std::string_view text) { Count(text, 1); }
  void Remove(std::string_view text) { Count(text, -1); }
  void Clear() { m_counts.clear(); }
  size_t Size() const { return m_counts.size(); }
  // The first `limit` words that start with `prefix`, sorted; `typed` (the
  // word the caret is in) only when it occurs more than once, once being
  // where it is typed.
  std::vector<std::string> StartingWith(std::string_view prefix, std::string_view typed,
                                        size_t limit = kMaxCompletionEntries) const;

 private:
  void Count(std::string_view text, int delta);
  std::map<std::string, int, std::less<>> m_counts;
};

// The list for SCI_AUTOCSHOW: the names that start with `prefix` (the part
// of the word before the caret) and then the document's words that do and are
// not names, each once, separated by blanks, the first kMaxCompletionEntries
// of them; empty when nothing matches or the prefix is empty. `typed` is the
// whole word the caret is in.
std::string CompletionList(const std::vector<std::string>& names, const CWordIndex& documentWords,
                           std::string_view prefix, std::string_view typed);

}  // namespace quire_tips
