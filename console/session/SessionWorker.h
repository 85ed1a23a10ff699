// One connection to the interpreter: Connect starts it and the session worker,
// which prepares the interpreter at its first prompt, schedules the automatic
// re-queries, relays the editor's requests and tears the connection down.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "console/session/SessionCore.h"

class CSessionWorker {
 public:
  enum class State { NoSession, Starting, Refused, Connected, TearingDown };

  explicit CSessionWorker(CSessionCore& core);
  ~CSessionWorker();
  CSessionWorker(const CSessionWorker&) = delete;
  CSessionWorker& operator=(const CSessionWorker&) = delete;

  // Starts the interpreter with the command line (or takes the one the
  // redirector started ahead with it) and the worker. False when the interpreter
  // could not be started (the console says why).
  bool Connect(const std::string& commandLine);
  // Saves the history, asks the interpreter to quit, and ends it 500 ms later.
  void Disconnect();
  // At exit: saves the history and ends the worker, which ends the interpreter.
  void Shutdown();

  State GetState() const { return m_state; }
  // Waits until the state is no longer Starting (or the timeout passes).
  State WaitWhileStarting(std::chrono::milliseconds timeout);
  // Waits until the worker thread has ended (or the timeout passes).
  bool WaitEnded(std::chrono::milliseconds timeout);

 private:
  void SessionWorkerProc();
  // At the interpreter's first prompt; false when its version is refused.
  bool RunStartup();
  void ServeDuties();
  void WaitForStartupCommands();
  void PrepareWorkingDirectory();
  void RestoreUserPaths();
  void TearDown();
  void SaveHistory();
  void JoinWorker();
  void SetState(State state);

  CSessionCore& m_core;
  std::thread m_workerThread;
  std::atomic<bool> m_bWorkerRunning{false};
  std::atomic<State> m_state{State::NoSession};
  // None yet in this session: the first listing follows the first prompt at once.
  std::optional<std::chrono::steady_clock::time_point> m_lastWorkspaceQuery;
  mutable std::mutex m_stateMutex;
  std::condition_variable m_stateChanged;
  bool m_workerEnded = true;
};
