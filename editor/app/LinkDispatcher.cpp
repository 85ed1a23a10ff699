#include "editor/app/LinkDispatcher.h"

#include "editor/app/LinkRules.h"

using namespace quire_link;

void CLinkDispatcher::Dispatch(const std::string& s) {
  switch (ClassifyMessage(s)) {
    case MessageKind::UpdatePreferences:
      m_target.ReloadPreferences();
      return;
    case MessageKind::Help:
      OnHelpAnswer(s);
      return;
    case MessageKind::Completion:
      m_state.completionWords = ParseCompletionWords(s);
      return;
    case MessageKind::Other:
      OnOther(s);
      return;
  }
}

void CLinkDispatcher::OnHelpAnswer(const std::string& s) {
  SHelpAnswer answer = ParseHelpAnswer(s);
  m_state.callTipLines = std::move(answer.lines);
  m_state.callTipHtml = std::move(answer.html);
  if (m_state.bDescribePending) {
    m_state.bDescribePending = false;
    m_target.ShowHtmlTip(DescribeTipHtml({m_state.callTipLines, m_state.callTipHtml}, m_state.tipWord));
  } else if (!m_state.callTipLines.empty() && m_target.CallTipsEnabled()) {
    m_target.ShowCallTip();
  }
}

void CLinkDispatcher::OnOther(const std::string& s) {
  if (const std::optional<SConsoleLink> link = ParseConsoleLink(s)) {
    m_target.OpenOrActivate(link->file);
    m_target.GotoLine(link->line);
  }
  if (IsErrorMessage(s)) {
    // The name stays: the worker compares the error with it.
    m_target.StartErrorWorker(
        {s, m_state.lastTargetName, m_state.lastTargetPath, m_state.lastTargetView});
    return;
  }
  if (IsValueMessage(s)) {
    m_target.ShowHtmlTip(ValueTipHtml(s, m_state.tipWord));
    return;
  }
  const SDebugMessage debug = ParseDebugMessage(s);
  if (debug.stop) m_target.OpenOrActivate(debug.path);
  if (debug.ended) {
    m_target.ClearAllBreakpoints();
    m_state.bDebugging = false;
  } else if (debug.stop) {
    m_target.ShowDebugArrow(debug.line);
    m_state.bDebugging = true;
  }
  m_state.lastTargetName.clear();
}
