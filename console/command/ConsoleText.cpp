#include "console/command/ConsoleText.h"

#include <algorithm>
#include <cctype>
#include <limits>

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

namespace {

// The bytes of the character at `at` as the console decodes them: a valid
// UTF-8 sequence whole, any other byte on its own (shown as U+FFFD).
size_t CharacterBytes(std::string_view text, size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80;  // the range of the second byte
  unsigned char high = 0xbf;
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3;
    if (lead == 0xe0) low = 0xa0;   // no overlong forms
    if (lead == 0xed) high = 0x9f;  // no surrogates
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4;
    if (lead == 0xf0) low = 0x90;
    if (lead == 0xf4) high = 0x8f;  // nothing beyond U+10FFFF
  } else {
    return 1;
  }
  if (at + length > text.size()) return 1;
  for (size_t i = 1; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[at + i]);
    if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xbf)) return 1;
  }
  return length;
}

// The UTF-16 units of a character of `bytes` bytes.
size_t UnitsOf(size_t bytes) { return bytes == 4 ? 2 : 1; }

}  // namespace

size_t Utf16Length(std::string_view text) {
  size_t units = 0;
  for (size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++units;
      ++at;
      continue;
    }
    const size_t bytes = CharacterBytes(text, at);
    units += UnitsOf(bytes);
    at += bytes;
  }
  return units;
}

std::vector<long> CharacterOffsets(std::string_view text, const std::vector<long>& bytes) {
  std::vector<long> sorted = bytes;
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  std::vector<long> characters(sorted.size());
  size_t counted = 0;
  long units = 0;
  for (size_t i = 0; i < sorted.size(); ++i) {
    if (sorted[i] <= 0) {
      characters[i] = sorted[i];
      continue;
    }
    const size_t until = std::min(static_cast<size_t>(sorted[i]), text.size());
    units += static_cast<long>(Utf16Length(text.substr(counted, until - counted)));
    counted = until;
    characters[i] = units;
  }
  std::vector<long> result;
  result.reserve(bytes.size());
  for (const long byte : bytes)
    result.push_back(characters[static_cast<size_t>(std::lower_bound(sorted.begin(), sorted.end(), byte) - sorted.begin())]);
  return result;
}

std::vector<LeftOutRange> LeftOutRanges(std::string_view chunk) {
  std::vector<LeftOutRange> ranges;
  for (size_t start = 0; start < chunk.size();) {
    size_t end = chunk.find('\n', start);
    if (end == std::string_view::npos) end = chunk.size();
    const std::string_view line = chunk.substr(start, end - start);
    // A line of no more bytes than the limit has no more characters either.
    const size_t characters = line.size() > static_cast<size_t>(kLongLine) ? Utf16Length(line) : 0;
    if (characters > static_cast<size_t>(kLongLine)) {
      // The head: whole characters until kShownHead are reached.
      size_t head = 0;
      size_t headCharacters = 0;
      while (headCharacters < static_cast<size_t>(kShownHead)) {
        const size_t bytes = CharacterBytes(line, head);
        headCharacters += UnitsOf(bytes);
        head += bytes;
      }
      // The tail: the last character start from which kShownTail remain. No
      // character takes more than 4 bytes a unit, so the walk starts early
      // enough, at a character start (any byte but a continuation byte).
      size_t from = std::max(head, line.size() - std::min(line.size(), 4 * static_cast<size_t>(kShownTail) + 4));
      while (from < line.size() && (static_cast<unsigned char>(line[from]) & 0xc0) == 0x80) ++from;
      std::vector<std::pair<size_t, size_t>> starts;  // byte, characters from there to the end
      for (size_t at = from; at < line.size(); at += CharacterBytes(line, at)) starts.emplace_back(at, 0);
      size_t after = 0;
      for (auto start = starts.rbegin(); start != starts.rend(); ++start) {
        const size_t bytes = (start == starts.rbegin() ? line.size() : (start - 1)->first) - start->first;
        after += UnitsOf(bytes);
        start->second = after;
      }
      size_t tail = from;
      size_t tailCharacters = starts.empty() ? 0 : starts.front().second;
      for (const auto& [at, remaining] : starts) {
        if (remaining < static_cast<size_t>(kShownTail)) break;
        tail = at;
        tailCharacters = remaining;
      }
      ranges.push_back({start + head, start + tail, characters - headCharacters - tailCharacters});
    }
    start = end + 1;
  }
  return ranges;
}

