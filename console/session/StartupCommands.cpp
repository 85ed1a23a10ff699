#include "console/session/StartupCommands.h"

#include <algorithm>
#include <cctype>

#include "common/OctaveQuote.h"
#include "common/Text.h"

namespace {

// The editor command is run by a shell: a folder with anything but plain path
// characters is put in shell quotes (on Windows cmd.exe's double quotes, which
// no path can contain; a drive's colon is plain there).
std::string ShellWord(const std::string& word) {
#ifdef _WIN32
  constexpr std::string_view kPlain = "/._+-,:";
#else
  constexpr std::string_view kPlain = "/._+-,";
#endif
  const bool plain = std::all_of(word.begin(), word.end(), [&](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || kPlain.find(c) != std::string_view::npos;
  });
  if (plain) return word;
#ifdef _WIN32
  return "\"" + word + "\"";
#else
  return "'" + text::ReplaceAll(word, "'", "'\\''") + "'";
#endif
}

#ifdef _WIN32
constexpr const char* kEditorProgram = "/Quire.exe";
#else
constexpr const char* kEditorProgram = "/quire";
constexpr const char* kInterpreterProgram =
    "/octave-cli --interactive --no-history --persist --eval \"PS1('>> ')\"";
#endif

}  // namespace

std::string EditorProgram(const std::string& programFolder) {
  return text::ReplaceAll(programFolder, "\\", "/") + kEditorProgram;
}

std::string EditorSetupCommand(long version, const std::string& programFolder) {
  std::string editor = ShellWord(EditorProgram(programFolder));
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
#ifdef _WIN32
  // The whole program path in double quotes (no Windows path contains one), so
  // that a folder with blanks such as "C:\Program Files\..." stays one word and
  // no "C:\Program.exe" is ever started in its place.
  std::string program = folder;
  while (!program.empty() && (program.back() == '\\' || program.back() == '/')) program.pop_back();
  return "\"" + program + "\\octave.exe\" --interactive --no-history";
#else
  // The folder is one word of the command line, whatever it contains.
  std::string quoted = "\"";
  for (char c : folder) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"" + kInterpreterProgram;
#endif
}

std::string ConfiguredInterpreterCommandLine(ISettings& settings) {
  return InterpreterCommandLine(settings.GetString("Octave", "path", kDefaultInterpreterFolder));
}
