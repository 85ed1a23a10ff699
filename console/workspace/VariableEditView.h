// The Variable Editor pane: one page of a double variable as a grid. Values come
// from the exchange file the interpreter writes; every change goes back as an
// Octave assignment through the command queue, and the grid follows the
// interpreter after each listing of the workspace.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <QWidget>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "console/session/SessionViews.h"
#include "console/workspace/GridCommands.h"

class IUserPrompts;
class QComboBox;
class QToolBar;

// The values of one page, row after row, as the interpreter wrote them. An edit
// is kept only when `commit` accepts it.
class CMatrixModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using Commit = std::function<bool(long row, long column, const std::string& text)>;
  using QAbstractTableModel::QAbstractTableModel;

  void SetCommit(Commit commit) { m_commit = std::move(commit); }
  // Replaces everything: rows x columns cells filled from `cells` in reading
  // order; cells beyond its end stay empty.
  void Reset(long rows, long columns, std::vector<std::string> cells);
  const std::string& Text(long row, long column) const;  // 0-based

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 private:
  int m_rows = 0;
  int m_columns = 0;
  std::vector<std::string> m_cells;  // invariant: size() == m_rows * m_columns
  Commit m_commit;
};

// The grid: in-place edits, one rectangular selection, clipboard of cells.
// Coordinates it reports are the grid's: data cells from 1.
class CVariableGrid : public QTableView {
  Q_OBJECT

 public:
  explicit CVariableGrid(QWidget* parent = nullptr);

  grid_commands::CellRange SelectedRange() const;
  grid_commands::Cell Focus() const;
  void SetFocusCell(grid_commands::Cell cell, bool scroll);
  void Select(grid_commands::CellRange range);

  void CopySelection();
  // Empties the selected cells; each one is committed.
  void CutSelection();
  // Fills cells from the clipboard, from the focus cell on, clipped at the edges.
  void PasteAtFocus();
  // Changes one cell as the user would; false when it was refused.
  bool SetCellText(long row, long column, const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// What the pane reaches outside itself, given once the session exists.
struct VariableEditorSession {
  std::function<bool(const std::string& text, bool echo)> enqueue;
  // The exchange file's full path, in the program's private folder.
  std::string exchangeFile;
  // The workspace list, where the variable's size is looked up.
  IRowList* workspace = nullptr;
};

class CVariableEditView : public QWidget, public IVariableEditor {
  Q_OBJECT

 public:
  // `prompts` explains refused cell texts.
  explicit CVariableEditView(IUserPrompts& prompts, QWidget* parent = nullptr);

  void Attach(VariableEditorSession session);

  // Makes a variable current and requests its first page; false when it cannot
  // be shown (no exchange file, not a name).
  bool ShowVariable(const std::string& name);
  // Sends one changed cell; false when nothing was queued.
  bool CommitCell(long row, long column, const std::string& text);

  // IVariableEditor: any thread.
  bool IsVisible() override;
  void ReloadPage() override;
  void LoadGrid() override;
  // LoadGrid's work with the file's content already read: 1 when the grid was
  // filled, 0 when the variable is gone. GUI thread.
  int FillGrid(std::vector<std::string> tokens);

  void RunCommand(int commandId);
  // The main window's Cut, Copy and Paste while the grid has the focus.
  bool HasGridFocus() const;

  CVariableGrid* Grid() const { return m_grid; }
  const CMatrixModel& Model() const { return m_model; }
  QComboBox* PageBox() const { return m_pageBox; }
  QToolBar* ToolBar() const { return m_toolBar; }
  QAction* Action(int commandId) const;
  const std::string& VariableName() const { return m_strVarName; }
  int Page() const { return m_nPage; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void CreateToolBar();
  void ReloadPageNow();
  void Enqueue(const std::string& text, bool echo);
  void RowColumnCommand(int commandId);
  // Grows the docked pane until the grid shows `rows` rows, as far as the window
  // allows, in at most `attempts` steps; `asked` is the height asked for last.
  void MakeRoomForRows(int rows, int attempts, int asked = 0);
  void UpdateActions();
  // The dock around the pane, or the pane itself when it stands alone.
  QWidget* Pane();
  std::string ExchangeFile();

  IUserPrompts& m_prompts;
  CMatrixModel m_model;
  CVariableGrid* m_grid;
  QToolBar* m_toolBar;
  QComboBox* m_pageBox;
  std::map<int, QAction*> m_actions;
  VariableEditorSession m_session;
  std::mutex m_sessionMutex;  // guards m_session.exchangeFile for the reader thread

  // Editor state: the variable shown and its page (0-based).
  std::string m_strVarName;
  int m_nPage = 0;
  grid_commands::VariableSize m_size;
  bool m_loaded = false;
  // ShowVariable asked for a variable: its first grid makes room for itself.
  bool m_opening = false;
  // While pasting, refused texts are gathered and told once.
  bool m_batch = false;
  std::vector<std::string> m_refused;
};
