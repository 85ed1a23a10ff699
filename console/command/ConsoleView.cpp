#include "console/command/ConsoleView.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>

#include <tuple>
#include <variant>

#include "common/OctaveQuote.h"
#include "console/command/CompletionPopup.h"
#include "console/command/ConsoleText.h"
#include "console/command/HistoryStore.h"
#include "console/command/LinkOpener.h"
#include "console/session/ConsoleLinks.h"
#include "console/session/OutputForms.h"
#include "console/session/SessionCore.h"
#include "console/session/SessionWorker.h"
#include "widgets/UserPrompts.h"
#include "widgets/GuiThread.h"

namespace {

constexpr QChar kParagraph(0x2029);
const QString kArmedWarning = QStringLiteral("Press Control-C again to abort.");

QString PlainText(QString text) { return text.replace(kParagraph, QLatin1Char('\n')); }

// The keys the console handles itself with Control held; while it has the focus
// they come before the frame's accelerators.
bool IsConsoleControlKey(const QKeyEvent* event) {
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier)) return event->key() == Qt::Key_Z;
  if (modifiers != Qt::ControlModifier) return false;
  switch (event->key()) {
    case Qt::Key_P: case Qt::Key_N: case Qt::Key_A: case Qt::Key_E: case Qt::Key_F:
    case Qt::Key_B: case Qt::Key_D: case Qt::Key_K: case Qt::Key_W: case Qt::Key_L:
    case Qt::Key_I: case Qt::Key_C: case Qt::Key_V: case Qt::Key_X: case Qt::Key_Z:
    case Qt::Key_Y:
      return true;
    default:
      return false;
  }
}

// What a line shown cut has left out, kept with its block (and dropped with it).
// Kept in the parts it came in: text taken from the shown line, and middles
// left out before the line came, as their UTF-8 bytes (decoded only to copy).
class CLeftOut : public QTextBlockUserData {
 public:
  void Add(QString part) {
    size += part.size();
    if (!part.isEmpty()) m_parts.emplace_back(std::move(part));
  }
  void Add(std::string utf8, qsizetype characters) {
    size += characters;
    m_parts.emplace_back(std::move(utf8));
  }
  // Appends all of it to `line`, decoding straight into place.
  void AppendTo(QString& line) const {
    qsizetype room = 0;  // no byte decodes to more than one unit
    for (const auto& part : m_parts) {
      const auto* shown = std::get_if<QString>(&part);
      room += shown ? shown->size() : static_cast<qsizetype>(std::get<std::string>(part).size());
    }
    const qsizetype at = line.size();
    line.resize(at + room);
    QChar* next = line.data() + at;
    QStringDecoder decoder(QStringDecoder::Utf8);
    for (const auto& part : m_parts) {
      if (const auto* shown = std::get_if<QString>(&part)) {
        next = std::copy(shown->cbegin(), shown->cend(), next);
      } else {
        const std::string& utf8 = std::get<std::string>(part);
        next = decoder.appendToBuffer(next, QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
      }
    }
    line.resize(next - line.constData());
  }

  qsizetype size = 0;
  int noteLength = 0;  // the note stands after the line's first kShownHead characters

 private:
  std::vector<std::variant<QString, std::string>> m_parts;
};

QTextCharFormat NoteFormat(QTextCharFormat format) {
  format.setForeground(QColor(128, 128, 128));
  format.setFontItalic(true);
  format.setFontWeight(QFont::Normal);
  return format;
}

}  // namespace

// Marks changes of the text that are not the user's typing.
class CCalyxView::ProgramChange {
 public:
  explicit ProgramChange(CCalyxView& view) : m_view(view) { ++m_view.m_programChanges; }
  ~ProgramChange() {
    if (--m_view.m_programChanges == 0) m_view.m_lastInput = m_view.InputText();
  }
  ProgramChange(const ProgramChange&) = delete;
  ProgramChange& operator=(const ProgramChange&) = delete;

