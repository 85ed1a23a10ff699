#include "console/command/CompletionPopup.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <algorithm>
#include <memory>

#include "widgets/GuiThread.h"

namespace {

constexpr int kMaxRows = 10;
constexpr int kRowHeight = 17;
constexpr int kCharWidth = 10;

}  // namespace

AutoComplete::AutoComplete(QPlainTextEdit* console)
    : QFrame(console, Qt::Tool | Qt::FramelessWindowHint), m_console(console) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);

  m_list = new QListWidget(this);
  m_list->setAccessibleName(tr("Completions"));
  m_list->setSortingEnabled(true);
  m_list->setUniformItemSizes(true);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QFont font(QStringLiteral("Courier New"), 10);
  font.setStyleHint(QFont::TypeWriter);
  m_list->setFont(font);
  m_list->installEventFilter(this);
  connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { Accept(); });
}

void AutoComplete::SetWordRange(int start, int end) {
  m_wordStart = start;
  m_wordEnd = end;
}

void AutoComplete::ShowCandidates(const std::vector<std::string>& candidates) {
  RunOnGuiThread(this, [&] { Fill(candidates); });
}

void AutoComplete::Accept(const std::string& candidate) {
  RunOnGuiThread(this, [&] { Insert(QString::fromStdString(candidate)); });
}

void AutoComplete::Fill(const std::vector<std::string>& candidates) {
  hide();
  m_list->clear();
  if (candidates.empty()) return;
  int longest = 0;
  for (const std::string& candidate : candidates) {
    const QString entry = QString::fromStdString(candidate);
    longest = std::max(longest, static_cast<int>(entry.size()));
    m_list->addItem(entry);
  }
  PlaceAtCaret(std::min(m_list->count(), kMaxRows), longest);
  m_list->setCurrentRow(0);
  show();
}

void AutoComplete::PlaceAtCaret(int rows, int longest) {
  const QPoint caret = m_console->viewport()->mapTo(m_console, m_console->cursorRect().topLeft());
  const QRect console(m_console->mapToGlobal(QPoint(0, 0)), m_console->size());
  const int top = console.top() + caret.y();
  const int x = console.left() + caret.x();
  // Below the caret line unless the list would run past the console's bottom.
  int y = top + 18;
  if (console.bottom() < top + 10 * rows) y = top - kRowHeight * rows - 2;
  setGeometry(x, y, kCharWidth * longest + 25, kRowHeight * rows + 5);
  m_list->setGeometry(0, 0, kCharWidth * longest + 20, kRowHeight * rows);
}

void AutoComplete::Accept() {
  QListWidgetItem* item = m_list->currentItem();
  if (!item) {
    Cancel();
    return;
  }
  Insert(item->text());
}

void AutoComplete::Insert(const QString& entry) {
  QTextCursor cursor = m_console->textCursor();
  const int last = m_console->document()->characterCount() - 1;
  const int start = std::clamp(m_wordStart, 0, std::max(last, 0));
  const int end = std::clamp(m_wordEnd, start, std::max(last, 0));
  cursor.setPosition(start);
  cursor.setPosition(end, QTextCursor::KeepAnchor);
  cursor.insertText(entry);
  m_console->setTextCursor(cursor);
  hide();
  ReturnFocus();
}

void AutoComplete::Cancel() {
  hide();
  ReturnFocus();
}

void AutoComplete::ReturnFocus() {
  m_console->activateWindow();
  m_console->setFocus(Qt::OtherFocusReason);
}

void AutoComplete::SelectNext() {
  const int count = m_list->count();
  if (count == 0) return;
  m_list->setCurrentRow(std::min(m_list->currentRow() + 1, count - 1));
}

void AutoComplete::SelectPrevious() {
  if (m_list->count() == 0) return;
  m_list->setCurrentRow(std::max(m_list->currentRow() - 1, 0));
}

bool AutoComplete::IsShown() const { return isVisible(); }

bool AutoComplete::eventFilter(QObject* watched, QEvent* event) {
  // Seen before the list's own handling, which would move the focus on Tab.
  if (watched == m_list && event->type() == QEvent::KeyPress)
    return HandleKey(static_cast<QKeyEvent*>(event));
  return QFrame::eventFilter(watched, event);
}

void AutoComplete::keyPressEvent(QKeyEvent* event) {
  if (!HandleKey(event)) QFrame::keyPressEvent(event);
}

bool AutoComplete::HandleKey(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Accept();
      return true;
    case Qt::Key_Escape:
      Cancel();
      return true;
    default:
      break;
  }
  // Arrows and paging carry no text and move through the list; whatever types
  // something belongs to the console.
  if (event->text().isEmpty()) return false;
  ReturnFocus();
  std::unique_ptr<QKeyEvent> copy(event->clone());
  QCoreApplication::sendEvent(m_console, copy.get());
  return true;
}
