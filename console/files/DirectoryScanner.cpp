#include "console/files/DirectoryScanner.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "console/files/FileCommands.h"

ScannedFolder ScanFolder(const std::string& folder, const std::string& filter) {
  ScannedFolder scanned;
  if (folder.empty()) return scanned;
  DIR* listing = opendir(folder.c_str());
  if (!listing) return scanned;
  scanned.readable = true;
  const int folderFd = dirfd(listing);
  while (const dirent* entry = readdir(listing)) {
    const std::string name = entry->d_name;
    // Hidden entries stay hidden, as on a Linux desktop; "." and ".." with them.
    if (name.empty() || name.front() == '.') continue;
    struct stat info{};
    if (fstatat(folderFd, entry->d_name, &info, 0) != 0 &&
        fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
      continue;  // gone since it was listed
    ScannedEntry scannedEntry{name, S_ISDIR(info.st_mode), static_cast<std::uint64_t>(info.st_size),
                              info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
    if (scannedEntry.folder) {
      scannedEntry.size = 0;
      scanned.folders.push_back(std::move(scannedEntry));
    } else if (file_commands::MatchesFilter(name, filter)) {
      scanned.files.push_back(std::move(scannedEntry));
    }
  }
  closedir(listing);
  const auto byName = [](const ScannedEntry& a, const ScannedEntry& b) { return a.name < b.name; };
  std::sort(scanned.folders.begin(), scanned.folders.end(), byName);
  std::sort(scanned.files.begin(), scanned.files.end(), byName);
  return scanned;
}
