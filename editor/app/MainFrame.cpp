// CMainFrame itself: its making, the actions, menus and toolbars of every
// concern, the tabs of the documents, caption, status and command states,
// placement and closing. Each concern's commands live in a file of their own.
#include "editor/app/MainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>

#include "editor/app/CommandIds.h"
#include "editor/app/LinkRules.h"
#include "editor/app/Questions.h"
#include "editor/app/QuireApp.h"
#include "editor/app/QuireDoc.h"
#include "editor/view/ScintillaWnd.h"
#include "widgets/AppIcon.h"

using namespace quire_command;
using quire::TabSide;

namespace {

QTabWidget::TabPosition PositionOf(TabSide side) {
  switch (side) {
    case TabSide::Right:
      return QTabWidget::East;
    case TabSide::Left:
      return QTabWidget::West;
    case TabSide::Bottom:
      return QTabWidget::South;
    case TabSide::Top:
      break;
  }
  return QTabWidget::North;
}

}  // namespace

CMainFrame::CMainFrame(CQuireApp& app)
    : m_app(app),
      m_dispatcher(app.LinkState(), *this),
      m_closing(std::make_shared<std::atomic<bool>>(false)) {}

CMainFrame::~CMainFrame() {
  // A handler waiting for this thread gives up instead of holding Close.
  *m_closing = true;
  m_endpoint.Close();
  if (m_errorWorker.joinable()) m_errorWorker.join();
}

bool CMainFrame::Create() {
  setObjectName(QStringLiteral("QuireMainFrame"));
  setWindowIcon(AppIcon("quire"));
  m_tabs = new QTabWidget(this);
  m_tabs->setTabsClosable(true);
  m_tabs->setDocumentMode(true);
  m_tabs->tabBar()->setContextMenuPolicy(Qt::CustomContextMenu);
  setCentralWidget(m_tabs);
  connect(m_tabs, &QTabWidget::tabCloseRequested, this, [this](int index) {
    if (auto* doc = qobject_cast<CQuireDoc*>(m_tabs->widget(index))) CloseDocument(doc);
  });
  connect(m_tabs, &QTabWidget::currentChanged, this, &CMainFrame::OnCurrentTabChanged);
  connect(m_tabs->tabBar(), &QWidget::customContextMenuRequested, this, &CMainFrame::OnTabContextMenu);

  m_printer = std::make_unique<QPrinter>();
  CreateActions();
  CreateMenus();
  CreateToolBars();
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::UpdateEditCommands);

  m_position = new QLabel(this);
  m_overtype = new QLabel(this);
  statusBar()->addPermanentWidget(m_position);
  statusBar()->addPermanentWidget(m_overtype);

  SetTabSide(quire::TabSideFromId(CQuireApp::ProfileInt(QStringLiteral("TabDocs"), QStringLiteral("Orientation"),
                                                         static_cast<int>(TabSide::Top))));
  restoreState(QSettings().value(QStringLiteral("BarState")).toByteArray());
  ShowCellToolBar(m_app.Preferences().cellMode);
  ApplyPlacement();
  UpdateCaption();
  UpdateCommands();
  return true;
}

// ---------------------------------------------------------------------------
// Actions, menus and toolbars

QAction* CMainFrame::AddAction(int id, const QString& text, const QKeySequence& key) {
  auto* action = new QAction(text, this);
  if (!key.isEmpty()) action->setShortcut(key);
  m_actions[id] = action;
  return action;
}

QAction* CMainFrame::Action(int id) const {
  const auto found = m_actions.find(id);
  return found == m_actions.end() ? nullptr : found->second;
}

