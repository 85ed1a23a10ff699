#include "editor/view/ScintillaWnd.h"

#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QDragEnterEvent>
#include <QEvent>
#include <QMimeData>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QRect>

#include <algorithm>
#include <cstdlib>

#include "editor/view/CommentRules.h"
#include "editor/view/FileRules.h"
#include "editor/view/IndentRules.h"
#include "editor/view/Keywords.h"
#include "editor/view/MarkerImages.h"
#include "editor/view/ViewAccessibility.h"

namespace {

using Base = QsciScintillaBase;

// Sent once by Init with 1; nothing relies on its effect.
constexpr unsigned int MESSAGE_3096 = 3096;
constexpr int STYLE_LINE_NUMBER = 33;
constexpr int STYLE_BRACE_LIGHT = 34;
constexpr int MARGIN_WIDTH = 16;
constexpr int HOVER_MILLISECONDS = 400;

QPixmap PixmapFromXpm(const std::string& xpm) {
  QPixmap pixmap;
  pixmap.loadFromData(reinterpret_cast<const uchar*>(xpm.data()), static_cast<uint>(xpm.size()),
                      "XPM");
  return pixmap;
}

}  // namespace

CScintillaWnd::CScintillaWnd(QWidget* parent) : QsciScintillaBase(parent) {
  UsePlainAccessibilityWhileNoToolListens();
  // Files are UTF-8 here, the system's single-byte code page of the text.
  Send(Base::SCI_SETCODEPAGE, Base::SC_CP_UTF8);
  // Margins stay hidden until Init shows them, so their state is known.
  for (int margin = 0; margin <= FOLDING_MARGIN; ++margin)
    Send(Base::SCI_SETMARGINWIDTHN, static_cast<uintptr_t>(margin), 0);
  Send(Base::SCI_SETMOUSEDWELLTIME, HOVER_MILLISECONDS);
  m_loadTimer.setInterval(0);
  connect(&m_loadTimer, &QTimer::timeout, this, &CScintillaWnd::OnLoadTurn);
  // Edits are announced before they are made (see OnModified); the one last
  // announced is followed at the latest when the event loop turns.
  SendScintilla(Base::SCI_SETMODEVENTMASK, Base::SC_MOD_BEFOREINSERT | Base::SC_MOD_BEFOREDELETE);
  m_editTimer.setSingleShot(true);
  m_editTimer.setInterval(0);
  connect(&m_editTimer, &QTimer::timeout, this, &CScintillaWnd::FlushEdit);
  m_wordsTimer.setInterval(0);
  connect(&m_wordsTimer, &QTimer::timeout, this,
          [this] { ReadWordsUpTo(m_wordsReadUpTo + WORDS_STEP_BYTES); });

  connect(this, &Base::SCN_CHARADDED, this, &CScintillaWnd::OnCharAdded);
  connect(this, &Base::SCN_UPDATEUI, this, &CScintillaWnd::OnUpdateUi);
  connect(this, &Base::SCN_MODIFIED, this, &CScintillaWnd::OnModified);
  connect(this, &Base::SCN_MARGINCLICK, this, &CScintillaWnd::OnScintillaMarginClick);
  connect(this, &Base::SCN_CALLTIPCLICK, this, &CScintillaWnd::OnCallTipClick);
  connect(this, &Base::SCN_ZOOM, this, [this] { UpdateLineNumberMargin(true); });
  connect(this, &Base::SCN_DWELLSTART, this, [this](int position, int x, int y) {
    m_bHovering = true;
    emit mouseHovered(position, viewport()->mapToGlobal(QPoint(x, y)));
  });
  connect(this, &Base::SCN_DWELLEND, this, [this](int, int, int) {
    if (!m_bHovering) return;
    m_bHovering = false;
    emit mouseLeft();
  });
}

// ---------------------------------------------------------------------------
// Message helpers: QScintilla's overloads are ambiguous for plain integers.

long CScintillaWnd::Send(unsigned int message, uintptr_t wParam, intptr_t lParam) const {
  const long result = SendScintilla(message, static_cast<unsigned long>(wParam), static_cast<long>(lParam));
  FollowEditMade();
  return result;
}

long CScintillaWnd::SendText(unsigned int message, uintptr_t wParam, const char* text) const {
  const long result = SendScintilla(message, wParam, text);
  FollowEditMade();
  return result;
}

