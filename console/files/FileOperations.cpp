#include "console/files/FileOperations.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace file_operations {

namespace {

std::string Reason(int error) { return std::strerror(error); }

// Writes all of `size` bytes or fails.
bool WriteAll(int fd, const char* data, ssize_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, static_cast<size_t>(size));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

}  // namespace

bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

std::string CreateFolder(const std::string& path) {
  return mkdir(path.c_str(), 0777) == 0 ? std::string() : Reason(errno);
}

std::string Rename(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
  if (errno != EINVAL && errno != ENOSYS) return Reason(errno);
  // A file system without the no-replace flag: test first, then rename.
  struct stat info{};
  if (lstat(to.c_str(), &info) == 0) return Reason(EEXIST);
  return rename(from.c_str(), to.c_str()) == 0 ? std::string() : Reason(errno);
}

std::string CopyFile(const std::string& from, const std::string& to) {
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return Reason(errno);
  struct stat info{};
  if (fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    close(in);
    return Reason(error);
  }
  const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777);
  if (out < 0) {
    const int error = errno;
    close(in);
    return Reason(error);
  }
  char buffer[65536];
  int error = 0;
  while (true) {
    const ssize_t got = read(in, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = errno;
    if (got <= 0) break;
    if (!WriteAll(out, buffer, got)) {
      error = errno ? errno : EIO;
      break;
    }
  }
  close(in);
  if (close(out) != 0 && error == 0) error = errno;
  // A half copy is no copy.
  if (error != 0) unlink(to.c_str());
  return error == 0 ? std::string() : Reason(error);
}

std::string Move(const std::string& from, const std::string& to) {
  const std::string renamed = Rename(from, to);
  if (renamed != Reason(EXDEV)) return renamed;
  const std::string copied = CopyFile(from, to);
  if (!copied.empty()) return copied;
  if (unlink(from.c_str()) != 0) {
    const int error = errno;
    unlink(to.c_str());
    return Reason(error);
  }
  return {};
}

std::string Delete(const std::string& path) {
  struct stat info{};
  if (lstat(path.c_str(), &info) != 0) return Reason(errno);
  const int result = S_ISDIR(info.st_mode) ? rmdir(path.c_str()) : unlink(path.c_str());
  return result == 0 ? std::string() : Reason(errno);
}

}  // namespace file_operations
