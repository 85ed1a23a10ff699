#include "console/session/OctaveRedirector.h"

#include <algorithm>

#include "common/Text.h"
#include "common/UserDirs.h"
#include "console/session/ConsoleLinks.h"
#include "console/session/OutputForms.h"
#include "console/session/ValueRequest.h"

namespace forms = output_forms;
using text::Contains;
using text::EndsWith;

COctaveRedirector::COctaveRedirector(CSessionSignals& sessionSignals, const SessionViews& views,
                                     CHistoryStore& history)
    : m_signals(sessionSignals), m_views(views), m_history(history) {}

COctaveRedirector::~COctaveRedirector() {
  // The reader calls back into this object: end it while the object is whole.
  Stop();
}

bool COctaveRedirector::SendToEditor(const std::string& text, bool activate) {
  return m_views.host->SendToEditor(text, activate);
}

void COctaveRedirector::ReplaceInConsole(const std::string& find, const std::string& replacement) {
  m_views.console->ReplaceInConsole(find, replacement);
}

bool COctaveRedirector::AddHistoryEntry(const std::string& command, bool ensureVisible) {
  return m_history.AddHistoryEntry(command, ensureVisible);
}

void COctaveRedirector::ClearHistory() { m_history.ClearHistory(); }

void COctaveRedirector::DeleteHistoryEntry(size_t index) { m_history.DeleteHistoryEntry(index); }

std::string COctaveRedirector::CurrentPrompt() const {
  return std::string(m_bDebugMode ? forms::kDebugPrompt : forms::kPrompt);
}

void COctaveRedirector::ExpectInterruptPrompts() {
  std::lock_guard lock(m_interruptMutex);
  m_interruptPrompts = 2;
  // Prompts that come later than this belong to something else.
  m_interruptDeadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
}

bool COctaveRedirector::IsInterruptEcho(const std::string& chunk) {
  std::lock_guard lock(m_interruptMutex);
  if (m_interruptPrompts == 0 || !forms::EndsWithPrompt(chunk)) return false;
  if (std::chrono::steady_clock::now() > m_interruptDeadline) {
    m_interruptPrompts = 0;
    return false;
  }
  const int bare = forms::BarePromptCount(chunk);
  const bool onlyTheSecond = bare > 0 && m_interruptPrompts == 1;
  m_interruptPrompts = std::max(0, m_interruptPrompts - std::max(bare, 1));
  return onlyTheSecond;
}

void COctaveRedirector::OnOutput(const std::string& text) {
  std::string ready = m_segmenter.Feed(text);
  if (!ready.empty()) Interpret(std::move(ready));
}

void COctaveRedirector::OnQuiet() {
  std::string rest = m_segmenter.Flush();
  if (!rest.empty()) Interpret(std::move(rest));
  // An old interpreter stops in the debugger without a prompt until it gets a
  // line end. Only silence tells that apart from a prompt still on its way: a
  // line end sent before it would be answered with a second prompt.
  if (m_bStopSeen && !m_bStopLineEndSent && forms::IsOldDebugStopWithoutPrompt(m_collected.stop)) {
    m_bStopLineEndSent = true;
    Write("\n");
  }
  if (m_bReleasePending && m_bReady && !m_bAwaitPrompt) {
    m_bReleasePending = false;
    m_bBusy = false;
    m_signals.AnswerComplete();
  }
}

void COctaveRedirector::OnError(const std::string& text) {
  // Pipe failures reach the console like output, on a line of their own.
  OnOutput("\nError message: " + text);
  OnQuiet();
}

void COctaveRedirector::OnChildGone() {
  m_signals.g_bConnected = false;
  m_signals.m_workerWake.Notify();
}

bool COctaveRedirector::Collect(std::string& collector, const std::string& chunk) {
  m_bReady = false;
  collector += chunk;
  return forms::EndsWithPrompt(collector);
}

