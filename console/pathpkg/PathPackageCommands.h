// The texts the search-path and package dialogs queue, built from folder, file
// and package names. They are the forms of interpreter 3.2, marked with the
// program's own ending so that the list concerned is asked for again once the
// command is answered; the session adapts them to the connected interpreter.
#pragma once

#include <string>
#include <vector>

namespace pathpkg {

// "addpath('A', 'B');###"; "" for no folders.
std::string AddFoldersCommand(const std::vector<std::string>& folders);
// "rmpath('A', 'B');###"; "" for no folders.
std::string RemoveFoldersCommand(const std::vector<std::string>& folders);
// For each removed folder, drops the first entry of `userPaths` equal to it.
void ForgetFolders(std::vector<std::string>& userPaths, const std::vector<std::string>& removed);

// "pkg install 'FILE' -auto -global -verbose;###"; "" when the file's name has
// no extension.
std::string InstallPackageCommand(const std::string& file);
// "pkg uninstall NAME;###", "pkg load NAME;###", "pkg unload NAME;###". A name
// of letters, digits, "_", "-" and "." goes as it is; any other is quoted. ""
// for an empty name or one that cannot be a word of a command (a line break).
std::string UninstallPackageCommand(const std::string& name);
std::string LoadPackageCommand(const std::string& name);
std::string UnloadPackageCommand(const std::string& name);
// The question asked before an uninstall.
std::string UninstallQuestion(const std::string& name);

}  // namespace pathpkg
