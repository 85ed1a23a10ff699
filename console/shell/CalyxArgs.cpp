#include "console/shell/CalyxArgs.h"

#include <algorithm>
#include <filesystem>

CalyxStart CalyxStartOf(const SProgramArgs& args, const std::string& currentFolder,
                        const std::function<bool(const std::string&)>& isFolder) {
  CalyxStart start;
  start.options.splash =
      std::find(args.options.begin(), args.options.end(), "--no-splash") == args.options.end();
  if (args.operands.size() > 1) {
    start.error = "calyx: one folder at most";
    return start;
  }
  if (args.operands.empty()) return start;
  std::string folder =
      (std::filesystem::path(currentFolder) / args.operands.front()).lexically_normal().string();
  if (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  if (!isFolder(folder)) {
    start.error = "calyx: not a folder: " + args.operands.front();
    return start;
  }
  start.options.startFolder = folder;
  return start;
}
