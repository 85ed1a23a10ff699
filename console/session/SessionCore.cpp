#include "console/session/SessionCore.h"

#include <chrono>

#include "common/Text.h"
#include "console/session/InterpreterDialect.h"
#include "console/session/ValueRequest.h"
#include "console/session/OutputForms.h"

namespace {

constexpr auto kIdlePeriod = std::chrono::milliseconds(100);
constexpr const char* kPopulating = "Populating list. Please wait...";
// The line end the interpreter expects on this platform.
#ifdef _WIN32
constexpr std::string_view kLineEnd = "\r\n";
#else
constexpr std::string_view kLineEnd = "\n";
#endif

}  // namespace

CSessionCore::CSessionCore(const SessionViews& views, const std::string& dataDir,
                           CHistoryStore& history)
    : m_views(views), m_dataDir(dataDir), m_history(history),
      m_redirector(m_signals, views, m_history) {
  if (!m_dataDir.empty()) m_userData.SetPath(m_dataDir + "userpaths.dat");
}

void CSessionCore::SetViews(const SessionViews& views) {
  m_views = views;
  m_redirector.SetViews(views);
}

CSessionCore::~CSessionCore() {
  StopDispatcher();
  m_redirector.Stop();
}

bool CSessionCore::EnqueueCommand(const std::string& text, bool echo,
                                  std::function<void()> onAnswered) {
  m_commandQueue.Push(CommandRecord{text, echo, std::move(onAnswered), false, {}});
  m_signals.m_dispatcherWake.Notify();
  return true;
}

void CSessionCore::EnqueueQuestion(const std::string& text,
                                   std::function<void(const std::string&)> onAnswer) {
  m_commandQueue.Push(CommandRecord{text, false, {}, false, std::move(onAnswer)});
  m_signals.m_dispatcherWake.Notify();
}

void CSessionCore::EnqueueTyped(const std::string& line) {
  m_commandQueue.Push(CommandRecord{line, true, {}, true, {}});
  m_signals.m_dispatcherWake.Notify();
}

void CSessionCore::PushEditorRequest(const std::string& text) {
  m_editorRequestQueue.Push(text::RemoveChars(text, "\r\n"));
  m_signals.m_workerWake.Notify();
}

bool CSessionCore::Interrupt() {
  m_redirector.ExpectInterruptPrompts();
  const bool signalled = m_redirector.Interrupt();
  m_redirector.Write(kLineEnd);
  return signalled;
}

void CSessionCore::StartDispatcher() {
  if (m_dispatcher.joinable()) return;
  m_bDispatcherRunning = true;
  m_dispatcher = std::thread([this] { DispatchCommands(); });
}

void CSessionCore::StopDispatcher() {
  m_bDispatcherRunning = false;
  m_signals.m_dispatcherWake.Notify();
  m_signals.m_hReadyEvent.Set();  // a dispatcher waiting for an answer goes on
  if (m_dispatcher.joinable()) m_dispatcher.join();
}

bool CSessionCore::DispatcherIdle() const {
  return !m_bHandling && m_commandQueue.Count() == 0;
}

void CSessionCore::DispatchCommands() {
  while (m_bDispatcherRunning) {
    CommandRecord record;
    while (m_bDispatcherRunning && m_commandQueue.Pop(record)) {
      m_bHandling = true;
      Dispatch(record);
      if (record.onAnswered) record.onAnswered();
      ++m_dispatchedCount;
      m_bHandling = false;
      m_signals.m_workerWake.Notify();
      if (m_onDispatched) m_onDispatched();
    }
    if (m_bDispatcherRunning) m_signals.m_dispatcherWake.WaitFor(kIdlePeriod);
  }
}

void CSessionCore::WritePrompt() {
  m_views.console->AppendOutput(m_redirector.CurrentPrompt(), {},
                                m_views.settings->GetInt("General", "MaxLines", 2000));
}

std::string CSessionCore::Adapted(const std::string& text) const {
  return AdaptForInterpreter(text, m_interpreterVersion);
}

