// Whole-file writes on Windows: a temporary file beside the target, flushed,
// then moved over the target in one step.
#include "common/AtomicFile.h"

#include <windows.h>

#include <algorithm>

namespace {

std::string FolderOf(const std::string& path) {
  const size_t separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return ".";
  return path.substr(0, separator + 1);
}

bool WriteAll(HANDLE file, std::string_view content) {
  while (!content.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(content.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, content.data(), chunk, &written, nullptr) || written == 0) return false;
    content.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view content) {
  const size_t separator = path.find_last_of("\\/");
  if (path.empty() || separator == path.size() - 1) return false;

  // Created empty and unique in the target's own folder, so the move below is
  // a rename on one volume.
  char temporary[MAX_PATH];
  if (::GetTempFileNameA(FolderOf(path).c_str(), "cxa", 0, temporary) == 0) return false;
  const HANDLE file = ::CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = file != INVALID_HANDLE_VALUE;
  if (ok) {
    ok = WriteAll(file, content) && ::FlushFileBuffers(file);
    ok = ::CloseHandle(file) && ok;
  }
  ok = ok && ::MoveFileExA(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) ::DeleteFileA(temporary);
  return ok;
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  out.clear();
  const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[65536];
  bool ok = true;
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
      ok = false;
      break;
    }
    if (got == 0) break;
    out.append(buffer, got);
  }
  ::CloseHandle(file);
  if (!ok) out.clear();
  return ok;
}
