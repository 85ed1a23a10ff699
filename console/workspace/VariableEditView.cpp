#include "console/workspace/VariableEditView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPainter>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <utility>

#include "common/AtomicFile.h"
#include "common/Text.h"
#include "console/workspace/WorkspaceCommands.h"
#include "console/workspace/WorkspaceIds.h"
#include "widgets/AppIcon.h"
#include "widgets/GuiThread.h"
#include "widgets/UserPrompts.h"

namespace gc = grid_commands;
using namespace workspace_id;

namespace {

constexpr int kHeaderColumnWidth = 30;
constexpr int kDataColumnWidth = 70;
// The grid has room for at least this many rows when the pane opens.
constexpr int kRowsShownAtOpening = 10;
const std::string kEmpty;

int ClampToInt(long value) { return static_cast<int>(std::clamp<long>(value, 0, INT_MAX)); }

QString FaultText(gc::ExpressionFault fault) {
  using F = gc::ExpressionFault;
  switch (fault) {
    case F::kSeparator:
      return CVariableEditView::tr("holds a statement separator (; or ,) outside brackets and strings.");
    case F::kLineEnd: return CVariableEditView::tr("holds a line end.");
    case F::kComment:
      return CVariableEditView::tr("holds a comment (% or #), which would hide the rest of the command.");
    case F::kContinuation:
      return CVariableEditView::tr("holds a continuation (...), which would join the next command.");
    case F::kUnbalanced: return CVariableEditView::tr("has a bracket without its partner.");
    case F::kOpenString: return CVariableEditView::tr("has a string without its closing quote.");
    case F::kNone: break;
  }
  return {};
}

}  // namespace

// ---- CMatrixModel

void CMatrixModel::Reset(long rows, long columns, std::vector<std::string> cells) {
  beginResetModel();
  m_rows = ClampToInt(rows);
  m_columns = ClampToInt(columns);
  m_cells = std::move(cells);
  m_cells.resize(static_cast<size_t>(m_rows) * static_cast<size_t>(m_columns));
  endResetModel();
}

const std::string& CMatrixModel::Text(long row, long column) const {
  if (row < 0 || column < 0 || row >= m_rows || column >= m_columns) return kEmpty;
  return m_cells[static_cast<size_t>(row) * static_cast<size_t>(m_columns) + static_cast<size_t>(column)];
}

int CMatrixModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int CMatrixModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_columns;
}

QVariant CMatrixModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::AccessibleTextRole)
    return QString::fromStdString(Text(index.row(), index.column()));
  return {};
}

QVariant CMatrixModel::headerData(int section, Qt::Orientation, int role) const {
  // Headers show Octave's 1-based indices.
  if (role == Qt::DisplayRole) return QString::number(section + 1);
  return {};
}

Qt::ItemFlags CMatrixModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool CMatrixModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  const std::string text = value.toString().toStdString();
  std::string& cell =
      m_cells[static_cast<size_t>(index.row()) * static_cast<size_t>(m_columns) + static_cast<size_t>(index.column())];
  if (text == cell) return true;  // only real changes reach the interpreter
  if (!m_commit || !m_commit(index.row() + 1, index.column() + 1, text)) return false;
  cell = text;
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

// ---- CVariableGrid

CVariableGrid::CVariableGrid(QWidget* parent) : QTableView(parent) {
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setFrameShape(QFrame::NoFrame);
  setWordWrap(false);
  horizontalHeader()->setDefaultSectionSize(kDataColumnWidth);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  // Rows as tight as a spreadsheet's: the style's header height would leave room
  // for few of them.
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
  // Wider only when the row numbers need it.
  verticalHeader()->setMinimumWidth(kHeaderColumnWidth);
  setAccessibleName(tr("Values"));
}

