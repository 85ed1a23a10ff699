#include "console/files/FileView.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QVBoxLayout>

#include "console/files/DirectoryWatcher.h"
#include "console/files/FileListModel.h"
#include "console/files/FileListing.h"
#include "console/files/FileOperations.h"
#include "console/files/FilesExplorer.h"
#include "console/workspace/VaraiableName.h"
#include "widgets/AppIcon.h"
#include "widgets/UserPrompts.h"

#include <algorithm>

using namespace file_id;
namespace fc = file_commands;
namespace fo = file_operations;

FilePaneDialogs DefaultFilePaneDialogs() {
  FilePaneDialogs dialogs;
  dialogs.askName = [](QWidget* parent, const QString& title, const QString& label,
                       const QString& initial) -> std::optional<QString> {
    CVaraiableName dialog(title, label, initial, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Result();
  };
  return dialogs;
}

CFileView::CFileView(IUserPrompts& prompts, QWidget* parent) : QWidget(parent), m_prompts(prompts) {
  setObjectName(QStringLiteral("FileView"));
  m_toolBar = new QToolBar(tr("Current Directory"), this);
  m_toolBar->setIconSize(QSize(16, 16));
  m_filter = new QComboBox(this);
  m_filter->setEditable(true);
  m_filter->setInsertPolicy(QComboBox::NoInsert);
  m_filter->setAccessibleName(tr("File filter"));
  for (const char* filter : fc::kFilters) m_filter->addItem(QString::fromLatin1(filter));
  m_filter->setCurrentIndex(0);
  m_list = new CFilesExplorer(this);
  m_model = new CFileListModel(this);
  m_list->setModel(m_model);
  SizeColumns();
  m_listing = new CFileListing(
      [this](const QString& folder, std::vector<FileRow> rows) { OnListed(folder, std::move(rows)); }, this);
  m_watcher = new CDirectoryWatcher(this);
  connect(m_watcher, &CDirectoryWatcher::Changed, this, [this] { Refresh(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(m_toolBar);
  layout->addWidget(m_filter);
  layout->addWidget(m_list, 1);
  CreateActions();

  connect(m_filter, &QComboBox::activated, this, [this] { Refresh(true); });
  connect(m_list, &QAbstractItemView::doubleClicked, this, [this] { Open(); });
  connect(m_list, &CFilesExplorer::FilesDropped, this, &CFileView::Drop);
  // A refill keeps the rows that were selected, by name.
  connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
    m_keptSelection.clear();
    for (const auto& row : Selection()) m_keptSelection.insert(QString::fromStdString(row.name));
  });
  connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
    for (int i = 0; i < m_model->rowCount(); ++i) {
      if (m_keptSelection.contains(m_model->Rows()[static_cast<size_t>(i)].name))
        m_list->selectionModel()->select(m_model->index(i, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  });
  m_list->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(m_list, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { m_menu->popup(m_list->viewport()->mapToGlobal(at)); });
}

CFileView::~CFileView() {
  // Closing a window whose filter box has the focus commits its text
  // (`activated`) after this object is gone but before its children are.
  m_filter->disconnect(this);
}

// Size and date take what their widest text needs in this font and locale (not
// measured over the rows: that would cost a pass over a large folder); names
// show their end, so that the extension stays visible when they are cut.
void CFileView::SizeColumns() {
  const QFontMetrics metrics = m_list->fontMetrics();
  const int padding = 2 * metrics.horizontalAdvance(QLatin1Char('M'));
  FileRow widest;
  widest.bytes = 1023 * 1024;
  widest.modified = QDateTime(QDate(2000, 12, 28), QTime(20, 58, 58)).toMSecsSinceEpoch();
  QHeaderView* header = m_list->header();
  header->setStretchLastSection(true);
  header->resizeSection(CFileListModel::kName, 180);
  header->resizeSection(CFileListModel::kSize,
                        std::max(60, metrics.horizontalAdvance(CFileListModel::SizeText(widest)) + padding));
  header->resizeSection(CFileListModel::kDate,
                        std::max(120, metrics.horizontalAdvance(m_model->DateText(widest)) + padding));
  header->resizeSection(CFileListModel::kType, 120);
  m_list->setTextElideMode(Qt::ElideMiddle);
}

void CFileView::CreateActions() {
  struct Command {
    int id;
    const char* text;
    const char* keys;
    const char* icon;
  };
  const Command commands[] = {
      {kNewFolder, "New Folder", "", "folder-new"},
      {kOpen, "Open\tEnter", "Ctrl+O", "document-open"},
      {kRunFile, "Run File", "", "media-playback-start"},
      {kOpenAsText, "Open as Text", "", "accessories-text-editor"},
      {kLoad, "Load", "", "document-open"},
      {kRename, "Rename\tF2", "F2", "edit-rename"},
      {kDuplicate, "Duplicate", "", "edit-duplicate"},
      {kDelete, "Delete\tDel", "Del", "edit-delete"},
      {kSelectAll, "Select All\tCtrl+A", "Ctrl+A", "edit-select-all"},
      {kRefresh, "Refresh\tF5", "F5", "view-refresh"},
  };
  for (const Command& command : commands) {
    auto* action = new QAction(tr(command.text), this);
    action->setData(command.id);
    action->setIconText(tr(command.text).section(QLatin1Char('\t'), 0, 0));
    action->setIcon(AppIcon(command.icon));
    QList<QKeySequence> keys;
    if (command.keys[0] != '\0') keys << QKeySequence(QString::fromLatin1(command.keys));
    action->setShortcuts(keys);
    // The keys belong to the list, not to the whole window.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_list->addAction(action);
    connect(action, &QAction::triggered, this, [this, id = command.id] { RunCommand(id); });
    m_actions[command.id] = action;
  }
  for (int id : {kNewFolder, kOpen, kDuplicate, kDelete}) m_toolBar->addAction(Action(id));

  m_menu = new QMenu(this);
  for (int id : {kNewFolder, 0, kOpen, kRunFile, kOpenAsText, kLoad, 0, kRename, kDuplicate, kDelete, 0,
                 kSelectAll, kRefresh}) {
    if (id == 0)
      m_menu->addSeparator();
    else
      m_menu->addAction(Action(id));
  }
}

QAction* CFileView::Action(int id) const {
  const auto found = m_actions.find(id);
  return found == m_actions.end() ? nullptr : found->second;
}

void CFileView::Attach(FilePaneSession session, FilePaneDialogs dialogs) {
  m_session = std::move(session);
  m_dialogs = std::move(dialogs);
}

void CFileView::SetConnected(bool connected) {
  for (int id : {kOpen, kRunFile, kOpenAsText, kLoad}) Action(id)->setEnabled(connected);
  m_list->setEnabled(connected || !m_folder.isEmpty());
}

void CFileView::ShowFolder(const QString& folder) {
  m_folder = folder;
  m_watcher->Watch(folder);
  Refresh();
}

void CFileView::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
    QWidget::keyPressEvent(event);
    return;
  }
  if (m_list->hasFocus()) Open();
  Refresh(false);
}

void CFileView::Refresh(bool fromSelection) {
  if (m_folder.isEmpty()) return;
  const QString filter = fromSelection ? m_filter->currentText() : m_filter->lineEdit()->text();
  m_listing->Request(m_folder, filter,
                     m_watcher->Folder() == m_folder ? m_watcher->TakeChanges() : FolderChanges{});
}

void CFileView::OnListed(const QString& folder, std::vector<FileRow> rows) {
  // A listing of a folder left meanwhile is no longer wanted.
  if (folder != m_folder) return;
  emit Listed(m_model->SetRows(folder, std::move(rows)));
}

void CFileView::RunCommand(int id) {
  switch (id) {
    case kNewFolder: NewFolder(); break;
    case kOpen: Open(); break;
    case kRunFile: {
      const auto selection = Selection();
      if (!selection.empty() && !selection.front().folder)
        m_session.enqueue(fc::RunCommand(m_folder.toStdString(), selection.front().name), true);
      break;
    }
    case kOpenAsText: {
      const std::string command = fc::OpenAsTextCommand(Selection());
      if (!command.empty()) m_session.enqueue(command, true);
      break;
    }
    case kLoad: {
      const std::string command = fc::LoadCommand(Selection());
      if (!command.empty()) m_session.enqueue(command, true);
      break;
    }
    case kRename: RenameFirst(); break;
    case kDuplicate: DuplicateFirst(); break;
    case kSelectAll:
      m_list->selectAll();
      m_list->setFocus();
      break;
    case kDelete: DeleteSelected(); break;
    case kRefresh: Refresh(); break;
    default: break;
  }
}

std::vector<fc::Selected> CFileView::Selection() const {
  std::vector<fc::Selected> selection;
  QModelIndexList rows = m_list->selectionModel() ? m_list->selectionModel()->selectedRows() : QModelIndexList();
  std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  for (const QModelIndex& index : rows) {
    const FileRow& row = m_model->Rows()[static_cast<size_t>(index.row())];
    selection.push_back({row.name.toStdString(), row.folder});
  }
  return selection;
}

std::string CFileView::PathOf(const QString& name) const {
  return QDir(m_folder).filePath(name).toStdString();
}

void CFileView::Report(const QString& message) {
  if (m_session.status) m_session.status(message);
}

void CFileView::Open() {
  const fc::OpenPlan plan = fc::PlanOpen(Selection());
  if (!plan.command.empty()) m_session.enqueue(plan.command, false);
  if (plan.enterFolder && m_session.changeFolder) m_session.changeFolder(plan.folder);
}

void CFileView::NewFolder() {
  const auto name = m_dialogs.askName(this, tr("Create new folder"), tr("Name:"), tr("New Folder"));
  if (!name || name->isEmpty()) return;
  const std::string error =
      fo::IsPlainName(name->toStdString()) ? fo::CreateFolder(PathOf(*name)) : "Invalid name";
  if (!error.empty())
    Report(tr("Cannot create folder '%1': %2").arg(*name, QString::fromStdString(error)));
  Refresh();
}

void CFileView::RenameFirst() {
  const auto selection = Selection();
  if (selection.empty() || selection.front().name == "..") return;
  const QString old = QString::fromStdString(selection.front().name);
  const auto name = m_dialogs.askName(this, tr("Rename file"), tr("New name:"), old);
  if (!name || name->isEmpty() || *name == old) return;
  const std::string error =
      fo::IsPlainName(name->toStdString()) ? fo::Rename(PathOf(old), PathOf(*name)) : "Invalid name";
  if (!error.empty())
    Report(tr("Cannot rename '%1' to '%2': %3").arg(old, *name, QString::fromStdString(error)));
  Refresh();
}

void CFileView::DuplicateFirst() {
  const auto selection = Selection();
  if (selection.empty() || selection.front().name == "..") return;
  const auto suffix = m_dialogs.askName(this, tr("Duplicate file"), tr("Suffix:"), tr("Copy"));
  if (!suffix || suffix->isEmpty()) return;
  const QString name = QString::fromStdString(fc::DuplicateName(suffix->toStdString(), selection.front().name));
  const QString old = QString::fromStdString(selection.front().name);
  const std::string error =
      fo::IsPlainName(name.toStdString()) ? fo::CopyFile(PathOf(old), PathOf(name)) : "Invalid name";
  if (!error.empty())
    Report(tr("Cannot copy '%1' to '%2': %3").arg(old, name, QString::fromStdString(error)));
  Refresh();
}

void CFileView::DeleteSelected() {
  auto selection = Selection();
  std::erase_if(selection, [](const fc::Selected& row) { return row.name == ".."; });
  if (selection.empty()) return;
  if (!m_prompts.AskYesNo(this, QString::fromStdString(fc::DeleteQuestion(selection)))) return;
  QStringList failed;
  for (const fc::Selected& row : selection) {
    const std::string error = fo::Delete(PathOf(QString::fromStdString(row.name)));
    if (!error.empty()) failed << QStringLiteral("'%1': %2").arg(QString::fromStdString(row.name), QString::fromStdString(error));
  }
  if (!failed.isEmpty()) Report(tr("Cannot delete %1").arg(failed.join(QStringLiteral(", "))));
  Refresh();
}

void CFileView::Drop(const QList<QUrl>& files, bool copy) {
  if (m_folder.isEmpty()) return;
  QStringList failed;
  for (const QUrl& url : files) {
    if (!url.isLocalFile()) continue;
    const QFileInfo source(url.toLocalFile());
    // Dropped where it already is: nothing to do.
    if (QDir(source.absolutePath()) == QDir(m_folder)) continue;
    const std::string target = PathOf(source.fileName());
    const std::string from = source.absoluteFilePath().toStdString();
    const std::string error = copy ? fo::CopyFile(from, target) : fo::Move(from, target);
    if (!error.empty()) failed << QStringLiteral("'%1': %2").arg(source.fileName(), QString::fromStdString(error));
  }
  if (!failed.isEmpty())
    Report((copy ? tr("Cannot copy %1") : tr("Cannot move %1")).arg(failed.join(QStringLiteral(", "))));
  Refresh();
}
