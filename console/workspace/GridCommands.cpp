#include "console/workspace/GridCommands.h"

#include "common/OctaveQuote.h"
#include "common/OctaveText.h"
#include "common/Text.h"

namespace grid_commands {

namespace {

using octave_text::IsIdentifier;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t SkipDigits(std::string_view s, size_t i) {
  while (i < s.size() && IsDigit(s[i])) ++i;
  return i;
}

// An unsigned decimal at `i`: digits with an optional fraction, or a fraction
// alone, then an optional exponent (e or d, as the interpreter reads both).
bool Decimal(std::string_view s, size_t& i) {
  const size_t start = i;
  size_t j = SkipDigits(s, i);
  bool digits = j > start;
  if (j < s.size() && s[j] == '.') {
    const size_t fraction = j + 1;
    j = SkipDigits(s, fraction);
    digits = digits || j > fraction;
  }
  if (!digits) return false;
  if (j < s.size() && (s[j] == 'e' || s[j] == 'E' || s[j] == 'd' || s[j] == 'D')) {
    size_t k = j + 1;
    if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
    const size_t exponent = k;
    k = SkipDigits(s, k);
    if (k == exponent) return false;
    j = k;
  }
  i = j;
  return true;
}

bool Word(std::string_view s, size_t& i, std::string_view word) {
  if (s.substr(i, word.size()) != word) return false;
  i += word.size();
  return true;
}

bool Special(std::string_view s, size_t& i) {
  for (std::string_view word : {"Inf", "inf", "NaN", "nan", "NA"}) {
    if (Word(s, i, word)) return true;
  }
  return false;
}

bool ImaginaryUnit(std::string_view s, size_t& i) {
  if (i < s.size() && std::string_view("ijIJ").find(s[i]) != std::string_view::npos) {
    ++i;
    return true;
  }
  return false;
}

bool Sign(std::string_view s, size_t& i) {
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    ++i;
    return true;
  }
  return false;
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

bool IsNumberLiteral(std::string_view text) {
  const std::string trimmed = text::Trim(text);
  const std::string_view s = trimmed;
  size_t i = 0;
  Sign(s, i);
  if (Special(s, i)) return i == s.size();
  if (!Decimal(s, i)) return false;
  if (i == s.size()) return true;
  if (ImaginaryUnit(s, i)) return i == s.size();
  // A real part followed by a signed imaginary part.
  if (!Sign(s, i) || !Decimal(s, i) || !ImaginaryUnit(s, i)) return false;
  return i == s.size();
}

std::optional<std::string> CellCommand(std::string_view name, long row, long column, long page,
                                       std::string_view text) {
  std::string value = text::Trim(text);
  if (value.empty()) value = "0";
  if (!IsIdentifier(name) || !IsNumberLiteral(value) || row < 1 || column < 1 || page < 1)
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