 private:
  CCalyxView& m_view;
};

CCalyxView::CCalyxView(IUserPrompts& prompts, QWidget* parent)
    : QPlainTextEdit(parent), m_prompts(prompts) {
  setAccessibleName(tr("Command Window"));
  setObjectName(QStringLiteral("CommandWindow"));
  setLineWrapMode(QPlainTextEdit::NoWrap);
  // The document keeps no undo steps: output would fill them without end. The
  // input line has its own.
  setUndoRedoEnabled(false);
  connect(document(), &QTextDocument::contentsChange, this, &CCalyxView::OnContentsChange);
  document()->setDefaultFont(BaseFormat().font());
  setCurrentCharFormat(BaseFormat());
  QPalette colours = palette();
  colours.setColor(QPalette::Base, Qt::white);
  colours.setColor(QPalette::Text, Qt::black);
  setPalette(colours);
}

CCalyxView::~CCalyxView() = default;

void CCalyxView::Attach(CSessionCore* core, CSessionWorker* worker, CHistoryStore* history,
                        ISettings* settings, ISessionHost* host, AutoComplete* completion) {
  m_core = core;
  m_worker = worker;
  m_history = history;
  m_settings = settings;
  m_host = host;
  m_completion = completion;
}

QTextCharFormat CCalyxView::BaseFormat() const {
  QTextCharFormat format;
  QFont font(QStringLiteral("Courier New"), 10);
  font.setStyleHint(QFont::Monospace);
  format.setFont(font);
  format.setForeground(Qt::black);
  format.setFontWeight(QFont::Normal);
  return format;
}

std::string CCalyxView::CurrentPrompt() const {
  return m_core ? m_core->Redirector().CurrentPrompt() : std::string(">> ");
}

// ---- IConsole

QString CCalyxView::OutputTail(int count) const {
  QTextCursor cursor(document());
  cursor.setPosition(m_typedStart);
  cursor.setPosition(std::max(0, m_typedStart - count), QTextCursor::KeepAnchor);
  return PlainText(cursor.selectedText());
}

std::string CCalyxView::Tail(size_t count) {
  return ResultOnGuiThread<std::string>(this, [&] {
    const QByteArray bytes = OutputTail(static_cast<int>(count)).toUtf8();
    const qsizetype keep = std::min<qsizetype>(bytes.size(), static_cast<qsizetype>(count));
    return bytes.right(keep).toStdString();
  });
}

std::string CCalyxView::Text() {
  return ResultOnGuiThread<std::string>(this, [&] { return toPlainText().toStdString(); });
}

int CCalyxView::InsertOutput(const QString& text) {
  QTextCursor cursor(document());
  const int start = m_typedStart;
  cursor.setPosition(start);
  cursor.insertText(text, BaseFormat());
  const int inserted = cursor.position() - start;
  m_typedStart += inserted;
  m_inputStart += inserted;
  return start;
}

