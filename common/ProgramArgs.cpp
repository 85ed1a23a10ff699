#include "common/ProgramArgs.h"

#include <algorithm>

#include "common/Text.h"

SProgramArgs ParseProgramArgs(const std::vector<std::string>& args, const SProgramInfo& info) {
  SProgramArgs result;
  bool optionsEnded = false;
  for (const std::string& arg : args) {
    if (optionsEnded || arg == "-" || !text::StartsWith(arg, "-")) {
      result.operands.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--version") {
      result.action = SProgramArgs::Action::ShowVersion;
      return result;
    } else if (arg == "--help" || arg == "-h") {
      result.action = SProgramArgs::Action::ShowHelp;
      return result;
    } else if (std::any_of(info.options.begin(), info.options.end(),
                           [&](const auto& option) { return option.first == arg; })) {
      result.options.push_back(arg);
    } else {
      result.action = SProgramArgs::Action::UsageError;
      result.error = info.name + ": unknown option '" + arg + "'";
      return result;
    }
  }
  return result;
}

std::string VersionText(const SProgramInfo& info) { return info.title + " " + info.version + "\n"; }

std::string UsageText(const SProgramInfo& info) {
  std::string usage = "Usage: " + info.name + " [OPTION]...";
  if (!info.operands.empty()) usage += " " + info.operands;
  usage += "\n" + info.summary + "\n\nOptions:\n";
  std::vector<std::pair<std::string, std::string>> all = info.options;
  all.emplace_back("-h, --help", "show this help and exit");
  all.emplace_back("--version", "show the version and exit");
  size_t width = 0;
  for (const auto& option : all) width = std::max(width, option.first.size());
  for (const auto& [name, help] : all)
    usage += "  " + name + std::string(width - name.size() + 2, ' ') + help + "\n";
  return usage;
}

int AnswerStandardOptions(const SProgramArgs& args, const SProgramInfo& info, std::ostream& out,
                          std::ostream& err) {
  switch (args.action) {
    case SProgramArgs::Action::Run:
      return -1;
    case SProgramArgs::Action::ShowVersion:
      out << VersionText(info) << std::flush;
      return 0;
    case SProgramArgs::Action::ShowHelp:
      out << UsageText(info) << std::flush;
      return 0;
    case SProgramArgs::Action::UsageError:
      err << args.error << "\n" << UsageText(info) << std::flush;
      return 2;
  }
  return 2;
}

SFileLine SplitFileLine(const std::string& arg, const std::function<bool(const std::string&)>& isFile) {
  const size_t colon = arg.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == arg.size() || isFile(arg)) return {arg, 0};
  const std::string digits = arg.substr(colon + 1);
  if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return {arg, 0};
  const int line = std::stoi(digits);
  if (line <= 0) return {arg, 0};
  return {arg.substr(0, colon), line};
}
