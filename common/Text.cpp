#include "common/Text.h"

#include <cctype>

namespace text {

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool Contains(std::string_view s, std::string_view part) {
  return s.find(part) != std::string_view::npos;
}

std::string ReplaceAll(std::string s, std::string_view from, std::string_view to) {
  if (from.empty()) return s;
  std::string out;
  out.reserve(s.size());
  size_t pos = 0;
  for (size_t hit; (hit = s.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
    out.append(s, pos, hit - pos);
    out.append(to);
  }
  out.append(s, pos, std::string::npos);
  return out;
}

std::string ReplaceUntilGone(std::string s, std::string_view from, std::string_view to) {
  // A replacement that contains its own pattern would never end.
  if (from.empty() || std::string_view(to).find(from) != std::string_view::npos) return s;
  while (s.find(from) != std::string::npos) s = ReplaceAll(std::move(s), from, to);
  return s;
}

std::string RemoveChars(std::string s, std::string_view chars) {
  std::erase_if(s, [&](char c) { return chars.find(c) != std::string_view::npos; });
  return s;
}

namespace {
constexpr std::string_view kBlanks = " \t\r\n";
}  // namespace

std::string Trim(std::string_view s) { return std::string(TrimRight(TrimLeft(s))); }

std::string_view TrimLeft(std::string_view s) {
  const size_t first = s.find_first_not_of(kBlanks);
  return first == std::string_view::npos ? std::string_view() : s.substr(first);
}

std::string_view TrimRight(std::string_view s) {
  const size_t last = s.find_last_not_of(kBlanks);
  return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

std::vector<std::string_view> SplitNonEmptyViews(std::string_view s, std::string_view separator) {
  std::vector<std::string_view> pieces;
  if (separator.empty()) {
    if (!s.empty()) pieces.push_back(s);
    return pieces;
  }
  size_t pos = 0;
  while (pos <= s.size()) {
    const size_t hit = s.find(separator, pos);
    const size_t end = hit == std::string_view::npos ? s.size() : hit;
    if (end > pos) pieces.push_back(s.substr(pos, end - pos));
    if (hit == std::string_view::npos) break;
    pos = hit + separator.size();
  }
  return pieces;
}

std::vector<std::string> SplitNonEmpty(std::string_view s, std::string_view separator) {
  const std::vector<std::string_view> views = SplitNonEmptyViews(s, separator);
  return {views.begin(), views.end()};
}

std::vector<std::string> SplitLines(std::string_view s) {
  std::vector<std::string> lines;
  for (std::string& line : SplitNonEmpty(s, "\n")) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(std::move(line));
  }
  return lines;
}

std::string Join(const std::vector<std::string>& items, std::string_view separator) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out.append(separator);
    out.append(items[i]);
  }
  return out;
}

std::string FileExtension(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

long ParseLeadingInt(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  long value = 0;
  for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) {
    if (value > 100000000L) break;  // far beyond any version or count we read
    value = value * 10 + (s[i] - '0');
  }
  return negative ? -value : value;
}

std::string EscapeHtml(std::string_view s) {
  std::string out;
  for (const char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

size_t CompleteUtf8Prefix(std::string_view s) {
  // Look back at most three bytes for the lead byte of a sequence that runs past
  // the end.
  const size_t n = s.size();
  for (size_t back = 1; back <= 4 && back <= n; ++back) {
    const unsigned char c = static_cast<unsigned char>(s[n - back]);
    if ((c & 0xC0) == 0x80) continue;  // continuation byte: keep looking
    size_t length = 1;
    if ((c & 0xE0) == 0xC0) length = 2;
    else if ((c & 0xF0) == 0xE0) length = 3;
    else if ((c & 0xF8) == 0xF0) length = 4;
    return length > back ? n - back : n;
  }
  return n;  // only continuation bytes: not UTF-8 we can repair, pass it on
}

}  // namespace text