void CCalyxView::AppendOutput(const std::string& chunk, const std::vector<ConsoleMark>& marks,
                              int maxLines) {
  // Long lines cut and the rest decoded on the caller's thread: the window's
  // thread places only what it shows.
  const std::vector<LeftOutRange> leftOut = LeftOutRanges(chunk);
  const std::vector<ConsoleMark> shownMarks = MarksAroundLeftOut(marks, chunk, leftOut);
  std::string cut;
  std::vector<size_t> gaps;
  std::vector<HiddenPart> hidden;
  if (!leftOut.empty()) {
    size_t kept = 0;
    for (const LeftOutRange& range : leftOut) {
      cut.append(chunk, kept, range.begin - kept);
      gaps.push_back(cut.size());
      hidden.push_back({0, chunk.substr(range.begin, range.end - range.begin),
                        static_cast<qsizetype>(range.characters)});
      kept = range.end;
    }
    cut.append(chunk, kept);
  }
  const std::string_view shown = leftOut.empty() ? std::string_view(chunk) : std::string_view(cut);
  size_t next = 0;
  for (const auto& [from, to] : OutputPieces(shown, kOutputPieceBytes, gaps)) {
    const std::string_view piece = shown.substr(from, to - from);
    std::vector<long> gapBytes;
    for (; next < gaps.size() && gaps[next] < to; ++next) gapBytes.push_back(static_cast<long>(gaps[next] - from));
    const std::vector<long> gapCharacters = CharacterOffsets(piece, gapBytes);
    std::vector<HiddenPart> within;
    for (size_t i = 0; i < gapBytes.size(); ++i) {
      HiddenPart& part = hidden[next - gapBytes.size() + i];
      part.position = static_cast<int>(gapCharacters[i]);
      within.push_back(std::move(part));
    }
    AppendPiece(QString::fromUtf8(piece.data(), static_cast<qsizetype>(piece.size())),
                MarksInCharacters(MarksWithin(shownMarks, from, to), piece), std::move(within), maxLines);
  }
}

void CCalyxView::AppendPiece(const QString& text, const std::vector<ConsoleMark>& marks,
                             std::vector<HiddenPart> hidden, int maxLines) {
  RunOnGuiThread(this, [&] {
    ProgramChange output(*this);
    const bool typing = textCursor().selectionStart() >= m_inputStart;
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    const int start = InsertOutput(text);
    const int end = m_typedStart;
    for (const ConsoleMark& mark : marks) {
      const int from = std::max(0, start + static_cast<int>(mark.begin));
      const int to = std::min(end, start + static_cast<int>(mark.end));
      if (to <= from) continue;
      QTextCharFormat format;
      switch (mark.kind) {
        case ConsoleMark::Kind::Error:
          format.setForeground(QColor(255, 0, 0));
          break;
        case ConsoleMark::Kind::Bold:
          format.setFontWeight(QFont::Bold);
          break;
        case ConsoleMark::Kind::Link:
          format.setAnchor(true);
          format.setAnchorHref(QString::fromStdString(mark.target));
          format.setFontUnderline(true);
          format.setForeground(QColor(0, 0, 238));
          break;
      }
      QTextCursor range(document());
      range.setPosition(from);
      range.setPosition(to, QTextCursor::KeepAnchor);
      range.mergeCharFormat(format);
    }
    for (HiddenPart& part : hidden) part.position += start;
    CutLongLines(start, m_typedStart, std::move(hidden));
    // Keep the newest maxLines lines; what is typed ahead stays.
    const int blocks = document()->blockCount();
    if (maxLines > 0 && blocks > maxLines) {
      const int cut =
          std::min(document()->findBlockByNumber(blocks - maxLines).position(), m_typedStart);
      QTextCursor head(document());
      head.setPosition(cut, QTextCursor::KeepAnchor);
      head.removeSelectedText();
      m_typedStart -= cut;
      m_inputStart -= cut;
    }
    cursor.endEditBlock();
    // A caret in the input line stays where the user left it.
    if (!typing) moveCursor(QTextCursor::End);
    setCurrentCharFormat(BaseFormat());  // typing after a bold prompt is not bold
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  });
}

