// Lists one folder for the file pane: its subfolders (whatever the filter) and
// the files the filter takes, each sorted by byte order, hidden entries left out.
// No Qt: it runs on the listing thread.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

struct ScannedEntry {
  std::string name;
  bool folder = false;
  std::uint64_t size = 0;
  std::time_t modified = 0;
  long modifiedNanoseconds = 0;
  bool operator==(const ScannedEntry&) const = default;
};

struct ScannedFolder {
  bool readable = false;
  std::vector<ScannedEntry> folders;
  std::vector<ScannedEntry> files;
};

// An entry that is a link is described by what it points to.
ScannedFolder ScanFolder(const std::string& folder, const std::string& filter);
