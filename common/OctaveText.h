// Octave's own rules for names. Independent of the locale: only ASCII letters, digits and
// underscores make up a name.
#pragma once

#include <string>
#include <string_view>

namespace octave_text {

inline constexpr size_t kMaxNameLength = 63;  // the interpreter's namelengthmax

// A letter, a digit or an underscore.
bool IsNameCharacter(char c);

// A name Octave accepts for a variable or a function: a letter or underscore,
// then letters, digits and underscores, at most 63 characters, not a keyword.
bool IsIdentifier(std::string_view name);

}  // namespace octave_text