gc::CellRange CVariableGrid::SelectedRange() const {
  const QItemSelection selection = selectionModel() ? selectionModel()->selection() : QItemSelection();
  if (selection.isEmpty()) return {};
  gc::CellRange range{LONG_MAX, LONG_MAX, -1, -1};
  for (const QItemSelectionRange& part : selection) {
    range.firstRow = std::min<long>(range.firstRow, part.top() + 1);
    range.firstColumn = std::min<long>(range.firstColumn, part.left() + 1);
    range.lastRow = std::max<long>(range.lastRow, part.bottom() + 1);
    range.lastColumn = std::max<long>(range.lastColumn, part.right() + 1);
  }
  return range;
}

gc::Cell CVariableGrid::Focus() const {
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return {};
  return {current.row() + 1, current.column() + 1};
}

void CVariableGrid::SetFocusCell(gc::Cell cell, bool scroll) {
  const QModelIndex index = model()->index(static_cast<int>(cell.row - 1), static_cast<int>(cell.column - 1));
  if (!index.isValid()) return;
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  if (scroll) scrollTo(index);
}

void CVariableGrid::Select(gc::CellRange range) {
  const QModelIndex from = model()->index(static_cast<int>(range.firstRow - 1), static_cast<int>(range.firstColumn - 1));
  const QModelIndex to = model()->index(static_cast<int>(range.lastRow - 1), static_cast<int>(range.lastColumn - 1));
  if (from.isValid() && to.isValid())
    selectionModel()->select(QItemSelection(from, to), QItemSelectionModel::ClearAndSelect);
}

void CVariableGrid::CopySelection() {
  const gc::CellRange range = SelectedRange();
  if (range.lastRow < 1) return;
  std::vector<std::vector<std::string>> cells;
  for (long row = range.firstRow; row <= range.lastRow; ++row) {
    std::vector<std::string> line;
    for (long column = range.firstColumn; column <= range.lastColumn; ++column)
      line.push_back(model()->index(static_cast<int>(row - 1), static_cast<int>(column - 1)).data().toString().toStdString());
    cells.push_back(std::move(line));
  }
  QApplication::clipboard()->setText(QString::fromStdString(gc::CellsToClipboard(cells)));
}

void CVariableGrid::CutSelection() {
  const gc::CellRange range = SelectedRange();
  if (range.lastRow < 1) return;
  CopySelection();
  for (long row = range.firstRow; row <= range.lastRow; ++row) {
    for (long column = range.firstColumn; column <= range.lastColumn; ++column)
      SetCellText(row, column, QString());
  }
}

void CVariableGrid::PasteAtFocus() {
  const gc::Cell focus = Focus();
  if (focus.row < 1) return;
  const auto cells = gc::CellsFromClipboard(QApplication::clipboard()->text().toStdString());
  const long rows = model()->rowCount(), columns = model()->columnCount();
  for (size_t i = 0; i < cells.size() && focus.row + static_cast<long>(i) <= rows; ++i) {
    for (size_t j = 0; j < cells[i].size() && focus.column + static_cast<long>(j) <= columns; ++j)
      SetCellText(focus.row + static_cast<long>(i), focus.column + static_cast<long>(j),
                  QString::fromStdString(cells[i][j]));
  }
}

bool CVariableGrid::SetCellText(long row, long column, const QString& text) {
  return model()->setData(model()->index(static_cast<int>(row - 1), static_cast<int>(column - 1)), text,
                          Qt::EditRole);
}

void CVariableGrid::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    CopySelection();
  } else if (event->matches(QKeySequence::Cut)) {
    CutSelection();
  } else if (event->matches(QKeySequence::Paste)) {
    PasteAtFocus();
  } else {
    QTableView::keyPressEvent(event);
  }
}

// ---- CVariableEditView

CVariableEditView::CVariableEditView(IUserPrompts& prompts, QWidget* parent)
    : QWidget(parent),
      m_prompts(prompts),
      m_grid(new CVariableGrid(this)),
      m_toolBar(new QToolBar(this)),
      m_pageBox(new QComboBox(this)) {
  setAccessibleName(tr("Variable Editor"));
  m_grid->setModel(&m_model);
  m_model.SetCommit([this](long row, long column, const std::string& text) {
    return CommitCell(row, column, text);
  });
  m_toolBar->setMovable(false);
  m_toolBar->setFloatable(false);
  m_toolBar->setIconSize(QSize(16, 16));
  m_toolBar->setStyleSheet(QStringLiteral("QToolBar { border: 0px; }"));
  m_toolBar->setAccessibleName(tr("Variable Editor toolbar"));
  CreateToolBar();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(m_toolBar);
  auto* frame = new QVBoxLayout;
  frame->setContentsMargins(1, 1, 1, 1);  // room for the frame painted around the grid
  frame->addWidget(m_grid);
  layout->addLayout(frame);
  setFocusProxy(m_grid);
  UpdateActions();
}

