// calyx-headless: the session core of Calyx without its window.
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iostream>

#include "common/Text.h"
#include "console/headless/HeadlessDriver.h"

namespace {

constexpr const char* kUsage =
    "usage: calyx-headless [--interpreter CMD] [--workdir DIR] [--data-dir DIR]\n"
    "                      [--max-lines N] [--timing] [SCRIPT]\n"
    "Reads commands from SCRIPT (standard input without it). Directives: :path, :packages,\n"
    ":complete WORD, :editor TEXT, :interrupt, :wait MS, :wait-for LINE, :disconnect.\n";

}  // namespace

int main(int argc, char** argv) {
  HeadlessOptions options;
  std::string scriptPath;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& target) {
      if (i + 1 >= argc) return false;
      target = argv[++i];
      return true;
    };
    std::string number;
    bool ok = true;
    if (arg == "--interpreter") ok = value(options.interpreter);
    else if (arg == "--workdir") ok = value(options.workDir);
    else if (arg == "--data-dir") ok = value(options.dataDir);
    else if (arg == "--max-lines") {
      ok = value(number);
      options.maxLines = static_cast<int>(text::ParseLeadingInt(number));
      ok = ok && options.maxLines > 0;
    }
    else if (arg == "--timing") options.timing = true;
    else if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return kHeadlessOk;
    } else if (!arg.empty() && arg[0] != '-' && scriptPath.empty()) scriptPath = arg;
    else ok = false;
    if (!ok) {
      std::cerr << kUsage;
      return kHeadlessUsage;
    }
  }

  if (scriptPath.empty()) {
    options.live = isatty(STDIN_FILENO) != 0;
    return RunHeadless(options, std::cin, std::cout);
  }
  std::ifstream script(scriptPath);
  if (!script) {
    std::cerr << "calyx-headless: cannot read " << scriptPath << ": " << std::strerror(errno) << "\n";
    return kHeadlessUsage;
  }
  return RunHeadless(options, script, std::cout);
}
