#include "console/pathpkg/SubfolderScan.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <utility>

namespace {

namespace fs = std::filesystem;

constexpr size_t kProgressEvery = 64;

bool Skipped(const std::string& name) {
  return name.empty() || name.front() == '.' || name.front() == '@' || name.front() == '+' ||
         name == "private";
}

class CScanner {
 public:
  CScanner(const std::atomic<bool>& cancel, const std::function<void(size_t)>& progress)
      : m_cancel(cancel), m_progress(progress) {}

  // `real` is `folder` with every link resolved.
  bool List(const fs::path& folder, const fs::path& real, std::vector<std::string>& found) {
    std::vector<std::pair<fs::path, fs::path>> children;  // as found, resolved
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      if (m_cancel) return false;
      const fs::directory_entry& entry = *it;
      std::error_code ignored;
      const fs::path name = entry.path().filename();
      if (Skipped(name.string()) || !entry.is_directory(ignored)) continue;
      // Only a link can lead back to a folder already seen; resolving it is the
      // one extra system call.
      fs::path childReal = real / name;
      if (entry.is_symlink(ignored)) {
        childReal = fs::canonical(entry.path(), error);
        if (error) {
          error.clear();
          continue;
        }
      }
      if (!m_visited.insert(childReal.native()).second) continue;
      children.emplace_back(entry.path(), std::move(childReal));
    }
    std::sort(children.begin(), children.end(), [](const auto& a, const auto& b) {
      return a.first.native() < b.first.native();
    });
    for (const auto& child : children) {
      found.push_back(child.first.string());
      if (m_progress && found.size() % kProgressEvery == 0) m_progress(found.size());
    }
    for (const auto& [child, childReal] : children) {
      if (!List(child, childReal, found)) return false;
    }
    return !m_cancel;
  }

  // The resolved root, remembered as seen.
  fs::path Start(const fs::path& root) {
    std::error_code error;
    fs::path real = fs::canonical(root, error);
    if (error) real = root;
    m_visited.insert(real.native());
    return real;
  }

 private:
  const std::atomic<bool>& m_cancel;
  const std::function<void(size_t)>& m_progress;
  std::set<std::string> m_visited;
};

}  // namespace

std::optional<std::vector<std::string>> ScanSubfolders(
    const std::string& root, const std::atomic<bool>& cancel,
    const std::function<void(size_t found)>& progress) {
  CScanner scanner(cancel, progress);
  const fs::path real = scanner.Start(root);
  std::vector<std::string> found;
  if (!scanner.List(root, real, found)) return std::nullopt;
  if (progress) progress(found.size());
  return found;
}