long CScintillaWnd::SendBuffer(unsigned int message, uintptr_t wParam, void* buffer) const {
  const long result = SendScintilla(message, static_cast<unsigned long>(wParam), buffer);
  FollowEditMade();
  return result;
}

void CScintillaWnd::FollowEditMade() const {
  // A message of the view's own that edited the text is followed at once, as
  // if the view had been told after the edit.
  if (m_pendingEdit.active) const_cast<CScintillaWnd*>(this)->FlushEdit();
}

std::string CScintillaWnd::TextRange(long start, long end) const {
  if (end <= start) return {};
  std::string text(static_cast<size_t>(end - start) + 1, '\0');
  SendScintilla(Base::SCI_GETTEXTRANGE, start, end, text.data());
  text.resize(static_cast<size_t>(end - start));
  return text;
}

// ---------------------------------------------------------------------------
// Preferences and set-up

void CScintillaWnd::SetSettingsSource(std::function<ViewSettings()> source) {
  m_settingsSource = std::move(source);
}

ViewSettings CScintillaWnd::Settings() const {
  return m_settingsSource ? m_settingsSource() : ViewSettings{};
}

void CScintillaWnd::ApplyTabSettings() {
  const ViewSettings settings = Settings();
  Send(Base::SCI_SETTABWIDTH, static_cast<uintptr_t>(ValidTabSize(settings.tabSize)));
  Send(Base::SCI_SETUSETABS, settings.useSpaces ? 0 : 1);
  Send(Base::SCI_SETINDENT, 0);  // indentation unit = tab width
  Send(Base::SCI_SETTABINDENTS, 1);
  Send(Base::SCI_SETINDENTATIONGUIDES, 3);
}

