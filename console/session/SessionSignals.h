// The flags and events that the session's threads share.
#pragma once

#include <atomic>

#include "console/session/Events.h"

struct CSessionSignals {
  // Reset by the dispatcher before it writes a command, set when its answer is
  // complete (or by Disconnect, to release a waiting dispatcher).
  CManualResetEvent m_hReadyEvent{true};
  std::atomic<bool> g_bConnected{false};
  std::atomic<bool> g_bRefreshWorkspace{false};
  std::atomic<bool> g_bRefreshPath{false};
  std::atomic<bool> g_bRefreshPackages{false};
  // Wake the dispatcher when a command is queued and the session worker when it
  // has something to do, instead of at the end of their idle period.
  CWakeSignal m_dispatcherWake;
  CWakeSignal m_workerWake;

  void Raise(std::atomic<bool>& refreshFlag) {
    refreshFlag = true;
    m_workerWake.Notify();
  }
  void AnswerComplete() {
    m_hReadyEvent.Set();
    m_workerWake.Notify();
  }
};
