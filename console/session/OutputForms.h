// Recognising the interpreter's answers: pure functions from text to data. Each
// understands the forms of old interpreters (3.2) and of today's (7.x).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "console/session/SessionViews.h"

namespace output_forms {

inline constexpr std::string_view kPrompt = ">> ";
inline constexpr std::string_view kDebugPrompt = "debug> ";
// Today's interpreters show this prompt inside `keyboard`.
inline constexpr std::string_view kKeyboardPrompt = "keyboard> ";

// A captured answer is complete when it ends with a prompt.
bool EndsWithPrompt(std::string_view text);

// An error message ("error: ", "parse error:"), unless it is a quoted "error' ".
bool IsErrorMessage(std::string_view chunk);
// A debugger stop: "keyboard: stopped in FILE at line N" (3.2) or a line
// "stopped in NAME at line N [FILE]" (today).
bool IsDebugStop(std::string_view chunk);
// The old form, whose interpreter waits for a line end before its prompt.
bool IsOldDebugStopWithoutPrompt(std::string_view chunk);
bool IsWorkspaceHeader(std::string_view chunk);

struct DebugStop {
  std::string line;
  std::string file;
  bool operator==(const DebugStop&) const = default;
};
// The location of the last debugger stop in the collected text.
std::optional<DebugStop> ParseDebugStop(std::string_view collected);

// Workspace rows: name (with image index), size, class, bytes, for every table
// line after the "===" underline up to the "Total" line; the query's own
// temporary "old_format" is left out.
std::vector<ListRow> ParseWorkspaceTable(std::string_view answer);
// Image of a variable: 0 struct, 2 numeric, 1 numeric of three or more
// dimensions, 3 anything else.
int WorkspaceImage(std::string_view className, std::string_view size);
// True when both lists hold the same (name, size) pairs, in any order.
bool SameNamesAndSizes(const std::vector<ListRow>& current, const std::vector<ListRow>& fresh);

// The search path: one folder a line between the heading and the prompt, "."
// left out.
std::vector<std::string> ParsePathListing(std::string_view answer);

// Package rows (name, version, short description, status) in the reverse of the
// interpreter's order; a single "no packages installed" row when there is none.
std::vector<ListRow> ParsePackageBlocks(std::string_view answer);
inline constexpr const char* kNoPackages = "no packages installed";

// Completion candidates: every non-empty line but the last (the prompt).
std::vector<std::string> ParseCompletion(std::string_view answer);

// How many prompts a chunk holds when it holds nothing else (line ends aside);
// 0 when it holds anything else.
int BarePromptCount(std::string_view chunk);

// Collapses doubled and glued prompts.
std::string CollapsePrompts(std::string chunk);

// Byte ranges of the names listed after "See also: " (up to "Additional").
std::vector<std::pair<size_t, size_t>> SeeAlsoLinks(std::string_view chunk);

// The interpreter's version from its banner as 1000*major + 100*minor + patch;
// nothing when the banner has no readable three-part version.
std::optional<long> BannerVersion(std::string_view consoleText);
inline constexpr long kOldestVersion = 3204;

}  // namespace output_forms