void CSessionCore::Dispatch(const CommandRecord& record) {
  if (record.onAnswer) {
    m_redirector.m_bExpectAnswer = true;
    Send(ClassifiedCommand{CommandKind::Ordinary, record.text, {}, true, false}, false);
    m_redirector.m_bExpectAnswer = false;
    record.onAnswer(m_redirector.TakeAnswer());
    return;
  }
  const ClassifiedCommand command = ClassifyCommand(record.text);
  // A typed line is on the screen already and moves past the output now.
  const bool shown = record.typed || (record.echo && !command.silence);
  if (record.typed) Echo(record.text, true);
  else if (shown) Echo(Shown(command.text), false);
  COctaveRedirector& r = m_redirector;

  switch (command.kind) {
    case CommandKind::Exit:
      // When the user keeps the program open, later commands still run.
      if (m_views.host->ExitApplication()) m_bDispatcherRunning = false;
      else WritePrompt();
      m_signals.m_hReadyEvent.Set();
      return;
    case CommandKind::Clear:
      m_signals.Raise(m_signals.g_bRefreshWorkspace);
      break;
    case CommandKind::ClearConsole:
      m_views.console->ResetTo(r.CurrentPrompt());
      m_signals.m_hReadyEvent.Set();
      return;
    case CommandKind::Doc:
      m_views.host->ShowHelpTopic(command.argument);
      if (!text::EndsWith(command.text, kOwnEnding)) WritePrompt();
      m_signals.m_hReadyEvent.Set();
      return;
    case CommandKind::ChangeDirectory:
      if (m_views.host->ChangeCurrentDirectory(command.argument) == 0) WritePrompt();
      m_signals.m_hReadyEvent.Set();
      return;
    case CommandKind::PathQuery:
      r.m_bExpectPath = true;
      m_views.searchPath->SetRows({ListRow{{kPopulating}, -1}});
      break;
    case CommandKind::PackageQuery:
      r.m_bExpectPackages = true;
      m_views.packages->SetRows({ListRow{{"", "", kPopulating, ""}, -1}});
      break;
    case CommandKind::Help:
      r.m_bExpectHelp = true;
      break;
    case CommandKind::EditorHelp:
      r.m_bExpectEditorHelp = true;
      break;
    case CommandKind::PackageChange:
      m_signals.Raise(m_signals.g_bRefreshPackages);
      // An install compiles with pauses in its output: the package query that
      // follows must not be written before the install's own prompt.
      r.m_bAwaitPrompt = true;
      break;
    case CommandKind::PathChange:
      m_signals.Raise(m_signals.g_bRefreshPath);
      break;
    case CommandKind::Value:
      // Only a variable of the current frame is read; any other text is not run.
      if (!IsListedVariableOrField(command.text, m_views.workspace->Rows())) {
        m_signals.m_hReadyEvent.Set();
        return;
      }
      r.m_bExpectValue = true;
      break;
    case CommandKind::EditorCompletion:
      r.m_bCompletionForEditor = true;
      r.m_bExpectCompletion = true;
      break;
    case CommandKind::Completion:
      r.m_bCompletionForEditor = false;
      r.m_bExpectCompletion = true;
      break;
    case CommandKind::MatrixExport:
      r.m_bExpectMatrix = true;
      break;
    case CommandKind::Ordinary:
      break;
  }
  Send(command, shown);
}

void CSessionCore::Echo(const std::string& text, bool typed) {
  const bool command = m_views.console->EchoCommand(text);
  // Answers to input() and keyboard are not commands; typed cell markers are not kept.
  if (!command || text.empty() || (typed && text::Contains(text, "%--"))) return;
  m_history.AddHistoryEntry(text, true);
}

std::string CSessionCore::Shown(const std::string& text) const {
  // Shown as the interpreter gets it, without the program's own end marker, so
  // that running it again from the history does the same.
  const std::string written = Adapted(text);
  return text::EndsWith(written, kOwnEnding) ? written.substr(0, written.size() - kOwnEnding.size() + 1)
                                             : written;
}

void CSessionCore::Send(const ClassifiedCommand& command, bool shown) {
  const std::string written = Adapted(command.text);
  // The program's own silent queries do not change what the user is told.
  if (shown && m_onBusyChanged) m_onBusyChanged(true, command.text);
  m_signals.m_hReadyEvent.Reset();
  // Busy before the write: the answer may come back before the next line runs.
  m_redirector.m_bBusy = true;
  // A command written while no interpreter runs is lost; the next answer or a
  // disconnection releases the wait.
  m_redirector.Write(written + std::string(kLineEnd));
  // The answer, a disconnection or a stop releases the wait; a stop or the
  // interpreter's end that came just before the reset above is seen here too.
  while (!m_signals.m_hReadyEvent.WaitFor(std::chrono::milliseconds(100))) {
    if (!m_bDispatcherRunning || !m_redirector.IsRunning()) break;
  }
  m_redirector.m_bAwaitPrompt = false;
  // Output without a prompt waits for an answer (input()): still busy.
  if (shown && m_onBusyChanged && output_forms::EndsWithPrompt(m_views.console->Tail(10)))
    m_onBusyChanged(false, {});
  if (command.refreshTest && MayChangeWorkspace(command.text)) {
    m_signals.Raise(m_signals.g_bRefreshWorkspace);
  }
}