void COctaveRedirector::Interpret(std::string chunk) {
  // A message that names the interpreter's program file ends there, followed by
  // a fresh prompt.
  if (const size_t named = chunk.find(m_programName + ":"); named != std::string::npos) {
    chunk = chunk.substr(0, named) + std::string(forms::kPrompt);
  }
  if (forms::IsErrorMessage(chunk)) m_bErrorSeen = true;
  else if (forms::IsDebugStop(chunk)) m_bStopSeen = true;
  else if (forms::IsWorkspaceHeader(chunk)) m_bWhosSeen = true;

  if (m_bStopSeen) {
    m_bDebugMode = true;
    if (Collect(m_collected.stop, chunk)) {
      m_bStopSeen = false;
      m_bStopLineEndSent = false;
      if (auto stop = forms::ParseDebugStop(m_collected.stop)) {
        SendToEditor("debug\nLine=" + stop->line + "\nPath=" + LongPathName(stop->file), true);
      }
      chunk = std::exchange(m_collected.stop, {});
      m_bReady = true;
    } else {
      chunk.clear();
    }
  }

  if (m_bExpectValue) {
    if (Collect(m_collected.value, chunk)) {
      m_bExpectValue = false;
      SendToEditor("varvalue:" + ValueTipText(std::exchange(m_collected.value, {})),
                   false);
      m_bReady = true;
    }
    chunk.clear();
  }

  if (m_bDebugMode && EndsWith(chunk, forms::kPrompt)) {
    SendToEditor("dbended\nPath=", false);
    m_bDebugMode = false;
    m_bReady = true;
  }

  if (m_bExpectMatrix) {
    // A failed export's error is not shown, and must not mark the next answer.
    m_bErrorSeen = false;
    if (Collect(m_collected.matrix, chunk)) {
      m_bExpectMatrix = false;
      m_collected.matrix.clear();
      m_views.variableEditor->LoadGrid();
      m_bReady = true;
    }
    chunk.clear();
  }

  if (m_bExpectAnswer) {
    // A question's error is its answer, not the next command's.
    m_bErrorSeen = false;
    if (Collect(m_collected.answer, chunk)) {
      m_bExpectAnswer = false;
      std::lock_guard lock(m_answerMutex);
      m_answer = std::exchange(m_collected.answer, {});
      m_bReady = true;
    }
    chunk.clear();
  }

  if (m_bExpectCompletion) {
    if (Collect(m_collected.completion, chunk)) {
      m_bExpectCompletion = false;
      const std::string answer = std::exchange(m_collected.completion, {});
      if (m_bCompletionForEditor) SendToEditor("completion:\n" + answer, false);
      else ShowCompletion(answer);
      m_bReady = true;
    }
    chunk.clear();
  }

  if (m_bWhosSeen) {
    m_bErrorSeen = false;
    if (Collect(m_collected.workspace, chunk)) {
      m_bWhosSeen = false;
      UpdateWorkspace(std::exchange(m_collected.workspace, {}));
      m_bReady = true;
    }
    chunk.clear();
  }

  if (m_bExpectPath) {
    if (Collect(m_collected.path, chunk)) {
      m_bExpectPath = false;
      std::vector<ListRow> rows;
      for (const std::string& folder : forms::ParsePathListing(m_collected.path)) {
        rows.push_back(ListRow{{LongPathName(folder)}, -1});
      }
      m_collected.path.clear();
      m_views.searchPath->SetRows(rows);
      m_bReady = true;
    }
    chunk.clear();
  } else if (m_bExpectPackages) {
    if (Collect(m_collected.packages, chunk)) {
      m_bExpectPackages = false;
      m_views.packages->SetRows(forms::ParsePackageBlocks(std::exchange(m_collected.packages, {})));
      m_bReady = true;
    }
    chunk.clear();
  } else if (m_bExpectEditorHelp) {
    m_bErrorSeen = false;
    if (Collect(m_collected.editorHelp, chunk)) {
      m_bExpectEditorHelp = false;
      SendToEditor("parameters:" + std::exchange(m_collected.editorHelp, {}), false);
      m_bReady = true;
    }
    chunk.clear();
  } else if (m_bExpectHelp) {
    if (Collect(m_collected.help, chunk)) {
      m_bExpectHelp = false;
      chunk = std::exchange(m_collected.help, {});
      m_bReady = true;
    } else {
      chunk.clear();
    }
  } else if (m_bErrorSeen) {
    m_collected.error += chunk;
    SendToEditor(m_collected.error, false);
    chunk = std::exchange(m_collected.error, {});
    m_bReady = true;
  }

  Display(std::move(chunk));
}

