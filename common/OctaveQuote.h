// Turns arbitrary text (folder names, file names, search text) into Octave string
// literals that can be pasted into a command line without changing its meaning.
#pragma once

#include <string>
#include <string_view>

namespace octave_quote {

// The content of a single-quoted literal: every ' doubled. A carriage return or
// line feed would end the command line, so each one becomes ' char(13) ' or
// ' char(10) ': the text never leaves the quotes and the result is one line.
// Inside brackets (['%s']) that is the exact text again; a template without
// brackets gets a syntax error from Octave instead of a second command.
std::string EscapeSingle(std::string_view s);

// The whole single-quoted literal: 'a''b' for a'b. Text with a carriage return
// or line feed comes out as a concatenation, ['a' char(10) 'b'].
std::string SingleQuoted(std::string_view s);

// A double-quoted literal: backslash and " escaped by a backslash; line feed,
// carriage return and tab written as \n, \r, \t so the command stays one line.
std::string DoubleQuoted(std::string_view s);

}  // namespace octave_quote
