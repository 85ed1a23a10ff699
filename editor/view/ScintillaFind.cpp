// CScintillaWnd's find and replace: forward and backward search from the
// caret and the selection, replacing the selection or every match, and the
// word at a position.
#include "editor/view/ScintillaWnd.h"

namespace {

using Base = QsciScintillaBase;

constexpr const char* NUMBER_CHARS = "0123456789.-";

// Scintilla's SCI_FINDTEXT argument (Sci_TextToFind of its 3.x interface).
struct TextToFind {
  struct Range {
    long cpMin;
    long cpMax;
  };
  Range chrg;
  const char* lpstrText;
  Range chrgText;
};

}  // namespace

CScintillaWnd::CharRange CScintillaWnd::FindText(long from, long to,
                                                 std::string_view text) const {
  const std::string needle(text);
  TextToFind find{{from, to}, needle.c_str(), {-1, -1}};
  if (SendBuffer(Base::SCI_FINDTEXT, static_cast<uintptr_t>(m_searchFlags), &find) < 0)
    return {-1, -1};
  return {find.chrgText.cpMin, find.chrgText.cpMax};
}

int CScintillaWnd::SelectMatch(const CharRange& match) {
  if (match.start < 0) return 0;
  setFocus();
  GotoPosition(match.start);
  Send(Base::SCI_SETSEL, static_cast<uintptr_t>(match.start), match.end);
  Send(Base::SCI_SETSELBACK, 1, Rgb(50, 240, 50));
  return 1;
}

int CScintillaWnd::SearchForward(std::string_view text) {
  if (text.empty()) return 0;
  // From the caret, which sits after the last match: adjacent matches are found
  // one by one.
  const long from = GetCurrentPosition();
  const long length = GetLength();
  CharRange match = FindText(from, length, text);
  // An expression that matches empty text at the caret would be found forever.
  if (match.start == from && match.end == from && from < length)
    match = FindText(from + 1, length, text);
  return SelectMatch(match);
}

int CScintillaWnd::SearchBackward(std::string_view text) {
  if (text.empty()) return 0;
  // Matches that end at or before the selection start: the one just before the
  // last match is found too.
  long from = GetSelectionStart();
  if (from < 0) from = GetCurrentPosition();
  const CharRange match = FindText(from, 0, text);
  return SelectMatch(match);
}

void CScintillaWnd::Replace(std::string_view text) {
  Send(Base::SCI_TARGETFROMSELECTION);
  const unsigned int message = (m_searchFlags & Base::SCFIND_REGEXP) ? Base::SCI_REPLACETARGETRE
                                                                    : Base::SCI_REPLACETARGET;
  const std::string replacement(text);
  SendText(message, replacement.size(), replacement.c_str());
}

int CScintillaWnd::ReplaceAll(std::string_view find, std::string_view replacement,
                              bool inSelection) {
  if (find.empty()) return 0;
  const std::string needle(find);
  const std::string with(replacement);
  const unsigned int message = (m_searchFlags & Base::SCFIND_REGEXP) ? Base::SCI_REPLACETARGETRE
                                                                    : Base::SCI_REPLACETARGET;
  Send(Base::SCI_SETSEARCHFLAGS, static_cast<uintptr_t>(m_searchFlags));
  long start = inSelection ? GetSelectionStart() : 0;
  long end = inSelection ? GetSelectionEnd() : GetLength();
  int count = 0;
  Send(Base::SCI_BEGINUNDOACTION);
  while (start <= end) {
    Send(Base::SCI_SETTARGETSTART, static_cast<uintptr_t>(start));
    Send(Base::SCI_SETTARGETEND, static_cast<uintptr_t>(end));
    const long found = SendText(Base::SCI_SEARCHINTARGET, needle.size(), needle.c_str());
    if (found < 0 || found >= end) break;
    const long matchEnd = Send(Base::SCI_GETTARGETEND);
    const long replaced = SendText(message, with.size(), with.c_str());
    ++count;
    // The range's end moves with the text; the next search starts after the
    // replacement (and one further after an empty match, which would repeat).
    end += replaced - (matchEnd - found);
    start = found + replaced + (matchEnd == found ? 1 : 0);
  }
  Send(Base::SCI_ENDUNDOACTION);
  return count;
}

void CScintillaWnd::GetWordAt(std::string& word, CharRange& range, bool numbersOnly,
                              long position) {
  const long at = position < 0 ? GetCurrentPosition() : position;
  if (numbersOnly) SendText(Base::SCI_SETWORDCHARS, 0, NUMBER_CHARS);
  range.start = Send(Base::SCI_WORDSTARTPOSITION, static_cast<uintptr_t>(at), 1);
  range.end = Send(Base::SCI_WORDENDPOSITION, static_cast<uintptr_t>(at), 1);
  word = TextRange(range.start, range.end);
  SendText(Base::SCI_SETWORDCHARS, 0, WORD_CHARS);
}
