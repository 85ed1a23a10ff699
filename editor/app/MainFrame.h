// Quire's main window: one tab per open document, the file, edit, debug and
// window commands, the toolbars and status bar, and the receiving end of the
// link with the console.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/link/Link.h"
#include "editor/app/DocumentRules.h"
#include "editor/app/LinkDispatcher.h"
#include "editor/app/LinkRules.h"
#include "editor/view/NumberNudge.h"
#include "editor/dialogs/ReplaceDlg.h"

class CQuireApp;
class CQuireDoc;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPrinter;
class QTabWidget;
class QToolBar;

class CMainFrame : public QMainWindow, public IDispatchTarget {
  Q_OBJECT

 public:
  explicit CMainFrame(CQuireApp& app);
  ~CMainFrame() override;

  // Toolbars, status bar, tabs, placement and the link endpoint. False when
  // the window cannot be made.
  bool Create();

  // --- Tabs and window state (MainFrame.cpp) ---------------------------------
  // Documents in tab order.
  std::vector<CQuireDoc*> Documents() const;
  CQuireDoc* ActiveDocument() const;
  void Activate(CQuireDoc* doc);
  void SetTabSide(quire::TabSide side);
  quire::TabSide GetTabSide() const { return m_tabSide; }
  QString StatusText() const;
  QAction* Action(int id) const;
  // Writes "OpenFiles", "FilesPositions" and "KeyWords".
  void WriteSessionLists();

  // --- File commands (FileCommands.cpp) --------------------------------------
  // The open document of `path` (same file after resolving links), if any.
  CQuireDoc* FindDocument(const std::string& path) const;
  CQuireDoc* NewBlankDocument();
  CQuireDoc* NewFunctionDocument();
  // Activates the document of `path` or opens it (caret where it was left).
  // A file that cannot be read gives no document; `report` says so in a box.
  CQuireDoc* OpenDocument(const std::string& path, bool report);
  // A command-line argument: a path, or "FILE:LINE" to open FILE at LINE.
  CQuireDoc* OpenArgument(const QString& argument);
  // Save: a document without a path goes through Save As.
  bool SaveDocument(CQuireDoc* doc);
  // Save As, proposing the declared function name.
  bool SaveDocumentAs(CQuireDoc* doc);
  void SaveAll();
  // Asks to save a modified document first; false when the user cancelled.
  bool CloseDocument(CQuireDoc* doc, bool ask = true);
  bool CloseAll();
  bool CloseAllButThis();

  // --- Find, go to, documents (FrameSearch.cpp) -------------------------------
  // The find dialog on the active document, with the selection or the word at
  // the caret as its text; the frame keeps the latest one.
  CReplaceDlg* OpenFindDialog();
  CReplaceDlg* FindDialog() const { return m_findDialog; }
  // F3 and Shift+F3: the last search again in the active document.
  void RepeatSearch(bool forward);
  // F6 and Shift+F6: the next or previous tab, round the end.
  void StepDocument(int step);

  // --- Run and debug (DebugCommands.cpp) -------------------------------------
  // The script name of `doc`, recorded as the last target.
  std::string GetScriptName(CQuireDoc* doc);
  void Run();
  void ToggleBreakpoint();
  void ToggleBreakpointAt(CQuireDoc* doc, int line);
  void OfferPathFix(const std::string& path);

  // --- Evaluation and cells (CellCommands.cpp) -------------------------------
  // Each non-empty line of the selection, in order.
  void EvaluateSelection();
  // The cell at the caret; with `advance` the caret then goes to the next cell.
  void EvaluateCurrentCell(bool advance);
  void EvaluateAll();
  // The number at the caret changed by the step or factor box, then the cell
  // is evaluated; nothing happens when the number did not change.
  void NudgeValue(quire_cells::NudgeOp op);
  QComboBox* StepBox() const { return m_stepBox; }
  QComboBox* FactorBox() const { return m_factorBox; }
  QComboBox* CellsBox() const { return m_cellsBox; }

  // --- Help and completion (TipCommands.cpp) ---------------------------------
  // "Describe command": the help of the word at the caret as a tip beside it.
  void Describe();
  // The documentation of the word at the caret, shown by the console.
  void ShowDoc();

  // --- Link with the console (ConsoleLink.cpp; debugging answers in
  // DebugCommands.cpp) ---------------------------------------------------------
  // The dispatcher, on this window's thread.
  void OnCopyData(const std::string& text);

