// Cells of a script: blocks separated by marker lines whose text, after its
// leading blanks and tabs, starts with "%% ". Finding the marker lines, naming
// the cells, the lines of the cell at the caret, where Next and Previous Cell
// go, and the text of a new marker line. Lines are 0-based here.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quire_cells {

inline constexpr std::string_view kCellMarker = "%% ";

// Where "%% " starts in a marker line; nullopt for any other line.
std::optional<size_t> MarkerOffset(std::string_view line);

// The marker lines of a whole text (any line ends), in order.
std::vector<int> FindMarkerLines(std::string_view text);

// The names of the cells whose marker lines are `markerLines` (their texts):
// the rest of the line after "%% ", or "cell %d" counting only unnamed cells.
std::vector<std::string> CellNames(const std::vector<std::string>& markerLines);

// The cell that holds `line` (a marker line starts its cell); -1 above the
// first marker.
int CellIndexAt(const std::vector<int>& markers, int line);

// Lines [first, end) of the cell at `line`: from the line after its marker
// (the document start above the first marker) to the next marker line or to
// `lineCount`.
struct SLineRange {
  int first = 0;
  int end = 0;
  bool operator==(const SLineRange&) const = default;
};
SLineRange CellLinesAt(const std::vector<int>& markers, int line, int lineCount);

// Next Cell: the first marker below `line`, or on it when the caret stands
// at or before the marker there (`beforeMarkerOnLine`). Previous Cell: the last
// marker above `line` (from inside a cell its own marker, from a marker line
// the one before). Nullopt when there is none: the caret stays.
std::optional<int> NextMarker(const std::vector<int>& markers, int line, bool beforeMarkerOnLine);
std::optional<int> PreviousMarker(const std::vector<int>& markers, int line);

// The text "Insert Cell Break" puts at the end of `line`: `lineEnd` (the
// document's), the line's leading blanks and tabs, and "%% ".
std::string MarkerLineBelow(std::string_view line, std::string_view lineEnd);
// The text put at the start of `line` for a marker line above it (used for
// the first line, which has no line above).
std::string MarkerLineAbove(std::string_view line, std::string_view lineEnd);

// Keeps the marker lines of a text current through edits without reading the
// whole text again: an edit changes the lines it touched and moves the ones
// below.
class CMarkerLines {
 public:
  const std::vector<int>& Lines() const { return m_lines; }
  void Assign(std::vector<int> lines) { m_lines = std::move(lines); }
  // An edit at `line` added `linesAdded` lines after it (negative: that many
  // lines were joined into it); `isMarker` tells for the lines from `line` to
  // `line + max(linesAdded, 0)` whether they are marker lines now. True when a
  // marker line came, went or was edited, so the cell names may differ.
  bool Update(int line, int linesAdded, const std::function<bool(int)>& isMarker);

 private:
  std::vector<int> m_lines;
};

}  // namespace quire_cells
