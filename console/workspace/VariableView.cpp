#include "console/workspace/VariableView.h"

#include <QAction>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

#include "common/OctaveText.h"
#include "console/workspace/PaneIcons.h"
#include "console/workspace/VaraiableName.h"
#include "console/workspace/WorkspaceCommands.h"
#include "console/workspace/WorkspaceIds.h"
#include "widgets/AppIcon.h"
#include "widgets/GuiThread.h"
#include "widgets/UserPrompts.h"

namespace wc = workspace_commands;
using namespace workspace_id;

namespace {

constexpr int kColumnWidths[] = {100, 60, 80, 80};
const char* const kHeaders[] = {"Name", "Size", "Class", "Bytes"};

std::string ChooseWorkspaceFile(QWidget* parent, bool save) {
  QFileDialog dialog(parent);
  QStringList filters;
  for (const wc::FileFilter& filter : wc::WorkspaceFileFilters())
    filters << QString::fromStdString(filter.description);
  dialog.setNameFilters(filters);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // Loading does not insist that the file exists; the interpreter says so.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QString::fromLatin1(wc::kDefaultExtension.data(), wc::kDefaultExtension.size()));
  // A name typed without extension gets the chosen type's.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& chosen) {
    for (const wc::FileFilter& filter : wc::WorkspaceFileFilters()) {
      if (QString::fromStdString(filter.description) == chosen)
        dialog.setDefaultSuffix(QString::fromStdString(filter.extension));
    }
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> AskVariableName(QWidget* parent, const QString& title,
                                           const QString& label, const QString& initial) {
  CVaraiableName dialog(title, label, initial, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Result().toStdString();
}

}  // namespace

WorkspaceDialogs DefaultWorkspaceDialogs() { return {ChooseWorkspaceFile, AskVariableName}; }

// ---- CVariableListModel

int CVariableListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CVariableListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 4;
}

QVariant CVariableListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || static_cast<size_t>(index.row()) >= m_rows.size()) return {};
  const ListRow& row = m_rows[static_cast<size_t>(index.row())];
  const size_t column = static_cast<size_t>(index.column());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
      return column < row.columns.size() ? QString::fromStdString(row.columns[column]) : QString();
    case Qt::DecorationRole:
      if (column == 0 && row.image >= 0) {
        // Four icons, made once.
        static const QIcon icons[] = {pane_icons::VariableIcon(0), pane_icons::VariableIcon(1),
                                      pane_icons::VariableIcon(2), pane_icons::VariableIcon(3)};
        return icons[std::min(row.image, 3)];
      }
      return {};
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant CVariableListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= 4) return {};
  if (role == Qt::DisplayRole) return tr(kHeaders[section]);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

void CVariableListModel::SetRows(std::vector<ListRow> rows) {
  beginResetModel();
  m_rows = std::move(rows);
  endResetModel();
  ++m_rebuilds;
}

// ---- CViewVariables

CViewVariables::CViewVariables(QWidget* parent) : QTreeView(parent) {
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setFrameShape(QFrame::NoFrame);
  setContextMenuPolicy(Qt::CustomContextMenu);
  setAccessibleName(tr("Variables"));
}

void CViewVariables::keyPressEvent(QKeyEvent* event) {
  if (m_command) {
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    switch (event->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter: m_command(kViewSelected); break;
      case Qt::Key_Delete: m_command(kDeleteSelected); break;
      case Qt::Key_F2: m_command(kRenameSelected); break;
      case Qt::Key_F5: m_command(kRefresh); break;
      case Qt::Key_A:
        if (control) {
          m_command(kSelectAll);
          return;  // the list's own select-all would only repeat it
        }
        break;
      case Qt::Key_O:
        if (control) m_command(kLoadFile);
        break;
      case Qt::Key_S:
        if (control) m_command(kSaveSelected);
        break;
      default: break;
    }
  }
  QTreeView::keyPressEvent(event);
}

// ---- CVariableView

CVariableView::CVariableView(IUserPrompts& prompts, QWidget* parent)
    : QWidget(parent), m_list(new CViewVariables(this)), m_toolBar(new QToolBar(this)),
      m_contextMenu(new QMenu(this)), m_dialogs(DefaultWorkspaceDialogs()), m_prompts(prompts) {
  setAccessibleName(tr("Workspace"));
  m_list->setModel(&m_model);
  for (int column = 0; column < 4; ++column) m_list->setColumnWidth(column, kColumnWidths[column]);
  m_list->header()->setStretchLastSection(false);
  m_list->SetCommandHandler([this](int id) { RunCommand(id); });
  connect(m_list, &QAbstractItemView::doubleClicked, this, [this] { ViewSelected(); });
  connect(m_list, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { m_contextMenu->exec(m_list->viewport()->mapToGlobal(at)); });
  connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &CVariableView::SelectionChanged);
  connect(&m_model, &QAbstractItemModel::modelReset, this, &CVariableView::SelectionChanged);

  m_toolBar->setMovable(false);
  m_toolBar->setFloatable(false);
  m_toolBar->setIconSize(QSize(16, 16));
  m_toolBar->setStyleSheet(QStringLiteral("QToolBar { border: 0px; }"));
  m_toolBar->setAccessibleName(tr("Workspace toolbar"));
  CreateActions();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(m_toolBar);
  auto* frame = new QVBoxLayout;
  frame->setContentsMargins(1, 1, 1, 1);  // room for the frame painted around the list
  frame->addWidget(m_list);
  layout->addLayout(frame);
  setFocusProxy(m_list);
  // Enabled once the interpreter is connected.
  SetConnected(false);
}

