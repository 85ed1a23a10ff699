#include "console/pathpkg/PathPackageCommands.h"

#include <algorithm>
#include <cctype>

#include "common/OctaveQuote.h"
#include "common/PathCommands.h"
#include "console/session/CommandClassifier.h"

namespace pathpkg {

namespace {

// The dialogs' commands end with the marker, which for the interpreter is a
// comment: "addpath(...);" + "###".
std::string Marked(const std::string& command) {
  return command.empty() ? command : command + "###";
}

bool PlainName(const std::string& name) {
  return std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
  });
}

// The name as one word of a command-syntax "pkg" call: quoted unless plain.
std::string PackageCommand(const char* verb, const std::string& name) {
  if (name.empty() || name.find_first_of("\r\n") != std::string::npos) return {};
  const std::string word = PlainName(name) ? name : octave_quote::SingleQuoted(name);
  return std::string("pkg ") + verb + " " + word + std::string(kOwnEnding);
}

}  // namespace

std::string AddFoldersCommand(const std::vector<std::string>& folders) {
  return Marked(path_commands::AddPath(folders));
}

std::string RemoveFoldersCommand(const std::vector<std::string>& folders) {
  return Marked(path_commands::RemovePath(folders));
}

void ForgetFolders(std::vector<std::string>& userPaths, const std::vector<std::string>& removed) {
  for (const std::string& folder : removed) {
    const auto found = std::find(userPaths.begin(), userPaths.end(), folder);
    if (found != userPaths.end()) userPaths.erase(found);
  }
}

std::string InstallPackageCommand(const std::string& file) {
  const size_t nameStart = file.find_last_of("/\\") + 1;
  if (file.find('.', nameStart) == std::string::npos) return {};
  return "pkg install " + octave_quote::SingleQuoted(file) + " -auto -global -verbose" +
         std::string(kOwnEnding);
}

std::string UninstallPackageCommand(const std::string& name) { return PackageCommand("uninstall", name); }

std::string LoadPackageCommand(const std::string& name) { return PackageCommand("load", name); }

std::string UnloadPackageCommand(const std::string& name) { return PackageCommand("unload", name); }

std::string UninstallQuestion(const std::string& name) {
  return "Do you want to uninstall '" + name + "' package?";
}

}  // namespace pathpkg
