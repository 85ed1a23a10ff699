#include "console/shell/MainFrame.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <limits>

#include "common/Text.h"
#include "common/UserDirs.h"
#include "console/command/CompletionPopup.h"
#include "console/command/ConsoleView.h"
#include "console/command/HistoryView.h"
#include "console/files/CurrentDirectory.h"
#include "console/files/FileView.h"
#include "console/files/FolderPicker.h"
#include "console/files/PathComboButton.h"
#include "console/pathpkg/OctavePackages.h"
#include "console/pathpkg/OctavePaths.h"
#include "console/docs/DocumentationView.h"
#include "console/docs/ManualBrowser.h"
#include "console/docs/ManualFolder.h"
#include "console/docs/ManualNames.h"
#include "console/session/SessionCore.h"
#include "console/session/SessionWorker.h"
#include "console/session/StartupCommands.h"
#include "console/shell/CommandIds.h"
#include "console/shell/LinkOpener.h"
#include "console/shell/Looks.h"
#include "console/shell/OptionsSheet.h"
#include "console/update/AutoUpdater.h"
#include "console/workspace/VariableEditView.h"
#include "console/workspace/VariableView.h"
#include "console/workspace/WorkspaceIds.h"
#include "widgets/AppIcon.h"
#include "widgets/GuiThread.h"
#include "widgets/UserPrompts.h"

namespace {

using namespace command_id;

const char* kHomePage = "https://calyx.marrowby.org/";
const char* kDonatePage = "https://calyx.marrowby.org/support";
const char* kForumPage = "https://calyx.marrowby.org/forum";

// The width a dock tab strip needs to show every title whole.
int TabStripWidth(const QStringList& titles) {
  QTabBar probe;
  probe.setElideMode(Qt::ElideNone);
  for (const QString& title : titles) probe.addTab(title);
  constexpr int kFrameAndSplitter = 16;
  return probe.sizeHint().width() + kFrameAndSplitter;
}

}  // namespace

CMainFrame::CMainFrame(ISettings& settings, CHistoryStore& history, IUserPrompts& prompts,
                       QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_history(history), m_prompts(prompts) {
  // The editor finds this window by this title.
  setWindowTitle(QStringLiteral(" - Calyx"));
  setObjectName(QStringLiteral("CalyxMainFrame"));
  setWindowIcon(AppIcon("calyx"));
  setDockNestingEnabled(true);
  m_console = new CCalyxView(m_prompts, this);
  setCentralWidget(m_console);
  m_completion = new AutoComplete(m_console);
  m_updater = new CAutoUpdater(BuiltInUpdateSource(), m_prompts, this);
  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateDocks();
  statusBar()->showMessage(tr("Ready"));
  resize(1200, 800);
  UpdateActions();
}

CMainFrame::~CMainFrame() {
  ShutDown();
  delete m_completion;
}

QAction* CMainFrame::AddAction(int id, const QString& text, const QString& tip) {
  auto* action = new QAction(text, this);
  action->setData(id);
  // Toolbar buttons show the name without its key.
  action->setIconText(QString(text).remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0));
  if (!tip.isEmpty()) {
    action->setToolTip(tip);
    action->setStatusTip(tip);
  }
  m_actions[id] = action;
  return action;
}

QAction* CMainFrame::Action(int id) const {
  auto found = m_actions.find(id);
  return found == m_actions.end() ? nullptr : found->second;
}

QDockWidget* CMainFrame::Dock(const QString& title) const {
  auto found = m_docks.find(title);
  return found == m_docks.end() ? nullptr : found->second;
}

