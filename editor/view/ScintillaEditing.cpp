// CScintillaWnd's editing aids: smart indentation, re-indenting, indent and
// unindent, comments, zoom, case and the matching brace.
#include "editor/view/ScintillaWnd.h"

#include <algorithm>

#include "editor/view/CommentRules.h"
#include "editor/view/IndentRules.h"

namespace {
using Base = QsciScintillaBase;
}  // namespace

// ---------------------------------------------------------------------------
// Editing aids

void CScintillaWnd::OnCharAdded(int ch) {
  FlushEdit();
  OnCharAddedForTips(ch);
  // Enter adds the document's line end one character at a time, each notified:
  // its last character indents once per Enter.
  if (ch == LineEnd().back() && Settings().smartIndent) SmartIndentNewLine();
}

void CScintillaWnd::SmartIndentNewLine() {
  const ViewSettings settings = Settings();
  const int line = GetCurrentLine() - 1;
  const int previous = line - 1;
  if (previous < 0) return;
  const int previousIndent = static_cast<int>(
      Send(Base::SCI_GETLINEINDENTATION, static_cast<uintptr_t>(previous)));
  const SmartIndentResult result =
      SmartIndentAfterEnter(previousIndent, GetLine(previous), settings.tabSize);
  if (result.previousIndent != previousIndent)
    Send(Base::SCI_SETLINEINDENTATION, static_cast<uintptr_t>(previous), result.previousIndent);
  Send(Base::SCI_SETLINEINDENTATION, static_cast<uintptr_t>(line), result.newIndent);
  // After the indentation, whether it is made of blanks or tabs.
  GotoPosition(Send(Base::SCI_GETLINEINDENTPOSITION, static_cast<uintptr_t>(line)));
}

void CScintillaWnd::AutoIndent() { ReindentLines(0, GetLineCount()); }

void CScintillaWnd::ReindentLines(int first, int last) {
  const int count = GetLineCount();
  first = std::clamp(first, 0, count);
  last = std::clamp(last, first, count);
  if (first == last) return;
  const int tab = ValidTabSize(Settings().tabSize);
  // The level the line above leads into: one more after an opening word.
  int indentBefore = 0;
  if (first > 0) {
    const int above = static_cast<int>(
        Send(Base::SCI_GETLINEINDENTATION, static_cast<uintptr_t>(first - 1)));
    indentBefore = SmartIndentAfterEnter(above, GetLine(first - 1), tab).newIndent;
  }
  std::vector<std::string> lines;
  for (int line = first; line < last; ++line) lines.push_back(GetLine(line));
  const std::vector<int> widths = ReindentWidths(lines, indentBefore, tab);

  Send(Base::SCI_BEGINUNDOACTION);
  for (int i = 0; i < static_cast<int>(widths.size()); ++i) {
    const auto line = static_cast<uintptr_t>(first + i);
    if (Send(Base::SCI_GETLINEINDENTATION, line) != widths[static_cast<size_t>(i)])
      Send(Base::SCI_SETLINEINDENTATION, line, widths[static_cast<size_t>(i)]);
  }
  Send(Base::SCI_ENDUNDOACTION);
}

void CScintillaWnd::IndentSelection() { ShiftSelectedLines(ValidTabSize(Settings().tabSize)); }

void CScintillaWnd::UnindentSelection() { ShiftSelectedLines(-ValidTabSize(Settings().tabSize)); }

void CScintillaWnd::ShiftSelectedLines(int columns) {
  const auto [first, last] = LinesBetween(GetSelectionStart(), GetSelectionEnd());
  Send(Base::SCI_BEGINUNDOACTION);
  for (int line = first; line <= last; ++line) {
    const int indent =
        static_cast<int>(Send(Base::SCI_GETLINEINDENTATION, static_cast<uintptr_t>(line)));
    Send(Base::SCI_SETLINEINDENTATION, static_cast<uintptr_t>(line), ShiftedIndent(indent, columns));
  }
  Send(Base::SCI_ENDUNDOACTION);
}

