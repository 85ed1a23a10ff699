#include "editor/view/CellRules.h"

#include <algorithm>
#include <cstring>

namespace quire_cells {

std::optional<size_t> MarkerOffset(std::string_view line) {
  const size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos || line.compare(start, kCellMarker.size(), kCellMarker) != 0)
    return std::nullopt;
  return start;
}

std::vector<int> FindMarkerLines(std::string_view text) {
  std::vector<int> lines;
  int line = 0;
  size_t start = 0;
  while (start <= text.size()) {
    const void* found = std::memchr(text.data() + start, '\n', text.size() - start);
    const size_t end = found ? static_cast<size_t>(static_cast<const char*>(found) - text.data()) : text.size();
    if (MarkerOffset(text.substr(start, end - start))) lines.push_back(line);
    if (!found) break;
    start = end + 1;
    ++line;
  }
  return lines;
}

std::vector<std::string> CellNames(const std::vector<std::string>& markerLines) {
  std::vector<std::string> names;
  int unnamed = 0;
  for (const std::string& line : markerLines) {
    std::string_view rest(line);
    const std::optional<size_t> offset = MarkerOffset(rest);
    rest.remove_prefix(offset ? *offset + kCellMarker.size() : rest.size());
    while (!rest.empty() && (rest.back() == '\r' || rest.back() == '\n')) rest.remove_suffix(1);
    names.push_back(rest.empty() ? "cell " + std::to_string(++unnamed) : std::string(rest));
  }
  return names;
}

int CellIndexAt(const std::vector<int>& markers, int line) {
  const auto after = std::upper_bound(markers.begin(), markers.end(), line);
  return static_cast<int>(after - markers.begin()) - 1;
}

SLineRange CellLinesAt(const std::vector<int>& markers, int line, int lineCount) {
  const int index = CellIndexAt(markers, line);
  const auto next = std::upper_bound(markers.begin(), markers.end(), line);
  return {index < 0 ? 0 : markers[static_cast<size_t>(index)] + 1, next == markers.end() ? lineCount : *next};
}

std::optional<int> NextMarker(const std::vector<int>& markers, int line, bool beforeMarkerOnLine) {
  const auto next = beforeMarkerOnLine ? std::lower_bound(markers.begin(), markers.end(), line)
                                       : std::upper_bound(markers.begin(), markers.end(), line);
  if (next == markers.end()) return std::nullopt;
  return *next;
}

std::optional<int> PreviousMarker(const std::vector<int>& markers, int line) {
  const auto at = std::lower_bound(markers.begin(), markers.end(), line);
  if (at == markers.begin()) return std::nullopt;
  return *(at - 1);
}

namespace {
std::string_view Indentation(std::string_view line) {
  return line.substr(0, std::min(line.size(), line.find_first_not_of(" \t")));
}
}  // namespace

std::string MarkerLineBelow(std::string_view line, std::string_view lineEnd) {
  return std::string(lineEnd) + std::string(Indentation(line)) + std::string(kCellMarker);
}

std::string MarkerLineAbove(std::string_view line, std::string_view lineEnd) {
  return std::string(Indentation(line)) + std::string(kCellMarker) + std::string(lineEnd);
}

bool CMarkerLines::Update(int line, int linesAdded, const std::function<bool(int)>& isMarker) {
  // Before the edit the lines `line` .. `lastOld` were touched, after it the
  // lines `line` .. `lastNew`; the marker lines below them only move.
  const int lastOld = line + std::max(0, -linesAdded);
  const int lastNew = line + std::max(0, linesAdded);
  const auto first = std::lower_bound(m_lines.begin(), m_lines.end(), line);
  const auto afterOld = std::upper_bound(first, m_lines.end(), lastOld);
  const bool hadMarkers = first != afterOld;
  std::vector<int> updated(m_lines.begin(), first);
  for (int l = line; l <= lastNew; ++l)
    if (isMarker(l)) updated.push_back(l);
  const bool hasMarkers = updated.size() != static_cast<size_t>(first - m_lines.begin());
  for (auto below = afterOld; below != m_lines.end(); ++below) updated.push_back(*below + linesAdded);
  m_lines = std::move(updated);
  return hadMarkers || hasMarkers;
}

}  // namespace quire_cells
