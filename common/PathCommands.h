// The interpreter's search-path commands, built in one place for both programs.
// Every folder is its own quoted argument: no separator inside a folder name (a
// ":" on Linux, a ";" on Windows) can split it, and no quote can end the literal.
#pragma once

#include <string>
#include <vector>

namespace path_commands {

// "addpath('A', 'B');" for the folders in order; "" when there are none.
std::string AddPath(const std::vector<std::string>& folders);
// "rmpath('A', 'B');"; "" when there are none.
std::string RemovePath(const std::vector<std::string>& folders);

}  // namespace path_commands
