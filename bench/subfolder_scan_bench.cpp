// "Add with Subfolders" on trees of several sizes: how long listing every folder
// below takes, and the length of the command it becomes. The cost should grow
// in proportion to the number of folders.
//
//   subfolder-scan-bench [FOLDERS...]   (default 1000 10000 50000)
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "console/pathpkg/PathPackageCommands.h"
#include "console/pathpkg/SubfolderScan.h"

namespace fs = std::filesystem;

namespace {

// A tree of `count` folders, ten below each, with a file in each leaf.
void MakeTree(const fs::path& root, size_t count) {
  std::vector<fs::path> level{root};
  size_t made = 0;
  while (made < count) {
    std::vector<fs::path> next;
    for (const fs::path& parent : level) {
      for (int i = 0; i < 10 && made < count; ++i, ++made) {
        next.push_back(parent / ("folder" + std::to_string(i)));
        fs::create_directory(next.back());
      }
    }
    level = std::move(next);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  std::vector<size_t> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::strtoul(argv[i], nullptr, 10));
  if (sizes.empty()) sizes = {1000, 10000, 50000};
  std::string pattern = (fs::temp_directory_path() / "subfolder-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) return 1;
  const fs::path base(pattern);
  std::printf("%10s %12s %12s %14s\n", "folders", "scan ms", "command ms", "command bytes");
  for (size_t size : sizes) {
    const fs::path root = base / std::to_string(size);
    fs::create_directory(root);
    MakeTree(root, size);
    std::atomic<bool> cancel{false};
    const auto start = std::chrono::steady_clock::now();
    const auto found = ScanSubfolders(root.string(), cancel);
    const auto scanned = std::chrono::steady_clock::now();
    std::vector<std::string> folders{root.string()};
    folders.insert(folders.end(), found->begin(), found->end());
    const std::string command = pathpkg::AddFoldersCommand(folders);
    const auto built = std::chrono::steady_clock::now();
    using ms = std::chrono::duration<double, std::milli>;
    std::printf("%10zu %12.1f %12.1f %14zu\n", found->size(), ms(scanned - start).count(),
                ms(built - scanned).count(), command.size());
  }
  fs::remove_all(base);
  return 0;
}
