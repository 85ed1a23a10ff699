// CScintillaWnd's call tips and completion while typing: "(" asks for the call
// tip of the name before it, "," and ")" move and close it, the arrow keys
// and the tip's arrows show the other usage lines; a word being typed gets the
// list of names and document words that start with it.
#include <QKeyEvent>

#include "editor/view/CallTipRules.h"
#include <algorithm>
#include <cstring>

#include "editor/view/ScintillaWnd.h"

namespace {
using Base = QsciScintillaBase;
}  // namespace

void CScintillaWnd::SetCompletionSource(std::function<const std::vector<std::string>&()> source) {
  m_completionSource = std::move(source);
}

bool CScintillaWnd::IsCallTipShown() const { return Send(Base::SCI_CALLTIPACTIVE) != 0; }

void CScintillaWnd::ShowCallTip(const std::vector<std::string>& lines, int index, int parameter) {
  const quire_tips::SCallTip tip = quire_tips::BuildCallTip(lines, index, parameter);
  if (tip.text.empty()) return;
  if (&lines != &m_callTipLines) m_callTipLines = lines;
  SendText(Base::SCI_CALLTIPSHOW, static_cast<uintptr_t>(GetCurrentPosition()), tip.text.c_str());
  if (tip.highlightStart >= 0)
    Send(Base::SCI_CALLTIPSETHLT, static_cast<uintptr_t>(tip.highlightStart), tip.highlightEnd);
  m_callTipIndex = tip.index;
  m_callTipParameter = parameter;
}

void CScintillaWnd::OnCallTipClick(int direction) {
  // 1 is the up arrow, 2 the down arrow; the parameter starts over.
  if (direction == 1) ShowCallTip(m_callTipLines, m_callTipIndex - 1, 0);
  if (direction == 2) ShowCallTip(m_callTipLines, m_callTipIndex + 1, 0);
}

std::string CScintillaWnd::GetCaretWord() {
  std::string word;
  CharRange range;
  GetWordAt(word, range, false);
  std::erase_if(word, [](char c) { return c == '\r' || c == '\n'; });
  return word;
}

void CScintillaWnd::OnCharAddedForTips(int ch) {
  const ViewSettings settings = Settings();
  if (settings.callTips) {
    if (ch == '(') {
      // The name may stand apart from its "(": "max (".
      long end = GetCurrentPosition() - 1;
      while (end > 0) {
        const char before = static_cast<char>(Send(Base::SCI_GETCHARAT, static_cast<uintptr_t>(end - 1)));
        if (before != ' ' && before != '\t') break;
        --end;
      }
      std::string word;
      CharRange range;
      GetWordAt(word, range, false, end);
      std::erase_if(word, [](char c) { return c == '\r' || c == '\n'; });
      if (!word.empty()) emit callTipRequested(QString::fromStdString(word));
    } else if (ch == ',' && IsCallTipShown()) {
      ShowCallTip(m_callTipLines, m_callTipIndex, m_callTipParameter + 1);
    } else if (ch == ')' && IsCallTipShown()) {
      Send(Base::SCI_CALLTIPCANCEL);
    }
  }
  if (settings.autoComplete && !IsCallTipShown()) ShowCompletion();
}

std::string CScintillaWnd::ShowCompletion() {
  // The part of the word before the caret is what was typed.
  const long caret = GetCurrentPosition();
  const long start = Send(Base::SCI_WORDSTARTPOSITION, static_cast<uintptr_t>(caret), 1);
  const long end = Send(Base::SCI_WORDENDPOSITION, static_cast<uintptr_t>(caret), 1);
  const std::string prefix = TextRange(start, caret);
  if (prefix.empty()) return {};
  if (!m_bDocumentWordsValid) {
    // What the steps have not read yet is read now.
    if (!m_bReadingWords) StartReadingWords();
    ReadWordsUpTo(GetLength());
  }
  static const std::vector<std::string> kNoNames;
  const std::string list =
      quire_tips::CompletionList(m_completionSource ? m_completionSource() : kNoNames, m_documentWords, prefix,
                                                        TextRange(start, end));
  if (list.empty()) return {};
  // The names come in the interpreter's order, not sorted.
  Send(Base::SCI_AUTOCSETORDER, Base::SC_ORDER_CUSTOM);
  SendText(Base::SCI_AUTOCSHOW, prefix.size(), list.c_str());
  return list;
}

void CScintillaWnd::StartReadingWords() {
  m_documentWords.Clear();
  m_bDocumentWordsValid = false;
  m_wordsReadUpTo = 0;
  m_bReadingWords = true;
  m_wordsTimer.start();
}

void CScintillaWnd::ReadWordsUpTo(long position) {
  const long length = GetLength();
  const auto* text = static_cast<const char*>(SendScintillaPtrResult(Base::SCI_GETCHARACTERPOINTER));
  // To a line start: words never cross lines.
  long end = std::min(position, length);
  if (end < length) {
    const void* lineFeed = std::memchr(text + end, '\n', static_cast<size_t>(length - end));
    end = lineFeed ? static_cast<long>(static_cast<const char*>(lineFeed) - text) + 1 : length;
  }
  if (end > m_wordsReadUpTo)
    m_documentWords.Add(std::string_view(text + m_wordsReadUpTo, static_cast<size_t>(end - m_wordsReadUpTo)));
  m_wordsReadUpTo = end;
  if (end < length) return;
  m_bReadingWords = false;
  m_bDocumentWordsValid = true;
  m_wordsTimer.stop();
}

void CScintillaWnd::UpdateDocumentWords(const PendingEdit& edit) {
  if (m_bReadingWords) {
    // An edit in what the steps read already: they start again; one further
    // on is read when they come to it.
    if (edit.position < m_wordsReadUpTo) StartReadingWords();
    return;
  }
  if (!m_bDocumentWordsValid) return;
  if (m_bLoading || !edit.wordsKept) {
    m_bDocumentWordsValid = false;
    return;
  }
  // Words never cross lines: the lines the edit touched are counted out as
  // they were and in as they are.
  m_documentWords.Remove(edit.wordsBefore);
  m_documentWords.Add(LinesAround(edit.position, edit.inserted ? edit.position + edit.length : edit.position));
}

void CScintillaWnd::keyPressEvent(QKeyEvent* event) {
  if (IsCallTipShown() && event->modifiers() == Qt::NoModifier) {
    const int key = event->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Tab) {
      ShowCallTip(m_callTipLines, m_callTipIndex + (key == Qt::Key_Up ? -1 : 1), m_callTipParameter);
      event->accept();
      return;
    }
  }
  if (event->key() == Qt::Key_Escape) emit tipDismissed();
  QsciScintillaBase::keyPressEvent(event);
}

void CScintillaWnd::focusInEvent(QFocusEvent* event) {
  emit tipDismissed();
  QsciScintillaBase::focusInEvent(event);
}
