// Reading and comparing the published version text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace update_version {

// The text with blanks, tabs and line ends at both ends removed.
std::string Trim(std::string_view published);

// Compares two versions of dot-separated decimal numbers part by part as
// numbers ("1.10" is newer than "1.9"); a missing part counts as 0, so "1.2" and
// "1.2.0" are equal. nullopt when either is not such a version.
std::optional<int> Compare(std::string_view a, std::string_view b);

// True only when `published` is a version newer than `local`.
bool IsNewer(std::string_view published, std::string_view local);

}  // namespace update_version