void CCalyxView::CutLongLines(int from, int to, std::vector<HiddenPart> hidden) {
  auto part = hidden.begin();
  for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
       block = block.next()) {
    // The output ends at m_typedStart: what follows in the block is the user's.
    const int outputEnd = std::min(block.position() + block.length() - 1, m_typedStart);
    // The part of this line left out before it came, if any: it stands after
    // the line's first kShownHead characters and before its last kShownTail.
    HiddenPart* gap = part != hidden.end() && part->position <= outputEnd ? &*part++ : nullptr;
    if (!gap && outputEnd - block.position() <= kLongLine) continue;
    auto* leftOut = dynamic_cast<CLeftOut*>(block.userData());
    const int noteStart = block.position() + kShownHead;
    const int noteEnd = noteStart + (leftOut ? leftOut->noteLength : 0);
    const int keepFrom = outputEnd - kShownTail;
    if (keepFrom <= noteEnd && !gap) continue;
    if (!leftOut) {
      leftOut = new CLeftOut;
      block.setUserData(leftOut);
    }
    // What now stands between the note and the kept tail goes, in the line's order.
    const int gapAt = gap ? gap->position : keepFrom;
    QTextCursor moved(document());
    moved.setPosition(noteEnd);
    moved.setPosition(gapAt, QTextCursor::KeepAnchor);
    leftOut->Add(moved.selectedText());
    if (gap) {
      leftOut->Add(std::move(gap->utf8), gap->characters);
      moved.setPosition(gapAt);
      moved.setPosition(keepFrom, QTextCursor::KeepAnchor);
      leftOut->Add(moved.selectedText());
    }
    moved.setPosition(noteEnd);
    moved.setPosition(keepFrom, QTextCursor::KeepAnchor);
    moved.removeSelectedText();
    QTextCursor note(document());
    note.setPosition(noteStart);
    note.setPosition(noteEnd, QTextCursor::KeepAnchor);
    const std::u16string noteText = LeftOutNote(static_cast<long>(leftOut->size));
    note.insertText(QString::fromStdU16String(noteText), NoteFormat(BaseFormat()));
    const int shift = static_cast<int>(noteText.size()) - (noteEnd - noteStart) - (keepFrom - noteEnd);
    leftOut->noteLength = static_cast<int>(noteText.size());
    m_typedStart += shift;
    m_inputStart += shift;
    to += shift;
    // The parts of later lines move with the text.
    for (auto later = part; later != hidden.end(); ++later) later->position += shift;
  }
}

QMimeData* CCalyxView::createMimeDataFromSelection() const {
  const QTextCursor selection = textCursor();
  const int from = selection.selectionStart();
  const int to = selection.selectionEnd();
  QString text;
  bool cut = false;
  for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
       block = block.next()) {
    const int start = block.position();
    const int lineEnd = start + block.length() - 1;
    long begin = std::max(from, start) - start;
    long end = std::min(to, lineEnd) - start;
    QString line = block.text();
    if (const auto* leftOut = dynamic_cast<const CLeftOut*>(block.userData())) {
      cut = true;
      std::tie(begin, end) = WholeLineRange({kShownHead, leftOut->noteLength, static_cast<long>(leftOut->size)}, begin, end);
      QString whole;
      whole.reserve(line.size() + leftOut->size);
      whole += QStringView(line).left(kShownHead);
      leftOut->AppendTo(whole);
      whole += QStringView(line).mid(kShownHead + leftOut->noteLength);
      line = std::move(whole);
    }
    text += QStringView(line).mid(begin, end - begin);
    if (to > lineEnd) text += QLatin1Char('\n');
  }
  if (!cut) return QPlainTextEdit::createMimeDataFromSelection();
  auto* data = new QMimeData;
  data->setText(text);
  return data;
}

bool CCalyxView::EchoCommand(const std::string& line) {
  return ResultOnGuiThread<bool>(this, [&] {
    ProgramChange echo(*this);
    const bool command = output_forms::EndsWithPrompt(OutputTail(10).toStdString());
    const QString shown = QString::fromStdString(line) + QLatin1Char('\n');
    QTextCursor typed(document());
    typed.setPosition(m_typedStart);
    typed.setPosition(std::min(m_inputStart, m_typedStart + static_cast<int>(shown.size())),
                      QTextCursor::KeepAnchor);
    if (PlainText(typed.selectedText()) == shown) {
      m_typedStart += static_cast<int>(shown.size());
    } else {
      InsertOutput(shown);
    }
    return command;
  });
}

