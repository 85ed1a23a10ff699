#include "console/session/SessionWorker.h"

#include <sys/stat.h>

#include "common/FolderList.h"
#include "common/OctaveQuote.h"
#include "common/PathCommands.h"
#include "common/Text.h"
#include "common/UserDirs.h"
#include "console/session/OutputForms.h"
#include "console/session/StartupCommands.h"

namespace {

using namespace std::chrono_literals;
constexpr auto kIdlePeriod = 100ms;
constexpr auto kWorkspaceQueryGap = 2000ms;
// Lets the output of a command settle before the workspace is asked for.
constexpr auto kWorkspaceSettle = 200ms;
constexpr auto kQuitGrace = 500ms;
constexpr auto kStartupCommandsWait = 10000ms;

bool IsFolder(const std::string& path) {
  struct stat info{};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

CSessionWorker::CSessionWorker(CSessionCore& core) : m_core(core) {}

CSessionWorker::~CSessionWorker() { Shutdown(); }

void CSessionWorker::SetState(State state) {
  {
    std::lock_guard lock(m_stateMutex);
    m_state = state;
  }
  m_stateChanged.notify_all();
}

CSessionWorker::State CSessionWorker::WaitWhileStarting(std::chrono::milliseconds timeout) {
  std::unique_lock lock(m_stateMutex);
  m_stateChanged.wait_for(lock, timeout, [this] { return m_state != State::Starting; });
  return m_state;
}

bool CSessionWorker::WaitEnded(std::chrono::milliseconds timeout) {
  std::unique_lock lock(m_stateMutex);
  return m_stateChanged.wait_for(lock, timeout, [this] { return m_workerEnded; });
}

bool CSessionWorker::Connect(const std::string& commandLine) {
  JoinWorker();
  const SessionViews& views = m_core.Views();
  views.console->ResetTo("");
  // An interpreter started ahead with this command line is taken as it is: its
  // output has waited for the console.
  COctaveRedirector& redirector = m_core.Redirector();
  const bool started = redirector.StartReading(commandLine) || redirector.Start(commandLine);
  {
    std::lock_guard lock(m_stateMutex);
    m_workerEnded = false;
    m_state = State::Starting;
  }
  m_bWorkerRunning = true;
  m_workerThread = std::thread([this] { SessionWorkerProc(); });
  return started;
}

void CSessionWorker::SaveHistory() {
  if (!m_core.DataDir().empty() && m_core.History().Count() > 0) {
    m_core.History().SaveHistory(m_core.UserData());
  }
}

void CSessionWorker::Disconnect() {
  SaveHistory();
  m_core.EnqueueCommand(std::string(kQuitCommand), false);
  CSessionSignals& signals = m_core.Signals();
  signals.m_hReadyEvent.Set();
  m_core.Redirector().m_bBusy = false;
  // The interpreter gets half a second to quit by itself.
  m_core.Redirector().WaitChildEnded(static_cast<int>(kQuitGrace.count()));
  m_core.m_commandQueue.Clear();
  m_core.Redirector().TerminateChild();
}

void CSessionWorker::Shutdown() {
  SaveHistory();
  m_bWorkerRunning = false;
  m_core.Signals().m_workerWake.Notify();
  // The worker's own waits are bounded; it is joined, never left running on
  // the session it uses. The caller keeps the GUI thread serving its calls.
  if (m_workerThread.joinable()) m_workerThread.join();
  // The worker tore the session down as it ended, unless it was refused.
  if (m_state == State::Refused) TearDown();
}

void CSessionWorker::JoinWorker() {
  m_bWorkerRunning = false;
  m_core.Signals().m_workerWake.Notify();
  if (m_workerThread.joinable()) m_workerThread.join();
}

void CSessionWorker::SessionWorkerProc() {
  CSessionSignals& signals = m_core.Signals();
  const SessionViews& views = m_core.Views();
  signals.g_bConnected = false;
  signals.g_bRefreshPackages = false;
  signals.g_bRefreshPath = false;
  signals.g_bRefreshWorkspace = false;
  m_lastWorkspaceQuery.reset();
  views.console->SetReadOnly(true);

  bool startupPending = true;
  bool refused = false;
  while (m_bWorkerRunning) {
    if (startupPending) {
      if (text::EndsWith(views.console->Tail(3), output_forms::kPrompt)) {
        startupPending = false;
        if (!RunStartup()) {
          refused = true;
          break;
        }
        continue;
      }
      signals.m_workerWake.WaitFor(kIdlePeriod);
      continue;
    }
    if (!signals.g_bConnected) break;  // the interpreter has gone
    ServeDuties();
  }

  if (refused) {
    // The interpreter keeps running until Connect or Disconnect.
    SetState(State::Refused);
  } else {
    TearDown();
  }
  {
    std::lock_guard lock(m_stateMutex);
    m_workerEnded = true;
  }
  m_stateChanged.notify_all();
}

void CSessionWorker::TearDown() {
  SetState(State::TearingDown);
  const SessionViews& views = m_core.Views();
  views.console->SetReadOnly(true);
  m_core.Redirector().Stop();
  m_core.Redirector().TerminateChild();
  views.console->AppendOutput(std::string(kDisconnectedNotice), {},
                              views.settings->GetInt("General", "MaxLines", 2000));
  // Disconnected before the controls follow, so that Connect is offered again.
  m_core.Signals().g_bConnected = false;
  views.host->SetSessionControlsEnabled(false);
  SetState(State::NoSession);
}

bool CSessionWorker::RunStartup() {
  const SessionViews& views = m_core.Views();
  CSessionSignals& signals = m_core.Signals();
  m_core.m_commandQueue.Clear();  // commands queued before the interpreter was ready

  const auto version = output_forms::BannerVersion(views.console->Text());
  if (!version || *version < output_forms::kOldestVersion) {
    views.host->ShowMessage(kVersionRefused);
    return false;
  }
  m_core.SetInterpreterVersion(*version);
  m_core.EnqueueCommand(EditorSetupCommand(*version, ProgramFolder()), false);
  PrepareWorkingDirectory();
  if (!m_core.DataDir().empty()) {
    m_core.History().LoadHistory(m_core.UserData(),
                                 views.settings->GetInt("General", "MaxHist", 100));
    RestoreUserPaths();
  }
  WaitForStartupCommands();
  // Connected only once the console takes input, so that what is typed from then
  // on is kept; the controls that follow the connection are enabled after it.
  views.console->SetReadOnly(false);
  signals.g_bConnected = true;
  views.host->SetSessionControlsEnabled(true);
  signals.Raise(signals.g_bRefreshWorkspace);
  SetState(State::Connected);
  return true;
}

void CSessionWorker::WaitForStartupCommands() {
  // The console opens for typing once the preparing commands have been answered,
  // so that their prompts cannot land in the middle of what the user types.
  const auto deadline = std::chrono::steady_clock::now() + kStartupCommandsWait;
  while (m_bWorkerRunning && std::chrono::steady_clock::now() < deadline &&
         !(m_core.DispatcherIdle() &&
           output_forms::EndsWithPrompt(m_core.Views().console->Tail(10)))) {
    m_core.Signals().m_workerWake.WaitFor(kIdlePeriod);
  }
}

void CSessionWorker::PrepareWorkingDirectory() {
  ISettings& settings = *m_core.Views().settings;
  std::string folder =
      settings.GetString("Octave", "workpath", m_core.Views().host->WorkingDirectory());
  if (!IsFolder(folder)) {
    // A folder that has gone: the home folder, never the program's own; the
    // root when the home folder is unknown or gone too.
    folder = HomeFolder();
    if (!IsFolder(folder)) folder = "/";
    settings.SetString("Octave", "workpath", folder);
  }
  m_core.Views().host->ChangeCurrentDirectory(LongPathName(folder));
}

void CSessionWorker::RestoreUserPaths() {
  const std::vector<std::string> stored = folder_list::Read(m_core.UserData(), kUserPathsKey);
  std::vector<std::string> kept;
  for (const std::string& folder : stored) {
    if (IsFolder(folder)) kept.push_back(folder);
  }
  folder_list::Write(m_core.UserData(), kUserPathsKey, kept);
  if (kept.empty()) return;
  m_core.EnqueueCommand(path_commands::AddPath(kept), false);
  m_core.Signals().Raise(m_core.Signals().g_bRefreshPath);
}

void CSessionWorker::ServeDuties() {
  CSessionSignals& signals = m_core.Signals();
  const auto now = std::chrono::steady_clock::now();
  auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(kIdlePeriod);

  if (signals.g_bRefreshWorkspace) {
    // The gap keeps repeated listings apart; the first needs none, and its prompt
    // (the last start-up command's) has settled already.
    const auto due = m_lastWorkspaceQuery ? *m_lastWorkspaceQuery + kWorkspaceQueryGap : now;
    if (now >= due) {
      // Only at a prompt, so that a running script is not interrupted by queries.
      if (m_lastWorkspaceQuery) std::this_thread::sleep_for(kWorkspaceSettle);
      if (output_forms::EndsWithPrompt(m_core.Views().console->Tail(10))) {
        m_core.EnqueueCommand(std::string(WORKSPACE_QUERY), false);
        m_lastWorkspaceQuery = std::chrono::steady_clock::now();
        signals.g_bRefreshWorkspace = false;
      }
    } else {
      // Queries stay 2 s apart; the other duties go on meanwhile.
      idle = std::min(idle, std::chrono::ceil<std::chrono::milliseconds>(due - now));
    }
  }

  if (signals.g_bRefreshPath.exchange(false)) {
    m_core.EnqueueCommand(std::string(kPathQuery), false);
  } else if (signals.g_bRefreshPackages.exchange(false)) {
    m_core.EnqueueCommand(std::string(kPackageQuery), false);
  } else if (std::string request; m_core.m_editorRequestQueue.Pop(request)) {
    m_core.EnqueueCommand(request, true);
  } else if (m_bWorkerRunning) {
    signals.m_workerWake.WaitFor(idle);
  }
}
