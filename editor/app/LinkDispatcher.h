// Quire's receiving end of the link: reads each text from the console, keeps
// the editor-wide link state and tells the frame what to show. The frame
// supplies the window side through IDispatchTarget.
#pragma once

#include <string>
#include <vector>

struct STipPoint {
  int x = 0;
  int y = 0;
};

// Editor-wide state that the messages read and write; one per application.
struct SLinkState {
  bool bDebugging = false;             // the interpreter is stopped in the debugger
  std::string lastTargetPath;          // document last run or given a breakpoint
  std::string lastTargetName;          // its script name; emptied by most texts
  const void* lastTargetView = nullptr;  // its view; compared, never followed
  std::string tipWord;                 // word of the pending help or value tip
  STipPoint tipPoint;                  // where that tip is shown
  bool bDescribePending = false;       // a "Describe command" answer is awaited
  std::vector<std::string> callTipLines;
  std::string callTipHtml;
  std::vector<std::string> completionWords;
};

// What the error worker needs, taken when the error arrived: later texts may
// change the state before the worker runs.
struct SErrorReport {
  std::string errorText;
  std::string lastTargetName;
  std::string lastTargetPath;
  const void* lastTargetView = nullptr;
};

class IDispatchTarget {
 public:
  virtual ~IDispatchTarget() = default;
  virtual void ReloadPreferences() = 0;
  virtual bool CallTipsEnabled() = 0;
  // The HTML tool tip at the state's tip point.
  virtual void ShowHtmlTip(const std::string& html) = 0;
  // The call tip of the active view at its first usage line.
  virtual void ShowCallTip() = 0;
  virtual void OpenOrActivate(const std::string& path) = 0;
  virtual void GotoLine(long line) = 0;
  // Caret to `line` in the active view and the debug arrow to the first code
  // line at or after it.
  virtual void ShowDebugArrow(long line) = 0;
  virtual void ClearAllBreakpoints() = 0;
  // Must not wait for the question it may lead to.
  virtual void StartErrorWorker(const SErrorReport& report) = 0;
};

class CLinkDispatcher {
 public:
  CLinkDispatcher(SLinkState& state, IDispatchTarget& target) : m_state(state), m_target(target) {}
  void Dispatch(const std::string& s);

 private:
  void OnHelpAnswer(const std::string& s);
  void OnOther(const std::string& s);

  SLinkState& m_state;
  IDispatchTarget& m_target;
};
