// Pure rules of the console's text: the word that Tab completes, the history
// recall of the arrow keys, and very long lines shown cut.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "console/session/SessionViews.h"

// The characters that end a word for completion and help lookup.
inline constexpr std::u16string_view COMPLETION_SEPARATORS = u"([{)]} <>=+-*/\\&|;,.:@\"'";

// Where the word that ends at the end of `text` begins.
size_t CompletionWordStart(std::u16string_view text);

struct RecallResult {
  long cursor;
  // The new input line; nothing when the input stays as it is.
  std::optional<std::string> input;
  bool operator==(const RecallResult&) const = default;
};

// Up: the previous line, or the previous one that starts with `prefix`
// (ignoring case); at the oldest line the input is emptied.
RecallResult RecallBackward(const std::vector<std::string>& lines, long cursor,
                            const std::string& prefix);
// Down: the next line, or the next one that starts with `prefix`.
RecallResult RecallForward(const std::vector<std::string>& lines, long cursor,
                           const std::string& prefix);

// A line longer than kLongLine characters is shown cut: its first kShownHead
// characters, a note of what is left out, and its last kShownTail characters.
// Laying out and drawing a line costs time in step with its length: cut, every
// line stays quick to show whatever the interpreter prints.
inline constexpr int kLongLine = 8000;
inline constexpr int kShownHead = 4000;
inline constexpr int kShownTail = 500;

// The note that stands for `count` characters left out.
std::u16string LeftOutNote(long count);

// A line shown cut: `head` characters, a note `note` characters long that
// stands for `leftOut` characters, then the rest.
struct CutLine {
  long head;
  long note;
  long leftOut;
};
// The range of the whole line that the shown range [from, to) stands for: any
// part of the note stands for everything left out.
std::pair<long, long> WholeLineRange(const CutLine& line, long from, long to);

// Output longer than this goes to the window in pieces, each in a turn of the
// window's event loop of its own, so that megabytes in one line never hold the
// window for as long as they take.
inline constexpr size_t kOutputPieceBytes = 256 * 1024;
// The byte ranges [begin, end) of `chunk` in pieces of at most `maxBytes`, each
// ending on a whole UTF-8 character.
std::vector<std::pair<size_t, size_t>> OutputPieces(std::string_view chunk, size_t maxBytes);
// The marks of `chunk` within its bytes [from, to), counted from `from`. A mark
// before the chunk (begin -1) stays with the first piece; a link cut in two
// keeps its whole target in both parts.
std::vector<ConsoleMark> MarksWithin(const std::vector<ConsoleMark>& marks, std::string_view chunk,
                                     size_t from, size_t to);
