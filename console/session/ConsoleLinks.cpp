#include "console/session/ConsoleLinks.h"

#include <algorithm>
#include <cctype>

#include "common/OctaveQuote.h"
#include "common/Text.h"

namespace console_links {

namespace {

constexpr std::string_view kFileLinkMiddle = " of file ";
constexpr std::string_view kFunctionLinkMiddle = " of function ";

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Digits at `at`; their count (0 when there are none).
size_t DigitsAt(std::string_view s, size_t at) {
  size_t n = 0;
  while (at + n < s.size() && IsDigit(s[at + n])) ++n;
  return n;
}

long NumberOf(std::string_view digits) { return text::ParseLeadingInt(digits); }

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool IsAbsolutePath(std::string_view s) {
  return text::StartsWith(s, "/") ||
         (s.size() > 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':' &&
          (s[2] == '\\' || s[2] == '/'));
}

// A function as the interpreter names it in its frames: "f", "f>sub", "pkg.f",
// "@cls/method". Anonymous functions ("@<anonymous>") have no file.
bool IsFunctionName(std::string_view s) {
  if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '@')) return false;
  if (s[0] == '@' && (s.size() < 2 || !std::isalpha(static_cast<unsigned char>(s[1])))) return false;
  return std::all_of(s.begin() + 1, s.end(), [](char c) {
    return IsWordChar(c) || c == '.' || c == '>' || c == '/';
  });
}

std::string_view BaseName(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
  if (text::EndsWith(path, ".m")) path.remove_suffix(2);
  return path;
}

void AddWebAddresses(std::string_view text, std::vector<LinkRange>& links) {
  for (const std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
    for (size_t at = text.find(scheme); at != std::string_view::npos; at = text.find(scheme, at + 1)) {
      size_t end = at + scheme.size();
      while (end < text.size() && static_cast<unsigned char>(text[end]) > ' ' &&
             std::string_view("\"'<>`").find(text[end]) == std::string_view::npos)
        ++end;
      std::string_view address = text.substr(at, end - at);
      // Punctuation after an address belongs to the sentence around it.
      while (!address.empty()) {
        const char last = address.back();
        const auto count = [&](char c) { return std::count(address.begin(), address.end(), c); };
        const bool unopened = (last == ')' && count(')') > count('(')) ||
                              (last == ']' && count(']') > count('['));
        if (std::string_view(".,;:!?").find(last) == std::string_view::npos && !unopened) break;
        address.remove_suffix(1);
      }
      if (address.size() > scheme.size())
        links.push_back({at, at + address.size(), std::string(address)});
    }
  }
}

// "line N of file PATH": a parse error's place; the path runs to the line end.
void AddFilePositions(std::string_view line, size_t offset, std::vector<LinkRange>& links) {
  for (size_t at = line.find("line "); at != std::string_view::npos; at = line.find("line ", at + 1)) {
    if (at > 0 && IsWordChar(line[at - 1])) continue;
    const size_t digits = DigitsAt(line, at + 5);
    if (digits == 0 || line.substr(at + 5 + digits, kFileLinkMiddle.size()) != kFileLinkMiddle)
      continue;
    const std::string_view path = TrimRight(line.substr(at + 5 + digits + kFileLinkMiddle.size()));
    if (path.empty()) continue;
    const size_t end = static_cast<size_t>(path.data() + path.size() - line.data());
    links.push_back({offset + at, offset + end,
                     FilePositionTarget(path, NumberOf(line.substr(at + 5, digits)))});
    return;
  }
}

struct Frame {
  std::string name;  // the function, or the file's base name
  std::string target;
};

// A frame of an error's "called from" list: "    f at line 3 column 5" (today),
// "error:   /path/f.m at line 3, column 5" (old interpreters).
std::optional<Frame> AddFrame(std::string_view line, size_t offset, std::vector<LinkRange>& links) {
  size_t start = text::StartsWith(line, "error:") ? 6 : 0;
  const size_t indent = start;
  while (start < line.size() && IsBlank(line[start])) ++start;
  if (start == indent) return std::nullopt;  // frames are indented
  const size_t at = line.find(" at line ", start);
  if (at == std::string_view::npos) return std::nullopt;
  const size_t digits = DigitsAt(line, at + 9);
  if (digits == 0) return std::nullopt;
  size_t end = at + 9 + digits;
  std::string_view rest = line.substr(end);
  if (text::StartsWith(rest, ",")) rest.remove_prefix(1);
  if (!text::StartsWith(rest, " column ") || DigitsAt(rest, 8) == 0) return std::nullopt;
  end = static_cast<size_t>(rest.data() - line.data()) + 8 + DigitsAt(rest, 8);
  if (!TrimRight(line.substr(end)).empty()) return std::nullopt;

  const std::string_view where = line.substr(start, at - start);
  const long number = NumberOf(line.substr(at + 9, digits));
  Frame frame;
  if (IsAbsolutePath(where)) {
    frame = {std::string(BaseName(where)), FilePositionTarget(where, number)};
  } else if (IsFunctionName(where)) {
    frame = {std::string(where), FunctionPositionTarget(where, number)};
  } else {
    return std::nullopt;
  }
  links.push_back({offset + start, offset + end, frame.target});
  return frame;
}

