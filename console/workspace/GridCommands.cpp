#include "console/workspace/GridCommands.h"

#include <utility>

#include "common/OctaveQuote.h"
#include "common/OctaveText.h"
#include "common/Text.h"

namespace grid_commands {

namespace {

using octave_text::IsIdentifier;

bool IsWordChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

char Closer(char opener) {
  switch (opener) {
    case '(': return ')';
    case '[': return ']';
    default: return '}';
  }
}

// The index of the quote that closes the string opened at `open`, or npos.
// Doubled quotes stay inside; in a double-quoted string so does an escaped one.
size_t StringEnd(std::string_view s, size_t open) {
  const char quote = s[open];
  for (size_t i = open + 1; i < s.size(); ++i) {
    if (quote == '"' && s[i] == '\\') {
      ++i;
    } else if (s[i] == quote) {
      if (i + 1 < s.size() && s[i + 1] == quote) ++i;
      else return i;
    }
  }
  return std::string_view::npos;
}

// The text from A(:,FROM:end,:) on, or the rows' form (FROM:end,:,:).
std::string ColumnsFrom(const std::string& name, long from) {
  return name + "(:," + std::to_string(from) + ":end,:)";
}
std::string ColumnsTo(const std::string& name, long to) {
  return name + "(:,1:" + std::to_string(to) + ",:)";
}
std::string RowsFrom(const std::string& name, long from) {
  return name + "(" + std::to_string(from) + ":end,:,:)";
}
std::string RowsTo(const std::string& name, long to) {
  return name + "(1:" + std::to_string(to) + ",:,:)";
}

}  // namespace

std::optional<std::string> ExportCommand(std::string_view file, std::string_view name, long page) {
  if (!IsIdentifier(name) || page < 1) return std::nullopt;
  return "csvwrite(" + octave_quote::SingleQuoted(file) + ", " + std::string(name) + "(:,:," +
         std::to_string(page) + "), 'delimiter', ' ', 'coffset', 1); ";
}

ExpressionFault CheckCellExpression(std::string_view s) {
  for (const char c : s) {
    if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f) return ExpressionFault::kLineEnd;
  }
  std::string closers;     // the brackets still open, innermost last
  bool afterValue = false;  // a quote here is the transpose
  bool blankBefore = false;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == ' ' || c == '\t') {
      blankBefore = true;
      continue;
    }
    const bool blank = std::exchange(blankBefore, false);
    // Inside [] or {} blanks separate elements, so "[a 'b']" holds a string.
    const bool inList = !closers.empty() && closers.back() != ')';
    if (c == '\'' && afterValue && !(inList && blank)) continue;
    if (c == '\'' || c == '"') {
      const size_t end = StringEnd(s, i);
      if (end == std::string_view::npos) return ExpressionFault::kOpenString;
      i = end;
      afterValue = true;
      continue;
    }
    if (c == '%' || c == '#') return ExpressionFault::kComment;
    if (s.substr(i, 3) == "...") return ExpressionFault::kContinuation;
    if (c == '(' || c == '[' || c == '{') {
      closers.push_back(Closer(c));
      afterValue = false;
    } else if (c == ')' || c == ']' || c == '}') {
      if (closers.empty() || closers.back() != c) return ExpressionFault::kUnbalanced;
      closers.pop_back();
      afterValue = true;
    } else if ((c == ';' || c == ',') && closers.empty()) {
      return ExpressionFault::kSeparator;
    } else if (c != '.') {
      // "." keeps what came before: "x.'" and "1.'" are transposes too.
      afterValue = IsWordChar(c);
    }
  }
  return closers.empty() ? ExpressionFault::kNone : ExpressionFault::kUnbalanced;
}

std::optional<std::string> CellCommand(std::string_view name, long row, long column, long page,
                                       std::string_view text) {
  std::string value = text::Trim(text);
  if (value.empty()) value = "0";
  if (!IsIdentifier(name) || CheckCellExpression(value) != ExpressionFault::kNone || row < 1 ||
      column < 1 || page < 1)
    return std::nullopt;
  return std::string(name) + "(" + std::to_string(row) + "," + std::to_string(column) + "," +
         std::to_string(page) + ")=" + value + ";";
}

std::optional<std::string> AddLeftCommand(std::string_view name, long a) {
  if (a < 1 || !IsIdentifier(name)) return std::nullopt;
  const std::string n(name);
  const std::string left = a > 1 ? ColumnsTo(n, a - 1) + "," : "";
  return n + "=[" + left + "zeros(size(" + n + ",1),1,size(" + n + ",3))," + ColumnsFrom(n, a) + "];";
}