void CScintillaWnd::Init(const std::vector<std::string>& keywords) {
  SetLexer(LEXER_OCTAVE);
  Send(Base::SCI_SETSTYLEBITS, static_cast<uintptr_t>(Send(Base::SCI_GETSTYLEBITSNEEDED)));

  SendText(Base::SCI_SETKEYWORDS, 0, JoinKeywords(keywords).c_str());

  const int black = Rgb(0, 0, 0);
  const int white = Rgb(255, 255, 255);
  SetStyle(Base::STYLE_DEFAULT, black, white, 10, "Courier New");
  Send(Base::SCI_STYLECLEARALL);

  ApplyTabSettings();

  Send(Base::SCI_SETWRAPVISUALFLAGSLOCATION, 0);
  Send(Base::SCI_SETWRAPVISUALFLAGS, 1);
  Send(Base::SCI_SETCARETLINEVISIBLE, 1);
  Send(MESSAGE_3096, 1);
  // The caret line: a soft tint of the background, toward the look's selection colour.
  const QColor accent = palette().color(QPalette::Highlight);
  Send(Base::SCI_SETCARETLINEBACK,
       static_cast<uintptr_t>(Blend(white, Rgb(accent.red(), accent.green(), accent.blue()), 10)));

  // Styles of the Octave lexer: default, comment, command, number, keyword,
  // single-quoted string, operator, identifier, double-quoted string.
  const int foregrounds[9] = {black,          Rgb(34, 139, 34),    Rgb(0, 0, 255),
                              Rgb(255, 128, 0), Rgb(0, 0, 255),    Rgb(128, 128, 128),
                              black,          black,               Rgb(128, 128, 128)};
  for (int style = 0; style < 9; ++style) SetStyle(style, foregrounds[style], white);
  SetBold(4, true);

  Send(Base::SCI_SETMARGINLEFT, 0, 10);

  SendScintilla(Base::SCI_SETPROPERTY, "fold", "1");
  SendScintilla(Base::SCI_SETPROPERTY, "fold.compact", "0");
  SendScintilla(Base::SCI_SETPROPERTY, "fold.comment", "1");
  SendScintilla(Base::SCI_SETPROPERTY, "fold.preprocessor", "1");
  SendScintilla(Base::SCI_SETPROPERTY, "lexer.cpp.track.preprocessor", "0");

  Send(Base::SCI_SETFOLDFLAGS, 16);
  Send(Base::SCI_SETMARGINMASKN, FOLDING_MARGIN, static_cast<intptr_t>(Base::SC_MASK_FOLDERS));
  for (int margin = 0; margin <= FOLDING_MARGIN; ++margin)
    Send(Base::SCI_SETMARGINSENSITIVEN, static_cast<uintptr_t>(margin), 1);

  const int folders[7][2] = {{Base::SC_MARKNUM_FOLDEROPEN, Base::SC_MARK_BOXMINUS},
                             {Base::SC_MARKNUM_FOLDER, Base::SC_MARK_BOXPLUS},
                             {Base::SC_MARKNUM_FOLDERSUB, Base::SC_MARK_VLINE},
                             {Base::SC_MARKNUM_FOLDERTAIL, Base::SC_MARK_LCORNER},
                             {Base::SC_MARKNUM_FOLDEREND, Base::SC_MARK_BOXPLUSCONNECTED},
                             {Base::SC_MARKNUM_FOLDEROPENMID, Base::SC_MARK_BOXMINUSCONNECTED},
                             {Base::SC_MARKNUM_FOLDERMIDTAIL, Base::SC_MARK_TCORNER}};
  for (const auto& folder : folders) {
    const auto number = static_cast<uintptr_t>(folder[0]);
    Send(Base::SCI_MARKERDEFINE, number, folder[1]);
    Send(Base::SCI_MARKERSETFORE, number, white);
    Send(Base::SCI_MARKERSETBACK, number, Rgb(128, 128, 128));
  }

  SetBackground(STYLE_BRACE_LIGHT, Rgb(255, 255, 0));

  // New text gets the platform's line ends; a loaded file keeps its own.
  Send(Base::SCI_SETEOLMODE, static_cast<uintptr_t>(PlatformLineEnds()));
  // Only the visible lines are styled at once, the rest when the window is idle,
  // so a large file shows at once and the fold margin fills in soon after
  // (until the first edit: see FlushEdit).
  Send(Base::SCI_SETIDLESTYLING, Base::SC_IDLESTYLING_ALL);

  // QScintilla takes the image of a pixmap marker as a QPixmap.
  SendScintilla(Base::SCI_MARKERDEFINEPIXMAP, BREAKPOINT_MARKER, PixmapFromXpm(BreakpointXpm()));
  SendScintilla(Base::SCI_MARKERDEFINEPIXMAP, DEBUG_ARROW_MARKER, PixmapFromXpm(DebugArrowXpm()));

  SetDisplayLineNumbers(true);
  SetDisplayFolding(true);
  SetDisplaySelection(true);

  Send(Base::SCI_ANNOTATIONSETVISIBLE, 2);

  for (int indicator : {29, 31, 28, 27, 26, 25, 24, 23, 22, 21}) {
    const auto number = static_cast<uintptr_t>(indicator);
    Send(Base::SCI_INDICSETSTYLE, number, Base::INDIC_ROUNDBOX);
    Send(Base::SCI_INDICSETALPHA, number, 100);
    Send(Base::SCI_INDICSETUNDER, number, 1);
  }

  Send(Base::SCI_SETEDGEMODE, 1);
  Send(Base::SCI_SETEDGECOLUMN, 80);
  Send(Base::SCI_SETEDGECOLOUR, static_cast<uintptr_t>(Rgb(128, 128, 128)));

  Send(Base::SCI_CALLTIPSETFORE, static_cast<uintptr_t>(Rgb(128, 128, 128)));
  Send(Base::SCI_CALLTIPSETBACK, static_cast<uintptr_t>(Rgb(250, 250, 210)));
  Send(Base::SCI_CALLTIPSETFOREHLT, static_cast<uintptr_t>(Rgb(0, 0, 255)));

  SendText(Base::SCI_SETWORDCHARS, 0, WORD_CHARS);
  Send(Base::SCI_USEPOPUP, 0);
}

// ---------------------------------------------------------------------------
// Text

void CScintillaWnd::SetText(std::string_view text) {
  // The new text replaces a file still loading.
  if (m_bLoading) EndLoading();
  // Appended with its length, so that a NUL byte cannot cut the text short.
  Send(Base::SCI_BEGINUNDOACTION);
  Send(Base::SCI_CLEARALL);
  SendText(Base::SCI_APPENDTEXT, text.size(), text.data());
  Send(Base::SCI_ENDUNDOACTION);
  GotoPosition(0);
  setFocus();
}