void CMainFrame::CreateActions() {
  AddAction(kOpen, tr("&Open...\tCtrl+O"), tr("Load variables from a file"));
  AddAction(kSaveAs, tr("Save &As...\tCtrl+S"), tr("Save the selected variables"));
  AddAction(kSaveWorkspaceAs, tr("Save &Workspace As…"));
  AddAction(kSetPaths, tr("Set &Paths..."));
  AddAction(kPackages, tr("Packages..."));
  AddAction(kOptions, tr("Options..."), tr("Options"));
  AddAction(kConnect, tr("&Connect"), tr("Connect to Octave"));
  AddAction(kDisconnect, tr("&Disconnect"), tr("Disconnect from Octave"));
  AddAction(kInterrupt, tr("&Interrupt"), tr("Interrupt the running command"));
  AddAction(kPrint, tr("&Print...\tCtrl+P"), tr("Print the command window"));
  AddAction(kPrintPreview, tr("Print Pre&view"));
  AddAction(kPrintSetup, tr("P&rint Setup..."));
  AddAction(kExit, tr("E&xit\tCtrl+Q"));
  AddAction(kUndo, tr("&Undo\tCtrl+Z"), tr("Undo"));
  AddAction(kRedo, tr("&Redo\tCtrl+Y"), tr("Redo"));
  AddAction(kCut, tr("Cu&t\tCtrl+X"), tr("Cut"));
  AddAction(kCopy, tr("&Copy\tCtrl+C"), tr("Copy"));
  AddAction(kPaste, tr("&Paste\tCtrl+V"), tr("Paste"));
  AddAction(kClearWindow, tr("Clear Command Window\tCtrl+L"));
  AddAction(kClearHistory, tr("Clear Command History"), tr("Clear Command Hystory"));
  AddAction(kClearWorkspace, tr("Clear Workspace"), tr("Clear Workspace"));
  AddAction(kEditor, tr("&Editor"), tr("Open the editor window"));
  AddAction(kHelp, tr("&Help\tF1"), tr("Help"));
  AddAction(kHome, tr("&Calyx Home"));
  AddAction(kCheckUpdates, tr("Check for &Updates"));
  AddAction(kDonate, tr("&Donate"));
  AddAction(kForum, tr("&Forum"));
  AddAction(kAbout, tr("&About Calyx"));
  AddAction(kBrowse, tr("Browse"), tr("Browse for folder"));
  AddAction(kUp, tr("Up"), tr("Go up one level"));

  // The frame's accelerators: the menu texts show them, the actions carry them.
  const std::pair<int, QKeySequence> shortcuts[] = {
      {kOpen, QKeySequence(QStringLiteral("Ctrl+O"))}, {kSaveAs, QKeySequence(QStringLiteral("Ctrl+S"))},
      {kPrint, QKeySequence(QStringLiteral("Ctrl+P"))}, {kExit, QKeySequence(QStringLiteral("Ctrl+Q"))},
      {kHelp, QKeySequence(QStringLiteral("F1"))}, {kUndo, QKeySequence(QStringLiteral("Ctrl+Z"))}};
  for (const auto& [id, keys] : shortcuts) m_actions[id]->setShortcut(keys);
  const std::pair<int, const char*> icons[] = {
      {kOpen, "document-open"}, {kSaveAs, "document-save-as"}, {kOptions, "preferences-system"},
      {kConnect, "network-connect"}, {kDisconnect, "network-disconnect"},
      {kInterrupt, "process-stop"}, {kPrint, "document-print"},
      {kPrintPreview, "document-print-preview"}, {kExit, "application-exit"}, {kUndo, "edit-undo"},
      {kRedo, "edit-redo"}, {kCut, "edit-cut"}, {kCopy, "edit-copy"}, {kPaste, "edit-paste"},
      {kClearWindow, "edit-clear"}, {kEditor, "accessories-text-editor"}, {kHelp, "help-contents"},
      {kHome, "go-home"}, {kAbout, "help-about"}, {kBrowse, "folder-open"}, {kUp, "go-up"}};
  for (const auto& [id, name] : icons) m_actions[id]->setIcon(AppIcon(name));
  // The menu shows the first key; the second works as well.
  m_actions[kRedo]->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});

  connect(Action(kConnect), &QAction::triggered, this, &CMainFrame::Connect);
  connect(Action(kDisconnect), &QAction::triggered, this, &CMainFrame::Disconnect);
  connect(Action(kInterrupt), &QAction::triggered, this, [this] { m_core->Interrupt(); });
  connect(m_console, &CCalyxView::InputRefused, this, [this] {
    statusBar()->showMessage(Connected() ? tr("Octave is starting; wait for its prompt.")
                                         : tr("Not connected to Octave: Connect starts it."));
  });
  connect(Action(kExit), &QAction::triggered, this, &QWidget::close);
  connect(Action(kClearWindow), &QAction::triggered, m_console, &CCalyxView::ClearWindow);
  connect(Action(kOptions), &QAction::triggered, this, [this] {
    ShowOptionsSheet(this, m_settings, m_prompts, m_core->UserData(), m_pathBox,
                     [this](const std::string& text) { return SendToEditor(text, false); });
  });
  connect(Action(kEditor), &QAction::triggered, this, [this] { m_core->EnqueueCommand("edit", false); });
  connect(Action(kClearWorkspace), &QAction::triggered, this, [this] {
    if (ConfirmBySetting(m_prompts, this, m_settings, "General", "ConfirmClearVariables", 0,
                         tr("All variables will be deleted.")))
      m_core->EnqueueCommand("clear all", false);
  });
  connect(Action(kOpen), &QAction::triggered, this, [this] { m_workspaceView->LoadFile(); });
  connect(Action(kSaveAs), &QAction::triggered, this, [this] { m_workspaceView->SaveSelected(); });
  connect(Action(kSaveWorkspaceAs), &QAction::triggered, this, [this] {
    m_workspaceView->SelectAllVariables();
    m_workspaceView->SaveSelected();
  });
  // Undo and Redo cover what is typed on the console's input line.
  connect(Action(kUndo), &QAction::triggered, m_console, &CCalyxView::UndoInput);
  connect(Action(kRedo), &QAction::triggered, m_console, &CCalyxView::RedoInput);
  connect(Action(kClearHistory), &QAction::triggered, this, [this] { m_historyView->ConfirmAndClear(); });
  for (int id : {kCopy, kCut, kPaste}) {
    connect(Action(id), &QAction::triggered, this, [this, id] { RouteClipboard(id); });
  }
  connect(Action(kPrint), &QAction::triggered, this, [this] {
    QPrinter printer;
    printer.setPageMargins(QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) m_console->print(&printer);
  });
  connect(Action(kPrintPreview), &QAction::triggered, this, [this] {
    QPrinter printer;
    printer.setPageMargins(QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, m_console, &QPlainTextEdit::print);
    preview.exec();
  });
  connect(Action(kPrintSetup), &QAction::triggered, this, [this] {
    QPrinter printer;
    QPrintDialog(&printer, this).exec();
  });
  connect(Action(kHome), &QAction::triggered, this, [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePage))); });
  connect(Action(kDonate), &QAction::triggered, this, [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kDonatePage))); });
  connect(Action(kForum), &QAction::triggered, this, [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kForumPage))); });
  connect(Action(kAbout), &QAction::triggered, this, &CMainFrame::ShowAbout);
  connect(Action(kCheckUpdates), &QAction::triggered, this, [this] { m_updater->CheckForUpdate(false); });
  connect(Action(kHelp), &QAction::triggered, this, &CMainFrame::OnHelp);
}