void CCalyxView::ResetTo(const std::string& prompt) {
  RunOnGuiThread(this, [&] {
    ProgramChange reset(*this);
    clear();
    QTextCursor cursor(document());
    cursor.insertText(QString::fromStdString(prompt), BaseFormat());
    moveCursor(QTextCursor::End);
    m_inputStart = m_typedStart = textCursor().position();
    m_undo.Clear();
  });
}

void CCalyxView::ReplaceInConsole(const std::string& find, const std::string& replacement) {
  RunOnGuiThread(this, [&] {
    const QString from = QString::fromStdString(find);
    QString text = toPlainText();
    if (from.isEmpty() || !text.contains(from)) return;
    const QString to = QString::fromStdString(replacement);
    while (text.contains(from) && !to.contains(from)) text.replace(from, to);
    ProgramChange replace(*this);
    setPlainText(text);
    moveCursor(QTextCursor::End);
    m_inputStart = m_typedStart = textCursor().position();
    m_undo.Clear();
  });
}

void CCalyxView::SetReadOnly(bool readOnly) {
  RunOnGuiThread(this, [&] {
    setReadOnly(readOnly);
    // Read-only refuses typing only: the caret and selection keys still work.
    if (readOnly) setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  });
}

void CCalyxView::MoveCaretToEnd() {
  RunOnGuiThread(this, [&] { moveCursor(QTextCursor::End); });
}

// ---- input line

bool CCalyxView::BeforeInput() const { return textCursor().selectionStart() < m_inputStart; }

void CCalyxView::ToEnd() { moveCursor(QTextCursor::End); }

QString CCalyxView::InputText() const {
  QTextCursor cursor(document());
  cursor.setPosition(std::min(m_inputStart, document()->characterCount() - 1));
  cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
  return PlainText(cursor.selectedText());
}

void CCalyxView::ReplaceInputText(const QString& text) {
  QTextCursor cursor(document());
  cursor.setPosition(std::min(m_inputStart, document()->characterCount() - 1));
  cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
  cursor.insertText(text, BaseFormat());
}

void CCalyxView::ClearWindow() {
  if (m_settings &&
      !ConfirmBySetting(m_prompts, this, *m_settings, "General", "ConfirmClearWindow", 0,
                        tr("All text will be cleared from the command window.")))
    return;
  // Without an interpreter no prompt is shown: it would invite typing.
  ResetTo(isReadOnly() ? std::string() : CurrentPrompt());
}

void CCalyxView::OnContentsChange(int position, int removed, int added) {
  if (m_programChanges > 0) return;
  const bool typing = removed == 0 && added == 1;
  const int offset = position - m_inputStart;
  m_undo.Record(m_lastInput, typing && offset == m_typingEnd);
  m_lastInput = InputText();
  m_typingEnd = typing ? offset + 1 : -1;
  if (!m_bRecalling) {
    // A new prefix: the next recall starts from the newest entry.
    m_recallPrefix.reset();
    if (m_history) m_history->ResetRecallCursor();
  }
}

void CCalyxView::ShowUndoStep(const std::optional<QString>& line) {
  if (!line) return;
  ProgramChange step(*this);
  ReplaceInputText(*line);
  moveCursor(QTextCursor::End);
  m_typingEnd = -1;
}

void CCalyxView::UndoInput() {
  if (!isReadOnly()) ShowUndoStep(m_undo.Undo(InputText()));
}

void CCalyxView::RedoInput() {
  if (!isReadOnly()) ShowUndoStep(m_undo.Redo(InputText()));
}

