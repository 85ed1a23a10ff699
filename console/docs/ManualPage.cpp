#include "console/docs/ManualPage.h"

namespace manual {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The end of the empty named element that starts at `at` ("<span id=..></span>"
// or "<a name=..></a>"), or npos when there is none.
size_t EmptyAnchorEnd(std::string_view html, size_t at) {
  std::string_view close;
  if (html.substr(at, 6) == "<span ") {
    close = "</span>";
  } else if (html.substr(at, 3) == "<a ") {
    close = "</a>";
  } else {
    return std::string_view::npos;
  }
  const size_t tagEnd = html.find('>', at);
  if (tagEnd == std::string_view::npos) return std::string_view::npos;
  const std::string_view tag = html.substr(at, tagEnd - at);
  const bool named = tag.find(" id=\"") != std::string_view::npos || tag.find(" name=\"") != std::string_view::npos;
  if (!named || tag.find("href=") != std::string_view::npos) return std::string_view::npos;
  if (html.substr(tagEnd + 1, close.size()) != close) return std::string_view::npos;
  return tagEnd + 1 + close.size();
}

// Past the opening tags (and the blanks between them) that start at `at`.
size_t PastOpeningTags(std::string_view html, size_t at) {
  size_t past = at;
  for (size_t next = at;;) {
    while (next < html.size() && IsSpace(html[next])) ++next;
    if (next + 1 >= html.size() || html[next] != '<' || !IsLetter(html[next + 1])) return past;
    const size_t tagEnd = html.find('>', next);
    if (tagEnd == std::string_view::npos) return past;
    next = past = tagEnd + 1;
  }
}

}  // namespace

std::string SplitIndexTable(std::string_view html) {
  constexpr std::string_view kLetterRow = "<tr><th id=\"";
  constexpr std::string_view kLetterId = "_letter-";
  std::string split;
  size_t copied = 0;
  for (size_t row = html.find(kLetterRow); row != std::string_view::npos; row = html.find(kLetterRow, row + 1)) {
    const size_t idStart = row + kLetterRow.size();
    const size_t idEnd = html.find('"', idStart);
    if (idEnd == std::string_view::npos) break;
    if (html.substr(idStart, idEnd - idStart).find(kLetterId) == std::string_view::npos) continue;
    // The table this row is in: the last one opened before it, still open.
    const size_t opened = html.rfind("<table", row);
    if (opened == std::string_view::npos) continue;
    const size_t closed = html.rfind("</table", row);
    if (closed != std::string_view::npos && closed > opened) continue;
    const size_t tagEnd = html.find('>', opened);
    if (tagEnd == std::string_view::npos || tagEnd > row) continue;
    // The first group needs no table of its own when nothing precedes it.
    if (html.find("<tr", tagEnd) == row) continue;
    if (split.empty()) split.reserve(html.size() + html.size() / 20);
    split.append(html.substr(copied, row - copied));
    split.append("</table>\n");
    split.append(html.substr(opened, tagEnd + 1 - opened));
    copied = row;
  }
  if (copied == 0) return std::string(html);
  split.append(html.substr(copied));
  return split;
}

std::string MoveEmptyAnchors(std::string_view html) {
  std::string moved;
  moved.reserve(html.size());
  size_t copied = 0;
  for (size_t at = html.find('<'); at != std::string_view::npos; at = html.find('<', at + 1)) {
    const size_t end = EmptyAnchorEnd(html, at);
    if (end == std::string_view::npos) continue;
    const size_t target = PastOpeningTags(html, end);
    if (target == end) continue;
    moved.append(html.substr(copied, at - copied));
    moved.append(html.substr(end, target - end));
    moved.append(html.substr(at, end - at));
    copied = target;
    at = target - 1;
  }
  moved.append(html.substr(copied));
  return moved;
}

std::string PrepareHtml(std::string_view html) { return MoveEmptyAnchors(SplitIndexTable(html)); }

}  // namespace manual
