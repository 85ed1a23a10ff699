#include "editor/view/CommentRules.h"

#include <array>

#include "common/Text.h"

std::string_view CommentMarker(int setting) {
  static constexpr std::array<std::string_view, 4> MARKERS = {"#", "%", "##", "%%"};
  if (setting < 0 || setting >= static_cast<int>(MARKERS.size())) return MARKERS[0];
  return MARKERS[static_cast<size_t>(setting)];
}

size_t LeadingBlankCount(std::string_view line) {
  const size_t end = line.find_first_not_of(" \t");
  return end == std::string_view::npos ? line.size() : end;
}

std::optional<LineRange> UncommentRange(std::string_view line) {
  const size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos) return std::nullopt;
  const char marker = line[start];
  if (marker != '%' && marker != '#') return std::nullopt;
  size_t end = start + 1;
  while (end < line.size() && line[end] == marker) ++end;
  if (end < line.size() && line[end] == ' ') ++end;
  return LineRange{start, end - start};
}

bool IsCodeLine(std::string_view line) {
  const std::string_view code = text::TrimLeft(line);
  return !code.empty() && code.front() != '%' && code.front() != '#';
}

long MapPosition(long position, const std::vector<TextEdit>& edits, bool stickToEnd) {
  long shift = 0;
  for (const TextEdit& edit : edits) {
    if (edit.removed > 0) {
      if (position >= edit.position + edit.removed)
        shift -= edit.removed;
      else if (position > edit.position)
        shift -= position - edit.position;
    }
    if (edit.inserted > 0 &&
        (position > edit.position || (position == edit.position && stickToEnd)))
      shift += edit.inserted;
  }
  return position + shift;
}
