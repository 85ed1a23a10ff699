#include "console/session/OutputSegmenter.h"

#include <algorithm>
#include <array>
#include <utility>

#include "common/Text.h"

namespace {

// Patterns that span lines: while the text ends with the start of one, that start
// is held back too.
constexpr std::array<std::string_view, 1> kMultiLinePatterns = {
    "Variables in the current scope:\n\n Name",
};

size_t HeldPatternStart(std::string_view ready) {
  size_t held = ready.size();
  for (std::string_view pattern : kMultiLinePatterns) {
    for (size_t length = std::min(pattern.size() - 1, ready.size()); length > 0; --length) {
      const size_t start = ready.size() - length;
      const bool atLineStart = start == 0 || ready[start - 1] == '\n';
      if (atLineStart && ready.substr(start) == pattern.substr(0, length)) {
        held = std::min(held, start);
        break;
      }
    }
  }
  return held;
}

std::string Normalised(std::string s) { return text::ReplaceAll(std::move(s), "\r\n", "\n"); }

}  // namespace

std::string COutputSegmenter::Feed(std::string_view output) {
  // Only the new output is searched for a line end: a long line arrives in
  // many pieces, and searching all of it for each would grow with its square.
  const size_t lineFeed = output.rfind('\n');
  if (lineFeed != std::string_view::npos) m_lineEnd = m_pending.size() + lineFeed + 1;
  m_pending.append(output);
  size_t cut = text::EndsWith(m_pending, "> ")
                   ? m_pending.size()  // a prompt: the interpreter now waits for input
                   : m_lineEnd;
  cut = HeldPatternStart(std::string_view(m_pending).substr(0, cut));
  m_lineEnd = m_lineEnd > cut ? m_lineEnd - cut : 0;
  std::string ready = m_pending.substr(0, cut);
  m_pending.erase(0, cut);
  return Normalised(std::move(ready));
}

std::string COutputSegmenter::Flush() {
  m_lineEnd = 0;
  return Normalised(std::exchange(m_pending, {}));
}
