// Small string helpers on single-byte (UTF-8) text, used by both programs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace text {

// The characters that end a word for completion, help and the word at the
// caret, in this order.
inline constexpr std::string_view kCompletionSeparators = "([{)]} <>=+-*/\\&|;,.:@\"'";

bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);
bool Contains(std::string_view s, std::string_view part);

// Replaces every occurrence of `from` with `to`, left to right, once.
std::string ReplaceAll(std::string s, std::string_view from, std::string_view to);
// Replaces until `from` no longer occurs (for collapsing doubled patterns).
std::string ReplaceUntilGone(std::string s, std::string_view from, std::string_view to);
// Removes every character of `chars` from `s`.
std::string RemoveChars(std::string s, std::string_view chars);

// Trims blanks, tabs, carriage returns and line feeds at both ends, or at the
// start or the end only.
std::string Trim(std::string_view s);
std::string_view TrimLeft(std::string_view s);
std::string_view TrimRight(std::string_view s);

// Splits at every occurrence of `separator`; empty pieces are dropped.
std::vector<std::string> SplitNonEmpty(std::string_view s, std::string_view separator);
// The same pieces as views into `s`, which must outlive them.
std::vector<std::string_view> SplitNonEmptyViews(std::string_view s, std::string_view separator);
// Splits at line feeds; empty lines (and a lone carriage return) are dropped.
std::vector<std::string> SplitLines(std::string_view s);

std::string Join(const std::vector<std::string>& items, std::string_view separator);

// The text after the last "." of the file name a path ends in (the folders of
// the path do not count); empty when the name has no ".".
std::string FileExtension(std::string_view path);

// Reads a decimal integer the way atoi does: leading blanks skipped, stops at the
// first non-digit, 0 when there is none.
long ParseLeadingInt(std::string_view s);

// The text as it reads inside HTML: "&", "<" and ">" written as entities, so
// that nothing in it starts a tag.
std::string EscapeHtml(std::string_view s);

// Number of leading bytes of `s` that form complete UTF-8 sequences: an
// incomplete sequence at the end is left for the next piece of a stream.
size_t CompleteUtf8Prefix(std::string_view s);

}  // namespace text
