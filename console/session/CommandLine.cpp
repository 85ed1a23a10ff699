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
