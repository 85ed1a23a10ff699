// The interpreter's redirector: decides for every piece of output whether it is
// shown in the console or collected and turned into list rows, completion
// candidates or a message to the editor, and tells the dispatcher when an answer
// is complete.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>

#include "console/command/HistoryStore.h"
#include "console/session/OutputSegmenter.h"
#include "console/session/Redirector.h"
#include "console/session/SessionSignals.h"
#include "console/session/SessionViews.h"

class COctaveRedirector : public CRedirector {
 public:
  COctaveRedirector(CSessionSignals& sessionSignals, const SessionViews& views, CHistoryStore& history);
  ~COctaveRedirector() override;

  // The windows, when they are built after the interpreter was started: before
  // StartReading, nothing reaches them.
  void SetViews(const SessionViews& views) { m_views = views; }
  // The interpreter's program file name; a message that names it is cut there.
  void SetProgramName(const std::string& name) { m_programName = name; }

  bool SendToEditor(const std::string& text, bool activate);
  void ReplaceInConsole(const std::string& find, const std::string& replacement);
  bool AddHistoryEntry(const std::string& command, bool ensureVisible);
  void ClearHistory();
  void DeleteHistoryEntry(size_t index);

  // An interrupt is answered with two prompts: one for the interrupt, one for the
  // line end sent after it. The second is not shown even when it arrives after
  // the next command has been echoed.
  void ExpectInterruptPrompts();

  // The last complete answer kept for a question ("" when none came).
  std::string TakeAnswer();

  // The prompt the console shows in the current debugger state.
  std::string CurrentPrompt() const;
  bool InDebugMode() const { return m_bDebugMode; }

  // Expectations, set by the dispatcher before it writes the command.
  std::atomic<bool> m_bExpectPath{false};
  std::atomic<bool> m_bExpectPackages{false};
  std::atomic<bool> m_bExpectHelp{false};
  std::atomic<bool> m_bExpectEditorHelp{false};
  std::atomic<bool> m_bExpectValue{false};
  std::atomic<bool> m_bExpectCompletion{false};
  std::atomic<bool> m_bCompletionForEditor{false};
  std::atomic<bool> m_bExpectMatrix{false};
  // The answer is a program's question's: kept for TakeAnswer, never shown.
  std::atomic<bool> m_bExpectAnswer{false};
  std::atomic<bool> m_bBusy{false};
  // The command being answered is complete only at its prompt: output that pauses
  // does not release the dispatcher.
  std::atomic<bool> m_bAwaitPrompt{false};

  // Runs the interpretation of one piece directly (the reader thread's path, for
  // tests that feed output without a process).
  void FeedOutput(const std::string& text) { OnOutput(text); }
  void FeedQuiet() { OnQuiet(); }

 protected:
  void OnOutput(const std::string& text) override;
  void OnError(const std::string& text) override;
  void OnQuiet() override;
  void OnChildGone() override;

 private:
  // Collects a captured answer; true once it ends with a prompt.
  bool Collect(std::string& collector, const std::string& chunk);
  void Interpret(std::string chunk);
  void UpdateWorkspace(const std::string& answer);
  void ShowCompletion(const std::string& answer);
  void Display(std::string chunk);
  // True when the chunk is the second prompt of an interrupt.
  bool IsInterruptEcho(const std::string& chunk);

  CSessionSignals& m_signals;
  SessionViews m_views;
  CHistoryStore& m_history;
  std::string m_programName = "octave.exe";
  COutputSegmenter m_segmenter;

  // Reader thread only.
  bool m_bReady = true;
  bool m_bWhosSeen = false;
  bool m_bErrorSeen = false;
  bool m_bStopSeen = false;
  bool m_bStopLineEndSent = false;  // the line end that asks for the stop's prompt
  bool m_bReleasePending = false;  // output shown, its prompt not yet
  std::atomic<bool> m_bDebugMode{false};
  std::mutex m_interruptMutex;
  int m_interruptPrompts = 0;  // prompts still to come from the last interrupt
  std::chrono::steady_clock::time_point m_interruptDeadline;
  struct Collectors {
    std::string workspace, completion, path, packages, help, editorHelp, error, stop, value,
        matrix, answer;
  } m_collected;
  std::mutex m_answerMutex;
  std::string m_answer;  // guarded by m_answerMutex
};