void CVariableView::CreateActions() {
  struct Command {
    int id;
    const char* text;  // the menu's, with its key after a tab
    const char* tip;   // tool tip, then the short name
    const char* icon;
  };
  const Command commands[] = {
      {kSaveSelected, "Save As...\tCtrl+S", "Saves variables to a file\nSave As", "document-save-as"},
      {kLoadFile, "Load...\tCtrl+O", "Loads variables from a file\nLoad", "document-open"},
      {kViewSelected, "View\tEnter", "View data on variable\nView", "document-preview"},
      {kRenameSelected, "Rename\tF2", "Renames variable\nRename", "edit-rename"},
      {kDuplicateSelected, "Duplicate", "Duplicate variable\nDuplicate", "edit-duplicate"},
      {kDeleteSelected, "Delete\tDel", "Delete variable\nDelete", "edit-delete"},
      {kSelectAll, "Select All\tCtrl+A", "Selects all variables\nSelect All", "edit-select-all"},
      {kRefresh, "Refresh\tF5", "Refresh list of variables\nRefresh", "view-refresh"},
  };
  for (const Command& command : commands) {
    const QStringList tip = tr(command.tip).split(QLatin1Char('\n'));
    auto* action = new QAction(AppIcon(command.icon), tr(command.text), this);
    action->setData(command.id);
    action->setIconText(tip.value(1));
    action->setToolTip(tip.value(0));
    action->setStatusTip(tip.value(0));
    connect(action, &QAction::triggered, this, [this, id = command.id] { RunCommand(id); });
    m_actions[command.id] = action;
  }
  for (int id : {kLoadFile, kViewSelected, kSaveSelected, kDeleteSelected, kDuplicateSelected,
                 kRenameSelected, kSelectAll, kRefresh})
    m_toolBar->addAction(Action(id));

  for (int id : {kSaveSelected, kLoadFile}) m_contextMenu->addAction(Action(id));
  m_contextMenu->addSeparator();
  m_contextMenu->addAction(Action(kViewSelected));
  QMenu* plot = m_contextMenu->addMenu(tr("Plot"));
  // 0 stands for a separator.
  for (int id : {32850, 0, 32857, 32851, 32858, 32855, 32859, 32856, 32860, 32854, 32853, 0, 32861,
                 32862, 32852, 32863}) {
    if (id == 0) {
      plot->addSeparator();
      continue;
    }
    QAction* action = plot->addAction(QString::fromStdString(*wc::PlotFunction(id)));
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { PlotSelected(id); });
    m_actions[id] = action;
  }
  for (int id : {kRenameSelected, kDuplicateSelected, kDeleteSelected})
    m_contextMenu->addAction(Action(id));
  m_contextMenu->addSeparator();
  for (int id : {kSelectAll, kRefresh}) m_contextMenu->addAction(Action(id));
}

QAction* CVariableView::Action(int commandId) const {
  auto found = m_actions.find(commandId);
  return found == m_actions.end() ? nullptr : found->second;
}

void CVariableView::SetConnected(bool connected) {
  m_list->setEnabled(connected);
  for (auto& [id, action] : m_actions) action->setEnabled(connected);
}

void CVariableView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(m_list->geometry().adjusted(-1, -1, 0, 0));
}

// ---- rows

std::vector<ListRow> CVariableView::Rows() {
  std::lock_guard lock(m_rowsMutex);
  return m_rows;
}

void CVariableView::SetRows(const std::vector<ListRow>& rows) {
  {
    std::lock_guard lock(m_rowsMutex);
    m_rows = rows;
  }
  RunOnGuiThread(this, [&] { Show(rows); });
}

void CVariableView::Show(const std::vector<ListRow>& rows) {
  // Variables that are still there stay selected after the list is rebuilt.
  const std::vector<std::string> selected = GetSelectedNames();
  const QModelIndex current = m_list->currentIndex();
  const std::string currentName =
      current.isValid() ? m_model.data(m_model.index(current.row(), 0), Qt::DisplayRole).toString().toStdString()
                        : std::string();

  m_list->setUpdatesEnabled(false);
  m_model.SetRows(rows);
  if (!selected.empty() || !currentName.empty()) {
    std::vector<std::string> sorted = selected;
    std::sort(sorted.begin(), sorted.end());
    QItemSelection selection;
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
      const std::string& name = rows[static_cast<size_t>(row)].columns.at(0);
      if (name == currentName)
        m_list->selectionModel()->setCurrentIndex(m_model.index(row, 0), QItemSelectionModel::NoUpdate);
      if (std::binary_search(sorted.begin(), sorted.end(), name))
        selection.select(m_model.index(row, 0), m_model.index(row, 3));
    }
    m_list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  }
  m_list->setUpdatesEnabled(true);
}