std::string CScintillaWnd::GetText() const {
  const long length = Send(Base::SCI_GETLENGTH);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendBuffer(Base::SCI_GETTEXT, static_cast<uintptr_t>(length) + 1, text.data());
  text.resize(static_cast<size_t>(length));
  return text;
}

void CScintillaWnd::GetTextString(std::string& out) const { out = GetText(); }

std::string CScintillaWnd::GetLine(int line0) const {
  if (line0 < 0 || line0 >= GetLineCount()) return {};
  const auto line = static_cast<uintptr_t>(line0);
  return TextRange(Send(Base::SCI_POSITIONFROMLINE, line),
                   Send(Base::SCI_GETLINEENDPOSITION, line));
}

void CScintillaWnd::GetLineString(int line0, std::string& out) const { out = GetLine(line0); }

int CScintillaWnd::GetLineCount() const {
  return static_cast<int>(Send(Base::SCI_GETLINECOUNT));
}

long CScintillaWnd::GetLength() const { return Send(Base::SCI_GETTEXTLENGTH); }

std::string_view CScintillaWnd::LineEnd() const {
  return LineEndText(static_cast<int>(Send(Base::SCI_GETEOLMODE)));
}

std::string CScintillaWnd::GetSelectedText() const {
  // Scintilla 3 counts the terminating NUL in the size it reports.
  const long size = SendBuffer(Base::SCI_GETSELTEXT, 0, nullptr);
  if (size <= 1) return {};
  std::string text(static_cast<size_t>(size), '\0');
  SendBuffer(Base::SCI_GETSELTEXT, 0, text.data());
  text.resize(static_cast<size_t>(size) - 1);
  return text;
}

void CScintillaWnd::GetSelectedText(std::string& out) const { out = GetSelectedText(); }

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
// Clipboard and undo

void CScintillaWnd::Cut() { Send(Base::SCI_CUT); }
void CScintillaWnd::Copy() { Send(Base::SCI_COPY); }
void CScintillaWnd::Paste() { Send(Base::SCI_PASTE); }
void CScintillaWnd::Clear() { Send(Base::SCI_CLEAR); }
void CScintillaWnd::Undo() { Send(Base::SCI_UNDO); }
void CScintillaWnd::Redo() { Send(Base::SCI_REDO); }
bool CScintillaWnd::CanUndo() const { return Send(Base::SCI_CANUNDO) != 0; }
bool CScintillaWnd::CanRedo() const { return Send(Base::SCI_CANREDO) != 0; }
bool CScintillaWnd::CanPaste() const {
  const QMimeData* clipboard = QApplication::clipboard()->mimeData();
  return Send(Base::SCI_CANPASTE) != 0 && clipboard && clipboard->hasText() && !clipboard->text().isEmpty();
}
void CScintillaWnd::SelectAll() { Send(Base::SCI_SELECTALL); }

// ---------------------------------------------------------------------------
// Caret, selection and status

int CScintillaWnd::GetCurrentLine() const {
  return static_cast<int>(
             Send(Base::SCI_LINEFROMPOSITION, static_cast<uintptr_t>(GetCurrentPosition()))) +
         1;
}

int CScintillaWnd::GetCurrentColumn() const {
  return static_cast<int>(
             Send(Base::SCI_GETCOLUMN, static_cast<uintptr_t>(GetCurrentPosition()))) +
         1;
}

long CScintillaWnd::GetCurrentPosition() const { return Send(Base::SCI_GETCURRENTPOS); }

int CScintillaWnd::GetCurrentStyle() const { return GetStyleAt(GetCurrentPosition()); }

int CScintillaWnd::GetStyleAt(long position) const {
  // Text is styled as it is shown: style whole lines up to the position first.
  const long styledUpTo = Send(Base::SCI_GETENDSTYLED);
  if (styledUpTo <= position) {
    const long line = Send(Base::SCI_LINEFROMPOSITION, static_cast<uintptr_t>(position));
    Send(Base::SCI_COLOURISE, static_cast<uintptr_t>(styledUpTo),
         Send(Base::SCI_GETLINEENDPOSITION, static_cast<uintptr_t>(line)));
  }
  return static_cast<int>(Send(Base::SCI_GETSTYLEAT, static_cast<uintptr_t>(position)));
}

