// The user data file's list of folders ("Paths"): items joined with ",", as the
// Windows build writes them. A folder whose name holds a ",", begins with a double
// quote or has blanks at either end would not read back as written, so such an
// item is written between double quotes with its own double quotes doubled;
// every other item is written as it is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CIni;

namespace folder_list {

std::string Encode(const std::vector<std::string>& folders);
// Pieces are trimmed and empty ones dropped, as for any list of the file.
std::vector<std::string> Decode(std::string_view value);

std::vector<std::string> Read(const CIni& ini, const std::string& key);
bool Write(CIni& ini, const std::string& key, const std::vector<std::string>& folders);

}  // namespace folder_list
