// The texts Quire exchanges with the console: how each received text is read
// (help answers, completion words, debug stops and ends, values, errors) and
// how the texts Quire sends are built. No window code here.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quire_link {

// The console's endpoint title, matched exactly.
inline constexpr const char* kConsoleTitle = " - Calyx";
inline constexpr const char* kNotRunningQuestion = " is not running.\nDo you like to open it?";
inline constexpr const char* kPathFixQuestion =
    "File is not found in current Calyx directory or in Octave path.\n"
    "To set breakpoints in this file, you can either change the Calyx\n"
    "current directory or add its directory to the Octave path.";
inline constexpr const char* kCompletionRequest = "completion_matches_editor";

// The first three kinds exclude each other and everything else; Other texts go
// through the remaining tests in order.
enum class MessageKind { UpdatePreferences, Help, Completion, Other };
MessageKind ClassifyMessage(std::string_view s);

struct SHelpAnswer {
  std::vector<std::string> lines;  // usage lines, for the call tip (plain text)
  std::string html;                // usage lines and description, for the help tip
};
// Usage lines read " -- sin (X)" or, from old interpreters, " -- Mapping
// Function: sin (X)"; the description runs up to the first line ending in ".".
SHelpAnswer ParseHelpAnswer(std::string_view s);

// The help tip of "Describe command" for `word`.
std::string DescribeTipHtml(const SHelpAnswer& answer, std::string_view word);

// The names between the "completion:" line and the prompt line.
std::vector<std::string> ParseCompletionWords(std::string_view s);

struct SConsoleLink {
  std::string file;
  long line = 0;
};
// A console link "line <n> ... file <path>"; nullopt for any other text.
std::optional<SConsoleLink> ParseConsoleLink(std::string_view s);

bool IsErrorMessage(std::string_view s);
bool IsValueMessage(std::string_view s);

// The value tip: the text after "varvalue:", with the bold name "ans" the
// interpreter gives an expression's value replaced by the hovered word.
std::string ValueTipHtml(std::string_view s, std::string_view tipWord);

struct SDebugMessage {
  bool stop = false;   // "debug\nLine=<n>\nPath=<path>"
  bool ended = false;  // "dbended\nPath="
  long line = 0;
  std::string path;
};
SDebugMessage ParseDebugMessage(std::string_view s);

enum class ErrorAction { None, OfferPathFix, ClearBreakpointsAndOffer };
// What an error text asks for, given the name last run or given a breakpoint:
// the name is unknown to the interpreter (its old "`f'" quoting and the current
// "'f'"), or a breakpoint could not be set.
ErrorAction DecideErrorAction(std::string_view errorText, std::string_view lastTargetName);

// The path up to, not including, its last separator ("/" for a file at the
// root); "" without one.
std::string FolderOf(std::string_view path);

// The texts Quire sends (before the line end SendToConsole appends). Names and
// folders are written into single-quoted literals with their quotes doubled.
// Runs the file at `path`: its name alone when that is a name the interpreter
// can call (the file is on its path or in its folder, as today), else
// run('path'), so that a file name is never read as code.
std::string RunFileCommand(std::string_view path);
std::string SetBreakpointCommand(std::string_view name, long line, bool debugging);
std::string ClearBreakpointCommand(std::string_view name, long line, bool debugging);
std::string ClearFileBreakpointsCommand(std::string_view name);
std::string ChangeDirectoryCommand(std::string_view folder);

}  // namespace quire_link