bool CScintillaWnd::IsNameStyle(int style) { return style == STYLE_OCTAVE_DEFAULT || style == STYLE_OCTAVE_IDENTIFIER; }

int CScintillaWnd::GetCurrentFoldLevel() const {
  const auto line = static_cast<uintptr_t>(GetCurrentLine() - 1);
  return static_cast<int>(Send(Base::SCI_GETFOLDLEVEL, line) & Base::SC_FOLDLEVELNUMBERMASK) -
         Base::SC_FOLDLEVELBASE;
}

long CScintillaWnd::GetSelectionStart() const { return Send(Base::SCI_GETSELECTIONSTART); }
long CScintillaWnd::GetSelectionEnd() const { return Send(Base::SCI_GETSELECTIONEND); }

void CScintillaWnd::SetSelectionStart(long position) {
  Send(Base::SCI_SETSELECTIONSTART, static_cast<uintptr_t>(position));
}

void CScintillaWnd::SetSelectionEnd(long position) {
  Send(Base::SCI_SETSELECTIONEND, static_cast<uintptr_t>(position));
}

void CScintillaWnd::GotoLine(int line) {
  if (m_bLoading && line > GetLineCount()) {
    m_pendingGoto = {line, -1};
    return;
  }
  Send(Base::SCI_GOTOLINE, static_cast<uintptr_t>(std::max(0, line - 1)));
}

void CScintillaWnd::GotoPosition(long position) {
  if (m_bLoading && position > GetLength()) {
    m_pendingGoto = {0, position};
    return;
  }
  Send(Base::SCI_GOTOPOS, static_cast<uintptr_t>(std::max(0L, position)));
}

bool CScintillaWnd::GetOverstrike() const { return Send(Base::SCI_GETOVERTYPE) != 0; }

void CScintillaWnd::SetOverstrike(bool overstrike) {
  Send(Base::SCI_SETOVERTYPE, overstrike ? 1 : 0);
}

CScintillaWnd::StatusInfo CScintillaWnd::GetStatus() const {
  StatusInfo status;
  status.line = GetCurrentLine();
  status.column = GetCurrentColumn();
  status.selection = std::labs(GetSelectionEnd() - GetSelectionStart());
  status.overtype = GetOverstrike();
  return status;
}

