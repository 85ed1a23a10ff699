// What the dispatcher does with one queued command, decided from its text alone.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The workspace query: a fixed table layout, and the user's own format restored
// afterwards. The "\n" in it is a backslash and an n for the interpreter.
inline constexpr std::string_view WORKSPACE_QUERY =
    "old_format=whos_line_format(\" %ln:15; %cs:16:6:1; %lc:15; %lb:12;\\n\");whos;"
    "whos_line_format (old_format);clear old_format;";
inline constexpr std::string_view kPathQuery = "path;###";
inline constexpr std::string_view kPackageQuery = "pkg describe all;###";
inline constexpr std::string_view kQuitCommand = "if isdebugmode, dbquit; endif; quit";
// The program's own commands end with this; for the interpreter it is a comment.
inline constexpr std::string_view kOwnEnding = ";###";
// The Variable Editor's export of one page: "csvwrite('FOLDER/matrix_temp.csv',
// NAME(:,:,PAGE), 'delimiter', ' ', 'coffset', 1); ".
inline constexpr std::string_view kExchangeFileName = "matrix_temp.csv";
inline constexpr std::string_view kMatrixExportStart = "csvwrite(";
inline constexpr std::string_view kMatrixExportEnd = "), 'delimiter', ' ', 'coffset', 1); ";

enum class CommandKind {
  Exit,              // ends the application; nothing is written
  Clear,             // sent; the workspace is re-queried
  ClearConsole,      // "clc"/"home": handled here
  Doc,               // shown in the documentation pane
  PathQuery,         // sent; answer fills the search-path list
  PackageQuery,      // sent; answer fills the package list
  Help,              // sent; answer shown whole in the console
  EditorHelp,        // sent silently; answer goes to the editor
  ChangeDirectory,   // typed "cd": handled by the current-directory box
  PackageChange,     // sent; answered at its prompt; the package list is re-queried
  PathChange,        // sent; the search path is re-queried
  Value,             // sent silently without its "getvalue:" mark; answer goes to the editor
  EditorCompletion,  // sent as "completion_matches('')"; answer goes to the editor
  Completion,        // sent; answer fills the completion popup
  MatrixExport,      // sent; when answered the Variable Editor reads the exchange file
  Ordinary,          // sent; the workspace is re-queried afterwards
};

struct ClassifiedCommand {
  CommandKind kind = CommandKind::Ordinary;
  std::string text;      // what is written to the interpreter
  std::string argument;  // the topic of Doc, the folder of ChangeDirectory
  bool silence = false;  // the echo is turned off whatever the record said
  bool refreshTest = false;
};

ClassifiedCommand ClassifyCommand(std::string_view text);

// The folder a typed "cd" or "chdir" names, in any of the interpreter's forms:
// "cd x", "cd 'a b'", "cd("x")", "cd;" and "cd" alone (the home folder, "~").
// Nothing for other commands, and for a "cd(...)" whose argument is no one string.
std::optional<std::string> TypedDirectory(std::string_view typed);

// Whether an answered command may have changed the workspace.
bool MayChangeWorkspace(std::string_view text);
