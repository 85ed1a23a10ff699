// Per-user folders and paths on Windows.
#include "common/UserDirs.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <vector>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

DWORD Attributes(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

bool IsPlainFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Like mkdir -p: each missing folder from the drive or share down.
void CreateFolders(const std::string& path) {
  for (size_t at = 0; at <= path.size(); ++at) {
    if (at < path.size() && !IsSeparator(path[at])) continue;
    const std::string prefix = path.substr(0, at);
    // "", "C:" and "\\server" are roots, not folders to make.
    if (prefix.empty() || prefix.back() == ':' || Attributes(prefix) != INVALID_FILE_ATTRIBUTES) continue;
    ::CreateDirectoryA(prefix.c_str(), nullptr);
  }
}

std::string Narrow(const wchar_t* wide) {
  const int size = ::WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string narrow(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow.data(), size, nullptr, nullptr);
  narrow.resize(static_cast<size_t>(size) - 1);
  return narrow;
}

std::string RoamingAppData() {
  PWSTR known = nullptr;
  std::string folder;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known))) folder = Narrow(known);
  ::CoTaskMemFree(known);
  if (folder.empty()) {
    if (const char* appData = std::getenv("APPDATA"); appData && *appData) folder = appData;
  }
  return folder;
}

}  // namespace

std::string HomeFolder() {
  const char* home = std::getenv("USERPROFILE");
  return home ? home : "";
}

std::string EnsurePrivateDir(const std::string& path) {
  std::string folder = path;
  while (!folder.empty() && IsSeparator(folder.back())) folder.pop_back();
  // Never a drive's root (nor the root of the current drive).
  if (folder.empty() || folder.back() == ':') return {};
  CreateFolders(folder);
  return IsPlainFolder(Attributes(folder)) ? folder + "\\" : std::string();
}

std::string DefaultDataDir(const std::string& program) {
  const std::string base = RoamingAppData();
  if (base.empty()) return {};
  return EnsurePrivateDir(base + "\\Marrowby\\" + program);
}

std::string LongPathName(const std::string& path) {
  char full[MAX_PATH];
  const DWORD fullLength = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  if (fullLength == 0 || fullLength >= sizeof full) return path;
  if (Attributes(full) == INVALID_FILE_ATTRIBUTES) return path;
  char longName[MAX_PATH];
  const DWORD longLength = ::GetLongPathNameA(full, longName, sizeof longName);
  std::string result = longLength > 0 && longLength < sizeof longName ? longName : full;
  // "C:\a\" and "C:\a" are one folder; a drive's root keeps its separator.
  while (result.size() > 3 && IsSeparator(result.back())) result.pop_back();
  return result;
}

std::string ProgramFolder() {
  std::vector<char> name(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      const std::string executable(name.data(), length);
      return executable.substr(0, executable.find_last_of("\\/"));
    }
    name.resize(name.size() * 2);
  }
}