std::vector<ConsoleMark> MarksAroundLeftOut(const std::vector<ConsoleMark>& marks, std::string_view chunk,
                                            const std::vector<LeftOutRange>& leftOut) {
  constexpr long kBefore = std::numeric_limits<long>::min();
  constexpr long kAfter = std::numeric_limits<long>::max();
  std::vector<ConsoleMark> result;
  for (ConsoleMark mark : marks) {
    if (mark.kind == ConsoleMark::Kind::Link && mark.target.empty()) {
      const size_t from = std::min(static_cast<size_t>(std::max(0L, mark.begin)), chunk.size());
      const size_t to = std::clamp(static_cast<size_t>(std::max(0L, mark.end)), from, chunk.size());
      mark.target = std::string(chunk.substr(from, to - from));
    }
    // The kept stretches in turn, each shifted by what was left out before
    // it; the first also holds what came before the chunk.
    long keptFrom = kBefore;
    long removed = 0;
    for (size_t i = 0; i <= leftOut.size(); ++i) {
      const long keptTo = i < leftOut.size() ? static_cast<long>(leftOut[i].begin) : kAfter;
      const long begin = std::max(mark.begin, keptFrom);
      const long end = std::min(mark.end, keptTo);
      if (begin < end) {
        ConsoleMark part = mark;
        part.begin = begin - removed;
        part.end = end - removed;
        result.push_back(std::move(part));
      }
      if (i == leftOut.size()) break;
      removed += static_cast<long>(leftOut[i].end - leftOut[i].begin);
      keptFrom = static_cast<long>(leftOut[i].end);
    }
  }
  return result;
}

std::vector<std::pair<size_t, size_t>> OutputPieces(std::string_view text, size_t maxBytes,
                                                    const std::vector<size_t>& gaps) {
  std::vector<std::pair<size_t, size_t>> pieces;
  auto gap = gaps.begin();
  for (size_t begin = 0; begin < text.size();) {
    size_t size = std::min(maxBytes, text.size() - begin);
    if (begin + size < text.size()) {
      // A character cut at the end waits for the next piece (unless the piece
      // holds nothing whole, which only broken text can do).
      const size_t whole = text::CompleteUtf8Prefix(text.substr(begin, size));
      if (whole > 0) size = whole;
    }
    // A piece that holds a gap ends after the gap's line.
    for (; gap != gaps.end() && *gap < begin + size; ++gap) {
      const size_t lineEnd = text.find('\n', *gap);
      size = std::max(size, (lineEnd == std::string_view::npos ? text.size() : lineEnd) - begin);
    }
    pieces.emplace_back(begin, begin + size);
    begin += size;
  }
  return pieces;
}

std::vector<ConsoleMark> MarksWithin(const std::vector<ConsoleMark>& marks, size_t from, size_t to) {
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
    within.push_back(std::move(part));
  }
  return within;
}

std::vector<ConsoleMark> MarksInCharacters(const std::vector<ConsoleMark>& marks, std::string_view text) {
  std::vector<long> bytes;
  for (const ConsoleMark& mark : marks) {
    bytes.push_back(mark.begin);
    bytes.push_back(mark.end);
  }
  const std::vector<long> characters = CharacterOffsets(text, bytes);
  std::vector<ConsoleMark> result = marks;
  for (size_t i = 0; i < result.size(); ++i) {
    result[i].begin = characters[2 * i];
    result[i].end = characters[2 * i + 1];
  }
  return result;
}
