#include "common/UserDirs.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Like mkdir -p; each created folder gets mode 0700.
void CreateFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
    const std::string prefix = path.substr(0, slash);
    if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return;
    if (slash == std::string::npos) return;
  }
}

}  // namespace

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  const passwd* entry = ::getpwuid(::getuid());
  return entry && entry->pw_dir ? entry->pw_dir : "";
}

std::string EnsurePrivateDir(const std::string& path) {
  std::string folder = path;
  while (!folder.empty() && folder.back() == '/') folder.pop_back();
  if (folder.empty()) return {};  // never the root folder

  CreateFolders(folder);
  // Opened without following a link, so the checks and the chmod apply to the
  // very folder we return, not to whatever a link points to.
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return {};
  struct stat info {};
  const bool ok = ::fstat(fd, &info) == 0 && info.st_uid == ::geteuid() &&
                  ((info.st_mode & 07777) == 0700 || ::fchmod(fd, 0700) == 0);
  ::close(fd);
  return ok ? folder + "/" : std::string();
}

std::string DefaultDataDir(const std::string& program) {
  std::string base;
  // Relative values are to be ignored, as the XDG base directory rules say.
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') {
    base = data;
  } else {
    base = HomeFolder() + "/.local/share";
  }
  return EnsurePrivateDir(base + "/" + kOrganization + "/" + program);
}

std::string LongPathName(const std::string& path) {
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : path;
}

std::string ProgramFolder() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : executable.parent_path().string();
}