std::string CScintillaWnd::GetStatusText() const {
  const StatusInfo status = GetStatus();
  return StatusPaneText(status.line, status.column, status.selection);
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

// ---------------------------------------------------------------------------
// Markers

int CScintillaWnd::AddMarker(int line, int marker) {
  if (marker < 0 || marker > 31) return -1;
  if (line > GetLineCount()) FinishLoading();
  const int count = GetLineCount();
  for (int line0 = std::max(0, line - 1); line0 < count; ++line0) {
    if (!IsCodeLine(GetLine(line0))) continue;
    // A second marker of the same number would survive one delete.
    if (!HasMarker(line0 + 1, marker)) {
      Send(Base::SCI_MARKERADD, static_cast<uintptr_t>(line0), marker);
      if (marker == BREAKPOINT_MARKER) m_breakpoints.push_back(line0);
    }
    return line0;
  }
  return -1;
}

void CScintillaWnd::DeleteMarker(int line, int marker) {
  if (!HasMarker(line, marker)) return;
  Send(Base::SCI_MARKERDELETE, static_cast<uintptr_t>(line - 1), marker);
  if (marker != BREAKPOINT_MARKER) return;
  const auto entry = std::find(m_breakpoints.begin(), m_breakpoints.end(), line - 1);
  if (entry != m_breakpoints.end()) m_breakpoints.erase(entry);
}

bool CScintillaWnd::HasMarker(int line, int marker) const {
  if (line < 1 || line > GetLineCount() || marker < 0 || marker > 31) return false;
  const long mask = Send(Base::SCI_MARKERGET, static_cast<uintptr_t>(line - 1));
  return (mask & (1L << marker)) != 0;
}

void CScintillaWnd::DeleteAllMarkers(int marker) {
  Send(Base::SCI_MARKERDELETEALL, static_cast<uintptr_t>(marker));
  if (marker == BREAKPOINT_MARKER) m_breakpoints.clear();
}

int CScintillaWnd::FindNextBreakpoint() {
  const int from = GetCurrentLine();  // the 0-based line after the caret's
  const auto line = static_cast<int>(
      Send(Base::SCI_MARKERNEXT, static_cast<uintptr_t>(from), 1 << BREAKPOINT_MARKER));
  if (line >= 0) Send(Base::SCI_GOTOLINE, static_cast<uintptr_t>(line));
  return line;
}

int CScintillaWnd::FindPreviousBreakpoint() {
  const int from = GetCurrentLine() - 2;  // the 0-based line before the caret's
  if (from < 0) return -1;
  const auto line = static_cast<int>(
      Send(Base::SCI_MARKERPREVIOUS, static_cast<uintptr_t>(from), 1 << BREAKPOINT_MARKER));
  if (line >= 0) Send(Base::SCI_GOTOLINE, static_cast<uintptr_t>(line));
  return line;
}

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

// ---------------------------------------------------------------------------
// Notifications

void CScintillaWnd::OnUpdateUi(int) {
  FlushEdit();
  UpdateBraceHighlight();
  SetShowAllCharacters(Settings().showAllCharacters);
  emit statusChanged();
}

void CScintillaWnd::OnModified(int position, int modificationType, const char*, int length, int, int, int,
                               int, int, int) {
  // Told before the edit is made: QScintilla's own handling of the notice
  // after an edit counts the characters from the start of the document to the
  // edit (for assistive tools, active or not), a cost that grows with the file.
  const bool inserting = (modificationType & Base::SC_MOD_BEFOREINSERT) != 0;
  if (!inserting && !(modificationType & Base::SC_MOD_BEFOREDELETE)) return;
  // The edit announced before this one is made by now.
  FlushEdit();
  PendingEdit edit;
  edit.inserted = inserting;
  edit.position = position;
  edit.length = length;
  edit.linesBefore = GetLineCount();
  edit.wordsKept = m_bDocumentWordsValid && !m_bLoading;
  if (edit.wordsKept) edit.wordsBefore = LinesAround(position, inserting ? position : position + length);
  edit.active = true;
  m_pendingEdit = std::move(edit);
  m_editTimer.start();
}

void CScintillaWnd::FlushEdit() {
  if (!m_pendingEdit.active) return;
  const PendingEdit edit = std::move(m_pendingEdit);
  m_pendingEdit = {};
  const int linesAdded = GetLineCount() - edit.linesBefore;
  if (linesAdded != 0) UpdateLineNumberMargin(false);
  UpdateCellMarkers(edit.position, linesAdded);
  UpdateDocumentWords(edit);
  if (m_bLoading) return;
  // An edit leaves everything after it to be styled again: idle time would
  // restyle the whole rest of the file after every key. From the first edit
  // on only the text up to the bottom of the window is, and text further down
  // as it comes into view.
  Send(Base::SCI_SETIDLESTYLING, Base::SC_IDLESTYLING_TOVISIBLE);
  emit textModified();
}

std::string CScintillaWnd::LinesAround(long from, long to) const {
  const auto lineOf = [this](long p) {
    return static_cast<uintptr_t>(SendScintilla(Base::SCI_LINEFROMPOSITION, static_cast<unsigned long>(p)));
  };
  return TextRange(SendScintilla(Base::SCI_POSITIONFROMLINE, lineOf(from)),
                   SendScintilla(Base::SCI_GETLINEENDPOSITION, lineOf(to)));
}

bool CScintillaWnd::event(QEvent* event) {
  const bool handled = QsciScintillaBase::event(event);
  FlushEdit();
  return handled;
}

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

bool CScintillaWnd::canInsertFromMimeData(const QMimeData* source) const {
  return !source->hasUrls() && Base::canInsertFromMimeData(source);
}

void CScintillaWnd::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) {
    event->ignore();
    return;
  }
  Base::dragEnterEvent(event);
}

bool CScintillaWnd::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::Leave) {
    m_bHovering = false;
    emit mouseLeft();
  }
  const bool handled = QsciScintillaBase::viewportEvent(event);
  FlushEdit();
  return handled;
}

// ---------------------------------------------------------------------------
// Printing

long CScintillaWnd::FormatRange(bool draw, QPainter* painter, const QRect& area, long start,
                                long end) {
  return SendScintilla(Base::SCI_FORMATRANGE, draw ? 1UL : 0UL, painter, area, start, end);
}