bool CCalyxView::OnEnter() {
  QStringList lines = InputText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  const bool busy = m_core->Busy();
  const bool atPrompt = output_forms::EndsWithPrompt(OutputTail(10).toStdString());
  if (lines.isEmpty()) {
    if (busy) return true;  // nothing to add to what runs
    if (atPrompt) {
      m_core->EnqueueCommand("\n", false);
      m_core->Signals().Raise(m_core->Signals().g_bRefreshWorkspace);
      return true;
    }
    lines.append(QString());  // an empty answer to input()
  }
  {
    // The lines wait for the interpreter where they were typed; each is sent once.
    ProgramChange typedAhead(*this);
    ReplaceInputText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    ToEnd();
    m_inputStart = textCursor().position();
    m_undo.Clear();
  }
  for (const QString& line : lines) m_core->EnqueueTyped(line.toStdString());
  return true;
}

bool CCalyxView::OnTab() {
  const QTextCursor cursor = textCursor();
  QTextCursor head(document());
  head.setPosition(cursor.selectionStart(), QTextCursor::KeepAnchor);
  const QString before = PlainText(head.selectedText());
  const std::u16string_view view(reinterpret_cast<const char16_t*>(before.utf16()),
                                 static_cast<size_t>(before.size()));
  const int wordStart = static_cast<int>(CompletionWordStart(view));
  const QString word = before.mid(wordStart);
  m_completion->SetWordRange(cursor.selectionEnd() - static_cast<int>(word.size()),
                             cursor.selectionEnd());
  m_core->EnqueueCommand(
      "completion_matches('" + octave_quote::EscapeSingle(word.toStdString()) + "')###", false);
  return true;
}

bool CCalyxView::OnInterruptKey() {
  if (m_bInterruptArmed) {
    m_core->Interrupt();
  } else if (m_core->Signals().g_bConnected) {
    m_bInterruptArmed = true;
    ProgramChange warning(*this);
    // With nothing running, a fresh prompt follows, as the interpreter would show.
    const std::string prompt = m_core->Busy() ? std::string() : CurrentPrompt();
    InsertOutput(kArmedWarning + QLatin1Char('\n') + QString::fromStdString(prompt));
  }
  return true;
}

void CCalyxView::Recall(bool backward) {
  if (!m_recallPrefix) {
    // What is typed before the caret filters this recall and the ones after it.
    const int selectionEnd = textCursor().selectionEnd();
    QTextCursor typed(document());
    typed.setPosition(std::min(m_inputStart, selectionEnd));
    typed.setPosition(selectionEnd, QTextCursor::KeepAnchor);
    m_recallPrefix = PlainText(typed.selectedText());
  }
  const RecallResult result = m_history->Recall(backward, m_recallPrefix->toStdString());
  if (!result.input) return;
  m_bRecalling = true;
  ReplaceInputText(QString::fromStdString(*result.input));
  m_bRecalling = false;
  ToEnd();
}

