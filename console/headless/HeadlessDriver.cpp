#include "console/headless/HeadlessDriver.h"

#include <chrono>
#include <iostream>
#include <sstream>
#include <thread>
#include <vector>

#include "common/OctaveQuote.h"
#include "common/Text.h"
#include "common/UserDirs.h"
#include "console/headless/MemoryViews.h"
#include "console/session/CommandLine.h"
#include "console/session/OutputForms.h"
#include "console/session/SessionCore.h"
#include "console/session/SessionWorker.h"
#include "console/session/StartupCommands.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kStartTimeout = 60s;
constexpr auto kFinalListingTimeout = 10s;
constexpr auto kWaitSlice = 50ms;
constexpr auto kWaitForLineTimeout = 60s;

const char* MarkName(ConsoleMark::Kind kind) {
  switch (kind) {
    case ConsoleMark::Kind::Error: return "red";
    case ConsoleMark::Kind::Bold: return "bold";
    case ConsoleMark::Kind::Link: return "link";
  }
  return "";
}

void PrintSection(std::ostream& out, const char* title, const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  out << "== " << title << "\n";
  for (const std::string& line : lines) out << line << "\n";
}

std::vector<std::string> RowLines(const std::vector<ListRow>& rows, bool withImage) {
  std::vector<std::string> lines;
  for (const ListRow& row : rows) {
    std::vector<std::string> columns = row.columns;
    if (withImage) columns.push_back(std::to_string(row.image));
    lines.push_back(text::Join(columns, "\t"));
  }
  return lines;
}

class CHeadlessSession {
 public:
  explicit CHeadlessSession(const HeadlessOptions& options)
      : m_options(options),
        m_dataDir(options.dataDir.empty() ? DefaultDataDir("Calyx")
                                          : EnsurePrivateDir(options.dataDir)),
        m_core(m_views.Views(), m_dataDir, m_history),
        m_worker(m_core) {
    m_views.host.SetEnqueue([this](const std::string& command) {
      m_core.EnqueueCommand(command, false);
    });
    m_views.host.UseFolderStores(m_views.settings, m_core.UserData());
    // Whoever waits for an answer also hears when the dispatcher is done.
    m_core.SetOnDispatched([this] { m_views.console.Poke(); });
    if (options.maxLines > 0) m_views.settings.SetInt("General", "MaxLines", options.maxLines);
    if (!options.workDir.empty()) m_views.settings.SetString("Octave", "workpath", options.workDir);
  }