std::pair<int, int> CScintillaWnd::LinesBetween(long a, long b) const {
  const auto line = [this](long position) {
    return static_cast<int>(Send(Base::SCI_LINEFROMPOSITION, static_cast<uintptr_t>(position)));
  };
  return {line(std::min(a, b)), line(std::max(a, b))};
}

void CScintillaWnd::CommentSelection() {
  const std::string insertion = std::string(CommentMarker(Settings().comment)) + " ";
  const long anchor = Send(Base::SCI_GETANCHOR);
  const long caret = GetCurrentPosition();
  const auto [first, last] = LinesBetween(anchor, caret);

  std::vector<TextEdit> edits;
  for (int line = first; line <= last; ++line) {
    const long start = Send(Base::SCI_POSITIONFROMLINE, static_cast<uintptr_t>(line));
    edits.push_back({start + static_cast<long>(LeadingBlankCount(GetLine(line))), 0,
                     static_cast<long>(insertion.size())});
  }
  // From the bottom up, so the positions above stay valid.
  Send(Base::SCI_BEGINUNDOACTION);
  for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit)
    SendText(Base::SCI_INSERTTEXT, static_cast<uintptr_t>(edit->position), insertion.c_str());
  Send(Base::SCI_ENDUNDOACTION);

  const bool empty = anchor == caret;
  Send(Base::SCI_SETSEL, static_cast<uintptr_t>(MapPosition(anchor, edits, empty || anchor > caret)),
       MapPosition(caret, edits, empty || caret > anchor));
}

void CScintillaWnd::UncommentSelection() {
  const long anchor = Send(Base::SCI_GETANCHOR);
  const long caret = GetCurrentPosition();
  const auto [first, last] = LinesBetween(anchor, caret);

  std::vector<TextEdit> edits;
  for (int line = first; line <= last; ++line) {
    const std::optional<LineRange> range = UncommentRange(GetLine(line));
    if (!range) continue;
    const long start = Send(Base::SCI_POSITIONFROMLINE, static_cast<uintptr_t>(line));
    edits.push_back({start + static_cast<long>(range->offset), static_cast<long>(range->length), 0});
  }
  if (edits.empty()) return;
  Send(Base::SCI_BEGINUNDOACTION);
  for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit)
    Send(Base::SCI_DELETERANGE, static_cast<uintptr_t>(edit->position), edit->removed);
  Send(Base::SCI_ENDUNDOACTION);

  Send(Base::SCI_SETSEL, static_cast<uintptr_t>(MapPosition(anchor, edits, false)),
       MapPosition(caret, edits, false));
}

void CScintillaWnd::ZoomIn() { Send(Base::SCI_ZOOMIN); }
void CScintillaWnd::ZoomOut() { Send(Base::SCI_ZOOMOUT); }
void CScintillaWnd::ZoomReset() { Send(Base::SCI_SETZOOM, 0); }
int CScintillaWnd::GetZoom() const { return static_cast<int>(Send(Base::SCI_GETZOOM)); }
void CScintillaWnd::UpperCase() { Send(Base::SCI_UPPERCASE); }
void CScintillaWnd::LowerCase() { Send(Base::SCI_LOWERCASE); }

CScintillaWnd::CharRange CScintillaWnd::UpdateBraceHighlight() {
  // Only the character before the caret counts; an unmatched brace stays plain.
  const long before = GetCurrentPosition() - 1;
  const long match = before >= 0 ? Send(Base::SCI_BRACEMATCH, static_cast<uintptr_t>(before)) : -1;
  m_braceHighlight = match < 0 ? CharRange{-1, -1} : CharRange{before, match};
  Send(Base::SCI_BRACEHIGHLIGHT, static_cast<uintptr_t>(m_braceHighlight.start),
       m_braceHighlight.end);
  return m_braceHighlight;
}