void CMainFrame::CreateMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  for (int id : {kOpen, kSaveAs, kSaveWorkspaceAs}) file->addAction(Action(id));
  file->addSeparator();
  for (int id : {kSetPaths, kPackages, kOptions}) file->addAction(Action(id));
  file->addSeparator();
  for (int id : {kConnect, kDisconnect, kInterrupt}) file->addAction(Action(id));
  file->addSeparator();
  for (int id : {kPrint, kPrintPreview, kPrintSetup}) file->addAction(Action(id));
  file->addSeparator();
  file->addAction(Action(kExit));

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  for (int id : {kUndo, kRedo}) edit->addAction(Action(id));
  edit->addSeparator();
  for (int id : {kCut, kCopy, kPaste}) edit->addAction(Action(id));
  edit->addSeparator();
  for (int id : {kClearWindow, kClearHistory, kClearWorkspace}) edit->addAction(Action(id));

  QMenu* view = menuBar()->addMenu(tr("&View"));
  view->addAction(Action(kEditor));
  auto* statusBarToggle = AddAction(kStatusBar, tr("&Status Bar"));
  statusBarToggle->setCheckable(true);
  statusBarToggle->setChecked(true);
  connect(statusBarToggle, &QAction::toggled, statusBar(), &QWidget::setVisible);
  view->addAction(statusBarToggle);
  m_actions[kToolbars] = view->addMenu(tr("&Toolbars and Docking Windows"))->menuAction();
  QMenu* looks = view->addMenu(tr("&Application Look"));
  QMenu* office2007 = nullptr;
  auto* lookGroup = new QActionGroup(this);
  int count = 0;
  const ApplicationLook* all = ApplicationLooks(&count);
  for (int i = 0; i < count; ++i) {
    const ApplicationLook& look = all[i];
    QAction* action = AddAction(look.id, tr(look.menuText));
    action->setCheckable(true);
    lookGroup->addAction(action);
    connect(action, &QAction::triggered, this, [this, id = look.id] { OnApplicationLook(id); });
    if (look.inOffice2007Menu) {
      if (!office2007) office2007 = looks->addMenu(tr("Office 200&7"));
      office2007->addAction(action);
    } else {
      looks->addAction(action);
    }
  }

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  for (int id : {kHelp, kHome, kCheckUpdates, kDonate, kForum}) help->addAction(Action(id));
  help->addSeparator();
  help->addAction(Action(kAbout));
}