std::string COctaveRedirector::TakeAnswer() {
  std::lock_guard lock(m_answerMutex);
  return std::exchange(m_answer, {});
}

void COctaveRedirector::UpdateWorkspace(const std::string& answer) {
  const std::vector<ListRow> rows = forms::ParseWorkspaceTable(answer);
  if (!forms::SameNamesAndSizes(m_views.workspace->Rows(), rows)) {
    m_views.workspace->SetRows(rows);
  }
  if (m_views.variableEditor->IsVisible()) m_views.variableEditor->ReloadPage();
}

void COctaveRedirector::ShowCompletion(const std::string& answer) {
  const std::vector<std::string> candidates = forms::ParseCompletion(answer);
  if (candidates.empty()) {
    m_views.console->MoveCaretToEnd();
    return;
  }
  m_views.completion->ShowCandidates(candidates);
  if (candidates.size() == 1) m_views.completion->Accept(candidates.front());
}

void COctaveRedirector::Display(std::string chunk) {
  if (!m_bReady) return;
  if (!chunk.empty()) {
    const bool interruptEcho = IsInterruptEcho(chunk);
    chunk = forms::CollapsePrompts(std::move(chunk));
    if (interruptEcho ||
        (forms::BarePromptCount(chunk) > 0 && EndsWith(m_views.console->Tail(2), "> "))) {
      // The bare prompt after a silent command: the console shows one already.
      // Output before a prompt is never dropped with it.
      m_bBusy = false;
      m_signals.AnswerComplete();
      return;
    }

    std::vector<ConsoleMark> marks;
    const size_t lastLineFeed = chunk.rfind('\n');
    if (m_bErrorSeen && !Contains(chunk, "panic:")) {
      if (m_views.settings->GetInt("General", "BeepOnErrors", 0) != 0) m_views.host->Beep();
      if (lastLineFeed != std::string::npos && lastLineFeed > 0) {
        marks.push_back({ConsoleMark::Kind::Error, 0, static_cast<long>(lastLineFeed)});
      }
    }
    for (const auto& [begin, end] : forms::SeeAlsoLinks(chunk)) {
      marks.push_back({ConsoleMark::Kind::Link, static_cast<long>(begin), static_cast<long>(end)});
    }
    for (console_links::LinkRange& link : console_links::FindLinks(chunk)) {
      marks.push_back({ConsoleMark::Kind::Link, static_cast<long>(link.begin),
                       static_cast<long>(link.end), std::move(link.target)});
    }
    m_bErrorSeen = false;
    const long boldFrom = lastLineFeed == std::string::npos ? -1 : static_cast<long>(lastLineFeed);
    marks.push_back({ConsoleMark::Kind::Bold, boldFrom, static_cast<long>(chunk.size())});
    m_views.console->AppendOutput(chunk, marks,
                                  m_views.settings->GetInt("General", "MaxLines", 2000));
    // The next command waits for this answer's prompt, so that its echo cannot
    // come between the answer and its prompt; output that stops without one
    // (a question of input()) releases it once the interpreter goes quiet.
    if (!forms::EndsWithPrompt(chunk)) {
      m_bReleasePending = true;
      return;
    }
  }
  m_bReleasePending = false;
  m_bBusy = false;
  m_signals.AnswerComplete();
}
