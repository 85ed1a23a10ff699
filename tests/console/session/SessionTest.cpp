// The whole session core (dispatcher, worker, output interpreter, redirector)
// against the stand-in interpreter.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <thread>

#include "common/OctaveQuote.h"
#include "common/Text.h"
#include "common/UserDirs.h"
#include "console/headless/MemoryViews.h"
#include "console/session/SessionCore.h"
#include "console/session/SessionWorker.h"
#include "tests/common/TestFiles.h"
#include "tests/fake/FakeOctave.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#endif

namespace {

using namespace std::chrono_literals;

bool ProcessRuns(pid_t pid) {
#ifdef _WIN32
  const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (!process) return false;
  const bool runs = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  ::CloseHandle(process);
  return runs;
#else
  return kill(pid, 0) == 0;
#endif
}

const char* kWorkspaceReply =
    "  out Variables in the current scope:\\n\\n Name Size Class Bytes\\n ==== ==== ===== "
    "=====\\n x 1x1 double 8\\n\\nTotal is 1 element using 8 bytes\\n\\n\n";

// A console on a busy window thread: opening it for input takes a while.
class CSlowToOpenConsole : public CMemoryConsole {
 public:
  void SetReadOnly(bool readOnly) override {
    if (!readOnly) std::this_thread::sleep_for(300ms);
    CMemoryConsole::SetReadOnly(readOnly);
  }
};

class SessionTest : public ::testing::Test {
 protected:
  CTempDir dir;
  CMemoryViews views;
  CSlowToOpenConsole slowConsole;
  CHistoryStore history;
  std::unique_ptr<CSessionCore> core;
  std::unique_ptr<CSessionWorker> worker;