void CMainFrame::CreateToolBar() {
  QToolBar* bar = addToolBar(tr("Standard"));
  bar->setObjectName(QStringLiteral("Standard"));
  for (int id : {kOpen, kSaveAs}) bar->addAction(Action(id));
  bar->addSeparator();
  for (int id : {kCut, kCopy, kPaste}) bar->addAction(Action(id));
  bar->addSeparator();
  for (int id : {kUndo, kRedo}) bar->addAction(Action(id));
  bar->addSeparator();
  for (int id : {kPrint, kConnect, kDisconnect, kInterrupt}) bar->addAction(Action(id));
  bar->addSeparator();
  for (int id : {kEditor, kOptions}) bar->addAction(Action(id));
  bar->addSeparator();
  m_findHelpBox = new QComboBox(bar);
  m_findHelpBox->setEditable(true);
  m_findHelpBox->setMinimumWidth(150);
  m_findHelpBox->setAccessibleName(tr("Find help"));
  m_findHelpBox->setToolTip(tr("Find help"));
  // Enter puts a new text at the top of the list; both it and a choice from
  // the list announce the text.
  m_findHelpBox->setInsertPolicy(QComboBox::InsertAtTop);
  m_findHelpBox->setDuplicatesEnabled(false);
  connect(m_findHelpBox, &QComboBox::textActivated, this, &CMainFrame::OnFindHelp);
  bar->addWidget(m_findHelpBox);
  bar->addAction(Action(kHelp));
  bar->addSeparator();
  m_pathBox = new QComboBox(bar);
  m_pathBox->setEditable(true);
  m_pathBox->setFixedWidth(400);
  m_pathBox->setAccessibleName(tr("Current Directory"));
  m_pathBox->setToolTip(tr("Current Directory"));
  bar->addWidget(m_pathBox);
  for (int id : {kBrowse, kUp}) bar->addAction(Action(id));
  QMenu* toolbars = Action(kToolbars)->menu();
  toolbars->addAction(bar->toggleViewAction());
}