void CVariableEditView::CreateToolBar() {
  struct Command {
    int id;
    const char* tip;  // tool tip, then the short name
    const char* icon;
  };
  const Command groups[][3] = {
      {{kCut, "Cut the selection and put it on the Clipboard\nCut", "edit-cut"},
       {kCopy, "Copy the selection and put it on the Clipboard\nCopy", "edit-copy"},
       {kPaste, "Insert Clipboard contents\nPaste", "edit-paste"}},
      {{kAddLeft, "Insert Column at Left of selected column\nAdd Left", "edit-table-insert-column-left"},
       {kAddRight, "Insert Column at Right of selected column\nAdd Right", "edit-table-insert-column-right"},
       {kDeleteColumn, "Delete the selected column\nDelete Column", "edit-table-delete-column"}},
      {{kAddAbove, "Insert Row Above the selected row\nAdd Above", "edit-table-insert-row-above"},
       {kAddBelow, "Insert Row Below the selected row\nAdd Below", "edit-table-insert-row-below"},
       {kDeleteRow, "Delete the selected row\nDelete Row", "edit-table-delete-row"}},
  };
  for (const auto& group : groups) {
    for (const Command& command : group) {
      const QStringList tip = tr(command.tip).split(QLatin1Char('\n'));
      auto* action = new QAction(AppIcon(command.icon), tip.value(1), this);
      action->setData(command.id);
      action->setToolTip(tip.value(0));
      action->setStatusTip(tip.value(0));
      connect(action, &QAction::triggered, this, [this, id = command.id] { RunCommand(id); });
      m_actions[command.id] = action;
      m_toolBar->addAction(action);
    }
    m_toolBar->addSeparator();
  }
  m_pageBox->setFixedWidth(50);
  m_pageBox->setEditable(false);
  m_pageBox->setToolTip(tr("Change the current Index"));
  m_pageBox->setStatusTip(tr("Change the current Index"));
  m_pageBox->setAccessibleName(tr("Index"));
  m_pageBox->setEnabled(false);
  m_toolBar->addWidget(m_pageBox);
  // Only the user's choice asks for a page, not the refill of the entries.
  connect(m_pageBox, &QComboBox::activated, this, [this] { ReloadPageNow(); });
}

QAction* CVariableEditView::Action(int commandId) const {
  auto found = m_actions.find(commandId);
  return found == m_actions.end() ? nullptr : found->second;
}

void CVariableEditView::Attach(VariableEditorSession session) {
  std::lock_guard lock(m_sessionMutex);
  m_session = std::move(session);
}

std::string CVariableEditView::ExchangeFile() {
  std::lock_guard lock(m_sessionMutex);
  return m_session.exchangeFile;
}

QWidget* CVariableEditView::Pane() {
  if (auto* dock = qobject_cast<QDockWidget*>(parentWidget())) return dock;
  return this;
}

void CVariableEditView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(m_grid->geometry().adjusted(-1, -1, 0, 0));
}

void CVariableEditView::MakeRoomForRows(int rows, int attempts, int asked) {
  auto* dock = qobject_cast<QDockWidget*>(parentWidget());
  auto* window = dock ? qobject_cast<QMainWindow*>(dock->parentWidget()) : nullptr;
  if (!window || dock->isFloating() || !isVisible() || attempts <= 0) return;
  const int shown = m_grid->viewport()->height();
  const int missing = rows * m_grid->verticalHeader()->defaultSectionSize() - shown;
  if (missing <= 0) return;
  // The size asked for counts the tab bar of a tab group too, so the pane gets
  // less: ask again for what is still missing once the window is laid out, and
  // stop when it has no more room to give.
  asked = std::max(asked, dock->height()) + missing;
  window->resizeDocks({dock}, {asked}, Qt::Vertical);
  QTimer::singleShot(0, this, [this, rows, attempts, shown, asked] {
    if (m_grid->viewport()->height() > shown) MakeRoomForRows(rows, attempts - 1, asked);
  });
}

