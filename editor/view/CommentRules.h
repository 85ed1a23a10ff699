// Rules for commenting and uncommenting lines, for telling code lines from
// comment and blank lines, and for keeping a selection on its text while
// commands insert and remove pieces of it.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

// The marker the Comment command inserts for the "Comment" setting: 0 "#",
// 1 "%", 2 "##", 3 "%%". Values outside that range give "#".
std::string_view CommentMarker(int setting);

// Number of blanks and tabs at the start of `line`: where Comment inserts.
size_t LeadingBlankCount(std::string_view line);

struct LineRange {
  size_t offset;
  size_t length;
  bool operator==(const LineRange&) const = default;
};

// What Uncomment removes from a line whose first non-blank character is "%" or
// "#": that character, the run of the same character after it, and one blank
// after the run. Nothing for any other line.
std::optional<LineRange> UncommentRange(std::string_view line);

// A line that holds something other than blanks, tabs and line ends, and does
// not start with "%" or "#": where breakpoints and the debug arrow can sit.
bool IsCodeLine(std::string_view line);

// One insertion or removal at `position`, in the coordinates from before any of
// the edits of its list.
struct TextEdit {
  long position;
  long removed;
  long inserted;
};

// Where `position` lies after `edits` (sorted by position, not overlapping).
// A position inside a removed piece goes to its start; an insertion exactly at
// the position pushes it right only when `stickToEnd` (the end of a selection,
// or a lone caret), so a selection keeps covering the text it covered.
long MapPosition(long position, const std::vector<TextEdit>& edits, bool stickToEnd);