void CMainFrame::CreateActions() {
  CreateFileActions();
  CreateEditActions();
  CreateDebugActions();

  auto* sides = new QActionGroup(this);
  const struct {
    TabSide side;
    const char* text;
  } tabSides[] = {{TabSide::Top, "&Top"}, {TabSide::Right, "&Right"}, {TabSide::Left, "&Left"},
                  {TabSide::Bottom, "&Bottom"}};
  for (const auto& entry : tabSides) {
    QAction* action = AddAction(static_cast<int>(entry.side), tr(entry.text));
    action->setCheckable(true);
    sides->addAction(action);
    const TabSide side = entry.side;
    connect(action, &QAction::triggered, this, [this, side] { SetTabSide(side); });
  }
  connect(AddAction(kCellMode, tr("Disable Cell Mode")), &QAction::triggered, this,
          [this] { ShowCellToolBar(m_cellBar->isHidden()); });

  const std::pair<int, const char*> icons[] = {
      {kNewBlankFile, "document-new"},
      {kFileOpen, "document-open"},
      {kFileClose, "document-close"},
      {kFileSave, "document-save"},
      {kFileSaveAs, "document-save-as"},
      {kSaveAll, "document-save-all"},
      {kFilePrint, "document-print"},
      {kFilePrintPreview, "document-print-preview"},
      {kAppExit, "application-exit"},
      {kEditUndo, "edit-undo"},
      {kEditRedo, "edit-redo"},
      {kEditCut, "edit-cut"},
      {kEditCopy, "edit-copy"},
      {kEditPaste, "edit-paste"},
      {kEditClear, "edit-delete"},
      {kEditSelectAll, "edit-select-all"},
      {kComment, "edit-comment"},
      {kUncomment, "edit-uncomment"},
      {kAutoIndent, "format-indent-auto"},
      {kIndent, "format-indent-more"},
      {kUnindent, "format-indent-less"},
      {kZoomIn, "zoom-in"},
      {kZoomOut, "zoom-out"},
      {kZoomReset, "zoom-original"},
      {kRun, "media-playback-start"},
      {kToggleBreakpoint, "debug-breakpoint"},
      {kClearAllBreakpoints, "debug-breakpoints-clear"},
      {kDebugStep, "debug-step-over"},
      {kDebugStepIn, "debug-step-into"},
      {kDebugStepOut, "debug-step-out"},
      {kDebugStop, "media-playback-stop"},
  };
  for (const auto& [id, name] : icons) m_actions[id]->setIcon(AppIcon(name));
  CreateCellActions();
  CreateTipActions();
  CreateSearchActions();
}

void CMainFrame::CreateMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  QMenu* newMenu = file->addMenu(tr("&New"));
  newMenu->addAction(Action(kNewFunctionFile));
  newMenu->addAction(Action(kNewBlankFile));
  for (int id : {kFileOpen, kFileClose, kCloseAll}) file->addAction(Action(id));
  file->addSeparator();
  for (int id : {kFileSave, kFileSaveAs, kSaveAll}) file->addAction(Action(id));
  file->addSeparator();
  for (int id : {kFilePrint, kFilePrintPreview, kFilePrintSetup}) file->addAction(Action(id));
  file->addSeparator();
  m_recentMenu = file->addMenu(tr("Recent &Files"));
  connect(m_recentMenu, &QMenu::aboutToShow, this, &CMainFrame::FillRecentMenu);
  file->addSeparator();
  file->addAction(Action(kAppExit));

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  for (int id : {kEditUndo, kEditRedo}) edit->addAction(Action(id));
  edit->addSeparator();
  for (int id : {kEditCut, kEditCopy, kEditPaste, kEditClear, kEditSelectAll}) edit->addAction(Action(id));
  edit->addSeparator();
  for (int id : {kComment, kUncomment, kAutoIndent, kIndent, kUnindent}) edit->addAction(Action(id));

  edit->addSeparator();
  for (int id : {kUpperCase, kLowerCase}) edit->addAction(Action(id));
  edit->addSeparator();
  for (int id : {kDescribe, kDoc, kAutocompletion}) edit->addAction(Action(id));

  QMenu* view = menuBar()->addMenu(tr("&View"));
  for (int id : {kToggleLineNumbers, kToggleSelectionMargin, kToggleFoldingMargin, kToggleAllCharacters})
    view->addAction(Action(id));
  view->addSeparator();
  for (int id : {kZoomIn, kZoomOut, kZoomReset}) view->addAction(Action(id));

  QMenu* debug = menuBar()->addMenu(tr("&Debug"));
  for (int id : {kRun, kDebugStep, kDebugStepIn, kDebugStepOut, kDebugStop}) debug->addAction(Action(id));
  debug->addSeparator();
  for (int id : {kToggleBreakpoint, kClearAllBreakpoints}) debug->addAction(Action(id));

  QMenu* cell = menuBar()->addMenu(tr("&Cell"));
  for (int id : {kEvaluate, kEvaluateCell, kEvaluateCellAdvance, kEvaluateAll}) cell->addAction(Action(id));
  cell->addSeparator();
  for (int id : {kNextCell, kPreviousCell, kInsertCellBreak, kInsertCellBreaksAround}) cell->addAction(Action(id));
  cell->addSeparator();
  for (int id : {kIncrementValue, kDecrementValue, kMultiplyValue, kDivideValue}) cell->addAction(Action(id));

  QMenu* window = menuBar()->addMenu(tr("&Window"));
  QMenu* orientation = window->addMenu(tr("Tab &Orientation"));
  for (int id : {kTabTop, kTabRight, kTabLeft, kTabBottom}) orientation->addAction(Action(id));
  window->addAction(Action(kCellMode));

  m_editMenu = new QMenu(this);
  for (int id : {kEditCut, kEditCopy, kEditPaste, kEditClear, kEditSelectAll}) m_editMenu->addAction(Action(id));
  m_editMenu->addSeparator();
  for (int id : {kComment, kUncomment, kAutoIndent}) m_editMenu->addAction(Action(id));
  m_editMenu->addSeparator();
  m_editMenu->addAction(Action(kDescribe));

  AddSearchMenus(edit, window, menuBar()->addMenu(tr("&Help")));

  m_tabMenu = new QMenu(this);
  for (int id : {kFileClose, kCloseAllButThis, kFileSave, kFileSaveAs, kFilePrint, kFilePrintPreview,
                 kFilePrintSetup})
    m_tabMenu->addAction(Action(id));
  m_tabMenu->addMenu(orientation);
}

