// Commands the session sends to prepare a freshly started interpreter.
#pragma once

#include <string>
#include <vector>

// Makes the interpreter's own `edit` start the editor from `programFolder`
// without waiting for it. `version` is 1000*major + 100*minor + patch.
std::string EditorSetupCommand(long version, const std::string& programFolder);

// Adds the user's own search-path folders, or "" when there are none.
std::string AddPathCommand(const std::vector<std::string>& folders);

// The interpreter command line for a folder that holds the interpreter program.
std::string InterpreterCommandLine(const std::string& folder);

inline constexpr const char* kVersionRefused =
    "Calyx requires Octave version 3.2.4 or higher.\nYou can select your Octave executable in\n"
    "File -> Options -> GNU Octave Path";