  void StartWith(const std::string& script, IConsole* console = nullptr,
                 const std::string& workpath = {}) {
    std::ofstream(dir.File("script")) << script;
    views.settings.SetString("Octave", "workpath", workpath.empty() ? dir.Path() : workpath);
    SessionViews sessionViews = views.Views();
    if (console) sessionViews.console = console;
    core = std::make_unique<CSessionCore>(sessionViews, dir.Path() + kPathSeparator, history);
    views.host.SetEnqueue([this](const std::string& text) { core->EnqueueCommand(text, false); });
    views.host.UseFolderStores(views.settings, core->UserData());
    worker = std::make_unique<CSessionWorker>(*core);
    core->StartDispatcher();
    ASSERT_TRUE(worker->Connect(CommandLine()));
  }
  std::string CommandLine() const {
    return FakeOctaveProgram() + " --script " + dir.File("script") + " --log " + dir.File("log");
  }
  void TearDown() override {
    if (worker) worker->Shutdown();
    if (core) core->StopDispatcher();
  }
  std::vector<std::string> Log() {
    std::ifstream in(dir.File("log"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  bool LogHas(const std::string& line) {
    for (int i = 0; i < 100; ++i) {
      for (const std::string& logged : Log()) {
        if (logged == line) return true;
      }
      std::this_thread::sleep_for(50ms);
    }
    return false;
  }
  bool ConsoleShows(const std::string& part, std::chrono::milliseconds timeout = 10s) {
    return views.console.WaitUntil(
        [&](const std::string& text) { return text.find(part) != std::string::npos; }, timeout);
  }
  // The start-up commands have been answered: what is typed now is not mixed
  // with their prompts.
  bool WaitIdle() {
    for (int i = 0; i < 200; ++i) {
      if (core->DispatcherIdle() && text::EndsWith(views.console.Tail(3), ">> ")) return true;
      std::this_thread::sleep_for(25ms);
    }
    return false;
  }
  // As typed: the line and Enter, queued with echo.
  void Type(const std::string& line) {
    views.console.Type(line);
    core->EnqueueTyped(line);
  }
};

TEST_F(SessionTest, AnInterpreterStartedBeforeTheWindowIsTakenWithWhatItWroteMeanwhile) {
  std::ofstream(dir.File("script")) << "";
  views.settings.SetString("Octave", "workpath", dir.Path());
  // As the application does: the interpreter first, the windows later.
  core = std::make_unique<CSessionCore>(SessionViews{}, dir.Path() + kPathSeparator, history);
  ASSERT_EQ(core->Redirector().StartProcess(CommandLine()), 0);
  const pid_t early = core->Redirector().ChildPid();
  core->SetViews(views.Views());
  views.host.SetEnqueue([this](const std::string& text) { core->EnqueueCommand(text, false); });
  views.host.UseFolderStores(views.settings, core->UserData());
  worker = std::make_unique<CSessionWorker>(*core);
  core->StartDispatcher();
  ASSERT_TRUE(worker->Connect(CommandLine()));
  ASSERT_EQ(worker->WaitWhileStarting(10s), CSessionWorker::State::Connected);
  EXPECT_EQ(core->Redirector().ChildPid(), early);
  const std::string text = views.console.Text();
  EXPECT_TRUE(text::StartsWith(text, "GNU Octave, version 3.2.4\n")) << text;
  EXPECT_EQ(text.find("GNU Octave", 1), std::string::npos) << text;
}

TEST_F(SessionTest, StartupPreparesTheInterpreterAndLoadsTheHistory) {
  CIni ini;
  ini.SetPath(dir.File("userpaths.dat"));
  ini.WriteString("History", "%-- old --%|;|a = 1|;|b = 2");
  StartWith("on-prefix old_format=\n" + std::string(kWorkspaceReply));
  ASSERT_EQ(worker->WaitWhileStarting(10s), CSessionWorker::State::Connected);
  EXPECT_FALSE(views.console.ReadOnly());
  EXPECT_TRUE(views.host.ControlsEnabled());
  EXPECT_TRUE(LogHas("cd " + octave_quote::SingleQuoted(dir.Path()) + ";###"));
  const std::vector<std::string> log = Log();
  ASSERT_FALSE(log.empty());
  EXPECT_TRUE(text::StartsWith(log[0], "edit editor '")) << log[0];
#ifdef _WIN32
  // The editor beside this program, in the interpreter's forward slashes.
  EXPECT_TRUE(text::EndsWith(log[0], text::ReplaceAll(ProgramFolder(), "\\", "/") +
                                         "/Quire.exe %s'; edit mode async;"))
      << log[0];
#else
  EXPECT_TRUE(text::EndsWith(log[0], "/quire </dev/null >/dev/null 2>&1 %s'; edit mode async;"))
      << log[0];
#endif
  const auto history = core->History().Lines();
  ASSERT_EQ(history.size(), 4u);
  EXPECT_EQ(history[1], "a = 1");
  EXPECT_TRUE(CHistoryStore::IsHeading(history[3]));
  // The first automatic workspace query fills the list.
  ASSERT_TRUE(LogHas(std::string(WORKSPACE_QUERY)));
  ASSERT_TRUE(views.workspace.WaitForRows(5s));
  EXPECT_EQ(views.workspace.Rows(), (std::vector<ListRow>{{{"x", "1x1", "double", "8"}, 2}}));
}

TEST_F(SessionTest, TheSessionCountsAsConnectedOnlyOnceTheConsoleTakesInput) {
  StartWith("", &slowConsole);
  for (int i = 0; i < 10000 && !core->Signals().g_bConnected; ++i) std::this_thread::sleep_for(1ms);
  ASSERT_TRUE(core->Signals().g_bConnected);
  EXPECT_FALSE(slowConsole.ReadOnly()) << "a line typed now would be refused";
}

TEST_F(SessionTest, AWorkingFolderThatHasGoneFallsBackToTheHomeFolder) {
  const std::string home = HomeFolder();
  StartWith("", nullptr, dir.File("gone"));
  ASSERT_EQ(worker->WaitWhileStarting(10s), CSessionWorker::State::Connected);
  EXPECT_TRUE(LogHas("cd " + octave_quote::SingleQuoted(home) + ";###"));
  EXPECT_EQ(views.settings.GetString("Octave", "workpath", ""), home);
}

TEST_F(SessionTest, TooOldInterpreterIsRefusedAndGetsNoCommands) {
  StartWith("banner GNU Octave, version 3.2.3\\n\n");
  ASSERT_EQ(worker->WaitWhileStarting(10s), CSessionWorker::State::Refused);
  EXPECT_EQ(views.host.Messages(),
            (std::vector<std::string>{"Calyx requires Octave version 3.2.4 or higher.\nYou can "
                                      "select your Octave executable in\nFile -> Options -> GNU "
                                      "Octave Path"}));
  EXPECT_TRUE(views.console.ReadOnly());
  // Disconnecting queues the quit command: had anything been queued before, it
  // would reach the interpreter first.
  worker->Disconnect();
  ASSERT_TRUE(LogHas(std::string(kQuitCommand)));
  EXPECT_EQ(Log(), (std::vector<std::string>{std::string(kQuitCommand)}));
}

TEST_F(SessionTest, EveryCommandReachesTheInterpreterWithThePlatformsLineEnd) {
  StartWith("");
  ASSERT_EQ(worker->WaitWhileStarting(10s), CSessionWorker::State::Connected);
  ASSERT_TRUE(WaitIdle());
  Type("x = 1");
  ASSERT_TRUE(LogHas("x = 1"));
  std::ifstream in(dir.File("log"), std::ios::binary);
  const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
#ifdef _WIN32
  const bool carriageReturns = true;  // "\r\n", as the console's text has it
#else
  const bool carriageReturns = false;
#endif
  const std::vector<std::string> lines = text::SplitNonEmpty(raw, "\n");
  ASSERT_GE(lines.size(), 2u);
  for (const std::string& line : lines) EXPECT_EQ(text::EndsWith(line, "\r"), carriageReturns) << line;
}

TEST_F(SessionTest, CommandsRunOneAfterAnotherEachAfterTheAnswerBefore) {
  StartWith("on slow\n  sleep 300\n  out A\\n\non fast\n  out B\\n\n");
  ASSERT_EQ(worker->WaitWhileStarting(10s), CSessionWorker::State::Connected);
  ASSERT_TRUE(WaitIdle());
  Type("slow");
  core->EnqueueCommand("fast", true);
  ASSERT_TRUE(ConsoleShows("B\n>> "));
  EXPECT_NE(views.console.Text().find("slow\nA\n>> fast\nB\n>> "), std::string::npos)
      << views.console.Text();
  const auto history = core->History().Lines();
  EXPECT_EQ(history.back(), "fast");
  EXPECT_EQ(history[history.size() - 2], "slow");
}

TEST_F(SessionTest, AQuestionsAnswerGoesToTheAskerAndNeverToTheConsole) {
  StartWith("on disp(which('badf'))\n  out /tmp/d/badf.m\\n\n"
            "on disp(which('gone'))\n  out error: which: gone\\n\n"
            "on x = 2\n  out x = 2\\n\n");
  ASSERT_EQ(worker->WaitWhileStarting(10s), CSessionWorker::State::Connected);
  ASSERT_TRUE(WaitIdle());
  const std::string before = views.console.Text();
  std::mutex mutex;
  std::vector<std::string> answers;
  for (const char* question : {"disp(which('badf'))", "disp(which('gone'))"}) {
    core->EnqueueQuestion(question, [&](const std::string& answer) {
      std::lock_guard lock(mutex);
      answers.push_back(answer);
    });
  }
  Type("x = 2");
  ASSERT_TRUE(ConsoleShows("x = 2\n>> "));
  std::lock_guard lock(mutex);
  EXPECT_EQ(answers, (std::vector<std::string>{"/tmp/d/badf.m\n>> ", "error: which: gone\n>> "}));
  // The questions were not shown, and the error of one is not the next answer's.
  EXPECT_EQ(views.console.Text(), before + "x = 2\nx = 2\n>> ");
  for (const auto& mark : views.console.Marks()) EXPECT_NE(mark.kind, ConsoleMark::Kind::Error);
  EXPECT_EQ(core->History().Lines().back(), "x = 2");
}

TEST_F(SessionTest, LocalCommandsAndAnExitTheUserCancels) {
  StartWith("on x = 1\n  out x = 1\\n\n");
  ASSERT_EQ(worker->WaitWhileStarting(10s), CSessionWorker::State::Connected);
  ASSERT_TRUE(WaitIdle());
  views.host.SetExitAccepted(false);
  std::filesystem::create_directory(dir.File("my folder"));
  Type("exit");
  Type("cd 'my folder'");
  Type("doc plot");
  Type("x = 1");
  ASSERT_TRUE(ConsoleShows("x = 1\nx = 1\n>> "));
  EXPECT_EQ(views.host.ExitRequests(), 1);
  // Resolved against the saved folder, not against this program's own.
  EXPECT_TRUE(LogHas("cd '" + dir.File("my folder") + "';###"));
  EXPECT_EQ(views.settings.GetString("Octave", "workpath", ""), dir.File("my folder"));
  EXPECT_EQ(views.host.HelpTopics(), (std::vector<std::string>{"plot"}));
  for (const std::string& logged : Log()) {
    EXPECT_NE(logged, "exit");
    EXPECT_NE(logged, "doc plot");
  }
  Type("clc");
  ASSERT_TRUE(views.console.WaitUntil([](const std::string& t) { return t == ">> "; }, 5s));
}

TEST_F(SessionTest, EditorRequestsAreRelayedVisiblyAndDebugStopsGoBack) {
  // The stop's prompt comes in a write of its own, as it may from a busy
  // interpreter. A line end sent to ask for it would be answered late, with a
  // second prompt after the echo of the next command: the answer to that
  // command is shown all the same.
  StartWith(
      "on dbstep\n  out keyboard: stopped in /tmp/f.m at line 4\\n\n  sleep 5\n  state debug> \n"
      "on\n  sleep 300\n  state debug> \n"
      "on dbcont\n  out ans = 3\\n\n  state >> \n");
  ASSERT_EQ(worker->WaitWhileStarting(10s), CSessionWorker::State::Connected);
  core->PushEditorRequest("dbstep\r\n");
  ASSERT_TRUE(ConsoleShows("dbstep\nkeyboard: stopped in /tmp/f.m at line 4\ndebug> "));
  core->PushEditorRequest("dbcont");
  ASSERT_TRUE(ConsoleShows("ans = 3\n>> ")) << views.console.Text();
  EXPECT_TRUE(ConsoleShows("debug> dbcont\n")) << views.console.Text();
  EXPECT_EQ(views.host.EditorMessages(),
            (std::vector<std::string>{"debug\nLine=4\nPath=/tmp/f.m", "dbended\nPath="}));
}

TEST_F(SessionTest, AnOldInterpreterStoppedWithoutAPromptGetsALineEnd) {
  StartWith(
      "on dbstep\n  out keyboard: stopped in /tmp/f.m at line 4\\n\n  noprompt\n"
      "on\n  state debug> \n");
  ASSERT_EQ(worker->WaitWhileStarting(10s), CSessionWorker::State::Connected);
  core->PushEditorRequest("dbstep");
  ASSERT_TRUE(ConsoleShows("dbstep\nkeyboard: stopped in /tmp/f.m at line 4\ndebug> "));
  EXPECT_EQ(views.host.EditorMessages(),
            (std::vector<std::string>{"debug\nLine=4\nPath=/tmp/f.m"}));
  const std::vector<std::string> log = Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), ""), 1);
}

TEST_F(SessionTest, ValueTipsReadListedVariablesSilentlyAndRunNothingElse) {
  StartWith("on-prefix old_format=\n" + std::string(kWorkspaceReply) + "on x\n  out x = 3\\n\n");
  ASSERT_EQ(worker->WaitWhileStarting(10s), CSessionWorker::State::Connected);
  ASSERT_TRUE(LogHas(std::string(WORKSPACE_QUERY)));
  ASSERT_TRUE(views.workspace.WaitForRows(10s));
  ASSERT_TRUE(WaitIdle());
  const size_t historyBefore = core->History().Lines().size();
  const std::string consoleBefore = views.console.Text();

  for (const char* word : {"exit", "clear", "return", "dbcont", "pause", "y", "x;exit"})
    core->PushEditorRequest(std::string("getvalue:") + word + "\r\n");
  core->PushEditorRequest("getvalue:x\r\n");
  // The listed variable's answer comes after every refused request was passed over.
  ASSERT_TRUE(views.host.WaitForEditorMessage(10s));
  EXPECT_EQ(views.host.EditorMessages(), std::vector<std::string>{"varvalue:<pre><b>x </b>= 3</pre>"});
  for (const std::string& logged : Log()) {
    for (const char* word : {"exit", "clear", "return", "dbcont", "pause", "y", "x;exit"})
      EXPECT_NE(logged, word);
  }
  EXPECT_TRUE(LogHas("x"));
  EXPECT_EQ(views.console.Text(), consoleBefore);  // no echo, no answer in the console
  EXPECT_EQ(core->History().Lines().size(), historyBefore);
}

TEST_F(SessionTest, EditorBreakpointsReachTodaysInterpreterInItsForms) {
  StartWith("banner GNU Octave, version 7.3.0\\n\n");
  ASSERT_EQ(worker->WaitWhileStarting(10s), CSessionWorker::State::Connected);
  ASSERT_TRUE(WaitIdle());
  core->PushEditorRequest("dbstop('f',3)\r\n");
  core->PushEditorRequest("dbclear('f',dbstatus('f').line)\r\n");
  core->PushEditorRequest("dbstop('a b',3)\r\n");
  EXPECT_TRUE(LogHas("dbstop('f','3')"));
  EXPECT_TRUE(LogHas("dbclear('f')"));
  EXPECT_TRUE(LogHas("dbstop('a b',3)"));
}

TEST_F(SessionTest, DisconnectQuitsSavesTheHistoryAndEndsTheSession) {
  StartWith("on hang\n  sleep 30000\n");
  ASSERT_EQ(worker->WaitWhileStarting(10s), CSessionWorker::State::Connected);
  Type("hang");
  ASSERT_TRUE(LogHas("hang"));
  const pid_t child = core->Redirector().ChildPid();
  worker->Disconnect();
  ASSERT_TRUE(worker->WaitEnded(2s));
  EXPECT_EQ(worker->GetState(), CSessionWorker::State::NoSession);
  EXPECT_FALSE(core->Signals().g_bConnected);
  EXPECT_TRUE(views.console.ReadOnly());
  EXPECT_FALSE(views.host.ControlsEnabled());
  EXPECT_FALSE(ProcessRuns(child)) << "the interpreter is still running";
  CIni ini;
  ini.SetPath(dir.File("userpaths.dat"));
  EXPECT_TRUE(text::Contains(ini.GetString("History"), "|;|hang"));
}

TEST_F(SessionTest, DisconnectWhileIdleAsksTheInterpreterToQuit) {
  StartWith("");
  ASSERT_EQ(worker->WaitWhileStarting(10s), CSessionWorker::State::Connected);
  ASSERT_TRUE(ConsoleShows(">> "));
  worker->Disconnect();
  EXPECT_TRUE(LogHas(std::string(kQuitCommand)));
  ASSERT_TRUE(worker->WaitEnded(2s));
}

TEST_F(SessionTest, AnInterpreterThatDiesEndsTheSessionAtOnce) {
  StartWith("on boom\n  crash\n");
  ASSERT_EQ(worker->WaitWhileStarting(10s), CSessionWorker::State::Connected);
  const auto before = std::chrono::steady_clock::now();
  Type("boom");
  ASSERT_TRUE(worker->WaitEnded(5s));
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1500ms);
  EXPECT_EQ(worker->GetState(), CSessionWorker::State::NoSession);
  EXPECT_TRUE(views.console.ReadOnly());
  // Commands now go nowhere, and nothing hangs.
  Type("x");
}

}  // namespace