bool CCalyxView::HandleKey(QKeyEvent* event) {
  const bool control = event->modifiers() & Qt::ControlModifier;
  const bool popup = m_completion && m_completion->IsShown();
  const QTextCursor cursor = textCursor();
  const int selectionStart = cursor.selectionStart();
  const bool before = selectionStart < m_inputStart;

  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
      if (popup) {
        m_completion->Accept();
        return true;
      }
      if (before) {
        ToEnd();
        return true;
      }
      return event->key() == Qt::Key_Tab ? OnTab() : OnEnter();
    case Qt::Key_Backspace:
      if (selectionStart == m_inputStart) return !cursor.hasSelection();
      if (before) {
        ToEnd();
        return true;
      }
      return false;
    case Qt::Key_Escape:
      if (popup) m_completion->Cancel();
      return false;
    case Qt::Key_Space:
    case Qt::Key_Insert:
    case Qt::Key_Delete:
      if (before) {
        ToEnd();
        return true;
      }
      return false;
    case Qt::Key_Left:
      return selectionStart == m_inputStart && !control;
    case Qt::Key_Home:
      if (before) return false;
      if (event->modifiers() & Qt::ShiftModifier) {
        QTextCursor selection(document());
        selection.setPosition(selectionStart);
        selection.setPosition(m_inputStart, QTextCursor::KeepAnchor);
        setTextCursor(selection);
      } else {
        QTextCursor caret(document());
        caret.setPosition(m_inputStart);
        setTextCursor(caret);
      }
      return true;
    case Qt::Key_Up:
    case Qt::Key_P:
    case Qt::Key_Down:
    case Qt::Key_N: {
      const bool up = event->key() == Qt::Key_Up || event->key() == Qt::Key_P;
      const bool arrow = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
      if (!arrow && !control) return false;
      if (popup) {
        up ? m_completion->SelectPrevious() : m_completion->SelectNext();
        return true;
      }
      if (before) return !arrow && up;  // Ctrl+P is swallowed there, the arrows move
      Recall(up);
      return true;
    }
    default:
      break;
  }
  if (event->matches(QKeySequence::Undo)) {
    UndoInput();
    return true;
  }
  if (event->matches(QKeySequence::Redo) || (control && event->key() == Qt::Key_Y)) {
    RedoInput();
    return true;
  }
  if (!control) return false;

  QTextCursor edit = textCursor();
  switch (event->key()) {
    case Qt::Key_C:
      if (cursor.hasSelection() || before || !m_core || !m_core->Redirector().IsRunning())
        return false;  // a copy
      return OnInterruptKey();
    case Qt::Key_X:
      return before;  // nothing before the input can be cut
    case Qt::Key_A:
      if (before) return false;
      edit.setPosition(m_inputStart);
      setTextCursor(edit);
      return true;
    case Qt::Key_E:
      if (!before) ToEnd();
      return true;
    case Qt::Key_B:
      if (selectionStart <= m_inputStart) return false;
      edit.setPosition(selectionStart - 1);
      setTextCursor(edit);
      return true;
    case Qt::Key_F:
      if (before) return false;
      edit.movePosition(QTextCursor::NextCharacter);
      setTextCursor(edit);
      return true;
    case Qt::Key_D:
      if (before) return false;
      edit.deleteChar();
      return true;
    case Qt::Key_K:
      if (before) return false;
      edit.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
      edit.removeSelectedText();
      return true;
    case Qt::Key_W: {
      if (before) return false;
      QTextCursor typed(document());
      typed.setPosition(m_inputStart);
      typed.setPosition(selectionStart, QTextCursor::KeepAnchor);
      const int blank = PlainText(typed.selectedText()).lastIndexOf(QLatin1Char(' '));
      edit.setPosition(blank < 0 ? m_inputStart : m_inputStart + blank + 1);
      edit.setPosition(selectionStart, QTextCursor::KeepAnchor);
      edit.removeSelectedText();
      return true;
    }
    case Qt::Key_L:
      ClearWindow();
      return true;
    case Qt::Key_I:
      return true;
    default:
      return false;
  }
}

bool CCalyxView::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride && IsConsoleControlKey(static_cast<QKeyEvent*>(event))) {
    event->accept();
    return true;
  }
  return QPlainTextEdit::event(event);
}

void CCalyxView::ReadOnlyKey(QKeyEvent* event) {
  const bool control = event->modifiers() & Qt::ControlModifier;
  if (control && event->key() == Qt::Key_L) {
    ClearWindow();
    return;
  }
  const bool edits = (!event->text().isEmpty() && event->text().at(0).isPrint() && !control) ||
                     event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
                     event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo);
  switch (event->key()) {
    case Qt::Key_Return: case Qt::Key_Enter: case Qt::Key_Backspace: case Qt::Key_Delete:
    case Qt::Key_Tab:
      emit InputRefused();
      return;
    default:
      break;
  }
  if (edits) {
    emit InputRefused();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);  // caret, selection and copy
}

