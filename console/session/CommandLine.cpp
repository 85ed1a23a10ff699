#include "console/session/CommandLine.h"

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  enum class Quote { None, Single, Double } quote = Quote::None;

  for (size_t i = 0; i < commandLine.size(); ++i) {
    const char c = commandLine[i];
    switch (quote) {
      case Quote::Single:
        if (c == '\'') quote = Quote::None;
        else word += c;
        break;
      case Quote::Double:
        if (c == '"') {
          quote = Quote::None;
        } else if (c == '\\' && i + 1 < commandLine.size() &&
                   (commandLine[i + 1] == '"' || commandLine[i + 1] == '\\')) {
          word += commandLine[++i];
        } else {
          word += c;
        }
        break;
      case Quote::None:
        if (c == ' ' || c == '\t') {
          if (inWord) words.push_back(std::move(word));
          word.clear();
          inWord = false;
          break;
        }
        inWord = true;
        if (c == '\'') quote = Quote::Single;
        else if (c == '"') quote = Quote::Double;
        else if (c == '\\' && i + 1 < commandLine.size()) word += commandLine[++i];
        else word += c;
        break;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

std::string ProgramNameOf(const std::string& commandLine) {
#ifdef _WIN32
  const size_t start = commandLine.find_first_not_of(" \t");
  std::string program;
  if (start != std::string::npos && commandLine[start] == '"') {
    const size_t close = commandLine.find('"', start + 1);
    program = commandLine.substr(start + 1, close == std::string::npos ? close : close - start - 1);
  } else if (start != std::string::npos) {
    program = commandLine.substr(start, commandLine.find_first_of(" \t", start) - start);
  }
#else
  const std::vector<std::string> words = SplitCommandLine(commandLine);
  const std::string program = words.empty() ? std::string() : words[0];
#endif
  if (program.empty()) return "octave.exe";
  const size_t separator = program.find_last_of("/\\");
  return separator == std::string::npos ? program : program.substr(separator + 1);
}
