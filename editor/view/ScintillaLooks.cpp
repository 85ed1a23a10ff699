// CScintillaWnd's looks: the margins and what a click in them does, blanks
// and line ends shown or not, and the styles' fonts and colours.
#include "editor/view/ScintillaWnd.h"

#include "editor/view/FileRules.h"

namespace {
using Base = QsciScintillaBase;
constexpr int STYLE_LINE_NUMBER = 33;
constexpr int MARGIN_WIDTH = 16;
}  // namespace

// ---------------------------------------------------------------------------
// Margins

int CScintillaWnd::GetLineNumberDigits() const { return DecimalDigits(GetLineCount()) + 1; }

int CScintillaWnd::GetLineNumberWidth() const {
  const long nine = SendText(Base::SCI_TEXTWIDTH, STYLE_LINE_NUMBER, "9");
  return static_cast<int>(nine) * (GetLineNumberDigits() + 1);
}

void CScintillaWnd::SetDisplayLineNumbers(bool show) {
  if (show == m_bLineNumbers) return;
  m_bLineNumbers = show;
  if (show)
    UpdateLineNumberMargin(true);
  else
    Send(Base::SCI_SETMARGINWIDTHN, LINE_NUMBER_MARGIN, 0);
}

void CScintillaWnd::UpdateLineNumberMargin(bool force) {
  if (!m_bLineNumbers) return;
  const int digits = GetLineNumberDigits();
  if (!force && digits == m_lineNumberDigits) return;
  m_lineNumberDigits = digits;
  Send(Base::SCI_SETMARGINWIDTHN, LINE_NUMBER_MARGIN, GetLineNumberWidth() + 4);
}

void CScintillaWnd::SetDisplaySelection(bool show) {
  if (show == m_bSelectionMargin) return;
  m_bSelectionMargin = show;
  Send(Base::SCI_SETMARGINWIDTHN, SELECTION_MARGIN, show ? MARGIN_WIDTH : 0);
}

void CScintillaWnd::SetDisplayFolding(bool show) {
  if (show == m_bFoldingMargin) return;
  m_bFoldingMargin = show;
  Send(Base::SCI_SETMARGINWIDTHN, FOLDING_MARGIN, show ? MARGIN_WIDTH : 0);
}

void CScintillaWnd::SetShowAllCharacters(bool show) {
  // Setting them redraws the whole text even when nothing changes, and this
  // runs at every caret move.
  if ((Send(Base::SCI_GETVIEWEOL) != 0) == show && (Send(Base::SCI_GETVIEWWS) != 0) == show) return;
  Send(Base::SCI_SETVIEWEOL, show ? 1 : 0);
  Send(Base::SCI_SETVIEWWS, show ? 1 : 0);
}

// ---------------------------------------------------------------------------
// Margin clicks

void CScintillaWnd::OnMarginClick(int margin, long position) {
  if (margin != FOLDING_MARGIN) return;
  Send(Base::SCI_TOGGLEFOLD, static_cast<uintptr_t>(
                                 Send(Base::SCI_LINEFROMPOSITION, static_cast<uintptr_t>(position))));
}

void CScintillaWnd::OnScintillaMarginClick(int position, int, int margin) {
  OnMarginClick(margin, position);
  const long line = Send(Base::SCI_LINEFROMPOSITION, static_cast<uintptr_t>(position));
  emit marginClicked(margin, static_cast<int>(line) + 1);
}

// ---------------------------------------------------------------------------
// Styles

void CScintillaWnd::SetFontName(int style, const char* font) {
  SendText(Base::SCI_STYLESETFONT, static_cast<uintptr_t>(style), font);
}

void CScintillaWnd::SetFontSize(int style, int size) {
  Send(Base::SCI_STYLESETSIZE, static_cast<uintptr_t>(style), size);
}

void CScintillaWnd::SetForeground(int style, int rgb) {
  Send(Base::SCI_STYLESETFORE, static_cast<uintptr_t>(style), rgb);
}

void CScintillaWnd::SetBackground(int style, int rgb) {
  Send(Base::SCI_STYLESETBACK, static_cast<uintptr_t>(style), rgb);
}

void CScintillaWnd::SetBold(int style, bool bold) {
  Send(Base::SCI_STYLESETBOLD, static_cast<uintptr_t>(style), bold ? 1 : 0);
}

void CScintillaWnd::SetItalic(int style, bool italic) {
  Send(Base::SCI_STYLESETITALIC, static_cast<uintptr_t>(style), italic ? 1 : 0);
}

void CScintillaWnd::SetUnderline(int style, bool underline) {
  Send(Base::SCI_STYLESETUNDERLINE, static_cast<uintptr_t>(style), underline ? 1 : 0);
}

void CScintillaWnd::SetStyle(int style, int foreground, int background, int size,
                             const char* font) {
  SetForeground(style, foreground);
  SetBackground(style, background);
  if (size >= 1) SetFontSize(style, size);
  if (font && *font) SetFontName(style, font);
}

void CScintillaWnd::Refresh() { Send(Base::SCI_COLOURISE, 0, -1); }
