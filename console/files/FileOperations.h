// What the file pane does on disk. Nothing is ever replaced: an operation whose
// target exists fails and leaves both sides as they were. Each returns "" on
// success, else the reason (the system's text). No Qt.
#pragma once

#include <string>

namespace file_operations {

// A name for a new entry: not empty, not "." or "..", no "/".
bool IsPlainName(const std::string& name);

std::string CreateFolder(const std::string& path);
std::string Rename(const std::string& from, const std::string& to);
// Copies one file, keeping its permission bits.
std::string CopyFile(const std::string& from, const std::string& to);
// Moves across file systems too (a file is then copied and the original removed).
std::string Move(const std::string& from, const std::string& to);
// Removes a file, or a folder when it is empty.
std::string Delete(const std::string& path);

}  // namespace file_operations
