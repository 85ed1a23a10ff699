#include "console/command/ConsoleText.h"

#include <algorithm>
#include <cctype>

#include "common/Text.h"

namespace {

bool StartsWithIgnoringCase(const std::string& line, const std::string& prefix) {
  if (line.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(line[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

// The first line from `from` stepping by `step` up to and including `to` that
// starts with the prefix, or -1.
long Search(const std::vector<std::string>& lines, long from, long to, long step,
            const std::string& prefix) {
  for (long i = from; step < 0 ? i >= to : i <= to; i += step) {
    if (i >= 0 && i < static_cast<long>(lines.size()) &&
        StartsWithIgnoringCase(lines[static_cast<size_t>(i)], prefix))
      return i;
  }
  return -1;
}

}  // namespace

size_t CompletionWordStart(std::u16string_view text) {
  const size_t separator = text.find_last_of(COMPLETION_SEPARATORS);
  return separator == std::u16string_view::npos ? 0 : separator + 1;
}

RecallResult RecallBackward(const std::vector<std::string>& lines, long cursor,
                            const std::string& prefix) {
  const long n = static_cast<long>(lines.size());
  if (cursor > 0 && n > 0) {
    if (prefix.empty()) {
      const long line = std::min(cursor, n) - 1;
      return {line, lines[static_cast<size_t>(line)]};
    }
    long match = Search(lines, cursor - 1, 0, -1, prefix);
    if (match < 0) match = Search(lines, n - 2, 0, -1, prefix);  // once round again
    if (match < 0) return {cursor - 1, std::nullopt};
    return {match, lines[static_cast<size_t>(match)]};
  }
  if (cursor == 0) return {n, std::string()};
  return {cursor, std::nullopt};
}

RecallResult RecallForward(const std::vector<std::string>& lines, long cursor,
                           const std::string& prefix) {
  const long n = static_cast<long>(lines.size());
  if (cursor >= -1 && cursor < n - 1) {
    if (prefix.empty()) return {cursor + 1, lines[static_cast<size_t>(cursor + 1)]};
    long match = Search(lines, cursor + 1, n - 1, 1, prefix);
    if (match < 0) match = Search(lines, 1, n - 1, 1, prefix);  // once round again
    if (match < 0) return {cursor + 1, std::nullopt};
    return {match, lines[static_cast<size_t>(match)]};
  }
  if (cursor == n - 1) return {0, std::string()};
  return {cursor, std::nullopt};
}

std::u16string LeftOutNote(long count) {
  std::u16string digits;
  const std::string plain = std::to_string(count);
  for (size_t i = 0; i < plain.size(); ++i) {
    if (i > 0 && (plain.size() - i) % 3 == 0) digits += u',';
    digits += static_cast<char16_t>(plain[i]);
  }
  return u" \u2026 [" + digits + u" characters not shown; copying the line copies them all] \u2026 ";
}

std::pair<long, long> WholeLineRange(const CutLine& line, long from, long to) {
  const long noteEnd = line.head + line.note;
  const auto whole = [&](long shown, bool start) {
    if (shown <= line.head) return shown;
    if (shown >= noteEnd) return shown - line.note + line.leftOut;
    return start ? line.head : line.head + line.leftOut;  // inside the note
  };
  return {whole(from, true), whole(to, false)};
}

std::vector<std::pair<size_t, size_t>> OutputPieces(std::string_view chunk, size_t maxBytes) {
  std::vector<std::pair<size_t, size_t>> pieces;
  for (size_t begin = 0; begin < chunk.size();) {
    size_t size = std::min(maxBytes, chunk.size() - begin);
    if (begin + size < chunk.size()) {
      // A character cut at the end waits for the next piece (unless the piece
      // holds nothing whole, which only broken text can do).
      const size_t whole = text::CompleteUtf8Prefix(chunk.substr(begin, size));
      if (whole > 0) size = whole;
    }
    pieces.emplace_back(begin, begin + size);
    begin += size;
  }
  return pieces;
}

std::vector<ConsoleMark> MarksWithin(const std::vector<ConsoleMark>& marks, std::string_view chunk,
                                     size_t from, size_t to) {
  std::vector<ConsoleMark> within;
  const long begin = static_cast<long>(from);
  const long end = static_cast<long>(to);
  for (const ConsoleMark& mark : marks) {
    const long markBegin = from == 0 ? mark.begin : std::max(mark.begin, begin);
    const long markEnd = std::min(mark.end, end);
    if (markEnd <= markBegin) continue;
    ConsoleMark part = mark;
    part.begin = markBegin - begin;
    part.end = markEnd - begin;
    if (part.kind == ConsoleMark::Kind::Link && part.target.empty() && mark.begin >= 0) {
      part.target = std::string(chunk.substr(static_cast<size_t>(mark.begin),
                                             static_cast<size_t>(mark.end - mark.begin)));
    }
    within.push_back(std::move(part));
  }
  return within;
}