void CVariableEditView::Enqueue(const std::string& text, bool echo) {
  if (m_session.enqueue) m_session.enqueue(text, echo);
}

void CVariableEditView::UpdateActions() {
  // Row and column commands would fold a fourth dimension into the third.
  const bool edits = m_loaded;
  const bool shape = m_loaded && m_size.dimensions <= 3;
  for (int id : {kCut, kCopy, kPaste}) Action(id)->setEnabled(edits);
  for (int id : {kAddLeft, kAddRight, kDeleteColumn, kAddAbove, kAddBelow, kDeleteRow})
    Action(id)->setEnabled(shape);
}

bool CVariableEditView::ShowVariable(const std::string& name) {
  const std::string file = ExchangeFile();
  const auto command = gc::ExportCommand(file, name, 1);
  if (file.empty() || !command) return false;
  m_strVarName = name;
  m_nPage = 0;
  m_opening = true;
  // The dispatcher expects the export's answer when it sends the command.
  Enqueue(*command, false);
  return true;
}

bool CVariableEditView::IsVisible() {
  return ResultOnGuiThread<bool>(this, [this] { return isVisible(); });
}

void CVariableEditView::ReloadPage() {
  RunOnGuiThread(this, [this] { ReloadPageNow(); });
}

void CVariableEditView::ReloadPageNow() {
  const QString text = m_pageBox->currentText();
  if (text.isEmpty()) return;
  const long page = text.toLong();
  if (auto command = gc::ExportCommand(ExchangeFile(), m_strVarName, page)) {
    Enqueue(*command, false);
    m_nPage = static_cast<int>(page - 1);
  }
}

void CVariableEditView::LoadGrid() {
  // The file is read here, off the GUI thread; only the grid is filled there.
  const std::string file = ExchangeFile();
  std::string content;
  // Deleted even when the variable is gone: a file left behind would be shown
  // for the next page whose export failed.
  if (!file.empty() && ReadWholeFile(file, content)) std::remove(file.c_str());
  std::vector<std::string> tokens = gc::ExchangeTokens(content);
  RunOnGuiThread(this, [&] { FillGrid(std::move(tokens)); });
}

int CVariableEditView::FillGrid(std::vector<std::string> tokens) {
  m_grid->setEnabled(false);
  std::string size;
  bool found = false;
  if (m_session.workspace) {
    for (const ListRow& row : m_session.workspace->Rows()) {
      if (!row.columns.empty() && row.columns[0] == m_strVarName) {
        size = row.columns.size() > 1 ? row.columns[1] : std::string();
        found = true;
        break;
      }
    }
  }
  if (!found) {
    // Cleared or renamed: the old values stay, disabled, out of sight.
    Pane()->hide();
    return 0;
  }
  // Opening: a variable chosen anew, or the pane out of sight until now.
  const bool opening = std::exchange(m_opening, false) || !isVisible();
  Pane()->show();
  // In a tab group this brings the pane's tab to the front.
  if (Pane() != this) Pane()->raise();
  if (opening) QTimer::singleShot(0, this, [this] { MakeRoomForRows(kRowsShownAtOpening, 3); });
  Pane()->setWindowTitle(tr("Variable Editor - %1 <%2>")
                             .arg(QString::fromStdString(m_strVarName), QString::fromStdString(size)));

  m_size = gc::ParseVariableSize(size);
  const gc::Cell remembered = m_grid->Focus();
  m_grid->setUpdatesEnabled(false);
  const size_t cells = static_cast<size_t>(std::max(0L, m_size.rows)) *
                       static_cast<size_t>(std::max(0L, m_size.columns));
  tokens.resize(std::min(cells, tokens.size()));
  m_model.Reset(m_size.rows, m_size.columns, std::move(tokens));

  // Pages: the third index, whatever follows it.
  m_pageBox->setEnabled(false);
  m_pageBox->clear();
  const long pages = m_size.paged ? m_size.pages : 1;
  const bool pageGone = pages > 0 && m_nPage >= pages;
  if (m_size.paged) {
    QStringList entries;
    for (long page = 1; page <= pages; ++page) entries << QString::number(page);
    m_pageBox->addItems(entries);
    m_pageBox->setEnabled(true);
  } else {
    m_pageBox->addItem(QStringLiteral("1"));
    m_nPage = 0;
  }
  if (pageGone) m_nPage = static_cast<int>(pages - 1);
  m_pageBox->setCurrentIndex(m_nPage);

  const gc::Cell focus = gc::FocusAfterRefill(remembered, m_size.rows, m_size.columns);
  m_grid->SetFocusCell(focus, remembered.row != -1);
  m_grid->setUpdatesEnabled(true);
  m_grid->setEnabled(true);
  m_loaded = true;
  UpdateActions();
  // The page shown no longer exists: the last one is asked for instead.
  if (pageGone) ReloadPageNow();
  return 1;
}

