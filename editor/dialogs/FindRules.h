// Rules of the find and replace dialog that need no window: the recent-text
// lists, the word at the caret and the check of a regular expression.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quire {

// Appends `text` unless the list already holds it (exact comparison); true
// when it was added, so the box puts it at the top of its list too.
bool AddRecentText(std::vector<std::string>& list, const std::string& text);

// The word around byte `caret` of `line` (no line end): from after the nearest
// separator before the caret to the first separator at or after it. The
// separators are the completion separators and the tab. [start, end).
std::pair<size_t, size_t> WordAround(std::string_view line, size_t caret);

// Why the editor's regular-expression engine would refuse `pattern` (it finds
// nothing then, silently); empty when it takes it.
std::string RegexProblem(std::string_view pattern);

}  // namespace quire