// ---- selection

std::vector<std::string> CVariableView::SelectedColumn(int column) const {
  QModelIndexList rows = m_list->selectionModel()->selectedRows(column);
  std::sort(rows.begin(), rows.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  std::vector<std::string> values;
  values.reserve(static_cast<size_t>(rows.size()));
  for (const QModelIndex& index : rows) values.push_back(index.data().toString().toStdString());
  return values;
}

std::vector<std::string> CVariableView::GetSelectedNames() const { return SelectedColumn(0); }

bool CVariableView::HasSelection() const { return m_list->selectionModel()->hasSelection(); }

// ---- commands

void CVariableView::Enqueue(const std::string& text, bool echo) {
  if (m_session.enqueue) m_session.enqueue(text, echo);
}

void CVariableView::TellInvalidName(const std::string& text) {
  m_prompts.ShowInformation(this, tr("\"%1\" is not a valid variable name.").arg(QString::fromStdString(text)));
}

void CVariableView::RunCommand(int commandId) {
  if (!m_list->isEnabled()) return;
  switch (commandId) {
    case kSaveSelected: SaveSelected(); break;
    case kLoadFile: LoadFile(); break;
    case kViewSelected: ViewSelected(); break;
    case kRenameSelected: RenameSelected(); break;
    case kDuplicateSelected: DuplicateSelected(); break;
    case kDeleteSelected: DeleteSelected(); break;
    case kSelectAll: SelectAllVariables(); break;
    case kRefresh: RequestRefresh(); break;
    default: PlotSelected(commandId); break;
  }
}

void CVariableView::SaveSelected() {
  // With nothing selected the whole workspace is saved.
  const std::vector<std::string> names = GetSelectedNames();
  const std::string path = m_dialogs.chooseFile(this, true);
  if (path.empty()) return;
  if (auto command = wc::SaveCommand(path, names)) Enqueue(*command, false);
}

void CVariableView::LoadFile() {
  const std::string path = m_dialogs.chooseFile(this, false);
  if (path.empty()) return;
  if (auto command = wc::LoadCommand(path)) Enqueue(*command, false);
}

void CVariableView::ViewSelected() {
  const std::vector<std::string> names = GetSelectedNames();
  const std::vector<std::string> classes = SelectedColumn(2);
  if (names.empty() || !octave_text::IsIdentifier(names.front())) return;
  // Only doubles open in the grid; the interpreter prints everything else.
  if (classes.front() == "double" && m_session.showVariable && m_session.showVariable(names.front()))
    return;
  Enqueue(names.front(), true);
}

void CVariableView::RenameSelected() {
  const std::vector<std::string> names = GetSelectedNames();
  if (names.empty()) return;
  const auto entered = m_dialogs.askName(this, tr("Rename variable"), tr("New name:"),
                                         QString::fromStdString(names.front()));
  if (!entered || entered->empty()) return;
  if (auto command = wc::RenameCommand(*entered, names.front())) Enqueue(*command, false);
  else TellInvalidName(*entered);
}

void CVariableView::DuplicateSelected() {
  const std::vector<std::string> names = GetSelectedNames();
  if (names.empty()) return;
  const auto suffix = m_dialogs.askName(this, tr("Duplicate variables"), tr("Suffix:"), tr("Copy"));
  if (!suffix) return;
  if (auto commands = wc::DuplicateCommands(names, *suffix)) {
    for (const std::string& command : *commands) Enqueue(command, false);
  } else {
    TellInvalidName(names.front() + *suffix);
  }
}

void CVariableView::DeleteSelected() {
  const std::vector<std::string> names = GetSelectedNames();
  if (names.empty()) return;
  if (!m_prompts.AskYesNo(this, QString::fromStdString(wc::DeleteQuestion(names)))) return;
  if (auto command = wc::DeleteCommand(names)) Enqueue(*command, false);
}

void CVariableView::SelectAllVariables() {
  m_list->selectAll();
  if (m_model.rowCount() > 0 && !m_list->currentIndex().isValid())
    m_list->selectionModel()->setCurrentIndex(m_model.index(0, 0), QItemSelectionModel::NoUpdate);
  m_list->setFocus();
}

void CVariableView::RequestRefresh() {
  if (m_session.requestRefresh) m_session.requestRefresh();
}

void CVariableView::PlotSelected(int commandId) {
  const std::vector<std::string> names = GetSelectedNames();
  const auto function = wc::PlotFunction(commandId);
  if (names.empty() || !function) return;
  if (auto command = wc::PlotCommand(*function, names)) Enqueue(*command, true);
}
