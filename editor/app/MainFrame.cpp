#include "editor/app/MainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>

#include <chrono>
#include <future>

#include "common/ProgramArgs.h"
#include "common/OctaveText.h"
#include "common/PathCommands.h"
#include "common/Text.h"
#include "common/UserDirs.h"
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

constexpr int kRecentFiles = 4;
const QString kRecentGroup = QStringLiteral("Recent File List");

QString ToQ(const std::string& s) { return QString::fromStdString(s); }

// The same file for two spellings of its path (links, "..").
QString FileKey(const std::string& path) {
  const QFileInfo info(ToQ(path));
  const QString canonical = info.canonicalFilePath();
  return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

std::string WithoutStar(std::string title) {
  if (text::EndsWith(title, "*")) title.pop_back();
  return title;
}

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
  auto onDoc = [this](auto call) {
    return [this, call] {
      if (CQuireDoc* doc = ActiveDocument()) call(doc);
    };
  };
  auto onView = [this](void (CScintillaWnd::*op)()) {
    return [this, op] {
      if (CQuireDoc* doc = ActiveDocument()) (doc->View()->*op)();
      UpdateEditCommands();
    };
  };

  connect(AddAction(kNewFunctionFile, tr("&Function M-File"), QKeySequence(Qt::CTRL | Qt::Key_N)),
          &QAction::triggered, this, [this] { NewFunctionDocument(); });
  connect(AddAction(kNewBlankFile, tr("&Blank M-File")), &QAction::triggered, this, [this] { NewBlankDocument(); });
  connect(AddAction(kFileOpen, tr("&Open..."), QKeySequence::Open), &QAction::triggered, this, [this] {
    const QStringList files = QFileDialog::getOpenFileNames(
        this, tr("Open"), QString(), tr("Octave Files (*.m);;All Files (*)"));
    for (const QString& file : files) OpenDocument(file.toStdString(), true);
  });
  connect(AddAction(kFileClose, tr("&Close")), &QAction::triggered, this,
          onDoc([this](CQuireDoc* d) { CloseDocument(d); }));
  connect(AddAction(kCloseAll, tr("C&lose All")), &QAction::triggered, this, [this] { CloseAll(); });
  connect(AddAction(kCloseAllButThis, tr("Close All &But This")), &QAction::triggered, this,
          [this] { CloseAllButThis(); });
  connect(AddAction(kFileSave, tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S)), &QAction::triggered, this, onDoc([this](CQuireDoc* d) { SaveDocument(d); }));
  connect(AddAction(kFileSaveAs, tr("Save &As...")), &QAction::triggered, this,
          onDoc([this](CQuireDoc* d) { SaveDocumentAs(d); }));
  connect(AddAction(kSaveAll, tr("Save A&ll"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
          &QAction::triggered, this, [this] { SaveAll(); });
  connect(AddAction(kFilePrint, tr("&Print..."), QKeySequence(Qt::CTRL | Qt::Key_P)), &QAction::triggered,
          this, [this] { Print(false); });
  connect(AddAction(kFilePrintPreview, tr("Print Pre&view")), &QAction::triggered, this,
          [this] { Print(true); });
  connect(AddAction(kFilePrintSetup, tr("P&rint Setup...")), &QAction::triggered, this, [this] {
    QPageSetupDialog(m_printer.get(), this).exec();
  });
  connect(AddAction(kAppExit, tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q)), &QAction::triggered, this,
          &QWidget::close);

  connect(AddAction(kEditUndo, tr("&Undo"), QKeySequence::Undo), &QAction::triggered, this,
          onView(&CScintillaWnd::Undo));
  connect(AddAction(kEditRedo, tr("&Redo"), QKeySequence::Redo), &QAction::triggered, this,
          onView(&CScintillaWnd::Redo));
  connect(AddAction(kEditCut, tr("Cu&t"), QKeySequence::Cut), &QAction::triggered, this,
          onView(&CScintillaWnd::Cut));
  connect(AddAction(kEditCopy, tr("&Copy"), QKeySequence::Copy), &QAction::triggered, this,
          onView(&CScintillaWnd::Copy));
  connect(AddAction(kEditPaste, tr("&Paste"), QKeySequence::Paste), &QAction::triggered, this,
          onView(&CScintillaWnd::Paste));
  connect(AddAction(kEditClear, tr("&Delete")), &QAction::triggered, this, onView(&CScintillaWnd::Clear));
  connect(AddAction(kEditSelectAll, tr("Select &All"), QKeySequence::SelectAll), &QAction::triggered, this,
          onView(&CScintillaWnd::SelectAll));
  // The margins belong to each view: a toggle flips the active one's.
  const struct {
    int id;
    const char* text;
    bool (CScintillaWnd::*shown)() const;
    void (CScintillaWnd::*show)(bool);
  } margins[] = {
      {kToggleLineNumbers, "Toggle display of Line Numbers", &CScintillaWnd::GetDisplayLineNumbers,
       &CScintillaWnd::SetDisplayLineNumbers},
      {kToggleSelectionMargin, "Toggle display of Selection/Bookmark margin",
       &CScintillaWnd::GetDisplaySelection, &CScintillaWnd::SetDisplaySelection},
      {kToggleFoldingMargin, "Toggle display of folding margin", &CScintillaWnd::GetDisplayFolding,
       &CScintillaWnd::SetDisplayFolding},
  };
  for (const auto& margin : margins) {
    QAction* action = AddAction(margin.id, tr(margin.text));
    action->setCheckable(true);
    connect(action, &QAction::triggered, this, [this, margin] {
      if (CQuireDoc* doc = ActiveDocument()) {
        CScintillaWnd* view = doc->View();
        (view->*margin.show)(!(view->*margin.shown)());
      }
      UpdateCommands();
    });
  }
  QAction* allCharacters = AddAction(kToggleAllCharacters, tr("Toggle display of All Characters"));
  allCharacters->setCheckable(true);
  connect(allCharacters, &QAction::triggered, this, [this] {
    const bool show = CQuireApp::ProfileInt(QStringLiteral("General"), QStringLiteral("ShowAllCharacters"), 0) == 0;
    CQuireApp::WriteProfileInt(QStringLiteral("General"), QStringLiteral("ShowAllCharacters"), show ? 1 : 0);
    ReloadPreferences();
    UpdateCommands();
  });
  connect(AddAction(kZoomIn, tr("Zoom In"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus)),
          &QAction::triggered, this, onView(&CScintillaWnd::ZoomIn));
  connect(AddAction(kZoomOut, tr("Zoom Out"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Minus)),
          &QAction::triggered, this, onView(&CScintillaWnd::ZoomOut));
  connect(AddAction(kZoomReset, tr("Normal Size")), &QAction::triggered, this,
          onView(&CScintillaWnd::ZoomReset));
  connect(AddAction(kUpperCase, tr("Upper Case")), &QAction::triggered, this,
          onView(&CScintillaWnd::UpperCase));
  connect(AddAction(kLowerCase, tr("Lower Case")), &QAction::triggered, this,
          onView(&CScintillaWnd::LowerCase));
  connect(AddAction(kComment, tr("Co&mment"), QKeySequence(Qt::CTRL | Qt::Key_R)), &QAction::triggered, this,
          onView(&CScintillaWnd::CommentSelection));
  connect(AddAction(kUncomment, tr("U&ncomment"), QKeySequence(Qt::CTRL | Qt::Key_T)), &QAction::triggered,
          this, onView(&CScintillaWnd::UncommentSelection));
  connect(AddAction(kAutoIndent, tr("Auto-&Indent"), QKeySequence(Qt::CTRL | Qt::Key_I)), &QAction::triggered,
          this, onView(&CScintillaWnd::AutoIndent));
  connect(AddAction(kIndent, tr("Indent")), &QAction::triggered, this, onView(&CScintillaWnd::IndentSelection));
  connect(AddAction(kUnindent, tr("Unindent")), &QAction::triggered, this,
          onView(&CScintillaWnd::UnindentSelection));

  connect(AddAction(kRun, tr("Run / Debug"), QKeySequence(Qt::Key_F5)), &QAction::triggered, this, &CMainFrame::Run);
  connect(AddAction(kToggleBreakpoint, tr("Set / Clear &breakpoint"), QKeySequence(Qt::Key_F12)),
          &QAction::triggered, this, &CMainFrame::ToggleBreakpoint);
  connect(AddAction(kClearAllBreakpoints, tr("Clear breakpoints in All Files")), &QAction::triggered, this,
          &CMainFrame::ClearAllBreakpoints);
  const struct {
    int id;
    const char* text;
    QKeySequence key;
    const char* command;
  } steps[] = {
      {kDebugStep, "Step", QKeySequence(Qt::Key_F10), "dbstep"},
      {kDebugStepIn, "Step In", QKeySequence(Qt::Key_F11), "dbstep in"},
      {kDebugStepOut, "Step Out", QKeySequence(Qt::SHIFT | Qt::Key_F11), "dbstep out"},
      {kDebugStop, "Stop", QKeySequence(Qt::SHIFT | Qt::Key_F5), "dbquit"},
  };
  for (const auto& step : steps) {
    const std::string command = step.command;
    connect(AddAction(step.id, tr(step.text), step.key), &QAction::triggered, this,
            [this, command] { Send(command, false); });
  }

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

CQuireDoc* CMainFrame::FindDocument(const std::string& path) const {
  if (path.empty()) return nullptr;
  const QString key = FileKey(path);
  for (CQuireDoc* doc : Documents())
    if (doc->HasPath() && FileKey(doc->Path()) == key) return doc;
  return nullptr;
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
  const int index = m_tabs->addTab(doc, ToQ(doc->Title()));
  m_tabs->setTabToolTip(index, ToQ(doc->Path()));
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

CQuireDoc* CMainFrame::NewBlankDocument() {
  std::vector<std::string> titles;
  for (CQuireDoc* doc : Documents()) titles.push_back(doc->Title());
  CQuireDoc* doc = CreateDocument();
  doc->SetTitle(quire::NextUntitledTitle(titles));
  AddDocument(doc);
  return doc;
}

CQuireDoc* CMainFrame::OpenDocument(const std::string& path, bool report) {
  if (CQuireDoc* open = FindDocument(path)) {
    Activate(open);
    return open;
  }
  const std::string absolute = QFileInfo(ToQ(path)).absoluteFilePath().toStdString();
  switch (quire::KindOfFileToOpen(absolute)) {
    case quire::FileKind::NotAFile:
      // A pipe or a device would never end; a folder has no text.
      if (report) m_app.Questions().ShowWarning(this, tr("%1 is not a file that can be opened.").arg(ToQ(path)));
      return nullptr;
    case quire::FileKind::Large:
      if (!m_app.Questions().AskOpenLargeFile(this, tr("%1 is larger than %2 MB. Open it anyway?")
                                      .arg(ToQ(path))
                                      .arg(quire::kAskBeforeOpeningBytes >> 20)))
        return nullptr;
      break;
    case quire::FileKind::Regular:
    case quire::FileKind::Missing:
      break;
  }
  CQuireDoc* doc = CreateDocument();
  if (path.empty() || !doc->Load(absolute)) {
    delete doc;
    if (report) m_app.Questions().ShowWarning(this, tr("Cannot open the file %1.").arg(ToQ(path)));
    return nullptr;
  }
  AddDocument(doc);
  // The caret goes where it was when the file was last open.
  std::vector<std::string> files;
  std::vector<std::string> positions;
  m_app.UserFile().GetArray("OpenFiles", files, quire::kOpenFilesSeparator);
  m_app.UserFile().GetArray("FilesPositions", positions, quire::kListSeparator);
  if (const std::optional<long> caret = quire::SavedCaretPosition(absolute, files, positions))
    doc->View()->GotoPosition(*caret);
  AddRecentFile(absolute);
  return doc;
}

bool CMainFrame::SaveDocument(CQuireDoc* doc) {
  if (!doc) return false;
  if (!doc->HasPath()) return SaveDocumentAs(doc);
  if (!doc->SaveTo(doc->Path())) {
    m_app.Questions().ShowWarning(this, tr("Cannot save the file %1.").arg(ToQ(doc->Path())));
    return false;
  }
  AddRecentFile(doc->Path());
  return true;
}

bool CMainFrame::SaveDocumentAs(CQuireDoc* doc) {
  if (!doc) return false;
  const std::string declared = quire::ProposeFunctionName(doc->View()->GetText());
  const QFileInfo current(ToQ(doc->Path()));
  const QString folder = doc->HasPath() ? current.absolutePath() : QDir::currentPath();
  QString name;
  if (!declared.empty())
    name = ToQ(declared) + QStringLiteral(".m");
  else if (doc->HasPath())
    name = current.fileName();
  else
    name = ToQ(WithoutStar(doc->Title())) + QStringLiteral(".m");
  const QString chosen = m_app.Questions().ChooseSaveName(this, QDir(folder).filePath(name));
  if (chosen.isEmpty()) return false;
  const std::string path = QFileInfo(chosen).absoluteFilePath().toStdString();
  if (!doc->SaveTo(path)) {
    m_app.Questions().ShowWarning(this, tr("Cannot save the file %1.").arg(chosen));
    return false;
  }
  AddRecentFile(path);
  return true;
}

void CMainFrame::SaveAll() {
  CQuireDoc* selected = ActiveDocument();
  for (CQuireDoc* doc : Documents()) {
    if (!doc->HasPath() || !doc->IsModified()) continue;
    Activate(doc);
    SaveDocument(doc);
  }
  Activate(selected);
}

bool CMainFrame::CloseDocument(CQuireDoc* doc, bool ask) {
  if (!doc) return false;
  if (ask && doc->IsModified()) {
    switch (m_app.Questions().AskSaveChanges(this, ToQ(WithoutStar(doc->Title())))) {
      case SaveChoice::Save:
        if (!SaveDocument(doc)) return false;
        break;
      case SaveChoice::Discard:
        break;
      case SaveChoice::Cancel:
        return false;
    }
  }
  RemoveDocument(doc);
  return true;
}

bool CMainFrame::CloseAll() {
  // Every question first: a cancel leaves all documents open.
  const std::vector<CQuireDoc*> docs = Documents();
  for (CQuireDoc* doc : docs) {
    if (!doc->IsModified()) continue;
    Activate(doc);
    const SaveChoice choice = m_app.Questions().AskSaveChanges(this, ToQ(WithoutStar(doc->Title())));
    if (choice == SaveChoice::Cancel || (choice == SaveChoice::Save && !SaveDocument(doc))) return false;
  }
  for (CQuireDoc* doc : docs) RemoveDocument(doc);
  return true;
}

bool CMainFrame::CloseAllButThis() {
  CQuireDoc* kept = ActiveDocument();
  std::vector<CQuireDoc*> others;
  for (CQuireDoc* doc : Documents())
    if (doc != kept) others.push_back(doc);
  for (CQuireDoc* doc : others) {
    if (!doc->IsModified()) continue;
    Activate(doc);
    const SaveChoice choice = m_app.Questions().AskSaveChanges(this, ToQ(WithoutStar(doc->Title())));
    if (choice == SaveChoice::Cancel || (choice == SaveChoice::Save && !SaveDocument(doc))) {
      Activate(kept);
      return false;
    }
  }
  for (CQuireDoc* doc : others) RemoveDocument(doc);
  Activate(kept);
  return true;
}

void CMainFrame::OnTitleChanged(CQuireDoc* doc) {
  const int index = m_tabs->indexOf(doc);
  if (index < 0) return;
  m_tabs->setTabText(index, ToQ(doc->Title()));
  m_tabs->setTabToolTip(index, ToQ(doc->Path()));
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

void CMainFrame::AddRecentFile(const std::string& path) {
  QSettings store;
  store.beginGroup(kRecentGroup);
  QStringList files;
  for (int i = 1; i <= kRecentFiles; ++i) {
    const QString file = store.value(QStringLiteral("File%1").arg(i)).toString();
    if (!file.isEmpty() && file != ToQ(path)) files << file;
  }
  files.prepend(ToQ(path));
  for (int i = 1; i <= kRecentFiles; ++i) {
    if (i <= files.size())
      store.setValue(QStringLiteral("File%1").arg(i), files[i - 1]);
    else
      store.remove(QStringLiteral("File%1").arg(i));
  }
}

void CMainFrame::FillRecentMenu() {
  m_recentMenu->clear();
  QSettings store;
  store.beginGroup(kRecentGroup);
  for (int i = 1; i <= kRecentFiles; ++i) {
    const QString file = store.value(QStringLiteral("File%1").arg(i)).toString();
    if (file.isEmpty()) continue;
    QAction* action = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(i).arg(file));
    connect(action, &QAction::triggered, this, [this, file] { OpenDocument(file.toStdString(), true); });
  }
  m_recentMenu->setEnabled(!m_recentMenu->isEmpty());
}

// ---------------------------------------------------------------------------
// Caption, status and command states

void CMainFrame::UpdateCaption() {
  CQuireDoc* doc = ActiveDocument();
  const std::string caption =
      quire::FrameCaption(doc ? std::optional<std::string>(doc->Title()) : std::nullopt);
  setWindowTitle(ToQ(caption));
  // The console finds this window by its caption.
  if (m_endpoint.IsOpen()) {
    m_endpoint.SetTitle(caption);
    return;
  }
  auto closing = m_closing;
  m_endpoint.Open(caption, [this, closing](const std::string& text) {
    if (*closing) return;
    // The sender waits until the dispatcher has run on this window's thread.
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    QMetaObject::invokeMethod(
        this,
        [this, text, done] {
          OnCopyData(text);
          done->set_value();
        },
        Qt::QueuedConnection);
    while (finished.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
      if (*closing) return;
  });
}

QString CMainFrame::StatusText() const { return m_position->text(); }

void CMainFrame::UpdateStatus() {
  CQuireDoc* doc = ActiveDocument();
  if (!doc) {
    m_position->clear();
    m_overtype->clear();
    return;
  }
  m_position->setText(ToQ(doc->View()->GetStatusText()));
  m_overtype->setText(doc->View()->GetOverstrike() ? tr("OVR") : QString());
}

void CMainFrame::UpdateEditCommands() {
  CQuireDoc* doc = ActiveDocument();
  CScintillaWnd* view = doc ? doc->View() : nullptr;
  Action(kEditUndo)->setEnabled(view && view->CanUndo());
  Action(kEditRedo)->setEnabled(view && view->CanRedo());
  Action(kEditPaste)->setEnabled(view && view->CanPaste());
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
  for (CQuireDoc* doc : Documents()) {
    if (!doc->IsModified()) continue;
    Activate(doc);
    const SaveChoice choice = m_app.Questions().AskSaveChanges(this, ToQ(WithoutStar(doc->Title())));
    if (choice == SaveChoice::Cancel || (choice == SaveChoice::Save && !SaveDocument(doc))) {
      event->ignore();
      return;
    }
  }
  for (CQuireDoc* doc : Documents()) RemoveDocument(doc);
  if (m_app.LinkState().bDebugging) Send("dbquit", true);
  SaveWindowState();
  event->accept();
}

CQuireDoc* CMainFrame::OpenArgument(const QString& argument) {
  const SFileLine target = SplitFileLine(argument.toStdString(), [](const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).isFile();
  });
  CQuireDoc* doc = OpenDocument(target.path, true);
  if (doc && target.line > 0) doc->View()->GotoLine(target.line);
  return doc;
}

void CMainFrame::OnHandOver(const QStringList& files) {
  for (const QString& file : files) OpenArgument(file);
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

// ---------------------------------------------------------------------------
// Printing

void CMainFrame::Print(bool preview) {
  if (!ActiveDocument()) return;
  if (preview) {
    QPrintPreviewDialog dialog(m_printer.get(), this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, &CMainFrame::PrintDocument);
    dialog.exec();
    return;
  }
  QPrintDialog dialog(m_printer.get(), this);
  if (dialog.exec() == QDialog::Accepted) PrintDocument(m_printer.get());
}

void CMainFrame::PrintDocument(QPrinter* printer) {
  CQuireDoc* doc = ActiveDocument();
  if (!doc) return;
  QPainter painter(printer);
  const QRect page(QPoint(0, 0), printer->pageLayout().paintRectPixels(printer->resolution()).size());
  const long length = doc->View()->GetLength();
  for (long position = 0; position < length;) {
    const long next = doc->View()->FormatRange(true, &painter, page, position, length);
    if (next <= position) break;  // nothing more fits: do not loop for ever
    position = next;
    if (position < length) printer->newPage();
  }
}

// ---------------------------------------------------------------------------
// Run and debug

bool CMainFrame::Send(const std::string& text, bool ask) { return m_app.SendToConsole(text, false, ask); }

std::string CMainFrame::GetScriptName(CQuireDoc* doc) {
  SLinkState& link = m_app.LinkState();
  const std::string name = doc->ScriptName();
  link.lastTargetPath = doc->Path();
  link.lastTargetView = doc;
  link.lastTargetName = name;
  return name;
}

void CMainFrame::Run() {
  if (m_app.LinkState().bDebugging) {
    Send("dbcont", false);
    return;
  }
  CQuireDoc* doc = ActiveDocument();
  if (!doc || !doc->HasPath()) return;
  // The interpreter runs the file on disk: it must hold what is shown.
  if (doc->IsModified() && !SaveDocument(doc)) return;
  GetScriptName(doc);  // an error answer may offer to fix the path for it
  Send(quire_link::RunFileCommand(doc->Path()), false);
}

void CMainFrame::ToggleBreakpoint() {
  if (CQuireDoc* doc = ActiveDocument()) ToggleBreakpointAt(doc, doc->View()->GetCurrentLine());
}

void CMainFrame::ToggleBreakpointAt(CQuireDoc* doc, int line) {
  CScintillaWnd* view = doc->View();
  const bool debugging = m_app.LinkState().bDebugging;
  if (view->HasMarker(line, CScintillaWnd::BREAKPOINT_MARKER)) {
    view->DeleteMarker(line, CScintillaWnd::BREAKPOINT_MARKER);
    Send(quire_link::ClearBreakpointCommand(GetScriptName(doc), line, debugging), true);
    return;
  }
  const int landed = view->AddMarker(line, CScintillaWnd::BREAKPOINT_MARKER);
  // No code line follows: nothing to send. On the first line the interpreter
  // decides where the stop lands.
  if (landed < 0) return;
  Send(quire_link::SetBreakpointCommand(GetScriptName(doc), landed + 1, debugging), true);
}

void CMainFrame::OnValueHover(CQuireDoc* doc, long position, const QPoint& global) {
  SLinkState& link = m_app.LinkState();
  if (!link.bDebugging || link.bDescribePending || position < 0) return;
  // Only names in code: a word in a comment or a string is text, a keyword or
  // a number has no value of its own.
  if (!CScintillaWnd::IsNameStyle(doc->View()->GetStyleAt(position))) return;
  std::string word;
  CScintillaWnd::CharRange range;
  doc->View()->GetWordAt(word, range, false, position);
  word = text::RemoveChars(word, "\r\n");
  if (word.empty()) return;
  link.tipPoint = {global.x(), global.y()};
  link.tipWord = word;
  Send("getvalue:" + word, true);
}

// ---------------------------------------------------------------------------
// Link

void CMainFrame::OnCopyData(const std::string& text) {
  m_dispatcher.Dispatch(text);
  UpdateCommands();
}

void CMainFrame::ReloadPreferences() {
  m_app.ReloadPreferences();
  for (CQuireDoc* doc : Documents()) {
    doc->View()->ApplyTabSettings();
    doc->View()->SetShowAllCharacters(m_app.Preferences().view.showAllCharacters);
  }
}

bool CMainFrame::CallTipsEnabled() { return m_app.Preferences().callTips; }

void CMainFrame::ShowHtmlTip(const std::string& html) {
  const STipPoint at = m_app.LinkState().tipPoint;
  m_app.Questions().ShowHtmlTip(QPoint(at.x, at.y), ToQ(html), this);
}

void CMainFrame::ShowCallTip() {
  if (CQuireDoc* doc = ActiveDocument()) doc->View()->ShowCallTip(m_app.LinkState().callTipLines, 0, 0);
}

void CMainFrame::OpenOrActivate(const std::string& path) {
  m_bStopFileOpen = OpenDocument(path, false) != nullptr;
}

void CMainFrame::GotoLine(long line) {
  if (CQuireDoc* doc = ActiveDocument()) doc->View()->GotoLine(static_cast<int>(line));
}

void CMainFrame::ShowDebugArrow(long line) {
  // One arrow in the whole editor: a stop in another file moves it there.
  for (CQuireDoc* doc : Documents()) doc->RemoveDebugArrow();
  if (!m_bStopFileOpen) return;  // never into a file the stop is not in
  if (CQuireDoc* doc = ActiveDocument()) doc->ShowDebugArrow(static_cast<int>(line));
  if (isVisible()) {
    raise();
    activateWindow();
  }
}

void CMainFrame::ClearAllBreakpoints() {
  for (CQuireDoc* doc : Documents()) {
    if (doc->HasBreakpoints()) {
      Send(quire_link::ClearFileBreakpointsCommand(doc->ScriptName()), true);
      doc->RemoveBreakpointMarkers();
    }
    // Also the arrow of a file without breakpoints: debugging is over.
    doc->RemoveDebugArrow();
  }
}

void CMainFrame::StartErrorWorker(const SErrorReport& report) {
  if (m_errorWorker.joinable()) m_errorWorker.join();
  m_errorWorker = std::thread([this, report] {
    const quire_link::ErrorAction action =
        quire_link::DecideErrorAction(report.errorText, report.lastTargetName);
    if (action == quire_link::ErrorAction::None) return;
    // The question is asked on the window's thread once the sender was released.
    QMetaObject::invokeMethod(
        this, [this, action, report] { HandleErrorAction(action, report); }, Qt::QueuedConnection);
  });
}

void CMainFrame::HandleErrorAction(quire_link::ErrorAction action, const SErrorReport& report) {
  if (action == quire_link::ErrorAction::ClearBreakpointsAndOffer && IsLive(report.lastTargetView) &&
      static_cast<const CQuireDoc*>(report.lastTargetView)->HasBreakpoints())
    ClearAllBreakpoints();
  OfferPathFix(report.lastTargetPath);
}

void CMainFrame::OfferPathFix(const std::string& path) {
  const std::string folder = quire_link::FolderOf(path);
  if (folder.empty()) return;  // nothing to change to or add
  switch (m_app.Questions().AskPathFix(this, QString::fromLatin1(quire_link::kPathFixQuestion))) {
    case PathFixChoice::ChangeDirectory:
      Send(quire_link::ChangeDirectoryCommand(folder), true);
      break;
    case PathFixChoice::AddToPath:
      Send(path_commands::AddPath({folder}), true);
      break;
    case PathFixChoice::Cancel:
      break;
  }
}