  int Run(std::istream& script, std::ostream& out) {
    const std::string commandLine = m_options.interpreter.empty()
                                        ? InterpreterCommandLine(kDefaultInterpreterFolder)
                                        : m_options.interpreter;
    m_core.Redirector().SetProgramName(ProgramNameOf(commandLine));
    m_core.StartDispatcher();
    if (!m_worker.Connect(commandLine)) return Finish(out, kHeadlessNotStarted);
    switch (m_worker.WaitWhileStarting(kStartTimeout)) {
      case CSessionWorker::State::Connected: break;
      case CSessionWorker::State::Refused: return Finish(out, kHeadlessRefused);
      default: return Finish(out, kHeadlessNotStarted);
    }
    if (!WaitAnswered(-1)) return Finish(out, kHeadlessInterpreterEnded);
    if (m_options.live) ShowLive(0);

    std::string line;
    while (std::getline(script, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (text::StartsWith(line, ":")) {
        if (line == ":disconnect") {
          m_worker.Disconnect();
          m_disconnected = true;
          break;
        }
        RunDirective(line);
        continue;
      }
      if (!Type(line)) return Finish(out, kHeadlessInterpreterEnded);
    }
    if (!m_disconnected) {
      if (!WaitAnswered(m_lastCommandCount)) return Finish(out, kHeadlessInterpreterEnded);
      WaitFinalListing();
      m_worker.Disconnect();
    }
    return Finish(out, kHeadlessOk);
  }

 private:
  bool Alive() {
    return m_worker.GetState() == CSessionWorker::State::Connected &&
           m_core.Signals().g_bConnected;
  }

  // The last command has been handled and its whole answer shown: the
  // dispatcher has nothing left and the console ends with a prompt.
  bool Answered(long countBefore) {
    return m_core.DispatchedCount() > countBefore && m_core.DispatcherIdle() &&
           output_forms::EndsWithPrompt(m_views.console.Tail(10));
  }

  bool WaitAnswered(long countBefore) {
    while (!Answered(countBefore)) {
      if (!Alive()) return false;
      const long changes = m_views.console.Changes();
      m_views.console.WaitForChange(changes, kWaitSlice);
    }
    return true;
  }

  void WaitFinalListing() {
    const auto deadline = Clock::now() + kFinalListingTimeout;
    CSessionSignals& signals = m_core.Signals();
    while (Alive() && Clock::now() < deadline &&
           (signals.g_bRefreshWorkspace || signals.g_bRefreshPath || signals.g_bRefreshPackages ||
            m_core.m_editorRequestQueue.Count() > 0 || !m_core.DispatcherIdle())) {
      std::this_thread::sleep_for(kWaitSlice);
    }
  }

  // As typed in the console: the line, Enter, queued with echo and remembered.
  bool Type(const std::string& line) {
    if (!WaitAnswered(m_lastCommandCount)) return false;
    m_lastCommandCount = m_core.DispatchedCount();
    const size_t shownFrom = m_views.console.Text().size();
    m_views.console.Type(line);
    const auto queued = Clock::now();
    m_core.EnqueueTyped(line);
    if (!m_options.timing && !m_options.live) return true;
    if (!WaitAnswered(m_lastCommandCount)) return false;
    if (m_options.live) ShowLive(shownFrom);
    if (!m_options.timing) return true;
    const auto shown = std::max(m_views.console.LastChange(), queued);
    const auto ms = std::chrono::duration<double, std::milli>(shown - queued).count();
    std::ostringstream row;
    row.setf(std::ios::fixed);
    row.precision(2);
    row << ms << "\t" << line;
    m_timings.push_back(row.str());
    return true;
  }

  // Writes the console text from `from` on to the terminal.
  void ShowLive(size_t from) {
    const std::string console = m_views.console.Text();
    if (from < console.size()) std::cerr << console.substr(from) << std::flush;
  }

  void RunDirective(const std::string& line) {
    const size_t blank = line.find(' ');
    const std::string name = line.substr(0, blank);
    const std::string argument = blank == std::string::npos ? "" : line.substr(blank + 1);
    CSessionSignals& signals = m_core.Signals();
    if (name == ":path") {
      signals.Raise(signals.g_bRefreshPath);
    } else if (name == ":packages") {
      signals.Raise(signals.g_bRefreshPackages);
    } else if (name == ":complete") {
      m_core.EnqueueCommand("completion_matches(" + octave_quote::SingleQuoted(argument) + ")###",
                            false);
    } else if (name == ":editor") {
      m_core.PushEditorRequest(argument);
    } else if (name == ":interrupt") {
      m_core.Interrupt();
    } else if (name == ":wait") {
      std::this_thread::sleep_for(std::chrono::milliseconds(text::ParseLeadingInt(argument)));
    } else if (name == ":wait-for") {
      // A line of output, not the echo that may contain its text.
      m_views.console.WaitUntil(
          [&](const std::string& console) { return text::Contains(console, "\n" + argument + "\n"); },
          kWaitForLineTimeout);
    } else {
      std::cerr << "calyx-headless: unknown directive " << name << "\n";
    }
  }

  int Finish(std::ostream& out, int status) {
    if (status != kHeadlessOk && status != kHeadlessRefused) {
      // The interpreter has gone or never came: keep what was typed.
      if (!m_dataDir.empty() && !m_core.History().Lines().empty()) {
        m_core.History().SaveHistory(m_core.UserData());
      }
    }
    m_worker.Shutdown();
    m_core.StopDispatcher();
    Print(out);
    for (const std::string& message : m_views.host.Messages()) std::cerr << message << "\n";
    return status;
  }

  void Print(std::ostream& out) {
    const std::string console = m_views.console.Text();
    if (!console.empty()) {
      out << "== console\n" << console;
      if (console.back() != '\n') out << "\n";
    }
    PrintSection(out, "workspace", RowLines(m_views.workspace.Rows(), true));
    PrintSection(out, "path", RowLines(m_views.searchPath.Rows(), false));
    PrintSection(out, "packages", RowLines(m_views.packages.Rows(), false));
    std::vector<std::string> marks;
    for (const auto& mark : m_views.console.Marks()) {
      const std::string marked = console.substr(mark.begin, mark.end - mark.begin);
      marks.push_back(std::string(MarkName(mark.kind)) + "\t" + text::ReplaceAll(marked, "\n", "\\n") +
                      (mark.target.empty() || mark.target == marked ? "" : "\t" + mark.target));
    }
    PrintSection(out, "marks", marks);
    PrintSection(out, "completion", m_views.completion.Candidates());
    PrintSection(out, "history", m_core.History().Lines());
    std::vector<std::string> editor;
    for (const std::string& message : m_views.host.EditorMessages()) {
      editor.push_back(text::ReplaceAll(message, "\n", "\\n"));
    }
    PrintSection(out, "editor", editor);
    if (m_options.timing) PrintSection(out, "timing", m_timings);
    out.flush();
  }

  HeadlessOptions m_options;
  std::string m_dataDir;
  CMemoryViews m_views;
  CHistoryStore m_history;
  CSessionCore m_core;
  CSessionWorker m_worker;
  long m_lastCommandCount = -1;
  bool m_disconnected = false;
  std::vector<std::string> m_timings;
};

}  // namespace

int RunHeadless(const HeadlessOptions& options, std::istream& script, std::ostream& out) {
  CHeadlessSession session(options);
  return session.Run(script, out);
}
