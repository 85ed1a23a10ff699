// The Workspace pane: the interpreter's variables, one row each, and the actions
// on the selected ones. Every action becomes Octave text on the command queue;
// the rows come from the session's listing and change only through SetRows.
#pragma once

#include <QAbstractTableModel>
#include <QTreeView>
#include <QWidget>

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "console/session/SessionViews.h"

class IUserPrompts;
class QMenu;
class QToolBar;

// The rows as a model of four columns: Name (with the row's image), Size,
// Class, Bytes.
class CVariableListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void SetRows(std::vector<ListRow> rows);
  const std::vector<ListRow>& Rows() const { return m_rows; }
  // How many times the rows were replaced.
  int Rebuilds() const { return m_rebuilds; }

 private:
  std::vector<ListRow> m_rows;
  int m_rebuilds = 0;
};

// The list itself: its keys act before the list sees them.
class CViewVariables : public QTreeView {
  Q_OBJECT

 public:
  explicit CViewVariables(QWidget* parent = nullptr);
  void SetCommandHandler(std::function<void(int)> handler) { m_command = std::move(handler); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::function<void(int)> m_command;
};

// What the pane reaches outside itself, given once the session exists.
struct WorkspaceSession {
  std::function<bool(const std::string& text, bool echo)> enqueue;
  std::function<void()> requestRefresh;
  // Opens a double variable in the Variable Editor; false when it cannot.
  std::function<bool(const std::string& name)> showVariable;
};

// The pane's questions to the user; tests answer them instead.
struct WorkspaceDialogs {
  // The chosen file's full path; empty when cancelled.
  std::function<std::string(QWidget* parent, bool save)> chooseFile;
  // The entered text; nothing when cancelled.
  std::function<std::optional<std::string>(QWidget* parent, const QString& title,
                                           const QString& label, const QString& initial)>
      askName;
};
WorkspaceDialogs DefaultWorkspaceDialogs();

class CVariableView : public QWidget, public IRowList {
  Q_OBJECT

 public:
  // `prompts` asks before deleting and tells of refused names.
  explicit CVariableView(IUserPrompts& prompts, QWidget* parent = nullptr);

  void Attach(WorkspaceSession session) { m_session = std::move(session); }
  void SetDialogs(WorkspaceDialogs dialogs) { m_dialogs = std::move(dialogs); }
  // The list and the pane's commands work only while connected.
  void SetConnected(bool connected);

  // IRowList: any thread.
  std::vector<ListRow> Rows() override;
  void SetRows(const std::vector<ListRow>& rows) override;

  // The commands of the pane (toolbar, context menu, keys, main menu).
  void SaveSelected();
  void LoadFile();
  void ViewSelected();
  void RenameSelected();
  void DuplicateSelected();
  void DeleteSelected();
  void SelectAllVariables();
  void RequestRefresh();
  void PlotSelected(int commandId);
  void RunCommand(int commandId);

  std::vector<std::string> GetSelectedNames() const;
  bool HasSelection() const;

  CViewVariables* List() const { return m_list; }
  QToolBar* ToolBar() const { return m_toolBar; }
  QAction* Action(int commandId) const;
  const CVariableListModel& Model() const { return m_model; }
  // The context menu as the right click shows it.
  QMenu* ContextMenu() const { return m_contextMenu; }

 signals:
  void SelectionChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void CreateActions();
  void Show(const std::vector<ListRow>& rows);
  std::vector<std::string> SelectedColumn(int column) const;
  void Enqueue(const std::string& text, bool echo);
  void TellInvalidName(const std::string& text);

  CVariableListModel m_model;
  CViewVariables* m_list;
  QToolBar* m_toolBar;
  QMenu* m_contextMenu;
  std::map<int, QAction*> m_actions;
  WorkspaceSession m_session;
  WorkspaceDialogs m_dialogs;
  IUserPrompts& m_prompts;

  std::mutex m_rowsMutex;
  std::vector<ListRow> m_rows;  // a copy for other threads; the model is the GUI's
};