void CMainFrame::CreateToolBars() {
  m_mainBar = addToolBar(tr("Standard"));
  m_mainBar->setObjectName(QStringLiteral("MainToolBar"));
  for (int id : {kNewBlankFile, kFileOpen, kFileSave, kSaveAll}) m_mainBar->addAction(Action(id));
  m_mainBar->addSeparator();
  for (int id : {kEditCut, kEditCopy, kEditPaste, kEditUndo, kEditRedo}) m_mainBar->addAction(Action(id));
  m_mainBar->addSeparator();
  m_mainBar->addAction(Action(kFilePrint));
  m_mainBar->addSeparator();
  for (int id : {kRun, kToggleBreakpoint, kDebugStep, kDebugStepIn, kDebugStepOut, kDebugStop})
    m_mainBar->addAction(Action(id));

  CreateCellToolBar();
}

// ---------------------------------------------------------------------------
// Documents

std::vector<CQuireDoc*> CMainFrame::Documents() const {
  std::vector<CQuireDoc*> docs;
  for (int i = 0; i < m_tabs->count(); ++i)
    if (auto* doc = qobject_cast<CQuireDoc*>(m_tabs->widget(i))) docs.push_back(doc);
  return docs;
}

CQuireDoc* CMainFrame::ActiveDocument() const { return qobject_cast<CQuireDoc*>(m_tabs->currentWidget()); }

void CMainFrame::Activate(CQuireDoc* doc) {
  if (!doc) return;
  m_tabs->setCurrentWidget(doc);
  doc->View()->setFocus();
}

bool CMainFrame::IsLive(const void* doc) const {
  for (CQuireDoc* d : Documents())
    if (d == doc) return true;
  return false;
}

CQuireDoc* CMainFrame::CreateDocument() {
  auto* doc = new CQuireDoc(
      m_app.Keywords(),
      [this] {
        ViewSettings view = m_app.Preferences().view;
        view.callTips = m_app.Preferences().callTips;
        view.autoComplete = m_app.Preferences().autoComplete;
        return view;
      },
      m_tabs);
  connect(doc, &CQuireDoc::titleChanged, this, &CMainFrame::OnTitleChanged);
  CScintillaWnd* view = doc->View();
  connect(view, &CScintillaWnd::statusChanged, this, [this, doc] {
    if (doc != ActiveDocument()) return;
    UpdateStatus();
    UpdateCellSelection();
    UpdateCellCommands();
    UpdateEditCommands();
  });
  connect(view, &CScintillaWnd::cellsChanged, this, [this, doc] {
    if (doc == ActiveDocument()) UpdateCellList();
  });
  // A right click in the text shows the editing menu.
  // (The text area passes its right clicks to the view, in its own coordinates.)
  view->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
    UpdateEditCommands();
    m_editMenu->popup(view->viewport()->mapToGlobal(at));
  });
  connect(view, &CScintillaWnd::marginClicked, this, [this, doc](int margin, int line) {
    if (margin == CScintillaWnd::SELECTION_MARGIN) ToggleBreakpointAt(doc, line);
  });
  connect(view, &CScintillaWnd::mouseHovered, this,
          [this, doc](long position, QPoint global) { OnValueHover(doc, position, global); });
  connect(view, &CScintillaWnd::mouseLeft, this, [this] { m_app.Questions().HideHtmlTip(); });
  connect(view, &CScintillaWnd::tipDismissed, this, [this] { m_app.Questions().HideHtmlTip(); });
  connect(view, &CScintillaWnd::callTipRequested, this,
          [this](const QString& word) { RequestCallTip(word.toStdString()); });
  view->SetCompletionSource([this]() -> const std::vector<std::string>& { return m_app.LinkState().completionWords; });
  return doc;
}

