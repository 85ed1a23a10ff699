// CScintillaWnd: one Scintilla editing control, driven through Scintilla's own
// message interface (SendScintilla with the SCI_ numbers), configured for Octave
// code, with the view's editing aids: smart indentation on Enter, re-indentation,
// indent and unindent, comment and uncomment, brace highlighting, zoom, case,
// margins, markers, folding, find and replace, and the status-pane data.
//
// Lines are 1-based in the operations that take a line number unless the name
// of the parameter says line0 (0-based, as Scintilla counts). Positions are
// Scintilla byte positions. A file keeps its own line ends: it is read whole,
// shown with the line ends it has and written whole as the control holds it;
// new text gets the platform's line ends.
//
// Use: construct (the child control exists from then on), SetSettingsSource,
// Init with the keyword list, LoadFile. The signals tell the owner what changed;
// QsciScintillaBase's own SCN_ signals stay available (call tips, completion).
#pragma once

#include <Qsci/qsciscintillabase.h>

#include <QPoint>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/view/CellRules.h"
#include "editor/view/CompletionRules.h"
#include "editor/view/NumberNudge.h"
#include "editor/view/ViewSettings.h"

class CDocumentLoader;
class QPainter;
class QRect;

class CScintillaWnd : public QsciScintillaBase {
  Q_OBJECT

 public:
  static constexpr int BREAKPOINT_MARKER = 0;
  static constexpr int DEBUG_ARROW_MARKER = 1;
  static constexpr int LINE_NUMBER_MARGIN = 0;
  static constexpr int SELECTION_MARGIN = 1;  // breakpoints and the debug arrow
  static constexpr int FOLDING_MARGIN = 2;
  // Styles of the Octave lexer that hold names.
  static constexpr int STYLE_OCTAVE_DEFAULT = 0;
  static constexpr int STYLE_OCTAVE_IDENTIFIER = 7;
  // The standard word characters; "." makes a field access one word.
  static constexpr const char* WORD_CHARS =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_.";

  struct CharRange {
    long start = 0;
    long end = 0;
    bool operator==(const CharRange&) const = default;
  };

  struct StatusInfo {
    long line = 1;       // caret line, 1-based
    long column = 1;     // caret column, 1-based, tabs expanded
    long selection = 0;  // characters selected
    bool overtype = false;
    bool operator==(const StatusInfo&) const = default;
  };

  explicit CScintillaWnd(QWidget* parent = nullptr);
  // A file still loading stops loading.
  ~CScintillaWnd() override;

  // --- Preferences -----------------------------------------------------------
  // Where the view reads "TabSize", "UseSpaces", "SmarIndent", "Comment" and
  // "ShowAllCharacters"; asked at every use. Without a source the defaults hold.
  void SetSettingsSource(std::function<ViewSettings()> source);
  ViewSettings Settings() const;

  // Once per view, before the first LoadFile: lexer, keyword set 0 from
  // `keywords` (the application's list; see KeywordsOrBuiltIn), styles, tabs,
  // caret line, margins, fold properties and markers, line ends, marker images,
  // indicators, edge, call-tip colours, word characters, no context menu.
  void Init(const std::vector<std::string>& keywords);
  // Tab width and tab use from the settings (done by Init; again after the
  // preferences changed).
  void ApplyTabSettings();

  // --- Text ------------------------------------------------------------------
  // Replaces the whole text (any bytes, NUL included), caret to 0, focus here.
  void SetText(std::string_view text);
  std::string GetText() const;
  void GetTextString(std::string& out) const;
  // The text of a 0-based line without its line end; empty when out of range.
  std::string GetLine(int line0) const;
  void GetLineString(int line0, std::string& out) const;
  int GetLineCount() const;
  long GetLength() const;
  // The line end Enter adds: the loaded file's kind, else the platform's.
  std::string_view LineEnd() const;
  // The selected text; empty when nothing is selected.
  std::string GetSelectedText() const;
  void GetSelectedText(std::string& out) const;

