// Where the programs keep their per-user files, and paths on this machine.
#pragma once

#include <string>

// Creates `path` (and missing parents) with mode 0700, or sets an existing
// folder of ours to 0700. Returns the path with a trailing "/", or "" when the
// folder cannot be made private: it is a symbolic link, not a folder, owned by
// another user, or cannot be created.
// Windows: the folder keeps the access rules it inherits (a folder in the
// user's profile is the user's); links (reparse points) and files are refused,
// and the path is returned with a trailing "\".
std::string EnsurePrivateDir(const std::string& path);

// The organisation both programs keep their settings and user data under; each
// program's main gives it to Qt once (QCoreApplication::setOrganizationName).
inline constexpr const char* kOrganization = "Marrowby";

// "$XDG_DATA_HOME/Marrowby/<program>/" (or "$HOME/.local/share/Marrowby/<program>/"),
// made private; "" when that fails. Windows: the roaming application data
// folder (%APPDATA%) followed by "\Marrowby\<program>\".
std::string DefaultDataDir(const std::string& program);

// The canonical absolute path (links, "." and ".." resolved); the path unchanged
// when it does not exist.
std::string LongPathName(const std::string& path);

// The user's home folder: $HOME, else the account's (Windows: %USERPROFILE%);
// "" when it is unknown.
std::string HomeFolder();

// The folder holding the running executable, without a trailing separator.
std::string ProgramFolder();