void CMainFrame::AddDocument(CQuireDoc* doc) {
  const int index = m_tabs->addTab(doc, QString::fromStdString(doc->Title()));
  m_tabs->setTabToolTip(index, QString::fromStdString(doc->Path()));
  Activate(doc);
  UpdateCaption();
  UpdateCommands();
}

void CMainFrame::RemoveDocument(CQuireDoc* doc) {
  // The interpreter keeps no breakpoints of a file the editor no longer shows.
  if (doc->HasBreakpoints()) {
    Send(quire_link::ClearFileBreakpointsCommand(doc->ScriptName()), true);
    doc->RemoveBreakpointMarkers();
  }
  SLinkState& link = m_app.LinkState();
  if (link.lastTargetView == doc) link.lastTargetView = nullptr;
  m_tabs->removeTab(m_tabs->indexOf(doc));
  doc->deleteLater();
  UpdateCaption();
  UpdateStatus();
  UpdateCommands();
}

void CMainFrame::OnTitleChanged(CQuireDoc* doc) {
  const int index = m_tabs->indexOf(doc);
  if (index < 0) return;
  m_tabs->setTabText(index, QString::fromStdString(doc->Title()));
  m_tabs->setTabToolTip(index, QString::fromStdString(doc->Path()));
  UpdateCaption();
  UpdateCommands();
}

void CMainFrame::OnCurrentTabChanged() {
  UpdateCaption();
  UpdateStatus();
  UpdateCellList();
  UpdateCommands();
}

void CMainFrame::OnTabContextMenu(const QPoint& pos) {
  const int index = m_tabs->tabBar()->tabAt(pos);
  if (index < 0) return;
  m_tabs->setCurrentIndex(index);
  m_tabMenu->popup(m_tabs->tabBar()->mapToGlobal(pos));
}

void CMainFrame::SetTabSide(TabSide side) {
  m_tabSide = side;
  m_tabs->setTabPosition(PositionOf(side));
  if (QAction* action = Action(static_cast<int>(side))) action->setChecked(true);
}

// ---------------------------------------------------------------------------
// Caption, status and command states

void CMainFrame::UpdateCaption() {
  CQuireDoc* doc = ActiveDocument();
  const std::string caption =
      quire::FrameCaption(doc ? std::optional<std::string>(doc->Title()) : std::nullopt);
  setWindowTitle(QString::fromStdString(caption));
  PublishCaption(caption);
}

QString CMainFrame::StatusText() const { return m_position->text(); }

void CMainFrame::UpdateStatus() {
  CQuireDoc* doc = ActiveDocument();
  if (!doc) {
    m_position->clear();
    m_overtype->clear();
    return;
  }
  m_position->setText(QString::fromStdString(doc->View()->GetStatusText()));
  m_overtype->setText(doc->View()->GetOverstrike() ? tr("OVR") : QString());
}

