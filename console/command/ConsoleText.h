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

// Output is prepared on the session's thread, in the bytes it came in, with
// the middles of very long lines taken out, so that the window's thread
// places only what it shows. What is left out of a line is kept apart, as it
// came, for copying.

// The UTF-16 code units of UTF-8 `text` as the console decodes it (what its
// characters count): a byte that is not part of a valid character counts one.
size_t Utf16Length(std::string_view text);
// Each of the byte offsets `bytes` into UTF-8 `text` in its characters; an
// offset of 0 or less stays as it is. One pass over the text.
std::vector<long> CharacterOffsets(std::string_view text, const std::vector<long>& bytes);

// The bytes [begin, end) of a UTF-8 text left out of view, `characters` long.
struct LeftOutRange {
  size_t begin;
  size_t end;
  size_t characters;
  bool operator==(const LeftOutRange&) const = default;
};
// The ranges of the UTF-8 `chunk` that lines longer than kLongLine characters
// leave out: all but their first kShownHead and last kShownTail characters (a
// character across either edge is shown whole). A line continuing one already
// shown is cut by the window, which knows it.
std::vector<LeftOutRange> LeftOutRanges(std::string_view chunk);
// The marks of `chunk` (in bytes) in bytes of the chunk without the
// `leftOut` ranges: a part of a mark that is left out goes, a mark across a
// left-out range stays as two parts, and a link keeps its whole target.
std::vector<ConsoleMark> MarksAroundLeftOut(const std::vector<ConsoleMark>& marks, std::string_view chunk,
                                            const std::vector<LeftOutRange>& leftOut);

// Shown output longer than this goes to the window in pieces, each in a turn
// of the window's event loop of its own, so that many lines at once never hold
// the window for as long as they take.
inline constexpr size_t kOutputPieceBytes = 256 * 1024;
// The byte ranges [begin, end) of the shown output `text` in pieces of at most
// `maxBytes`, each ending on a whole UTF-8 character. A piece holding a place
// `gaps` names (where a line's middle was left out) holds the rest of that
// line too, so the window cuts the line in one call.
std::vector<std::pair<size_t, size_t>> OutputPieces(std::string_view text, size_t maxBytes,
                                                    const std::vector<size_t>& gaps);
// The marks within [from, to), counted from `from`. A mark before the text
// (begin -1) stays with the first piece.
std::vector<ConsoleMark> MarksWithin(const std::vector<ConsoleMark>& marks, size_t from, size_t to);
// The marks of UTF-8 `text` (in bytes) in its characters.
std::vector<ConsoleMark> MarksInCharacters(const std::vector<ConsoleMark>& marks, std::string_view text);