// The function an error message starts with: "error: f: ...".
std::optional<std::pair<size_t, std::string_view>> ErrorFunction(std::string_view line) {
  if (!text::StartsWith(line, "error: ")) return std::nullopt;
  const size_t colon = line.find(": ", 7);
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string_view name = line.substr(7, colon - 7);
  if (!IsFunctionName(name)) return std::nullopt;
  return std::make_pair(size_t{7}, name);
}

bool FrameNames(const Frame& frame, std::string_view name) {
  if (frame.name == name) return true;
  const size_t sub = frame.name.rfind('>');
  return sub != std::string::npos && std::string_view(frame.name).substr(sub + 1) == name;
}

}  // namespace

std::vector<LinkRange> FindLinks(std::string_view text) {
  std::vector<LinkRange> links;
  AddWebAddresses(text, links);
  std::vector<Frame> frames;
  struct Named {
    size_t begin;
    std::string_view name;
  };
  std::vector<Named> errorFunctions;
  for (size_t lineStart = 0; lineStart < text.size();) {
    size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string_view::npos) lineEnd = text.size();
    const std::string_view line = text.substr(lineStart, lineEnd - lineStart);
    AddFilePositions(line, lineStart, links);
    if (auto frame = AddFrame(line, lineStart, links)) frames.push_back(std::move(*frame));
    if (auto named = ErrorFunction(line)) errorFunctions.push_back({lineStart + named->first, named->second});
    lineStart = lineEnd + 1;
  }
  // An error named after a function is a link when its list of frames shows
  // that function's file: a built-in function has no frame.
  for (const Named& named : errorFunctions) {
    const auto frame = std::find_if(frames.begin(), frames.end(),
                                    [&](const Frame& f) { return FrameNames(f, named.name); });
    if (frame != frames.end()) links.push_back({named.begin, named.begin + named.name.size(), frame->target});
  }
  std::sort(links.begin(), links.end(),
            [](const LinkRange& a, const LinkRange& b) { return a.begin < b.begin; });
  std::vector<LinkRange> apart;
  for (LinkRange& link : links) {
    if (apart.empty() || link.begin >= apart.back().end) apart.push_back(std::move(link));
  }
  return apart;
}

LinkTarget ParseTarget(std::string_view target) {
  if (text::StartsWith(target, "http://") || text::StartsWith(target, "https://"))
    return {LinkTarget::Kind::WebAddress, std::string(target), 0};
  if (text::StartsWith(target, "line ")) {
    const size_t digits = DigitsAt(target, 5);
    const std::string_view rest = target.substr(5 + digits);
    const long line = NumberOf(target.substr(5, digits));
    if (digits > 0 && text::StartsWith(rest, kFileLinkMiddle))
      return {LinkTarget::Kind::File, std::string(rest.substr(kFileLinkMiddle.size())), line};
    if (digits > 0 && text::StartsWith(rest, kFunctionLinkMiddle))
      return {LinkTarget::Kind::Function, std::string(rest.substr(kFunctionLinkMiddle.size())), line};
  }
  return {LinkTarget::Kind::HelpTopic, std::string(target), 0};
}

std::string FilePositionTarget(std::string_view path, long line) {
  return "line " + std::to_string(line) + std::string(kFileLinkMiddle) + std::string(path);
}

std::string FunctionPositionTarget(std::string_view name, long line) {
  return "line " + std::to_string(line) + std::string(kFunctionLinkMiddle) + std::string(name);
}

std::string FunctionFileQuery(std::string_view name) {
  return "disp(which(" + octave_quote::SingleQuoted(name.substr(0, name.find('>'))) + "))";
}

std::optional<std::string> FunctionFileOfAnswer(std::string_view answer) {
  const std::string file = text::Trim(answer.substr(0, answer.find('\n')));
  if (!IsAbsolutePath(file) || !text::EndsWith(file, ".m")) return std::nullopt;
  return file;
}

}  // namespace console_links
