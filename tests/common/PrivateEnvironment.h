// A private home for a test run: HOME, the XDG folders and the locale of this
// process, and so of every interpreter it starts, point at a fresh folder and
// the C locale (in its UTF-8 form, which Qt needs). No user's ~/.octaverc, history, settings or language setting
// reaches a test, and nothing a test writes reaches the user's folders.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/common/TestFiles.h"

class CPrivateEnvironment {
 public:
  CPrivateEnvironment() {
    if (m_root.Path().empty()) return;
    Point("HOME", "home");
    Point("XDG_CONFIG_HOME", "config");
    Point("XDG_DATA_HOME", "data");
    Point("XDG_CACHE_HOME", "cache");
    Point("XDG_RUNTIME_DIR", "runtime");
    // The runtime folder is the user's alone, as the desktop makes it.
    ::chmod(Folder("runtime").c_str(), 0700);
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::unsetenv("LANGUAGE");
  }
  CPrivateEnvironment(const CPrivateEnvironment&) = delete;
  CPrivateEnvironment& operator=(const CPrivateEnvironment&) = delete;

  bool IsValid() const { return !m_root.Path().empty(); }
  // A folder inside the private root, e.g. "home" or "runtime".
  std::string Folder(const std::string& name) const { return m_root.File(name); }

 private:
  void Point(const char* variable, const std::string& name) {
    std::error_code ignored;
    std::filesystem::create_directories(Folder(name), ignored);
    ::setenv(variable, Folder(name).c_str(), 1);
  }

  CTempDir m_root;
};
