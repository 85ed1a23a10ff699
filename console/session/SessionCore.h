// The heart of the session: the command queue and its dispatcher, the queue of
// the editor's requests, the shared flags and the interpreter's redirector. One
// object lives for the whole run of the program.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "common/Ini.h"
#include "console/command/HistoryStore.h"
#include "console/session/CommandClassifier.h"
#include "console/session/MultiThreadSingleQueue.h"
#include "console/session/OctaveRedirector.h"
#include "console/session/SessionSignals.h"

struct CommandRecord {
  std::string text;  // Octave text without line end
  bool echo = false;  // shown in the console and the history as if typed
  // Called on the dispatcher thread once the command's answer is complete.
  std::function<void()> onAnswered;
  bool typed = false;  // typed in the console, which shows it already
  // Set for the program's questions: the answer, prompt included, comes here on
  // the dispatcher thread and is not shown.
  std::function<void(const std::string& answer)> onAnswer;
};

class CSessionCore {
 public:
  // `dataDir` holds the user data file; empty for none. The history store is the
  // application's, shared with its pane.
  CSessionCore(const SessionViews& views, const std::string& dataDir, CHistoryStore& history);
  ~CSessionCore();
  CSessionCore(const CSessionCore&) = delete;
  CSessionCore& operator=(const CSessionCore&) = delete;
  // The windows, when they are built after the interpreter was started (see
  // CRedirector::StartProcess); before the dispatcher starts.
  void SetViews(const SessionViews& views);

  // Any thread. Always true.
  bool EnqueueCommand(const std::string& text, bool echo, std::function<void()> onAnswered = {});
  // A silent question whose answer goes to `onAnswer` (on the dispatcher thread;
  // empty when the interpreter went away first).
  void EnqueueQuestion(const std::string& text, std::function<void(const std::string&)> onAnswer);
  // A line the user typed in the console and ended with Enter.
  void EnqueueTyped(const std::string& line);
  // A request from the editor; line ends are removed.
  void PushEditorRequest(const std::string& text);
  // The interrupt: SIGINT to the interpreter, then a line end.
  bool Interrupt();

  void StartDispatcher();
  // Ends the dispatcher and waits for it.
  void StopDispatcher();

  // Adapts the program's commands to the interpreter that answered the version
  // check (1000*major + 100*minor + patch).
  void SetInterpreterVersion(long version) { m_interpreterVersion = version; }
  long InterpreterVersion() const { return m_interpreterVersion; }

  // True while nothing is queued and the dispatcher is not handling a command.
  bool DispatcherIdle() const;
  // A command runs or waits: the opposite of idle.
  bool Busy() const { return !DispatcherIdle(); }
  // How many commands the dispatcher has finished with.
  long DispatchedCount() const { return m_dispatchedCount; }
  // Called on the dispatcher thread each time it has finished with a command.
  void SetOnDispatched(std::function<void()> onDispatched) { m_onDispatched = std::move(onDispatched); }
  // Called on the dispatcher thread when a command the user sees is sent (busy,
  // with its text) and when its answer has come (busy until a prompt shows).
  // Set before the dispatcher starts.
  void SetOnBusyChanged(std::function<void(bool busy, const std::string& command)> onBusyChanged) {
    m_onBusyChanged = std::move(onBusyChanged);
  }

  CSessionSignals& Signals() { return m_signals; }
  COctaveRedirector& Redirector() { return m_redirector; }
  CHistoryStore& History() { return m_history; }
  CIni& UserData() { return m_userData; }
  const std::string& DataDir() const { return m_dataDir; }
  const SessionViews& Views() const { return m_views; }

  CMultiThreadSingleQueue<CommandRecord> m_commandQueue;
  CMultiThreadSingleQueue<std::string> m_editorRequestQueue;
  std::atomic<bool> m_bDispatcherRunning{false};

 private:
  void DispatchCommands();
  void Dispatch(const CommandRecord& record);
  void Send(const ClassifiedCommand& command, bool shown);
  // Shows a command in the console; adds it to the history when it follows a prompt.
  void Echo(const std::string& text, bool typed);
  // The text a program command shows: adapted, without its own end marker.
  std::string Shown(const std::string& text) const;
  // The text as the connected interpreter understands it.
  std::string Adapted(const std::string& text) const;
  void WritePrompt();

  SessionViews m_views;
  std::string m_dataDir;
  CSessionSignals m_signals;
  CHistoryStore& m_history;
  CIni m_userData;
  COctaveRedirector m_redirector;
  std::thread m_dispatcher;
  std::atomic<long> m_interpreterVersion{0};
  std::atomic<bool> m_bHandling{false};
  std::atomic<long> m_dispatchedCount{0};
  std::function<void()> m_onDispatched;
  std::function<void(bool, const std::string&)> m_onBusyChanged;
};
