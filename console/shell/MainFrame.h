// Calyx's main window: the console in the middle, the menus, the "Standard"
// toolbar, the status bar and five docking panes in two tab groups.
#pragma once

#include <QMainWindow>

#include <map>
#include <memory>
#include <thread>

#include "common/link/Link.h"
#include "console/session/SessionViews.h"

class AutoComplete;
class CAutoUpdater;
class CCalyxView;
class CDocumentationView;
class CHistoryStore;
class CHistoryView;
class CSessionCore;
class CSessionWorker;
class CVariableEditView;
class CVariableView;
class CIni;
class IUserPrompts;
class CDirectoryChanger;
class CFileView;
class CPathComboButton;
class COctavePackages;
class COctavePaths;
class QAction;
class QComboBox;
class QDialog;
class QDockWidget;

class CMainFrame : public QMainWindow, public ISessionHost {
  Q_OBJECT

 public:
  // `prompts` shows every question and message of the window and its panes.
  CMainFrame(ISettings& settings, CHistoryStore& history, IUserPrompts& prompts,
             QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Wires the frame to the session once it exists.
  void AttachSession(CSessionCore* core, CSessionWorker* worker);

  CCalyxView* Console() const { return m_console; }
  AutoComplete* Completion() const { return m_completion; }
  CHistoryView* HistoryPane() const { return m_historyView; }
  CVariableView* Workspace() const { return m_workspaceView; }
  CVariableEditView* VariableEditor() const { return m_variableEditView; }
  CFileView* FilePane() const { return m_fileView; }
  CDocumentationView* Documentation() const { return m_documentationView; }
  QDockWidget* Dock(const QString& title) const;
  QAction* Action(int id) const;
  QComboBox* FindHelpBox() const { return m_findHelpBox; }
  QComboBox* PathBox() const { return m_pathBox; }
  // The modeless dialogs, made with the session; hidden until asked for.
  COctavePaths* PathDialog() const { return m_pathDialog; }
  COctavePackages* PackageDialog() const { return m_packageDialog; }
  CAutoUpdater* Updater() const { return m_updater; }

  // A text from the editor: line ends removed, queued as the editor's request.
  void ReceiveEditorText(const QString& text);
  void OnApplicationLook(int id);
  // The Documentation pane's first page, unless it shows one already. It waits
  // for the session's first prompt (or its failure): at start-up, reading the
  // manual would only hold the interpreter back.
  void ShowManualStartPage();
  // Decides every command's enabled state from the session's state.
  void UpdateActions();
  // Starts the interpreter named in the settings.
  void Connect();
  void Disconnect();
  // Ends the session's threads, handling their calls into this thread meanwhile.
  void ShutDown();

  // ISessionHost (any thread).
  bool SendToEditor(const std::string& text, bool activate) override;
  void ShowHelpTopic(const std::string& topic) override;
  int ChangeCurrentDirectory(const std::string& folder) override;
  std::string WorkingDirectory() override;
  bool ExitApplication() override;
  void Beep() override;
  void ShowMessage(const std::string& message) override;
  void SetSessionControlsEnabled(bool enabled) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateDocks();
  void AttachWorkspacePanes(CSessionCore* core);
  void AttachCurrentDirectory(CSessionCore* core);
  void BrowseForFolder();
  void CreateDocumentationPane(QDockWidget* dock);
  // The Help command: the word at the console's caret while it has the focus.
  void OnHelp();
  // The find-help box: its text goes to the top of its list and is looked up.
  void OnFindHelp(const QString& text);
  QAction* AddAction(int id, const QString& text, const QString& tip = {});
  // Copy, Cut and Paste go to a toolbar box while its edit field has the focus.
  void RouteClipboard(int id);
  bool MayClose();
  void ShowAbout();
  bool Connected() const;
  static void ShowDialog(QDialog* dialog);
  // The status bar and the Interrupt button follow the running command.
  void ShowBusy(bool busy, const QString& command);

  ISettings& m_settings;
  CHistoryStore& m_history;
  IUserPrompts& m_prompts;
  CSessionCore* m_core = nullptr;
  CSessionWorker* m_worker = nullptr;
  CCalyxView* m_console = nullptr;
  AutoComplete* m_completion = nullptr;
  CHistoryView* m_historyView = nullptr;
  CVariableView* m_workspaceView = nullptr;
  CVariableEditView* m_variableEditView = nullptr;
  CDocumentationView* m_documentationView = nullptr;
  QComboBox* m_findHelpBox = nullptr;
  QComboBox* m_pathBox = nullptr;
  CPathComboButton* m_pathButton = nullptr;
  CFileView* m_fileView = nullptr;
  std::unique_ptr<CDirectoryChanger> m_directories;
  COctavePaths* m_pathDialog = nullptr;
  COctavePackages* m_packageDialog = nullptr;
  CAutoUpdater* m_updater = nullptr;
  std::map<int, QAction*> m_actions;
  std::map<QString, QDockWidget*> m_docks;
  std::thread m_disconnecting;
  // Where the editor's texts arrive; published under this window's title.
  calyx_link::CLinkEndpoint m_editorLink;
  bool m_exitConfirmed = false;
  bool m_shutDown = false;
  bool m_bBusy = false;  // a command the user sees runs or waits for an answer
};