void CMainFrame::CreateDocks() {
  struct Pane {
    const char* title;
    const char* name;
    QStyle::StandardPixmap icon;
    Qt::DockWidgetArea area;
  };
  // Creation order; the tab groups are made below.
  const Pane panes[] = {
      {"Command History", "CommandHistory", QStyle::SP_FileDialogListView, Qt::LeftDockWidgetArea},
      {"Current Directory", "CurrentDirectory", QStyle::SP_DirIcon, Qt::LeftDockWidgetArea},
      {"Workspace", "Workspace", QStyle::SP_DriveHDIcon, Qt::LeftDockWidgetArea},
      {"Variable Editor", "VariableEditor", QStyle::SP_FileDialogDetailedView, Qt::BottomDockWidgetArea},
      {"Documentation", "Documentation", QStyle::SP_DialogHelpButton, Qt::BottomDockWidgetArea},
  };
  QMenu* toolbars = Action(kToolbars)->menu();
  for (const Pane& pane : panes) {
    const QString title = tr(pane.title);
    auto* dock = new QDockWidget(title, this);
    dock->setObjectName(QString::fromLatin1(pane.name));
    dock->setWindowIcon(style()->standardIcon(pane.icon));
    dock->setAllowedAreas(Qt::AllDockWidgetAreas);
    if (title == tr("Command History")) {
      m_historyView = new CHistoryView(
          m_history, m_settings, m_prompts,
          [this](const std::string& command) { m_core->EnqueueCommand(command, true); },
          [this] { return Connected(); }, dock);
      dock->setWidget(m_historyView);
    } else if (title == tr("Workspace")) {
      m_workspaceView = new CVariableView(m_prompts, dock);
      // Save As follows the selection.
      connect(m_workspaceView, &CVariableView::SelectionChanged, this, &CMainFrame::UpdateActions);
      dock->setWidget(m_workspaceView);
    } else if (title == tr("Current Directory")) {
      m_fileView = new CFileView(m_prompts, dock);
      dock->setWidget(m_fileView);
    } else if (title == tr("Variable Editor")) {
      m_variableEditView = new CVariableEditView(m_prompts, dock);
      dock->setWidget(m_variableEditView);
    } else if (title == tr("Documentation")) {
      CreateDocumentationPane(dock);
    } else {
      // The other panes come with their own subsystems; until then they are empty.
      auto* empty = new QWidget(dock);
      empty->setAccessibleName(title);
      dock->setWidget(empty);
    }
    addDockWidget(pane.area, dock);
    m_docks[title] = dock;
    toolbars->addAction(dock->toggleViewAction());
  }
  tabifyDockWidget(Dock(tr("Current Directory")), Dock(tr("Workspace")));
  tabifyDockWidget(Dock(tr("Current Directory")), Dock(tr("Command History")));
  tabifyDockWidget(Dock(tr("Variable Editor")), Dock(tr("Documentation")));
  Dock(tr("Command History"))->raise();
  Dock(tr("Documentation"))->raise();
  // The left group starts wide enough for the whole titles of its tabs.
  const int leftWidth = TabStripWidth({tr("Current Directory"), tr("Workspace"), tr("Command History")});
  resizeDocks({Dock(tr("Current Directory"))}, {std::max(260, leftWidth)}, Qt::Horizontal);
  resizeDocks({Dock(tr("Variable Editor"))}, {180}, Qt::Vertical);
}

void CMainFrame::AttachSession(CSessionCore* core, CSessionWorker* worker) {
  m_core = core;
  m_worker = worker;
  m_console->Attach(core, worker, &m_history, &m_settings, this, m_completion);
  m_console->SetLinkOpener(new CLinkOpener(*core, *this, [this](const QString& message) {
    statusBar()->showMessage(message, 10000);
  }, this));
  // Posted, never waited for: the dispatcher must not wait on this thread.
  core->SetOnBusyChanged([this](bool busy, const std::string& command) {
    QMetaObject::invokeMethod(this, [this, busy, text = QString::fromStdString(command)] {
      ShowBusy(busy, text);
    }, Qt::QueuedConnection);
  });
  AttachWorkspacePanes(core);
  AttachCurrentDirectory(core);
  m_pathDialog = new COctavePaths(*core, m_settings, this);
  m_packageDialog = new COctavePackages(*core, m_prompts, this);
  // Opening a dialog asks for its list afresh.
  connect(Action(kSetPaths), &QAction::triggered, this, [this] {
    m_pathDialog->Refresh();
    ShowDialog(m_pathDialog);
  });
  connect(Action(kPackages), &QAction::triggered, this, [this] {
    m_packageDialog->Refresh();
    ShowDialog(m_packageDialog);
  });
  // The editor's requests only go on the queue, which any thread may do.
  m_editorLink.Open(windowTitle().toStdString(), [this](const std::string& text) {
    m_core->PushEditorRequest(text);
  });
  UpdateActions();
}

