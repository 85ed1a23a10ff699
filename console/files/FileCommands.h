// The file pane's rules and the interpreter commands it builds: filter patterns,
// the size text, and the texts of Open, Open as Text, Load and Run. No Qt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace file_commands {

// The filter box's items, the first selected at start.
inline constexpr const char* kFilters[] = {
    "*.m;*.mat", "*.m;*.mat;*.hdf5;*.fhdf5;*.txt;*.bin;*.fbin;*.zip", "*.*"};

// "*" matches any run of characters, "?" any one, everything else itself (ignoring
// case when asked). As on Windows, a pattern ending in ".*" also takes names
// without a dot, so "*.*" takes every file.
bool MatchesPattern(std::string_view name, std::string_view pattern, bool ignoreCase);
// The filter is patterns separated by ";" (empty pieces ignored); case is ignored.
// An empty filter takes every name.
bool MatchesFilter(std::string_view name, std::string_view filter);
// The same, with the filter split once for many names.
std::vector<std::string> FilterPatterns(std::string_view filter);
bool MatchesPatterns(std::string_view name, const std::vector<std::string>& patterns);

// "N KB" (whole KB plus one) below 1 MB, "N MB" below 1 GB, else "N GB".
std::string SizeText(std::uint64_t bytes);

// The type name when the system knows none: "M File" for f.m, "File" without
// an extension.
std::string FallbackTypeName(std::string_view name);

// Temporary, backup and hidden names, whose changes do not refill the list.
bool IsIgnoredChange(std::string_view name);

// One selected row of the list, in list order.
struct Selected {
  std::string name;
  bool folder = false;  // ".." counts as a folder
};

// Open: files become "load" (for data files, by their exact extension) or "edit"
// commands, up to the first folder, which is then entered.
struct OpenPlan {
  std::string command;  // queued with echo off; empty: nothing to send
  std::string folder;   // entered after the command; empty: none
  bool enterFolder = false;
};
OpenPlan PlanOpen(const std::vector<Selected>& selection);

// Open as Text: an "edit" command for every selected file.
std::string OpenAsTextCommand(const std::vector<Selected>& selection);
// Load: a "load" command for every selected entry.
std::string LoadCommand(const std::vector<Selected>& selection);
// Run File: "run NAME" without the extension, or "run('FOLDER/FILE')" when that
// is no valid name for the interpreter.
std::string RunCommand(const std::string& folder, const std::string& name);

// The copy that Duplicate makes: "Copy f.m" for suffix "Copy".
std::string DuplicateName(const std::string& suffix, const std::string& name);
// Delete's question for one or several selected rows.
std::string DeleteQuestion(const std::vector<Selected>& selection);

}  // namespace file_commands
