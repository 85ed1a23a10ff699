#include "common/PathCommands.h"

#include "common/OctaveQuote.h"
#include "common/Text.h"

namespace path_commands {

namespace {

std::string Call(const char* function, const std::vector<std::string>& folders) {
  if (folders.empty()) return {};
  std::vector<std::string> arguments;
  arguments.reserve(folders.size());
  for (const std::string& folder : folders) arguments.push_back(octave_quote::SingleQuoted(folder));
  return std::string(function) + "(" + text::Join(arguments, ", ") + ");";
}

}  // namespace

std::string AddPath(const std::vector<std::string>& folders) { return Call("addpath", folders); }

std::string RemovePath(const std::vector<std::string>& folders) { return Call("rmpath", folders); }

}  // namespace path_commands