  // --- Files -----------------------------------------------------------------
  // Reads the whole file: lexer by extension, text as it is with the line-end
  // mode of its first line end (for what Enter and pastes add), empty undo
  // history, save point, caret at 0. A file larger than LOAD_PIECE_BYTES shows
  // its first piece at once while a worker thread reads all of it into a
  // document of its own, which then replaces the shown one (caret, scroll
  // and markers kept): meanwhile IsLoading() holds, the text refuses edits,
  // loadProgress() tells how far it got, and loadFinished() comes at the end
  // (at once for a smaller file). An empty path does nothing and succeeds. A
  // file that cannot be opened (or a folder) fails and the text stays; a read
  // error fails but keeps what was read (for a large file: readFailed() after
  // loadFinished()). No textModified() while loading.
  bool LoadFile(const std::string& path);
  static constexpr size_t LOAD_PIECE_BYTES = size_t{1} << 18;
  // Waits for the rest of a file still loading and shows it now.
  void FinishLoading();
  // Writes the whole text (a load in progress is finished first), line ends
  // as they are, to a temporary file and renames it over `path` (through a
  // symbolic link, to its target), so a failed save leaves the old file as it
  // was. Fails when an existing file is not
  // writable. The control's text is not changed; success sets the save point.
  bool SaveFile(const std::string& path);
  static int GetLexerForExtension(std::string_view extension);
  void SetLexer(int lexer);
  int GetLexer() const;
  void SetMatlabLexer();

  // --- Margins (ScintillaLooks.cpp) -----------------------------------------
  // Digits of the line count plus 1.
  int GetLineNumberDigits() const;
  // Width of "9" in the line-number style times (GetLineNumberDigits() + 1).
  int GetLineNumberWidth() const;
  // Margin 0 at GetLineNumberWidth() + 4 pixels (kept wide enough as lines are
  // added and on zoom), or hidden.
  void SetDisplayLineNumbers(bool show);
  // Margin 1, 16 pixels or hidden.
  void SetDisplaySelection(bool show);
  // Margin 2, 16 pixels or hidden.
  void SetDisplayFolding(bool show);
  bool GetDisplayLineNumbers() const { return m_bLineNumbers; }
  bool GetDisplaySelection() const { return m_bSelectionMargin; }
  bool GetDisplayFolding() const { return m_bFoldingMargin; }
  // Blanks and line ends shown or not (the "ShowAllCharacters" toggle; the
  // caller flips and stores the setting). Every update also applies the setting.
  void SetShowAllCharacters(bool show);

  // --- Clipboard and undo ----------------------------------------------------
  void Cut();
  void Copy();
  void Paste();
  void Clear();
  void Undo();
  void Redo();
  bool CanUndo() const;
  bool CanRedo() const;
  bool CanPaste() const;
  void SelectAll();

  // --- Caret, selection and status --------------------------------------------
  int GetCurrentLine() const;    // 1-based
  int GetCurrentColumn() const;  // 1-based, tabs expanded
  long GetCurrentPosition() const;
  int GetCurrentStyle() const;
  int GetStyleAt(long position) const;
  // Whether text of this Octave style is a name (not a comment, string,
  // keyword, number or operator).
  static bool IsNameStyle(int style);
  // Fold level of the caret line relative to the base level (0 at the top).
  int GetCurrentFoldLevel() const;
  long GetSelectionStart() const;
  long GetSelectionEnd() const;
  void SetSelectionStart(long position);
  void SetSelectionEnd(long position);
  // Caret to the start of the 1-based `line` / to `position`; while a file is
  // loading, a place beyond what came so far is reached when it comes.
  void GotoLine(int line);
  void GotoPosition(long position);
  bool GetOverstrike() const;
  void SetOverstrike(bool overstrike);
  // Line, column, selection length and overtype, for the status bar.
  StatusInfo GetStatus() const;
  // "Line: %ld    Col: %ld    Sel: %ld".
  std::string GetStatusText() const;

