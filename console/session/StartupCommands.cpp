#include "console/session/StartupCommands.h"

#include <algorithm>
#include <cctype>

#include "common/OctaveQuote.h"
#include "common/Text.h"

namespace {

// The editor command is run by a shell: a folder with anything but plain path
// characters is put in shell quotes.
std::string ShellWord(const std::string& word) {
  const bool plain = std::all_of(word.begin(), word.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || std::string_view("/._+-,").find(c) !=
                                                               std::string_view::npos;
  });
  if (plain) return word;
  return "'" + text::ReplaceAll(word, "'", "'\\''") + "'";
}

#ifdef _WIN32
constexpr const char* kEditorProgram = "/Quire.exe";
constexpr const char* kInterpreterProgram = "\\octave.exe --interactive --no-history";
#else
constexpr const char* kEditorProgram = "/quire";
constexpr const char* kInterpreterProgram =
    "/octave-cli --interactive --no-history --persist --eval \"PS1('>> ')\"";
#endif

}  // namespace

std::string EditorSetupCommand(long version, const std::string& programFolder) {
  const std::string folder = text::ReplaceAll(programFolder, "\\", "/");
  std::string editor = ShellWord(folder + kEditorProgram);
#ifndef _WIN32
  // The interpreter's shell would give the editor the interpreter's own pipes:
  // its messages would land in the console, and the pipe would outlive the
  // interpreter. Redirections may stand before the file name the shell appends.
  editor += " </dev/null >/dev/null 2>&1";
#endif
  if (version >= 3300) {
    // Today's `edit` appends the file name in double quotes itself.
    return "EDITOR(" + octave_quote::SingleQuoted(editor) + "); edit mode async;";
  }
  return "edit editor " + octave_quote::SingleQuoted(editor + " %s") + "; edit mode async;";
}

std::string InterpreterCommandLine(const std::string& folder) {
  // The folder is one word of the command line, whatever it contains.
  std::string quoted = "\"";
  for (char c : folder) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"" + kInterpreterProgram;
}
