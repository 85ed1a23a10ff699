// The value tip's question to the interpreter. A tip only reads: the editor may
// ask for a variable of the current frame (as the workspace listing shows it) or
// a field of one, and nothing it asks for is ever run otherwise.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "console/session/SessionViews.h"

// Whether `expression` is a listed variable, or a listed variable followed by
// ".field" parts (each a name).
bool IsListedVariableOrField(std::string_view expression, const std::vector<ListRow>& workspaceRows);

// The longest value a tip shows, in lines and in bytes; the rest is cut with a
// note that says so.
inline constexpr size_t kValueTipMaxLines = 40;
inline constexpr size_t kValueTipMaxBytes = 6000;

// The interpreter's answer as the tip's HTML: escaped, preformatted so that
// columns stay aligned, with the printed name (the text before the first "=")
// in bold, and cut with a visible note when it is longer than a tip can show.
std::string ValueTipText(std::string collected);
