// The Variable Editor's pure side: the export of one page to the exchange file,
// the assignments that send changes back, and the rules of the grid (size,
// pages, tokens, focus, clipboard). No Qt, no session.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace grid_commands {

// csvwrite('FILE', NAME(:,:,PAGE), 'delimiter', ' ', 'coffset', 1);  (one blank
// at the end) — nothing when the name is not an identifier or the page is below 1.
std::optional<std::string> ExportCommand(std::string_view file, std::string_view name, long page);

// Why a cell's text would run more than one expression as the right-hand side
// of an assignment.
enum class ExpressionFault {
  kNone,
  kSeparator,     // ";" or "," outside brackets and strings
  kLineEnd,       // a line end or another control character
  kComment,       // "%" or "#" outside strings: it would swallow the ending ";"
  kContinuation,  // "..." joins the next line and hides the rest of this one
  kUnbalanced,    // a bracket without its partner: the statement would go on
  kOpenString,    // a quote without its closing quote
};
// A quote right after a value ("x'", "a.'", "(1)'") is Octave's transpose; inside
// [] or {} a quote after a blank starts a string, as the interpreter reads it.
ExpressionFault CheckCellExpression(std::string_view text);

// NAME(ROW,COLUMN,PAGE)=VALUE; — an empty text sends 0; nothing when the text is
// more than one expression or the name is not an identifier.
std::optional<std::string> CellCommand(std::string_view name, long row, long column, long page,
                                       std::string_view text);

// Row and column commands on every page. Indices are grid coordinates: data
// cells from 1, counts including the header row or column. Nothing when the
// starting index is below 1 or the name is not an identifier.
std::optional<std::string> AddLeftCommand(std::string_view name, long firstColumn);
std::optional<std::string> AddRightCommand(std::string_view name, long lastColumn, long columnCount);
std::optional<std::string> DeleteColumnsCommand(std::string_view name, long firstColumn,
                                                long lastColumn, long columnCount);
std::optional<std::string> AddAboveCommand(std::string_view name, long firstRow);
std::optional<std::string> AddBelowCommand(std::string_view name, long lastRow, long rowCount);
std::optional<std::string> DeleteRowsCommand(std::string_view name, long firstRow, long lastRow,
                                             long rowCount);

// A size as the workspace list shows it ("4x3x5").
struct VariableSize {
  long rows = 0;
  long columns = 0;
  long pages = 1;         // the third index; 1 for a matrix
  bool paged = false;     // the size has a third piece
  size_t dimensions = 0;  // how many pieces
  bool operator==(const VariableSize&) const = default;
};
VariableSize ParseVariableSize(std::string_view size);

// The exchange file's values in reading order, of any length, split at blanks,
// tabs and line ends.
std::vector<std::string> ExchangeTokens(std::string_view content);

struct Cell {
  long row = -1;
  long column = -1;
  bool operator==(const Cell&) const = default;
};
// Where the focus goes after the grid is refilled for rows x columns: the cell it
// had when that still lies inside, else the first data cell.
Cell FocusAfterRefill(Cell remembered, long rows, long columns);

struct CellRange {
  long firstRow = -1, firstColumn = -1, lastRow = -1, lastColumn = -1;
  bool operator==(const CellRange&) const = default;
};
// The range the row and column commands act on: the selection, or the focus
// cell alone when nothing is selected.
CellRange CommandRange(CellRange selected, Cell focus);

// Cells on the clipboard: tab between cells, a line end after each row.
std::string CellsToClipboard(const std::vector<std::vector<std::string>>& cells);
std::vector<std::vector<std::string>> CellsFromClipboard(std::string_view text);

}  // namespace grid_commands
