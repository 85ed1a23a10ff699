// Pure rules of the console's input line: the word that Tab completes and the
// history recall of the arrow keys.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
