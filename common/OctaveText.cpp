#include "common/OctaveText.h"

#include <algorithm>
#include <iterator>

namespace octave_text {

namespace {

// The interpreter's reserved words (iskeyword), which cannot name anything.
constexpr std::string_view kKeywords[] = {
    "__FILE__", "__LINE__", "break", "case", "catch", "classdef", "continue", "do", "else",
    "elseif", "end", "end_try_catch", "end_unwind_protect", "endarguments", "endclassdef",
    "endenumeration", "endevents", "endfor", "endfunction", "endif", "endmethods", "endparfor",
    "endproperties", "endspmd", "endswitch", "endwhile", "for", "function", "global", "if",
    "otherwise", "parfor", "persistent", "return", "spmd", "switch", "try", "until",
    "unwind_protect", "unwind_protect_cleanup", "while"};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

}  // namespace

bool IsNameCharacter(char c) { return IsLetter(c) || (c >= '0' && c <= '9'); }

bool IsIdentifier(std::string_view name) {
  if (name.empty() || name.size() > kMaxNameLength || !IsLetter(name[0])) return false;
  if (!std::all_of(name.begin(), name.end(), IsNameCharacter)) return false;
  return std::find(std::begin(kKeywords), std::end(kKeywords), name) == std::end(kKeywords);
}

}  // namespace octave_text
