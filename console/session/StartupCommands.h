// Commands the session sends to prepare a freshly started interpreter.
#pragma once

#include <string>

#include "common/Settings.h"

// Makes the interpreter's own `edit` start the editor from `programFolder`
// without waiting for it. `version` is 1000*major + 100*minor + patch.
std::string EditorSetupCommand(long version, const std::string& programFolder);
// The editor's program, beside Calyx's own.
std::string EditorProgram(const std::string& programFolder);

// The folder of the interpreter program when none is configured.
#ifdef _WIN32
inline constexpr const char* kDefaultInterpreterFolder = "C:\\Octave\\3.2.4_gcc-4.4.0\\bin";
#else
inline constexpr const char* kDefaultInterpreterFolder = "/usr/bin";
#endif

// The interpreter command line for a folder that holds the interpreter program.
std::string InterpreterCommandLine(const std::string& folder);
// The command line for the folder the settings name ("Octave", "path").
std::string ConfiguredInterpreterCommandLine(ISettings& settings);

// The user data file's list of the folders the user added to the search path.
inline constexpr const char* kUserPathsKey = "Paths";

inline constexpr const char* kVersionRefused =
    "Calyx requires Octave version 3.2.4 or higher.\nYou can select your Octave executable in\n"
    "File -> Options -> GNU Octave Path";

// Shown in the console when the interpreter has gone, by Disconnect or by itself.
inline constexpr const char* kDisconnectedNotice =
    "\nDisconnected from Octave. Connect (File menu or toolbar) starts it again.\n";
