#include "console/docs/ManualNames.h"

#include <algorithm>
#include <cctype>

#include "common/Text.h"
#include "console/command/ConsoleText.h"

namespace manual {
namespace {

constexpr std::string_view kRedirectPrefixes[] = {"XREF", "doc_002d", "fig_003a"};
constexpr std::string_view kCodeMarks[] = {"_003ccode_003e", "_003c_002fcode_003e"};
constexpr std::string_view kPageSuffix = ".html";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The character of "_00xx" at `at`, or -1 when there is none there.
int EncodedCharAt(std::string_view s, size_t at) {
  if (at + 5 > s.size() || s[at] != '_' || s[at + 1] != '0' || s[at + 2] != '0') return -1;
  const int high = HexValue(s[at + 3]);
  const int low = HexValue(s[at + 4]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

}  // namespace

std::string EncodeName(std::string_view term) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(term.size());
  for (const char c : term) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) && byte < 0x80) {
      out += c;
    } else {
      out += "_00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xf];
    }
  }
  return out;
}

std::vector<std::string> RedirectFileNames(std::string_view encodedTerm) {
  const std::string name(encodedTerm);
  return {"XREF" + name + ".html", "doc_002d" + name + ".html"};
}

bool IsRedirectName(std::string_view fileName) {
  for (std::string_view prefix : kRedirectPrefixes) {
    if (text::StartsWith(fileName, prefix)) return true;
  }
  return false;
}

std::string ParseRedirect(std::string_view fileText) {
  // Today's form: the Refresh line; the old form: the first line.
  std::string_view line = fileText.substr(0, fileText.find('\n'));
  if (const size_t refresh = fileText.find("http-equiv=\"Refresh\""); refresh != std::string_view::npos) {
    const size_t start = fileText.rfind('\n', refresh);
    line = fileText.substr(start == std::string_view::npos ? 0 : start + 1);
    line = line.substr(0, line.find('\n'));
  }
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const size_t url = line.find("url=");
  if (url == std::string_view::npos) return {};
  std::string_view target = line.substr(url + 4);
  if (const size_t end = target.find_first_of("\"'>"); end != std::string_view::npos) {
    target = target.substr(0, end);
  } else {
    // The old form ends the line with two characters that are not the target's.
    target = target.substr(0, target.size() >= 2 ? target.size() - 2 : 0);
  }
  return text::ReplaceAll(std::string(text::Trim(target)), "%", "_00");
}

std::string TopicText(std::string_view fileName) {
  std::string name(fileName);
  for (std::string_view prefix : kRedirectPrefixes) {
    if (text::StartsWith(name, prefix)) {
      name.erase(0, prefix.size());
      break;
    }
  }
  for (std::string_view mark : kCodeMarks) name = text::ReplaceAll(name, mark, "");
  const bool page = text::EndsWith(name, kPageSuffix);
  if (page) name.resize(name.size() - kPageSuffix.size());

  // One pass, so that a decoded character never starts another code.
  std::string topic;
  topic.reserve(name.size() + 1);
  for (size_t i = 0; i < name.size(); ++i) {
    const int decoded = EncodedCharAt(name, i);
    if (decoded >= 0) {
      topic += decoded == '-' ? ' ' : static_cast<char>(decoded);
      i += 4;
    } else {
      topic += name[i] == '-' ? ' ' : name[i];
    }
  }
  if (page) topic += ' ';
  return topic;
}


std::vector<Topic> TopicsOf(const std::vector<std::string>& files) {
  std::vector<Topic> topics;
  topics.reserve(files.size());
  for (const std::string& file : files) topics.push_back({TopicText(file), file});
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  std::vector<std::pair<std::string, size_t>> keys;
  keys.reserve(topics.size());
  for (size_t i = 0; i < topics.size(); ++i) keys.emplace_back(lower(topics[i].text), i);
  std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return topics[a.second].file < topics[b.second].file;
  });
  std::vector<Topic> sorted;
  sorted.reserve(topics.size());
  for (const auto& key : keys) sorted.push_back(std::move(topics[key.second]));
  return sorted;
}

std::u16string HelpWordAt(std::u16string_view consoleText, size_t caret) {
  std::u16string separators(COMPLETION_SEPARATORS);
  separators += u'\n';
  std::u16string text;
  text.reserve(consoleText.size());
  // The console's line ends count as one line feed, as its caret positions do.
  for (size_t i = 0; i < consoleText.size(); ++i) {
    if (consoleText[i] == u'\r' && i + 1 < consoleText.size() && consoleText[i + 1] == u'\n') {
      if (i < caret) --caret;
      continue;
    }
    text += consoleText[i];
  }
  caret = std::min(caret, text.size());
  const size_t end = text.find_first_of(separators, caret);
  std::u16string_view word = std::u16string_view(text).substr(0, end == std::u16string::npos ? caret : end);
  while (!word.empty() && separators.find(word.back()) != std::u16string::npos) word.remove_suffix(1);
  const size_t last = word.find_last_of(separators);
  if (last != std::u16string_view::npos) word = word.substr(last + 1);
  return std::u16string(word);
}

}  // namespace manual