  // IDispatchTarget
  void ReloadPreferences() override;
  bool CallTipsEnabled() override;
  void ShowHtmlTip(const std::string& html) override;
  void ShowCallTip() override;
  void OpenOrActivate(const std::string& path) override;
  void GotoLine(long line) override;
  void ShowDebugArrow(long line) override;
  void ClearAllBreakpoints() override;
  void StartErrorWorker(const SErrorReport& report) override;

 public slots:
  // A later start of Quire handed these files over (none: come to the front).
  void OnHandOver(const QStringList& files);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Actions, menus, toolbars; each concern makes its own actions.
  QAction* AddAction(int id, const QString& text, const QKeySequence& key = {});
  void CreateActions();
  void CreateMenus();
  void CreateToolBars();

  // Tabs and window state.
  CQuireDoc* CreateDocument();
  void AddDocument(CQuireDoc* doc);
  void RemoveDocument(CQuireDoc* doc);
  bool IsLive(const void* doc) const;
  void OnTitleChanged(CQuireDoc* doc);
  void OnCurrentTabChanged();
  void OnTabContextMenu(const QPoint& pos);
  void UpdateCaption();
  void UpdateStatus();
  void UpdateCommands();
  void ApplyPlacement();
  void SaveWindowState();

  // File commands.
  void CreateFileActions();
  // Asks about each modified document of `docs` in turn; false as soon as one
  // answer is Cancel or a save fails.
  bool AskToSaveEach(const std::vector<CQuireDoc*>& docs);
  void AddRecentFile(const std::string& path);
  void FillRecentMenu();
  void Print(bool preview);
  void PrintDocument(QPrinter* printer);

  // Edit and view commands on the active view.
  void CreateEditActions();
  // Undo, Redo and Paste follow what the active view can do.
  void UpdateEditCommands();

  // Find, go to, documents.
  void CreateSearchActions();
  void AddSearchMenus(QMenu* edit, QMenu* window, QMenu* help);
  void GotoDialog(bool line);
  void ShowAbout();

  // Run and debug.
  void CreateDebugActions();
  void OnValueHover(CQuireDoc* doc, long position, const QPoint& global);
  void HandleErrorAction(quire_link::ErrorAction action, const SErrorReport& report);

  // Evaluation and cells.
  void ShowCellToolBar(bool show);
  void CreateCellActions();
  void CreateCellToolBar();
  void EvaluateLines(CQuireDoc* doc, const std::string& text);
  // The cells box: its entries from the active view, its selection at the
  // caret's cell, and the enabled states of the cell commands.
  void UpdateCellList();
  void UpdateCellSelection();
  void UpdateCellCommands();

  // Help and completion.
  void CreateTipActions();
  // The help of `word` for the call tip, asked without a question when the
  // console is not running.
  void RequestCallTip(const std::string& word);

  // Link with the console.
  // The console finds this window by its caption: the endpoint carries it,
  // opened under the first one.
  void PublishCaption(const std::string& caption);
  bool Send(const std::string& text, bool ask);

  CQuireApp& m_app;
  CLinkDispatcher m_dispatcher;

  // Window parts.
  QTabWidget* m_tabs = nullptr;
  QLabel* m_position = nullptr;
  QLabel* m_overtype = nullptr;
  QToolBar* m_mainBar = nullptr;
  QMenu* m_tabMenu = nullptr;
  QMenu* m_editMenu = nullptr;
  std::map<int, QAction*> m_actions;
  quire::TabSide m_tabSide = quire::TabSide::Top;

  // File commands.
  QMenu* m_recentMenu = nullptr;
  std::unique_ptr<QPrinter> m_printer;

  // Cells.
  QToolBar* m_cellBar = nullptr;
  QComboBox* m_stepBox = nullptr;
  QComboBox* m_factorBox = nullptr;
  QComboBox* m_cellsBox = nullptr;

  // Search.
  QPointer<CReplaceDlg> m_findDialog;
  std::string m_lastSearch;
  int m_lastSearchFlags = 0;

  // Debugging and the link.
  // False after OpenOrActivate failed: the arrow then has no file to go to.
  bool m_bStopFileOpen = true;
  calyx_link::CLinkEndpoint m_endpoint;
  // Set before the endpoint closes, so a handler waiting for this thread returns.
  std::shared_ptr<std::atomic<bool>> m_closing;
  std::thread m_errorWorker;
};