void CMainFrame::UpdateCommands() {
  const std::vector<CQuireDoc*> docs = Documents();
  const bool hasDoc = !docs.empty();
  const bool debugging = m_app.LinkState().bDebugging;
  bool anyModified = false;
  for (CQuireDoc* doc : docs) anyModified = anyModified || doc->IsModified();

  for (int id : {kFileClose, kCloseAll, kCloseAllButThis, kFileSave, kFileSaveAs, kFilePrint, kFilePrintPreview,
                 kEditCut, kEditCopy, kEditClear, kEditSelectAll, kComment,
                 kUncomment, kAutoIndent, kIndent, kUnindent, kToggleBreakpoint, kClearAllBreakpoints,
                 kToggleLineNumbers, kToggleSelectionMargin, kToggleFoldingMargin, kZoomIn, kZoomOut, kZoomReset,
                 kUpperCase, kLowerCase, kFindReplace, kFindNextAgain, kFindPreviousAgain, kGotoLine, kGotoPosition})
    Action(id)->setEnabled(hasDoc);
  for (int id : {kNextDocument, kPreviousDocument}) Action(id)->setEnabled(docs.size() > 1);
  if (CQuireDoc* doc = ActiveDocument()) {
    Action(kToggleLineNumbers)->setChecked(doc->View()->GetDisplayLineNumbers());
    Action(kToggleSelectionMargin)->setChecked(doc->View()->GetDisplaySelection());
    Action(kToggleFoldingMargin)->setChecked(doc->View()->GetDisplayFolding());
  }
  Action(kToggleAllCharacters)->setChecked(m_app.Preferences().view.showAllCharacters);
  Action(kAutocompletion)->setChecked(m_app.Preferences().autoComplete);
  for (int id : {kDescribe, kDoc}) Action(id)->setEnabled(hasDoc);
  UpdateEditCommands();
  Action(kSaveAll)->setEnabled(anyModified);
  Action(kRun)->setEnabled(debugging || hasDoc);
  Action(kRun)->setText(debugging ? tr("Continue") : tr("Run / Debug"));
  for (int id : {kDebugStep, kDebugStepIn, kDebugStepOut, kDebugStop}) Action(id)->setEnabled(debugging);
  UpdateCellCommands();
}

// ---------------------------------------------------------------------------
// Placement and closing

void CMainFrame::ApplyPlacement() {
  const QString group = QStringLiteral("Main");
  const quire::SRect saved{CQuireApp::ProfileInt(group, QStringLiteral("x"), 0),
                           CQuireApp::ProfileInt(group, QStringLiteral("y"), 0),
                           CQuireApp::ProfileInt(group, QStringLiteral("cx"), -1),
                           CQuireApp::ProfileInt(group, QStringLiteral("cy"), -1)};
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const quire::SPlacement placement =
      quire::PlaceWindow(saved, {area.x(), area.y(), area.width(), area.height()});
  setGeometry(placement.rect.x, placement.rect.y, placement.rect.cx, placement.rect.cy);
  if (placement.maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void CMainFrame::SaveWindowState() {
  const QRect frame = geometry();
  const quire::SRect saved =
      quire::SavedPlacement(isMaximized(), {frame.x(), frame.y(), frame.width(), frame.height()});
  const QString group = QStringLiteral("Main");
  CQuireApp::WriteProfileInt(group, QStringLiteral("x"), saved.x);
  CQuireApp::WriteProfileInt(group, QStringLiteral("y"), saved.y);
  CQuireApp::WriteProfileInt(group, QStringLiteral("cx"), saved.cx);
  CQuireApp::WriteProfileInt(group, QStringLiteral("cy"), saved.cy);
  CQuireApp::WriteProfileInt(QStringLiteral("TabDocs"), QStringLiteral("Orientation"),
                             static_cast<int>(m_tabSide));
}

void CMainFrame::WriteSessionLists() {
  std::vector<quire::SOpenDocument> tabs;
  for (CQuireDoc* doc : Documents()) tabs.push_back({doc->Path(), doc->View()->GetCurrentPosition()});
  const quire::SSessionLists lists = quire::SessionListsOf(tabs);
  CIni& file = m_app.UserFile();
  file.WriteArray("OpenFiles", lists.files, quire::kOpenFilesSeparator);
  file.WriteArray("FilesPositions", lists.positions, quire::kListSeparator);
  file.WriteArray("KeyWords", m_app.LinkState().completionWords, quire::kListSeparator, "System");
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  WriteSessionLists();
  QSettings().setValue(QStringLiteral("BarState"), saveState());
  if (!AskToSaveEach(Documents())) {
    event->ignore();
    return;
  }
  for (CQuireDoc* doc : Documents()) RemoveDocument(doc);
  if (m_app.LinkState().bDebugging) Send("dbquit", true);
  SaveWindowState();
  event->accept();
}

void CMainFrame::OnHandOver(const QStringList& files) {
  for (const QString& file : files) OpenArgument(file);
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}
