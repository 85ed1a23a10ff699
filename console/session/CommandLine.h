// Splitting a command line into program arguments without a shell.
#pragma once

#include <string>
#include <vector>

// Words are separated by blanks or tabs. Single quotes keep everything up to the
// next single quote; double quotes keep everything but `\"` and `\\`, which stand
// for the quoted character; outside quotes a backslash keeps the next character.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// The file name, without its folder, of the program that a command line
// starts; "octave.exe" for an empty line. Windows reads the first word as
// CreateProcess does (a double-quoted path, or up to the first blank), with
// backslashes as separators; elsewhere the first word of SplitCommandLine.
std::string ProgramNameOf(const std::string& commandLine);