void CMainFrame::AttachWorkspacePanes(CSessionCore* core) {
  auto enqueue = [core](const std::string& text, bool echo) { return core->EnqueueCommand(text, echo); };
  // Without a private data folder there is no safe place for the exchange file.
  const std::string exchangeFile =
      core->DataDir().empty() ? std::string() : core->DataDir() + std::string(kExchangeFileName);
  m_variableEditView->Attach({enqueue, exchangeFile, m_workspaceView});
  m_workspaceView->Attach(
      {enqueue, [core] { core->Signals().Raise(core->Signals().g_bRefreshWorkspace); },
       [this](const std::string& name) { return m_variableEditView->ShowVariable(name); }});
}

void CMainFrame::AttachCurrentDirectory(CSessionCore* core) {
  m_pathButton = new CPathComboButton(m_pathBox, [this](const std::string& text) {
    m_directories->Change(text);
  });
  CDirectoryChanger::Services services;
  services.settings = &m_settings;
  services.userData = &core->UserData();
  services.box = m_pathButton;
  services.enqueue = [core](const std::string& command) { core->EnqueueCommand(command, false); };
  services.showError = [this](const std::string& message) {
    m_prompts.ShowError(this, QString::fromStdString(message));
  };
  services.changed = [this](const std::string& folder) {
    m_console->setFocus(Qt::OtherFocusReason);
    m_fileView->ShowFolder(QString::fromStdString(folder));
  };
  services.defaultFolder = [this] { return WorkingDirectory(); };
  services.home = QDir::homePath().toStdString();
  m_directories = std::make_unique<CDirectoryChanger>(std::move(services));
  m_directories->FillBox();
  m_fileView->Attach({[core](const std::string& command, bool echo) { core->EnqueueCommand(command, echo); },
                      [this](const std::string& text) { return m_directories->Change(text); },
                      [this](const QString& message) { statusBar()->showMessage(message, 10000); }});
  connect(Action(kUp), &QAction::triggered, this, [this] { m_directories->Change(".."); });
  connect(Action(kBrowse), &QAction::triggered, this, &CMainFrame::BrowseForFolder);
}

void CMainFrame::BrowseForFolder() {
  const QString chosen = CFolderPicker::Choose(this, QString::fromStdString(m_directories->SavedFolder()));
  if (!chosen.isEmpty()) m_directories->Change(chosen.toStdString());
}

