// Lists one folder for the file pane: its subfolders (whatever the filter) and
// the files the filter takes, each sorted by byte order, hidden entries left out.
// No Qt: it runs on the listing thread.
#pragma once

#include <cstdint>
#include <ctime>
#include <set>
#include <string>
#include <unordered_map>
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

// What is known to have changed in a folder since it was last listed.
struct FolderChanges {
  bool everything = true;       // nothing is known: ask the disk about every entry
  std::set<std::string> names;  // else only these entries (of the folder itself)
  void Add(const FolderChanges& more) {
    everything = everything || more.everything;
    if (everything)
      names.clear();
    else
      names.insert(more.names.begin(), more.names.end());
  }
};

// Remembers what the last listing of a folder found, so that listing it again
// reads the folder but asks the disk for size and date only about entries that
// are new or named as changed. A file the filter leaves out is not asked about.
class CDirectoryScanner {
 public:
  // An entry that is a link is described by what it points to.
  ScannedFolder Scan(const std::string& folder, const std::string& filter, const FolderChanges& changes);

 private:
  struct Known {
    ScannedEntry entry;
    unsigned seen = 0;  // the scan that last found it
  };
  std::string m_folder;
  std::unordered_map<std::string, Known> m_known;
  unsigned m_scan = 0;
};

// One listing with nothing known beforehand.
ScannedFolder ScanFolder(const std::string& folder, const std::string& filter);
