// What Calyx's command line asks for, once --version and --help are answered:
// the splash window, and the folder the interpreter starts in.
#pragma once

#include <functional>
#include <string>

#include "common/ProgramArgs.h"

struct CalyxOptions {
  bool splash = true;
  bool show = true;
  std::string startFolder;  // where the interpreter starts; empty: the saved folder
};

struct CalyxStart {
  CalyxOptions options;
  std::string error;  // a usage error: the program ends with it
};

// `calyx [--no-splash] [DIR]`: DIR, taken from `currentFolder` when relative,
// must be a folder.
CalyxStart CalyxStartOf(const SProgramArgs& args, const std::string& currentFolder,
                        const std::function<bool(const std::string&)>& isFolder);