void CMainFrame::ShowDialog(QDialog* dialog) {
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

void CMainFrame::CreateDocumentationPane(QDockWidget* dock) {
  m_documentationView = new CDocumentationView(
      [this] {
        return manual::ManualFolderCandidates(
            m_settings.GetString("Octave", "docpath", ""),
            m_settings.GetString("Octave", "path", kDefaultInterpreterFolder));
      },
      dock);
  dock->setWidget(m_documentationView);
}

void CMainFrame::ShowManualStartPage() {
  const CManualBrowser* browser = m_documentationView->Browser();
  if (browser->source().isEmpty() && !browser->Loading()) m_documentationView->ShowHelpTopic({});
}

void CMainFrame::OnHelp() {
  QString term;
  if (m_console->hasFocus()) {
    const std::u16string text = m_console->toPlainText().toStdU16String();
    term = QString::fromStdU16String(
        manual::HelpWordAt(text, static_cast<size_t>(m_console->textCursor().position())));
  }
  ShowHelpTopic(term.toStdString());
}

void CMainFrame::OnFindHelp(const QString& text) {
  if (text.isEmpty()) return;
  const QSignalBlocker quiet(m_findHelpBox);
  const int existing = m_findHelpBox->findText(text);
  if (existing >= 0) m_findHelpBox->removeItem(existing);
  m_findHelpBox->insertItem(0, text);
  m_findHelpBox->setCurrentIndex(0);
  ShowHelpTopic(text.toStdString());
}

bool CMainFrame::Connected() const { return m_core && m_core->Signals().g_bConnected; }

void CMainFrame::UpdateActions() {
  const bool connected = Connected();
  const bool session = m_core != nullptr;
  Action(kConnect)->setEnabled(session && !connected);
  Action(kDisconnect)->setEnabled(connected);
  Action(kInterrupt)->setEnabled(connected && m_bBusy);
  Action(kEditor)->setEnabled(connected);
  Action(kOptions)->setEnabled(session);
  Action(kClearWorkspace)->setEnabled(session);
  Action(kOpen)->setEnabled(connected);
  Action(kSaveAs)->setEnabled(connected && m_workspaceView->HasSelection());
  Action(kSaveWorkspaceAs)->setEnabled(session);
  Action(kSetPaths)->setEnabled(connected);
  Action(kPackages)->setEnabled(connected);
  m_workspaceView->SetConnected(connected);
  // The folder changes only through a live interpreter.
  for (int id : {kBrowse, kUp}) Action(id)->setEnabled(connected);
  m_pathBox->setEnabled(connected);
  m_fileView->SetConnected(connected);
  if (m_historyView) m_historyView->UpdateActions();
}

void CMainFrame::RouteClipboard(int id) {
  QWidget* focus = QApplication::focusWidget();
  for (QComboBox* box : {m_findHelpBox, m_pathBox}) {
    if (focus && box->lineEdit() && (focus == box || box->isAncestorOf(focus))) {
      if (id == kCopy) box->lineEdit()->copy();
      if (id == kCut) box->lineEdit()->cut();
      if (id == kPaste) box->lineEdit()->paste();
      return;
    }
  }
  if (m_variableEditView->HasGridFocus()) {
    m_variableEditView->RunCommand(id == kCopy  ? workspace_id::kCopy
                                   : id == kCut ? workspace_id::kCut
                                                : workspace_id::kPaste);
    return;
  }
  if (id == kCopy) m_console->copy();
  if (id == kCut && m_console->textCursor().selectionStart() >= m_console->InputStart()) m_console->cut();
  if (id == kPaste) m_console->paste();
}

void CMainFrame::OnApplicationLook(int id) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const int applied = ApplyApplicationLook(id);
  if (QAction* action = Action(applied)) action->setChecked(true);
  QSettings().setValue(QStringLiteral("ApplicationLook"), id);
  QApplication::restoreOverrideCursor();
}

void CMainFrame::ReceiveEditorText(const QString& text) {
  if (m_core) m_core->PushEditorRequest(text.toStdString());
}

void CMainFrame::ShowBusy(bool busy, const QString& command) {
  m_bBusy = busy && Connected();
  statusBar()->showMessage(m_bBusy ? tr("Busy: %1").arg(command) : tr("Ready"));
  UpdateActions();
}

void CMainFrame::Connect() {
  if (!m_core || Connected()) return;
  // A session that is still ending may need this thread to finish; its waits
  // are bounded, so this wait ends.
  RunHandlingEvents([this] { m_worker->WaitEnded(std::chrono::hours(1)); });
  m_worker->Connect(ConfiguredInterpreterCommandLine(m_settings));
  UpdateActions();
}

void CMainFrame::Disconnect() {
  if (!Connected()) return;
  // Ending a computation or losing variables needs the user's word.
  const bool busy = m_core->Busy() || m_bBusy;
  if ((busy || !m_workspaceView->Rows().empty()) && !MayClose()) return;
  if (!Connected()) return;  // it ended while the question was open
  // The previous disconnection never calls into this thread.
  if (m_disconnecting.joinable()) m_disconnecting.join();
  // The disconnection waits half a second for the interpreter: not on this thread.
  m_disconnecting = std::thread([worker = m_worker] { worker->Disconnect(); });
  Action(kDisconnect)->setEnabled(false);
}

