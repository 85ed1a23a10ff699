// Whole-file reads and crash-safe whole-file writes for settings and data files.
#pragma once

#include <string>
#include <string_view>

// Writes `content` to a temporary file next to `path`, flushes it to disk and
// renames it over `path`, so readers see either the old file or the new one,
// never half of one. A new file gets mode 0600; an existing file keeps its
// permission bits (on Windows both take the folder's access rules). On failure the temporary is removed, the old file is left
// untouched and false is returned.
bool WriteFileAtomically(const std::string& path, std::string_view content);

// Reads the whole file into `out` (emptied first). False when it cannot be
// opened or read.
bool ReadWholeFile(const std::string& path, std::string& out);