  // --- Styles (ScintillaLooks.cpp) ------------------------------------------
  void SetFontName(int style, const char* font);
  void SetFontSize(int style, int size);
  void SetForeground(int style, int rgb);  // Scintilla colours: r | g << 8 | b << 16
  void SetBackground(int style, int rgb);
  void SetBold(int style, bool bold);
  void SetItalic(int style, bool italic);
  void SetUnderline(int style, bool underline);
  // Foreground and background always; size when at least 1; font when given.
  void SetStyle(int style, int foreground, int background, int size = -1,
                const char* font = nullptr);
  static constexpr int Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }
  // `percent` of `tint` over `base`, channel by channel.
  static constexpr int Blend(int base, int tint, int percent) {
    int mixed = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const int a = (base >> shift) & 0xff, b = (tint >> shift) & 0xff;
      mixed |= ((a * (100 - percent) + b * percent) / 100) << shift;
    }
    return mixed;
  }
  // Styles the whole text now.
  void Refresh();

  // --- Markers ---------------------------------------------------------------
  // Puts `marker` on the first code line at or after the 1-based `line` (comment
  // and blank lines are skipped) and returns that 0-based line, or -1 when no
  // code line follows. A line that already carries the marker is not marked
  // twice. Breakpoints (marker 0) are also appended to GetBreakpoints().
  int AddMarker(int line, int marker);
  // Removes `marker` from the 1-based `line` when it is there; for a breakpoint
  // also the first equal entry of GetBreakpoints().
  void DeleteMarker(int line, int marker);
  bool HasMarker(int line, int marker) const;
  // Removes `marker` from every line; for breakpoints also empties the list.
  void DeleteAllMarkers(int marker);
  // 0-based lines where breakpoints were set, in the order set (markers move
  // with edits, these entries do not).
  const std::vector<int>& GetBreakpoints() const { return m_breakpoints; }
  // Caret to the next (previous) breakpoint after (before) the caret line;
  // returns its 0-based line, or -1 and the caret stays.
  int FindNextBreakpoint();
  int FindPreviousBreakpoint();

  // --- Editing aids (ScintillaEditing.cpp) -----------------------------------
  // Smart indentation for a new line at the caret (what Enter runs).
  void SmartIndentNewLine();
  // "Auto-Indent": re-indents every line.
  void AutoIndent();
  // Re-indents 0-based lines first .. last-1 from the level of the line above.
  void ReindentLines(int first, int last);
  // "Indent" / "Unindent": the selection's lines by one "TabSize".
  void IndentSelection();
  void UnindentSelection();
  // "Comment": the selection's lines get the marker of the "Comment" setting and
  // a blank after their indentation. "Uncomment": comment markers come off.
  // The selection keeps covering the same text. One undo step each.
  void CommentSelection();
  void UncommentSelection();
  void ZoomIn();
  void ZoomOut();
  void ZoomReset();
  int GetZoom() const;
  void UpperCase();
  void LowerCase();
  // Highlights the brace before the caret and its match, or clears the
  // highlight; returns the highlighted pair, {-1, -1} when none.
  CharRange UpdateBraceHighlight();
  CharRange GetBraceHighlight() const { return m_braceHighlight; }

  // --- Folding and margin clicks (ScintillaLooks.cpp) -------------------------
  // Margin 2: toggles the fold of the clicked line.
  void OnMarginClick(int margin, long position);

  // --- Find and replace --------------------------------------------------------
  // SCFIND_ flags used by the operations below.
  void SetSearchFlags(int flags) { m_searchFlags = flags; }
  int GetSearchFlags() const { return m_searchFlags; }
  // Finds `text` from the caret on (the caret sits after the last match, so the
  // next one is found even when adjacent) / ending before the selection start;
  // selects the match (green selection from then on) and returns 1, or returns 0
  // and changes nothing.
  int SearchForward(std::string_view text);
  int SearchBackward(std::string_view text);
  // Replaces the selection (regular-expression replacement with SCFIND_REGEXP).
  void Replace(std::string_view text);
  // Replaces every match in the text, or in the selection; returns the count.
  int ReplaceAll(std::string_view find, std::string_view replacement, bool inSelection);
  // The word at `position` (-1: the caret) and its range; with `numbersOnly`
  // the word characters are "0123456789.-" for the lookup.
  void GetWordAt(std::string& word, CharRange& range, bool numbersOnly, long position = -1);

  // --- Cells (ScintillaCells.cpp) -----------------------------------------------
  // 0-based lines of the cell markers, kept current through edits; the first
  // call after a file was loaded reads the whole text once.
  const std::vector<int>& GetCellMarkerLines();
  // The names of the cells in order ("cell %d" for unnamed ones).
  std::vector<std::string> GetCellNames();
  // The cell holding the caret, -1 above the first marker.
  int GetCurrentCellIndex();
  // Caret just after the next marker / the marker of the cell (from a marker
  // line, of the cell before). False when there is none: the caret stays.
  bool NextCell();
  bool PreviousCell();
  // Caret just after the marker of cell `index`.
  void GotoCell(int index);
  // The text of the cell at the caret: from the line after its marker (the
  // document start above the first marker) to the next marker or the end.
  std::string GetCurrentCellText();
  // A marker line below the caret line; caret after its "%% ".
  void InsertCellBreak();
  // Marker lines below the selection's last line and above its first one;
  // caret after the upper "%% ". One undo step.
  void InsertCellBreaksAroundSelection();
  // Replaces the number at the caret by its value changed by `amount` (the
  // step or factor text). False when nothing changed.
  bool NudgeNumber(quire_cells::NudgeOp op, std::string_view amount);

  // --- Call tips and completion (ScintillaTips.cpp) -----------------------------
  // The interpreter's names, offered by completion before the document's own
  // words; asked at every use.
  void SetCompletionSource(std::function<const std::vector<std::string>&()> source);
  // Scintilla's call tip at the caret: usage line `index` of `lines` (wrapping
  // around) with `parameter` highlighted; "," and the arrow keys move on from it.
  void ShowCallTip(const std::vector<std::string>& lines, int index, int parameter);
  bool IsCallTipShown() const;
  int CallTipIndex() const { return m_callTipIndex; }
  int CallTipParameter() const { return m_callTipParameter; }
  // The completion list for the word before the caret; returns what it
  // offered (blank-separated), empty when nothing was shown.
  std::string ShowCompletion();
  // Whether the document's words are all counted (read in steps after a load,
  // or at once by the first completion).
  bool HasDocumentWords() const { return m_bDocumentWordsValid; }
  // The word at the caret with the standard word characters, without line ends.
  std::string GetCaretWord();

  // --- Printing ----------------------------------------------------------------
  // Draws (or measures) the text from `start` to `end` into `area`; returns the
  // position after the last character that fits.
  long FormatRange(bool draw, QPainter* painter, const QRect& area, long start, long end);

  bool IsLoading() const { return m_bLoading; }

 signals:
  // Caret, selection, overtype or text may have changed (Scintilla's update).
  void statusChanged();
  // Text was inserted or deleted, not by LoadFile.
  void textModified();
  // A file is loading in pieces: `percent` of it is in the control.
  void loadProgress(int percent);
  // The whole file is in the control and the text takes edits.
  void loadFinished();
  // Reading a large file broke off (after loadFinished()): the text holds
  // what came before.
  void readFailed();
  // A margin was clicked, on the 1-based `line`.
  void marginClicked(int margin, int line);
  // The mouse rested 400 ms at `position` (-1 when not over text).
  void mouseHovered(long position, QPoint globalPos);
  // The mouse moved on after resting, or left the control.
  void mouseLeft();
  // Cell markers came, went or were renamed (or a file was loaded); sent once
  // the edits of the moment are done, so the cell list is refilled once.
  void cellsChanged();
  // "(" was typed after `word` (blanks between allowed): its call tip is wanted.
  void callTipRequested(const QString& word);
  // Escape was pressed or the view got the focus: a help or value tip goes.
  void tipDismissed();

 protected:
  bool event(QEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  // Dropped files are for the window to open, not text to insert: the drag
  // goes on to the parent.
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void dragEnterEvent(QDragEnterEvent* event) override;

 private:
  // Every line of the selection by `columns` (negative: to the left), never
  // below column 0; one undo step.
  void ShiftSelectedLines(int columns);
  // The first and last line of the text between two positions, in either order.
  std::pair<int, int> LinesBetween(long a, long b) const;
  long Send(unsigned int message, uintptr_t wParam = 0, intptr_t lParam = 0) const;
  long SendText(unsigned int message, uintptr_t wParam, const char* text) const;
  long SendBuffer(unsigned int message, uintptr_t wParam, void* buffer) const;
  std::string TextRange(long start, long end) const;
  // The match of `text` between `from` and `to` (backwards when from > to).
  CharRange FindText(long from, long to, std::string_view text) const;
  // Selects a found match and shows it; 0 when nothing was found.
  int SelectMatch(const CharRange& match);
  void UpdateLineNumberMargin(bool force);

  void OnCharAdded(int ch);
  void OnUpdateUi(int updated);
  // An edit Scintilla announced: it is followed (line-number margin, cell
  // markers, document words, textModified()) once it is made, which is when
  // the next one is announced, a notification or event comes, a message of the
  // view's own returns, or the event loop turns.
  struct PendingEdit {
    bool active = false;
    bool inserted = false;
    long position = 0;
    long length = 0;
    int linesBefore = 0;
    bool wordsKept = false;   // the word index was kept when it was announced
    std::string wordsBefore;  // then the lines it touches, as they were
  };
  void OnModified(int position, int modificationType, const char* text, int length,
                  int linesAdded, int line, int foldLevelNow, int foldLevelPrev, int token,
                  int annotationLinesAdded);
  void FlushEdit();
  void FollowEditMade() const;
  // The text of the lines from the one holding `from` to the one holding `to`.
  std::string LinesAround(long from, long to) const;
  void OnScintillaMarginClick(int position, int modifiers, int margin);
  // Keeps the cell markers current after an edit at `position`.
  void UpdateCellMarkers(long position, int linesAdded);
  void NotifyCellsChanged();
  // Call tips and completion for a typed character (before smart indentation).
  void OnCharAddedForTips(int ch);
  void OnCallTipClick(int direction);
  // Keeps the document's words current after `edit`.
  void UpdateDocumentWords(const PendingEdit& edit);
  // The document's words are read in steps while the loop runs once a file
  // is loaded, so the first completion does not read a large file at once.
  void StartReadingWords();
  // Counts the words from where the reading stands to the line start at or
  // after `position`; at the end of the text the words are complete.
  void ReadWordsUpTo(long position);
  long LineStart(int line0) const;
  // Loading (ScintillaFile.cpp). The loader told of progress, on the GUI thread.
  void OnLoaderProgress();
  // Puts the loader's finished document in place of the shown one.
  void SwapInLoadedDocument();
  // Scintilla keeps these with each document, not with the view: set on
  // every document the view shows.
  void ApplyDocumentSettings(int lexer);
  void EndLoading();
  void ApplyPendingGoto();
  int LoadPercent() const;

  std::function<ViewSettings()> m_settingsSource;
  std::vector<int> m_breakpoints;  // 0-based lines, in the order set
  std::string m_keywords;  // keyword set 0, joined
  bool m_bLoading = false;
  std::unique_ptr<CDocumentLoader> m_loader;  // the file being loaded
  size_t m_loadBytes = 0;                     // its size when opened
  int m_loadLineEnds = 0;                     // its line-end mode
  PendingEdit m_pendingEdit;
  QTimer m_editTimer;  // follows the last edit when the loop turns
  struct PendingGoto {
    int line = 0;        // 1-based, 0: none
    long position = -1;  // -1: none
  } m_pendingGoto;
  bool m_bLineNumbers = false;
  bool m_bSelectionMargin = false;
  bool m_bFoldingMargin = false;
  int m_lineNumberDigits = 0;  // digits margin 0 was last sized for
  int m_searchFlags = 0;
  bool m_bHovering = false;
  CharRange m_braceHighlight{-1, -1};
  quire_cells::CMarkerLines m_cellMarkers;
  bool m_bCellMarkersValid = false;  // false until scanned after a load
  bool m_bCellsSignalPending = false;
  std::function<const std::vector<std::string>&()> m_completionSource;
  quire_tips::CWordIndex m_documentWords;
  bool m_bDocumentWordsValid = false;  // complete and kept through edits
  static constexpr long WORDS_STEP_BYTES = 1L << 19;
  bool m_bReadingWords = false;        // being read in steps
  long m_wordsReadUpTo = 0;            // meanwhile: counted before this position
  QTimer m_wordsTimer;                 // the next step, each event-loop turn
  std::vector<std::string> m_callTipLines;
  int m_callTipIndex = 0;
  int m_callTipParameter = 0;
};
