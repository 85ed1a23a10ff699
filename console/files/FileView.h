// The "Current Directory" pane: a toolbar, the filter box and the list of the
// current folder. Its commands become interpreter commands (open, load, run,
// enter a folder) or act on the disk (new folder, rename, duplicate, delete,
// drag and drop); the list follows the disk by itself through the watcher.
#pragma once

#include <QSet>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "console/files/FileCommands.h"

class CDirectoryWatcher;
class CFileListModel;
class CFileListing;
class CFilesExplorer;
class IUserPrompts;
class QAction;
class QComboBox;
class QMenu;
class QToolBar;
struct FileRow;

namespace file_id {
constexpr int kNewFolder = 32804;
constexpr int kOpen = 32805;
constexpr int kRunFile = 32806;
constexpr int kOpenAsText = 32807;
constexpr int kRename = 32808;
constexpr int kDuplicate = 32809;
constexpr int kSelectAll = 32810;
constexpr int kDelete = 32811;
constexpr int kRefresh = 32812;
constexpr int kLoad = 32813;
}  // namespace file_id

// What the pane reaches outside itself.
struct FilePaneSession {
  std::function<void(const std::string& command, bool echo)> enqueue;
  // Changes folder as the path box does (a bare name or ".." is resolved there).
  std::function<int(const std::string& text)> changeFolder;
  std::function<void(const QString& message)> status;
};

struct FilePaneDialogs {
  std::function<std::optional<QString>(QWidget*, const QString& title, const QString& label,
                                       const QString& initial)>
      askName;
};
FilePaneDialogs DefaultFilePaneDialogs();

class CFileView : public QWidget {
  Q_OBJECT

 public:
  // `prompts` asks before deleting.
  explicit CFileView(IUserPrompts& prompts, QWidget* parent = nullptr);
  ~CFileView() override;

  void Attach(FilePaneSession session, FilePaneDialogs dialogs = DefaultFilePaneDialogs());
  // Shows `folder`: the old watch ends, the new one starts, the list is refilled.
  void ShowFolder(const QString& folder);
  // Lists the folder again with the filter box's selected item or its edit text.
  void Refresh(bool fromSelection = false);
  void RunCommand(int id);
  void SetConnected(bool connected);

  const QString& Folder() const { return m_folder; }
  CFileListModel* Model() const { return m_model; }
  CFilesExplorer* List() const { return m_list; }
  QComboBox* FilterBox() const { return m_filter; }
  QToolBar* ToolBar() const { return m_toolBar; }
  QAction* Action(int id) const;
  CDirectoryWatcher* Watcher() const { return m_watcher; }
  QMenu* ContextMenu() const { return m_menu; }

 signals:
  // The list now shows a new listing (tests and the benchmark wait for it).
  void Listed(bool refilled);

 protected:
  // Enter anywhere in the pane lists the folder again with the filter box's
  // text; in the list it first opens the selection.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void SizeColumns();
  void CreateActions();
  void Open();
  void RenameFirst();
  void DuplicateFirst();
  void DeleteSelected();
  void NewFolder();
  void Drop(const QList<QUrl>& files, bool copy);
  void OnListed(const QString& folder, std::vector<FileRow> rows);
  std::vector<file_commands::Selected> Selection() const;
  std::string PathOf(const QString& name) const;
  void Report(const QString& message);

  FilePaneSession m_session;
  FilePaneDialogs m_dialogs;
  IUserPrompts& m_prompts;
  QString m_folder;
  QToolBar* m_toolBar;
  QComboBox* m_filter;
  CFilesExplorer* m_list;
  CFileListModel* m_model;
  CFileListing* m_listing;
  CDirectoryWatcher* m_watcher;
  QMenu* m_menu;
  std::map<int, QAction*> m_actions;
  QSet<QString> m_keptSelection;
};
