#include "console/session/OutputForms.h"

#include <algorithm>

#include "common/Text.h"

namespace output_forms {

using text::Contains;
using text::EndsWith;
using text::StartsWith;

bool EndsWithPrompt(std::string_view s) {
  return EndsWith(s, kPrompt) || EndsWith(s, kDebugPrompt) || EndsWith(s, kKeyboardPrompt);
}

bool IsErrorMessage(std::string_view chunk) {
  return (Contains(chunk, "error: ") || Contains(chunk, "parse error:")) &&
         !Contains(chunk, "error' ");
}

namespace {

constexpr std::string_view kOldStop = "keyboard: stopped in ";
constexpr std::string_view kStop = "stopped in ";
constexpr std::string_view kAtLine = " at line ";

// Where today's stop form starts on the last line that has it, or npos. The
// line may begin with the prompt the stop answered.
size_t FindLastNewStopLine(std::string_view s) {
  size_t found = std::string_view::npos;
  for (size_t pos = 0; pos < s.size();) {
    const size_t end = std::min(s.find('\n', pos), s.size());
    std::string_view line = s.substr(pos, end - pos);
    size_t start = pos;
    for (std::string_view prompt : {kPrompt, kDebugPrompt, kKeyboardPrompt}) {
      while (StartsWith(line, prompt)) {
        line.remove_prefix(prompt.size());
        start += prompt.size();
      }
    }
    if (StartsWith(line, kStop) && Contains(line, kAtLine)) found = start;
    pos = end + 1;
  }
  return found;
}

std::string_view LineAt(std::string_view s, size_t pos) {
  const size_t end = s.find('\n', pos);
  std::string_view line = s.substr(pos, end == std::string_view::npos ? s.npos : end - pos);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

bool IsDebugStop(std::string_view chunk) {
  return Contains(chunk, "keyboard: stopped in") ||
         FindLastNewStopLine(chunk) != std::string_view::npos;
}

bool IsOldDebugStopWithoutPrompt(std::string_view chunk) {
  return Contains(chunk, kOldStop) && !EndsWith(chunk, "> ");
}

bool IsWorkspaceHeader(std::string_view chunk) {
  return Contains(chunk, "Variables in the current scope:\n\n Name") ||
         Contains(chunk, "Variables visible from the current scope:");
}

std::optional<DebugStop> ParseDebugStop(std::string_view collected) {
  const size_t old = collected.rfind(kOldStop);
  if (old != std::string_view::npos) {
    // "keyboard: stopped in FILE at line N"
    const std::string location =
        text::ReplaceAll(std::string(LineAt(collected, old + kOldStop.size())), kAtLine, "##");
    const std::vector<std::string> parts = text::SplitNonEmpty(location, "##");
    if (parts.size() != 2) return std::nullopt;
    return DebugStop{parts[1], parts[0]};
  }
  const size_t now = FindLastNewStopLine(collected);
  if (now == std::string_view::npos) return std::nullopt;
  // "stopped in NAME at line N [FILE]"
  const std::string_view line = LineAt(collected, now);
  const size_t at = line.find(kAtLine);
  const size_t open = line.find('[', at);
  const size_t close = line.rfind(']');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open)
    return std::nullopt;
  std::string number = text::Trim(line.substr(at + kAtLine.size(), open - at - kAtLine.size()));
  std::string file(line.substr(open + 1, close - open - 1));
  if (number.empty() || file.empty() ||
      !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  return DebugStop{std::move(number), std::move(file)};
}

int WorkspaceImage(std::string_view className, std::string_view size) {
  if (className == "struct") return 0;
  if (className == "double" || className == "single" || StartsWith(className, "int") ||
      StartsWith(className, "uint")) {
    const size_t firstX = size.find('x');
    const bool threeOrMore =
        firstX != std::string_view::npos && size.find('x', firstX + 1) != std::string_view::npos;
    return threeOrMore ? 1 : 2;
  }
  return 3;
}

std::vector<ListRow> ParseWorkspaceTable(std::string_view answer) {
  std::vector<ListRow> rows;
  bool inTable = false;
  for (const std::string& line : text::SplitLines(answer)) {
    if (!inTable) {
      inTable = Contains(line, "===");
      continue;
    }
    if (EndsWithPrompt(line)) break;
    std::vector<std::string> fields = text::SplitNonEmpty(line, " ");
    // The end line ("Total is ..."); a variable called Total has a size after it.
    if (!fields.empty() && fields[0] == "Total" && (fields.size() == 1 || fields[1] == "is")) break;
    if (fields.empty() || fields[0] == "old_format") continue;
    fields.resize(4);
    const int image = WorkspaceImage(fields[2], fields[1]);
    rows.push_back(ListRow{std::move(fields), image});
  }
  return rows;
}

bool SameNamesAndSizes(const std::vector<ListRow>& current, const std::vector<ListRow>& fresh) {
  if (current.size() != fresh.size()) return false;
  auto key = [](const ListRow& row) {
    return std::pair(row.columns.size() > 0 ? row.columns[0] : std::string(),
                     row.columns.size() > 1 ? row.columns[1] : std::string());
  };
  std::vector<std::pair<std::string, std::string>> a, b;
  for (const ListRow& row : current) a.push_back(key(row));
  for (const ListRow& row : fresh) b.push_back(key(row));
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

std::vector<std::string> ParsePathListing(std::string_view answer) {
  std::vector<std::string> lines = text::SplitLines(answer);
  std::vector<std::string> folders;
  for (size_t i = 1; i + 1 < lines.size(); ++i) {
    if (lines[i] != ".") folders.push_back(lines[i]);
  }
  return folders;
}

std::vector<ListRow> ParsePackageBlocks(std::string_view answer) {
  // A block is a list of labels ("Version:"), each followed by its value on
  // tab-indented lines; the row shows four of them, whatever the others are.
  static const std::vector<std::string> kColumns = {"Package name:", "Version:",
                                                    "Short description:", "Status:"};
  std::vector<ListRow> rows;
  const std::vector<std::string> blocks = text::SplitNonEmpty(answer, "---\n");
  for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) {
    std::vector<std::string> columns(kColumns.size());
    std::string label;
    bool named = false;
    for (const std::string& line : text::SplitLines(*block)) {
      if (line[0] != '\t' && EndsWith(line, ":")) {
        label = line;
        named = named || label == kColumns[0];
        continue;
      }
      const auto column = std::find(kColumns.begin(), kColumns.end(), label);
      if (column == kColumns.end() || EndsWithPrompt(line)) continue;
      std::string& value = columns[static_cast<size_t>(column - kColumns.begin())];
      const std::string piece = text::Trim(text::RemoveChars(line, "\t"));
      if (!piece.empty()) value += (value.empty() ? "" : " ") + piece;
    }
    if (named) rows.push_back(ListRow{std::move(columns), -1});
  }
  if (rows.empty()) rows.push_back(ListRow{{kNoPackages, "", "", ""}, -1});
  return rows;
}

std::vector<std::string> ParseCompletion(std::string_view answer) {
  std::vector<std::string> lines = text::SplitLines(answer);
  if (!lines.empty()) lines.pop_back();
  return lines;
}

int BarePromptCount(std::string_view chunk) {
  int prompts = 0;
  while (!chunk.empty()) {
    if (chunk.front() == '\n' || chunk.front() == '\r') {
      chunk.remove_prefix(1);
      continue;
    }
    bool found = false;
    for (std::string_view prompt : {kPrompt, kDebugPrompt, kKeyboardPrompt}) {
      if (StartsWith(chunk, prompt)) {
        chunk.remove_prefix(prompt.size());
        ++prompts;
        found = true;
        break;
      }
    }
    if (!found) return 0;
  }
  return prompts;
}

std::string CollapsePrompts(std::string chunk) {
  using text::ReplaceUntilGone;
  chunk = ReplaceUntilGone(std::move(chunk), ">>> ", ">> ");
  chunk = ReplaceUntilGone(std::move(chunk), ">> >> ", ">> ");
  chunk = ReplaceUntilGone(std::move(chunk), ">>  ", ">> ");
  chunk = ReplaceUntilGone(std::move(chunk), "\ndebug> \ndebug> ", "debug> ");
  chunk = ReplaceUntilGone(std::move(chunk), "debug> debug> ", "debug> ");
  // "debug> >> " becomes "debug> \n>> ", which still holds the pattern's tail, so
  // it is replaced once per occurrence.
  chunk = text::ReplaceAll(std::move(chunk), "debug> >> ", "debug> \n>> ");
  chunk = ReplaceUntilGone(std::move(chunk), "debug>> ", "debug> ");
  return chunk;
}

std::vector<std::pair<size_t, size_t>> SeeAlsoLinks(std::string_view chunk) {
  constexpr std::string_view kSeeAlso = "See also: ";
  std::vector<std::pair<size_t, size_t>> links;
  const size_t start = chunk.find(kSeeAlso);
  if (start == std::string_view::npos) return links;
  const size_t listStart = start + kSeeAlso.size();
  const size_t listEnd = std::min(chunk.find("Additional", listStart), chunk.size());
  const std::string names =
      text::RemoveChars(std::string(chunk.substr(listStart, listEnd - listStart)), "\n\r ");
  size_t from = listStart;
  for (std::string name : text::SplitNonEmpty(names, ",")) {
    // Today's interpreters end the list with a full stop.
    while (!name.empty() && name.back() == '.') name.pop_back();
    if (name.empty()) continue;
    const size_t at = chunk.find(name, from);
    if (at == std::string_view::npos || at >= listEnd) continue;
    links.emplace_back(at, at + name.size());
    from = at + name.size();
  }
  return links;
}

std::optional<long> BannerVersion(std::string_view consoleText) {
  const size_t version = consoleText.find("version");
  if (version == std::string_view::npos) return std::nullopt;
  const size_t lineEnd = consoleText.find('\n', version);
  const size_t blank = consoleText.find(' ', version);
  if (lineEnd == std::string_view::npos || blank == std::string_view::npos) return std::nullopt;
  const std::string_view number = consoleText.substr(blank, lineEnd - version);
  const std::vector<std::string> pieces = text::SplitNonEmpty(number, ".");
  if (pieces.size() != 3) return std::nullopt;
  return 1000 * text::ParseLeadingInt(pieces[0]) + 100 * text::ParseLeadingInt(pieces[1]) +
         text::ParseLeadingInt(pieces[2]);
}

}  // namespace output_forms
