#include "editor/view/Keywords.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "common/Text.h"

// Generated at build time from OctaveKeywords.txt (EmbedKeywords.cmake).
extern const char* const OCTAVE_KEYWORD_DATA[];
extern const std::size_t OCTAVE_KEYWORD_COUNT;

const std::vector<std::string>& BuiltInKeywords() {
  static const std::vector<std::string> keywords(OCTAVE_KEYWORD_DATA,
                                                 OCTAVE_KEYWORD_DATA + OCTAVE_KEYWORD_COUNT);
  return keywords;
}

std::string JoinKeywords(const std::vector<std::string>& keywords) {
  std::string text;
  for (size_t i = 0; i < keywords.size(); ++i) {
    if (i > 0) text += ' ';
    text += keywords[i];
  }
  return text;
}

std::vector<std::string> SplitKeywords(std::string_view text, char separator) {
  std::vector<std::string> keywords;
  for (;;) {
    const size_t end = text.find(separator);
    std::string keyword = text::Trim(text.substr(0, end));
    if (!keyword.empty()) keywords.push_back(std::move(keyword));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return keywords;
}

const std::vector<std::string>& KeywordsOrBuiltIn(const std::vector<std::string>& loaded) {
  const bool any = std::any_of(loaded.begin(), loaded.end(),
                               [](const std::string& keyword) { return !keyword.empty(); });
  return any ? loaded : BuiltInKeywords();
}