// ---- ISessionHost

bool CMainFrame::SendToEditor(const std::string& text, bool) {
  // The editor's window is the first whose title names a document.
  return calyx_link::SendToTitleContaining("Quire - ", text);
}

void CMainFrame::ShowHelpTopic(const std::string& topic) {
  RunOnGuiThread(this, [&] {
    m_documentationView->ShowHelpTopic(QString::fromStdString(topic));
    QDockWidget* dock = Dock(tr("Documentation"));
    dock->show();
    dock->raise();
  });
}

int CMainFrame::ChangeCurrentDirectory(const std::string& folder) {
  // The box, its message and the pane live on the GUI thread.
  return ResultOnGuiThread<int>(this, [&] { return m_directories->Change(folder); });
}

std::string CMainFrame::WorkingDirectory() {
  // "Work" beside the program's folder when there is one, else the home folder.
  const QString work = QDir(QString::fromStdString(ProgramFolder()) + QStringLiteral("/..")).absoluteFilePath(QStringLiteral("Work"));
  return (QFileInfo(work).isDir() ? work : QDir::homePath()).toStdString();
}

bool CMainFrame::ExitApplication() {
  bool accepted = false;
  RunOnGuiThread(this, [&] {
    accepted = MayClose();
    if (accepted) {
      m_exitConfirmed = true;
      // Closing waits for the dispatcher, which is the caller: later.
      QTimer::singleShot(0, this, &QWidget::close);
    }
  });
  return accepted;
}

void CMainFrame::Beep() {
  RunOnGuiThread(this, [] { QApplication::beep(); });
}

void CMainFrame::ShowMessage(const std::string& message) {
  RunOnGuiThread(this, [&] { m_prompts.ShowInformation(this, QString::fromStdString(message)); });
}

void CMainFrame::SetSessionControlsEnabled(bool enabled) {
  RunOnGuiThread(this, [&] {
    if (enabled) m_console->ResetInterrupt();
    ShowManualStartPage();
    m_bBusy = false;
    statusBar()->showMessage(enabled ? tr("Ready") : tr("Disconnected"));
    UpdateActions();
  });
}

// ---- exit

bool CMainFrame::MayClose() {
  return !Connected() || ConfirmBySetting(m_prompts, this, m_settings, "Octave", "ConfirmExit", 1,
                                          tr("Do you want to disconnect from Octave?"));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!m_exitConfirmed && !MayClose()) {
    event->ignore();
    return;
  }
  QSettings layout;
  layout.setValue(QStringLiteral("Layout/geometry"), saveGeometry());
  layout.setValue(QStringLiteral("Layout/state"), saveState());
  ShutDown();
  event->accept();
}

void CMainFrame::ShutDown() {
  if (m_shutDown || !m_core) return;
  m_shutDown = true;
  m_completion->hide();
  // No editor request may arrive once the session is gone.
  m_editorLink.Close();
  // The workers may call into this thread while they end, so it keeps handling
  // events until they have.
  // Every wait of theirs is bounded, so waiting here until they have ended
  // cannot hang; joining before that could, while one waits on this thread.
  RunHandlingEvents([this] {
    if (m_disconnecting.joinable()) m_disconnecting.join();
    m_worker->Shutdown();
    m_core->StopDispatcher();
  });
}

void CMainFrame::ShowAbout() {
  QMessageBox::about(
      this, tr("About Calyx"),
      tr("Calyx version %1\n\nA workbench for GNU Octave.\n\nThis program is free software: you "
         "can redistribute it and/or modify it under the terms of the GNU General Public "
         "License as published by the Free Software Foundation, either version 3 of the "
         "License, or (at your option) any later version.")
          .arg(QApplication::applicationVersion()));
}
