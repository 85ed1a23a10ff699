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
#include "editor/view/DocumentLoader.h"
#include "editor/view/FileRules.h"
#include "editor/view/IndentRules.h"
#include "editor/view/Keywords.h"
#include "editor/view/MarkerImages.h"
#include "editor/view/ViewAccessibility.h"

namespace {

using Base = QsciScintillaBase;

// Sent once by Init with 1; nothing relies on its effect.
constexpr unsigned int MESSAGE_3096 = 3096;
constexpr int STYLE_BRACE_LIGHT = 34;
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

CScintillaWnd::~CScintillaWnd() = default;

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

void CScintillaWnd::ApplyDocumentSettings(int lexer) {
  Send(Base::SCI_SETCODEPAGE, Base::SC_CP_UTF8);
  SetLexer(lexer);
  SendText(Base::SCI_SETKEYWORDS, 0, m_keywords.c_str());
  SendScintilla(Base::SCI_SETPROPERTY, "fold", "1");
  SendScintilla(Base::SCI_SETPROPERTY, "fold.compact", "0");
  SendScintilla(Base::SCI_SETPROPERTY, "fold.comment", "1");
  SendScintilla(Base::SCI_SETPROPERTY, "fold.preprocessor", "1");
  SendScintilla(Base::SCI_SETPROPERTY, "lexer.cpp.track.preprocessor", "0");
  ApplyTabSettings();
  SendText(Base::SCI_SETWORDCHARS, 0, WORD_CHARS);
}

void CScintillaWnd::Init(const std::vector<std::string>& keywords) {
  m_keywords = JoinKeywords(keywords);
  ApplyDocumentSettings(LEXER_OCTAVE);
  Send(Base::SCI_SETSTYLEBITS, static_cast<uintptr_t>(Send(Base::SCI_GETSTYLEBITSNEEDED)));

  const int black = Rgb(0, 0, 0);
  const int white = Rgb(255, 255, 255);
  SetStyle(Base::STYLE_DEFAULT, black, white, 10, "Courier New");
  Send(Base::SCI_STYLECLEARALL);

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

  Send(Base::SCI_USEPOPUP, 0);
}

// ---------------------------------------------------------------------------
// Text

void CScintillaWnd::SetText(std::string_view text) {
  // The new text replaces a file still loading.
  if (m_bLoading) {
    m_loader.reset();
    EndLoading();
  }
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