std::optional<std::string> AddRightCommand(std::string_view name, long a, long columnCount) {
  if (a < 1 || !IsIdentifier(name)) return std::nullopt;
  const std::string n(name);
  const std::string tail = a < columnCount ? "," + ColumnsFrom(n, a + 1) : "";
  return n + "=[" + ColumnsTo(n, a) + ",zeros(size(" + n + ",1),1,size(" + n + ",3))" + tail + "];";
}

std::optional<std::string> DeleteColumnsCommand(std::string_view name, long a, long b,
                                                long columnCount) {
  if (a < 1 || !IsIdentifier(name)) return std::nullopt;
  const std::string n(name);
  const std::string left = a > 1 ? ColumnsTo(n, a - 1) : "";
  const std::string tail = b < columnCount ? ColumnsFrom(n, b + 1) : "";
  return n + "=[" + left + (left.empty() ? "" : ",") + tail + "];";
}

std::optional<std::string> AddAboveCommand(std::string_view name, long a) {
  if (a < 1 || !IsIdentifier(name)) return std::nullopt;
  const std::string n(name);
  const std::string left = a > 1 ? RowsTo(n, a - 1) + ";" : "";
  return n + "=[" + left + "zeros(1,size(" + n + ",2),size(" + n + ",3));" + RowsFrom(n, a) + "];";
}

std::optional<std::string> AddBelowCommand(std::string_view name, long a, long rowCount) {
  if (a < 1 || !IsIdentifier(name)) return std::nullopt;
  const std::string n(name);
  const std::string tail = a < rowCount ? ";" + RowsFrom(n, a + 1) : "";
  return n + "=[" + RowsTo(n, a) + ";zeros(1,size(" + n + ",2),size(" + n + ",3))" + tail + "];";
}

std::optional<std::string> DeleteRowsCommand(std::string_view name, long a, long b, long rowCount) {
  if (a < 1 || !IsIdentifier(name)) return std::nullopt;
  const std::string n(name);
  const std::string left = a > 1 ? RowsTo(n, a - 1) : "";
  const std::string tail = b < rowCount ? RowsFrom(n, b + 1) : "";
  return n + "=[" + left + (left.empty() ? "" : ";") + tail + "];";
}

VariableSize ParseVariableSize(std::string_view size) {
  const std::vector<std::string> pieces = text::SplitNonEmpty(size, "x");
  VariableSize parsed;
  parsed.dimensions = pieces.size();
  if (pieces.size() > 0) parsed.rows = text::ParseLeadingInt(pieces[0]);
  if (pieces.size() > 1) parsed.columns = text::ParseLeadingInt(pieces[1]);
  if (pieces.size() > 2) {
    parsed.paged = true;
    parsed.pages = text::ParseLeadingInt(pieces[2]);
  }
  return parsed;
}

std::vector<std::string> ExchangeTokens(std::string_view content) {
  std::vector<std::string> tokens;
  size_t i = 0;
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (i < content.size()) {
    while (i < content.size() && blank(content[i])) ++i;
    const size_t start = i;
    while (i < content.size() && !blank(content[i])) ++i;
    if (i > start) tokens.emplace_back(content.substr(start, i - start));
  }
  return tokens;
}

Cell FocusAfterRefill(Cell remembered, long rows, long columns) {
  if (remembered.row >= 1 && remembered.column >= 1 && remembered.row <= rows &&
      remembered.column <= columns)
    return remembered;
  return Cell{1, 1};
}

CellRange CommandRange(CellRange selected, Cell focus) {
  if (selected.lastRow == -1 || selected.lastColumn == -1)
    return CellRange{focus.row, focus.column, focus.row, focus.column};
  return selected;
}

std::string CellsToClipboard(const std::vector<std::vector<std::string>>& cells) {
  std::string out;
  for (const std::vector<std::string>& row : cells) out += text::Join(row, "\t") + "\n";
  return out;
}

std::vector<std::vector<std::string>> CellsFromClipboard(std::string_view text) {
  std::vector<std::vector<std::string>> cells;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::vector<std::string> row;
    size_t from = 0;
    for (size_t tab; (tab = line.find('\t', from)) != std::string_view::npos; from = tab + 1)
      row.emplace_back(line.substr(from, tab - from));
    row.emplace_back(line.substr(from));
    cells.push_back(std::move(row));
    start = end + 1;
  }
  return cells;
}

}  // namespace grid_commands