void CCalyxView::keyPressEvent(QKeyEvent* event) {
  if (!m_core) {
    QPlainTextEdit::keyPressEvent(event);
    return;
  }
  if (isReadOnly()) {
    ReadOnlyKey(event);
    return;
  }
  if (HandleKey(event)) return;
  const bool typed = !event->text().isEmpty() && event->text().at(0).isPrint() &&
                     !(event->modifiers() & Qt::ControlModifier);
  bool completeAgain = false;
  if (typed) {
    // Typing always lands in the input line.
    if (textCursor().selectionStart() < m_inputStart - 1) ToEnd();
    if (m_completion && m_completion->IsShown()) {
      m_completion->hide();
      completeAgain = true;
    }
  }
  QPlainTextEdit::keyPressEvent(event);
  if (completeAgain) OnTab();  // the longer word is asked for again
}

void CCalyxView::insertFromMimeData(const QMimeData* source) {
  if (textCursor().selectionStart() < m_inputStart || !source->hasText()) return;
  QTextCursor cursor = textCursor();
  cursor.insertText(source->text(), BaseFormat());
  setTextCursor(cursor);
}

void CCalyxView::FollowLink(const QString& link) {
  using console_links::LinkTarget;
  const LinkTarget target = console_links::ParseTarget(link.toStdString());
  switch (target.kind) {
    case LinkTarget::Kind::WebAddress:
      if (m_linkOpener) m_linkOpener->OpenWebAddress(target.name);
      return;
    case LinkTarget::Kind::File:
      if (m_linkOpener) m_linkOpener->OpenFileAt(target.name, target.line);
      return;
    case LinkTarget::Kind::Function:
      if (m_linkOpener) m_linkOpener->OpenFunctionAt(target.name, target.line);
      return;
    case LinkTarget::Kind::HelpTopic:
      break;
  }
  if (!m_core) return;
  // A plain name goes in command form; anything else as a quoted argument.
  static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9_.@]+$"));
  const std::string name = link.toStdString();
  m_core->EnqueueCommand(plainName.match(link).hasMatch()
                             ? "help " + name
                             : "help (" + octave_quote::SingleQuoted(name) + ")",
                         true);
}

QString CCalyxView::LinkAt(const QPoint& point) const {
  const QTextCursor at = cursorForPosition(point);
  // The cursor stands between two characters: the one after it, then the one before.
  QTextCursor next = at;
  next.movePosition(QTextCursor::NextCharacter);
  const QString link = next.charFormat().anchorHref();
  return link.isEmpty() ? at.charFormat().anchorHref() : link;
}

void CCalyxView::mouseReleaseEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || textCursor().hasSelection()) return;
  const QString link = LinkAt(event->position().toPoint());
  if (!link.isEmpty()) FollowLink(link);
}

void CCalyxView::mouseMoveEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseMoveEvent(event);
  const bool overLink = event->buttons() == Qt::NoButton && !LinkAt(event->position().toPoint()).isEmpty();
  viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

void CCalyxView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  const bool editable = !isReadOnly();
  menu.addAction(tr("&Undo"), this, &CCalyxView::UndoInput)->setEnabled(editable && CanUndoInput());
  menu.addAction(tr("&Redo"), this, &CCalyxView::RedoInput)->setEnabled(editable && CanRedoInput());
  menu.addSeparator();
  const bool selection = textCursor().hasSelection();
  const bool inInput = !BeforeInput();
  menu.addAction(tr("Cu&t"), this, &QPlainTextEdit::cut)->setEnabled(selection && inInput);
  menu.addAction(tr("&Copy"), this, &QPlainTextEdit::copy)->setEnabled(selection);
  menu.addAction(tr("&Paste"), this, &QPlainTextEdit::paste)->setEnabled(inInput && !isReadOnly());
  menu.addAction(tr("&Delete"), this, [this] { textCursor().removeSelectedText(); })
      ->setEnabled(selection && inInput && !isReadOnly());
  menu.addSeparator();
  menu.addAction(tr("Clear Window\tCtrl+L"), this, &CCalyxView::ClearWindow);
  menu.exec(event->globalPos());
}