bool CVariableEditView::CommitCell(long row, long column, const std::string& text) {
  const auto command = gc::CellCommand(m_strVarName, row, column, m_nPage + 1, text);
  if (!command) {
    const gc::ExpressionFault fault = gc::CheckCellExpression(text::Trim(text));
    if (fault == gc::ExpressionFault::kNone) return false;  // no variable shown
    if (m_batch) {
      m_refused.push_back(text);
    } else {
      m_prompts.ShowWarning(this, tr("Variable Editor"),
                            tr("A cell takes one expression. \"%1\" %2")
                                .arg(QString::fromStdString(text), FaultText(fault)));
    }
    return false;
  }
  return m_session.enqueue && m_session.enqueue(*command, true);
}

void CVariableEditView::RunCommand(int commandId) {
  switch (commandId) {
    case kCut: m_grid->CutSelection(); break;
    case kCopy: m_grid->CopySelection(); break;
    case kPaste: {
      m_batch = true;
      m_grid->PasteAtFocus();
      m_batch = false;
      if (!m_refused.empty()) {
        QStringList texts;
        for (const std::string& text : m_refused) texts << QString::fromStdString(text);
        m_prompts.ShowWarning(
            this, tr("Variable Editor"),
            tr("A cell takes one expression; these would run more and were left out: %1")
                .arg(texts.join(QStringLiteral(", "))));
        m_refused.clear();
      }
      break;
    }
    default: RowColumnCommand(commandId); break;
  }
}

bool CVariableEditView::HasGridFocus() const { return m_grid->hasFocus(); }

void CVariableEditView::RowColumnCommand(int commandId) {
  if (!m_loaded || m_size.dimensions > 3) return;
  gc::CellRange range = m_grid->SelectedRange();
  if (range.lastRow == -1 || range.lastColumn == -1) {
    range = gc::CommandRange(range, m_grid->Focus());
    if (range.firstRow >= 1) m_grid->Select(range);
  }
  const std::string& n = m_strVarName;
  const long rowCount = m_model.rowCount() + 1, columnCount = m_model.columnCount() + 1;
  std::optional<std::string> command;
  switch (commandId) {
    case kAddLeft: command = gc::AddLeftCommand(n, range.firstColumn); break;
    case kAddRight: command = gc::AddRightCommand(n, range.lastColumn, columnCount); break;
    case kDeleteColumn:
      command = gc::DeleteColumnsCommand(n, range.firstColumn, range.lastColumn, columnCount);
      break;
    case kAddAbove: command = gc::AddAboveCommand(n, range.firstRow); break;
    case kAddBelow: command = gc::AddBelowCommand(n, range.lastRow, rowCount); break;
    case kDeleteRow: command = gc::DeleteRowsCommand(n, range.firstRow, range.lastRow, rowCount); break;
    default: break;
  }
  if (command) Enqueue(*command, true);
}
