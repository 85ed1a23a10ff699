#include "console/files/DirectoryScanner.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "console/files/FileCommands.h"

namespace {

bool Describe(int folderFd, const char* name, ScannedEntry& entry) {
  struct stat info{};
  if (fstatat(folderFd, name, &info, 0) != 0 && fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
    return false;  // gone since it was listed
  entry.folder = S_ISDIR(info.st_mode);
  entry.size = entry.folder ? 0 : static_cast<std::uint64_t>(info.st_size);
  entry.modified = info.st_mtim.tv_sec;
  entry.modifiedNanoseconds = info.st_mtim.tv_nsec;
  return true;
}

}  // namespace

ScannedFolder CDirectoryScanner::Scan(const std::string& folder, const std::string& filter,
                                      const FolderChanges& changes) {
  if (folder != m_folder || changes.everything) {
    m_known.clear();
    m_folder = folder;
  } else {
    for (const std::string& name : changes.names) m_known.erase(name);
  }
  ScannedFolder scanned;
  DIR* listing = folder.empty() ? nullptr : opendir(folder.c_str());
  if (!listing) {
    m_known.clear();
    return scanned;
  }
  scanned.readable = true;
  ++m_scan;
  const int folderFd = dirfd(listing);
  const std::vector<std::string> patterns = file_commands::FilterPatterns(filter);
  while (const dirent* found = readdir(listing)) {
    // Hidden entries stay hidden, as on a Linux desktop; "." and ".." with them.
    if (found->d_name[0] == '.' || found->d_name[0] == '\0') continue;
    std::string name = found->d_name;
    const bool taken = file_commands::MatchesPatterns(name, patterns);
    auto known = m_known.find(name);
    if (known == m_known.end()) {
      if (found->d_type == DT_REG && !taken) continue;
      ScannedEntry entry{name};
      if (!Describe(folderFd, found->d_name, entry)) continue;
      known = m_known.emplace(std::move(name), Known{std::move(entry)}).first;
    }
    known->second.seen = m_scan;
    const ScannedEntry& entry = known->second.entry;
    if (entry.folder)
      scanned.folders.push_back(entry);
    else if (taken)
      scanned.files.push_back(entry);
  }
  closedir(listing);
  std::erase_if(m_known, [this](const auto& known) { return known.second.seen != m_scan; });
  const auto byName = [](const ScannedEntry& a, const ScannedEntry& b) { return a.name < b.name; };
  std::sort(scanned.folders.begin(), scanned.folders.end(), byName);
  std::sort(scanned.files.begin(), scanned.files.end(), byName);
  return scanned;
}

ScannedFolder ScanFolder(const std::string& folder, const std::string& filter) {
  return CDirectoryScanner().Scan(folder, filter, {});
}
