// CMainFrame's run and debug commands: Run / Continue, the steps, the
// breakpoints, values under the mouse while stopped, and the link's debugging
// answers (the stop arrow, cleared breakpoints, the path fix after an error).
#include <QAction>

#include "common/PathCommands.h"
#include "common/Text.h"
#include "editor/app/CommandIds.h"
#include "editor/app/MainFrame.h"
#include "editor/app/Questions.h"
#include "editor/app/QuireApp.h"
#include "editor/app/QuireDoc.h"
#include "editor/view/ScintillaWnd.h"

using namespace quire_command;

void CMainFrame::CreateDebugActions() {
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
}

// ---------------------------------------------------------------------------
// Run and breakpoints

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

// ---------------------------------------------------------------------------
// Stopped in the debugger

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

// ---------------------------------------------------------------------------
// Errors of a run

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
