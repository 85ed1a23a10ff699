// The command-line conventions both programs share: --version and --help
// answer without opening a window, an unknown option is a usage error, and
// "FILE:LINE" names a line of a file, as many editors accept.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

struct SProgramInfo {
  std::string name;      // "calyx"
  std::string title;     // "Calyx"
  std::string version;   // "0.1.0"
  std::string summary;   // one line: what the program is
  std::string operands;  // synopsis of the operands: "[FILE[:LINE]]..."
  // Options the program itself understands (each "--name"), with their help.
  std::vector<std::pair<std::string, std::string>> options;
};

struct SProgramArgs {
  enum class Action { Run, ShowVersion, ShowHelp, UsageError };
  Action action = Action::Run;
  std::vector<std::string> options;   // the program's own options that were given
  std::vector<std::string> operands;  // everything else, in order
  std::string error;                  // for UsageError
};

// `args` without the program name. "--" ends the options: what follows is an
// operand even when it begins with "-". A lone "-" is an operand.
SProgramArgs ParseProgramArgs(const std::vector<std::string>& args, const SProgramInfo& info);

std::string VersionText(const SProgramInfo& info);
std::string UsageText(const SProgramInfo& info);

// Prints what --version, --help or a usage error ask for and returns the exit
// status (0, or 2 for a usage error); -1 when the program should run.
int AnswerStandardOptions(const SProgramArgs& args, const SProgramInfo& info, std::ostream& out,
                          std::ostream& err);

struct SFileLine {
  std::string path;
  int line = 0;  // 0: no line asked for
  bool operator==(const SFileLine&) const = default;
};

// "FILE:LINE" is FILE at LINE unless the whole argument names an existing
// file (a file may be called "notes:3"); anything else is a path alone.
SFileLine SplitFileLine(const std::string& arg, const std::function<bool(const std::string&)>& isFile);
