// Call tips from the interpreter's help: the usage lines of a help text, and
// the tip that shows one of them with the parameter being typed highlighted.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quire_tips {

// The usage of a help line that starts with "--" (after leading blanks): what
// follows the dashes, without the category an old interpreter puts first
// (" -- Mapping Function: sin (X)" and today's " -- sin (X)" both give
// "sin (X)"). Nullopt for any other line.
std::optional<std::string> UsageOf(std::string_view helpLine);

struct SCallTip {
  int index = 0;             // the usage line shown, after wrapping around
  std::string text;          // "\001i of n\002" and the usage line
  long highlightStart = -1;  // the highlighted parameter; -1 when none
  long highlightEnd = -1;
};
// The call tip showing usage line `index` (-1 wraps to the last, n to the
// first) with parameter `parameter` (0-based) highlighted. Parameters are
// counted inside the parentheses, so an output list "[Q, R] =" does not shift
// them.
SCallTip BuildCallTip(const std::vector<std::string>& lines, int index, int parameter);

}  // namespace quire_tips
