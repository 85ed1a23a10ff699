// File-system helpers for tests: a private scratch folder and a temporary cap
// on file size that makes writes fail even for root.
#pragma once

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#endif

// The platform's own separator in the paths tests build.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// A fresh folder under the system temp folder, removed with everything in it.
class CTempDir {
 public:
  CTempDir() {
#ifdef _WIN32
    // No mkdtemp: a random name, made only if nobody holds it yet.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
      const std::filesystem::path candidate =
          std::filesystem::temp_directory_path() / ("calyx-test-" + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) m_path = candidate.string();
    }
    while (!m_path.empty() && (m_path.back() == '\\' || m_path.back() == '/')) m_path.pop_back();
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "calyx-test-XXXXXX").string();
    if (::mkdtemp(pattern.data())) m_path = pattern;
#endif
  }
  ~CTempDir() {
    std::error_code ignored;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
  }
  CTempDir(const CTempDir&) = delete;
  CTempDir& operator=(const CTempDir&) = delete;

  const std::string& Path() const { return m_path; }
  std::string File(const std::string& name) const { return m_path + kPathSeparator + name; }

 private:
  std::string m_path;
};

// While alive, rewriting the existing file at `path` with more than a few KiB
// fails: on Windows another program holds the file open without sharing it,
// elsewhere the file size is capped at 4,096 bytes.
#ifdef _WIN32

class CBlockedRewrite {
 public:
  explicit CBlockedRewrite(const std::string& path)
      : m_held(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~CBlockedRewrite() {
    if (m_held != INVALID_HANDLE_VALUE) ::CloseHandle(m_held);
  }
  CBlockedRewrite(const CBlockedRewrite&) = delete;
  CBlockedRewrite& operator=(const CBlockedRewrite&) = delete;

 private:
  HANDLE m_held;
};

#else

// While alive, writing past `bytes` into any file fails with EFBIG.
class CFileSizeLimit {
 public:
  explicit CFileSizeLimit(rlim_t bytes) {
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &m_oldLimit);
    rlimit limit = m_oldLimit;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~CFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &m_oldLimit);
    std::signal(SIGXFSZ, m_oldHandler);
  }
  CFileSizeLimit(const CFileSizeLimit&) = delete;
  CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

 private:
  rlimit m_oldLimit {};
  void (*m_oldHandler)(int) = nullptr;
};

class CBlockedRewrite {
 public:
  explicit CBlockedRewrite(const std::string& /*path*/) : m_limit(4096) {}

 private:
  CFileSizeLimit m_limit;
};

#endif  // _WIN32
