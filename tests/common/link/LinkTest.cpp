// The link between real processes: link_peer plays either program, the test
// process plays the other or drives both.
#include "common/link/Link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <csignal>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

#include "common/UserDirs.h"
#include "common/link/LinkFrame.h"
#include "tests/common/TestFiles.h"
#include "tests/common/link/Hex.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kCalyxTitle = " - Calyx";
const std::string kQuireMark = "Quire - ";

// Every text Quire sends, as SendToConsole hands it over: with "\r\n".
std::vector<std::string> QuireToCalyx() {
  std::vector<std::string> texts = {
      "completion_matches_editor", "getvalue:x", "help plot;###", "doc plot;###", "myscript",
      "dbcont", "dbstep", "dbstep in", "dbstep out", "dbquit", "dbstop('f',3)", "dbstop(3)",
      "dbclear('f',3)", "dbclear(3)", "dbclear('f',dbstatus('f').line)", "y = x .* [1 2 3];",
      "cd '/tmp/a b'", "addpath('/tmp/a b');", "disp('\xc3\xa4\xff')"};
  for (std::string& text : texts) text += "\r\n";
  return texts;
}

// Every text Calyx sends, as built.
std::vector<std::string> CalyxToQuire() {
  return {"debug\nLine=3\nPath=/tmp/f.m",
          "dbended\nPath=",
          "varvalue:<b>x </b>=\n\n   1   2   3\n\n",
          "completion:\nabs\nacos\n>> ",
          "parameters:\n -- plot (Y)\n -- plot (X, Y)\n     Produce 2-D plots.\n>> ",
          "error: 'y' undefined near line 1, column 1\n",
          "UpdatePreferences",
          "line 3 of file /tmp/f.m"};
}

long Millis(Clock::duration d) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

#ifdef _WIN32

// One link_peer process in "serve" mode, beside this program, without a window
// of its console.
class CPeerProcess {
 public:
  explicit CPeerProcess(const std::string& title, int sleepMs = 0) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE inRead = nullptr, outWrite = nullptr;
    if (!::CreatePipe(&inRead, &m_in, &inheritable, 0)) return;
    if (!::CreatePipe(&m_out, &outWrite, &inheritable, 0)) return;
    ::SetHandleInformation(m_in, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(m_out, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = outWrite;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    std::string line = "\"" + ProgramFolder() + "\\link_peer.exe\" serve " + ToHex(title) + " " +
                       std::to_string(sleepMs);
    PROCESS_INFORMATION process{};
    if (::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                         nullptr, &startup, &process)) {
      ::CloseHandle(process.hThread);
      m_process = process.hProcess;
    }
    ::CloseHandle(inRead);
    ::CloseHandle(outWrite);
    // The first window of a fresh Wine prefix takes a while to come up.
    m_ready = m_process && ReadLine(60000ms) == "ready";
  }
  ~CPeerProcess() { Finish(); }
  CPeerProcess(const CPeerProcess&) = delete;
  CPeerProcess& operator=(const CPeerProcess&) = delete;

  bool Ready() const { return m_ready; }

  void Command(const std::string& line) {
    const std::string whole = line + "\n";
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(m_in, whole.data(), static_cast<DWORD>(whole.size()), &written, nullptr));
    ASSERT_EQ(written, whole.size());
  }

  // The next line the peer printed; "" when none came within `timeout`. An
  // anonymous pipe cannot be waited on: it is looked at every millisecond.
  std::string ReadLine(std::chrono::milliseconds timeout = 5000ms) {
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
      if (const size_t end = m_buffer.find('\n'); end != std::string::npos) {
        std::string line = m_buffer.substr(0, end);
        m_buffer.erase(0, end + 1);
        return line;
      }
      DWORD available = 0;
      if (!::PeekNamedPipe(m_out, nullptr, 0, nullptr, &available, nullptr)) return {};
      if (available == 0) {
        if (Clock::now() >= deadline) return {};
        ::Sleep(1);
        continue;
      }
      char chunk[4096];
      DWORD got = 0;
      if (!::ReadFile(m_out, chunk, std::min<DWORD>(available, sizeof chunk), &got, nullptr)) return {};
      m_buffer.append(chunk, got);
    }
  }

  // Ends the process the hard way: its endpoint is not closed.
  void Kill() {
    if (m_process) ::TerminateProcess(m_process, 9);
    Finish();
  }

  // End of stdin: the peer closes its endpoint and exits.
  void Finish() {
    if (m_in) ::CloseHandle(m_in);
    m_in = nullptr;
    if (m_process) {
      if (::WaitForSingleObject(m_process, 10000) != WAIT_OBJECT_0) {
        ::TerminateProcess(m_process, 9);
        ::WaitForSingleObject(m_process, INFINITE);
      }
      ::CloseHandle(m_process);
    }
    m_process = nullptr;
    if (m_out) ::CloseHandle(m_out);
    m_out = nullptr;
  }

 private:
  HANDLE m_process = nullptr;
  HANDLE m_in = nullptr;
  HANDLE m_out = nullptr;
  bool m_ready = false;
  std::string m_buffer;
};

#else

// One link_peer process in "serve" mode.
class CPeerProcess {
 public:
  explicit CPeerProcess(const std::string& title, int sleepMs = 0) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::string hexTitle = ToHex(title), sleep = std::to_string(sleepMs);
    char program[] = LINK_PEER_PATH;
    char serve[] = "serve";
    char* argv[] = {program, serve, hexTitle.data(), sleep.data(), nullptr};
    if (::posix_spawn(&m_pid, program, &actions, nullptr, argv, environ) != 0) m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    m_in = in[1];
    m_out = out[0];
    m_ready = ReadLine() == "ready";
  }
  ~CPeerProcess() { Finish(); }
  CPeerProcess(const CPeerProcess&) = delete;
  CPeerProcess& operator=(const CPeerProcess&) = delete;

  bool Ready() const { return m_ready; }

  void Command(const std::string& line) {
    const std::string whole = line + "\n";
    ASSERT_EQ(::write(m_in, whole.data(), whole.size()), static_cast<ssize_t>(whole.size()));
  }

  // The next line the peer printed; "" when none came within `timeout`.
  std::string ReadLine(std::chrono::milliseconds timeout = 5000ms) {
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
      if (const size_t end = m_buffer.find('\n'); end != std::string::npos) {
        std::string line = m_buffer.substr(0, end);
        m_buffer.erase(0, end + 1);
        return line;
      }
      pollfd fd{m_out, POLLIN, 0};
      const auto left = std::max<long>(0, Millis(deadline - Clock::now()));
      if (::poll(&fd, 1, static_cast<int>(left)) <= 0) return {};
      char chunk[4096];
      const ssize_t got = ::read(m_out, chunk, sizeof chunk);
      if (got <= 0) return {};
      m_buffer.append(chunk, static_cast<size_t>(got));
    }
  }

  // Ends the process the hard way: its endpoint files stay behind.
  void Kill() {
    if (m_pid > 0) ::kill(m_pid, SIGKILL);
    Finish();
  }

  // End of stdin: the peer closes its endpoint and exits.
  void Finish() {
    if (m_in >= 0) ::close(m_in);
    m_in = -1;
    if (m_pid > 0) {
      int status = 0;
      for (int i = 0; i < 1000 && ::waitpid(m_pid, &status, WNOHANG) == 0; ++i) {
        std::this_thread::sleep_for(10ms);
        if (i == 999) {
          ::kill(m_pid, SIGKILL);
          ::waitpid(m_pid, &status, 0);
        }
      }
    }
    m_pid = -1;
    if (m_out >= 0) ::close(m_out);
    m_out = -1;
  }

 private:
  pid_t m_pid = -1;
  int m_in = -1;
  int m_out = -1;
  bool m_ready = false;
  std::string m_buffer;
};

#endif  // _WIN32

// Texts an endpoint of this process received.
class CReceived {
 public:
  calyx_link::Handler Handler() {
    return [this](const std::string& text) {
      std::lock_guard lock(m_mutex);
      m_texts.push_back(text);
      m_changed.notify_all();
    };
  }
  std::vector<std::string> Texts() {
    std::lock_guard lock(m_mutex);
    return m_texts;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<std::string> m_texts;
};

#ifndef _WIN32

// A client that writes raw bytes, for frames no sender would make.
class CRawClient {
 public:
  explicit CRawClient(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    m_connected = ::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  }
  ~CRawClient() { ::close(m_fd); }
  CRawClient(const CRawClient&) = delete;
  CRawClient& operator=(const CRawClient&) = delete;

  bool Connected() const { return m_connected; }
  void Write(const std::string& bytes) {
    ASSERT_EQ(::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
  }
  void EndWriting() { ::shutdown(m_fd, SHUT_WR); }
  // What the endpoint answered before closing or before `timeout`.
  std::string Answer(std::chrono::milliseconds timeout = 5000ms) {
    std::string answer;
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
      pollfd fd{m_fd, POLLIN, 0};
      const auto left = std::max<long>(0, Millis(deadline - Clock::now()));
      if (::poll(&fd, 1, static_cast<int>(left)) <= 0) return answer + "<open>";
      char chunk[64];
      const ssize_t got = ::recv(m_fd, chunk, sizeof chunk, 0);
      if (got <= 0) return answer;
      answer.append(chunk, static_cast<size_t>(got));
    }
  }

 private:
  int m_fd = -1;
  bool m_connected = false;
};

std::vector<std::string> FolderFiles(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

#endif  // _WIN32

// Elsewhere each test has a link folder of its own; on Windows the endpoints
// are windows of this desktop.
class LinkTest : public ::testing::Test {
 protected:
#ifndef _WIN32
  void SetUp() override {
    ASSERT_FALSE(m_dir.Path().empty());
    ::setenv("MARROWBY_LINK_DIR", Folder().c_str(), 1);
  }
  void TearDown() override { ::unsetenv("MARROWBY_LINK_DIR"); }
  std::string Folder() const { return m_dir.File("link"); }

  CTempDir m_dir;
#endif
};

}  // namespace

TEST_F(LinkTest, TwoProgramsExchangeEveryMessageOfBothTablesByteExact) {
  CPeerProcess calyx(kCalyxTitle);
  CPeerProcess quire("Quire - [f.m]");
  ASSERT_TRUE(calyx.Ready());
  ASSERT_TRUE(quire.Ready());

  for (const std::string& text : QuireToCalyx()) {
    SCOPED_TRACE(text);
    quire.Command("send " + ToHex(kCalyxTitle) + " " + ToHex(text));
    EXPECT_EQ(quire.ReadLine(), "sent 1");
    EXPECT_EQ(calyx.ReadLine(), "got " + ToHex(text));
  }
  for (const std::string& text : CalyxToQuire()) {
    SCOPED_TRACE(text);
    calyx.Command("sendc " + ToHex(kQuireMark) + " " + ToHex(text));
    EXPECT_EQ(calyx.ReadLine(), "sent 1");
    EXPECT_EQ(quire.ReadLine(), "got " + ToHex(text));
  }
}

TEST_F(LinkTest, EndpointOfThisProcessReceivesAndSendsEveryMessage) {
  CPeerProcess quire("Quire - [f.m]");
  ASSERT_TRUE(quire.Ready());
  CReceived received;
  calyx_link::CLinkEndpoint calyx;
  ASSERT_TRUE(calyx.Open(kCalyxTitle, received.Handler()));

  for (const std::string& text : QuireToCalyx()) {
    quire.Command("send " + ToHex(kCalyxTitle) + " " + ToHex(text));
    EXPECT_EQ(quire.ReadLine(), "sent 1");
  }
  // Each send returned only after the handler had run, so all are here, in order.
  EXPECT_EQ(received.Texts(), QuireToCalyx());

  for (const std::string& text : CalyxToQuire()) {
    SCOPED_TRACE(text);
    EXPECT_TRUE(calyx_link::SendToTitleContaining(kQuireMark, text));
    EXPECT_EQ(quire.ReadLine(0ms), "got " + ToHex(text));
  }
}

TEST_F(LinkTest, AnswerSentFromInsideTheHandlerArrivesBeforeTheSenderIsReleased) {
  CPeerProcess quire("Quire - [f.m]");
  ASSERT_TRUE(quire.Ready());
  const std::string answer = "varvalue:<b>x </b>= 3\n";
  std::atomic<bool> answered{false};
  calyx_link::CLinkEndpoint calyx;
  ASSERT_TRUE(calyx.Open(kCalyxTitle, [&](const std::string&) {
    answered = calyx_link::SendToTitleContaining(kQuireMark, answer);
  }));

  quire.Command("send " + ToHex(kCalyxTitle) + " " + ToHex("getvalue:x\r\n"));
  EXPECT_EQ(quire.ReadLine(), "got " + ToHex(answer));
  EXPECT_EQ(quire.ReadLine(), "sent 1");
  EXPECT_TRUE(answered);
}

TEST_F(LinkTest, SenderWaitsForTheHandlerWithinItsBound) {
  {
    CPeerProcess quire("Quire - [f.m]", 200);
    ASSERT_TRUE(quire.Ready());
    const Clock::time_point start = Clock::now();
    EXPECT_TRUE(calyx_link::SendToTitleContaining(kQuireMark, "dbended\nPath="));
    EXPECT_GE(Millis(Clock::now() - start), 200);
    // Printed at the end of the handler: already there when the send returns.
    EXPECT_EQ(quire.ReadLine(0ms), "got " + ToHex("dbended\nPath="));
  }
  {
    // A peer whose handler hangs releases the sender at the bound, with false.
    CPeerProcess quire("Quire - [f.m]", 3000);
    ASSERT_TRUE(quire.Ready());
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(calyx_link::SendToTitleContaining(kQuireMark, "dbended\nPath=", 300ms));
    const long elapsed = Millis(Clock::now() - start);
    EXPECT_GE(elapsed, 300);
    EXPECT_LT(elapsed, 2000);
    quire.Kill();
  }
}

TEST_F(LinkTest, PeersAreFoundByTheirCurrentTitles) {
  const Clock::time_point start = Clock::now();
  EXPECT_FALSE(calyx_link::SendToTitle(kCalyxTitle, "dbcont\r\n"));
  EXPECT_FALSE(calyx_link::SendToTitleContaining(kQuireMark, "UpdatePreferences"));
  EXPECT_FALSE(calyx_link::TitleExists(kCalyxTitle));
  EXPECT_LT(Millis(Clock::now() - start), 500);  // no peer: false at once

  // Quire with no document open is not found; with one it is.
  CPeerProcess quire("Quire");
  ASSERT_TRUE(quire.Ready());
  EXPECT_EQ(calyx_link::FindTitleContaining(kQuireMark), "");
  EXPECT_FALSE(calyx_link::SendToTitleContaining(kQuireMark, "UpdatePreferences"));
  quire.Command("title " + ToHex("Quire - [f.m]"));
  ASSERT_EQ(quire.ReadLine(), "titled 1");
  EXPECT_EQ(calyx_link::FindTitleContaining(kQuireMark), "Quire - [f.m]");
  EXPECT_TRUE(calyx_link::SendToTitleContaining(kQuireMark, "UpdatePreferences"));
  EXPECT_EQ(quire.ReadLine(), "got " + ToHex("UpdatePreferences"));
  quire.Command("title " + ToHex("Quire"));
  ASSERT_EQ(quire.ReadLine(), "titled 1");
  EXPECT_EQ(calyx_link::FindTitleContaining(kQuireMark), "");

  // Calyx is found by its exact title only.
  CPeerProcess other("Octave - Calyx");
  ASSERT_TRUE(other.Ready());
  EXPECT_FALSE(calyx_link::TitleExists(kCalyxTitle));
  EXPECT_FALSE(calyx_link::SendToTitle(kCalyxTitle, "dbcont\r\n"));
  EXPECT_TRUE(calyx_link::TitleExists("Octave - Calyx"));
}

TEST_F(LinkTest, OldestEndpointComesFirstWhateverItsTitle) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows finds peers in its own window order, not by their age";
#endif
  CPeerProcess first("Quire - [a.m]");
  ASSERT_TRUE(first.Ready());
  CPeerProcess second("Quire - [b.m]");
  ASSERT_TRUE(second.Ready());
  EXPECT_EQ(calyx_link::FindTitleContaining(kQuireMark), "Quire - [a.m]");

  first.Command("title " + ToHex("Quire - [c.m]"));
  ASSERT_EQ(first.ReadLine(), "titled 1");
  EXPECT_TRUE(calyx_link::SendToTitleContaining(kQuireMark, "dbended\nPath="));
  EXPECT_EQ(first.ReadLine(0ms), "got " + ToHex("dbended\nPath="));

  first.Finish();
  EXPECT_EQ(calyx_link::FindTitleContaining(kQuireMark), "Quire - [b.m]");
}

#ifdef _WIN32

TEST_F(LinkTest, APeerThatWasKilledIsGoneWithItsWindow) {
  CPeerProcess first("Quire - [a.m]");
  ASSERT_TRUE(first.Ready());
  CPeerProcess second("Quire - [b.m]");
  ASSERT_TRUE(second.Ready());
  first.Kill();
  EXPECT_EQ(calyx_link::FindTitleContaining(kQuireMark), "Quire - [b.m]");
  EXPECT_TRUE(calyx_link::SendToTitleContaining(kQuireMark, "UpdatePreferences"));
  EXPECT_EQ(second.ReadLine(0ms), "got " + ToHex("UpdatePreferences"));
  EXPECT_FALSE(calyx_link::TitleExists("Quire - [a.m]"));
}

TEST_F(LinkTest, MalformedMessagesAreDroppedAndTheEndpointKeepsWorking) {
  CReceived received;
  calyx_link::CLinkEndpoint calyx;
  ASSERT_TRUE(calyx.Open(kCalyxTitle, received.Handler()));
  const HWND window = ::FindWindowA(calyx_link::kWindowClass, kCalyxTitle.c_str());
  ASSERT_NE(window, nullptr);
  auto send = [&](ULONG_PTR dwData, DWORD cbData, const char* data) {
    COPYDATASTRUCT copy{dwData, cbData, const_cast<char*>(data)};
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy),
                                 SMTO_BLOCK, 5000, &result) != 0;
  };
  const std::string text = "dbstep\r\n";
  EXPECT_TRUE(send(7, static_cast<DWORD>(text.size() + 1), text.c_str()));  // dwData not 0
  EXPECT_TRUE(send(0, 0, text.c_str()));                                    // nothing in it
  const std::string oversized(calyx_link::kMaxData + 1, 'x');
  EXPECT_TRUE(send(0, calyx_link::kMaxData + 1, oversized.c_str()));        // above the cap
  EXPECT_TRUE(send(0, 8, nullptr));                                         // no data at all
  EXPECT_TRUE(received.Texts().empty());
  // cbData counts the terminating zero; bytes after a zero are not text.
  const std::string withZero("dbcont\0junk", 11);
  EXPECT_TRUE(send(0, static_cast<DWORD>(withZero.size()), withZero.data()));
  EXPECT_TRUE(send(0, static_cast<DWORD>(text.size()), text.c_str()));  // no zero: cut at cbData
  EXPECT_EQ(received.Texts(), (std::vector<std::string>{"dbcont", text}));
}

#else

TEST_F(LinkTest, EndpointsOfEndedProcessesAreSkippedAndCleanedUp) {
  CPeerProcess first("Quire - [a.m]");
  ASSERT_TRUE(first.Ready());
  CPeerProcess second("Quire - [b.m]");
  ASSERT_TRUE(second.Ready());
  first.Kill();
  EXPECT_EQ(FolderFiles(Folder()).size(), 4u);  // the killed one's files stay behind

  EXPECT_TRUE(calyx_link::SendToTitleContaining(kQuireMark, "UpdatePreferences"));
  EXPECT_EQ(second.ReadLine(0ms), "got " + ToHex("UpdatePreferences"));
  EXPECT_EQ(FolderFiles(Folder()).size(), 2u);

  // A new endpoint sweeps what nobody answers for any more.
  second.Kill();
  CReceived received;
  calyx_link::CLinkEndpoint calyx;
  ASSERT_TRUE(calyx.Open(kCalyxTitle, received.Handler()));
  const std::vector<std::string> files = FolderFiles(Folder());
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].substr(0, files[0].find('.')), files[1].substr(0, files[1].find('.')));

  calyx.Close();
  EXPECT_FALSE(calyx_link::TitleExists(kCalyxTitle));
  EXPECT_TRUE(FolderFiles(Folder()).empty());
  ASSERT_TRUE(calyx.Open(kCalyxTitle, received.Handler()));  // opens again
  EXPECT_TRUE(calyx_link::SendToTitle(kCalyxTitle, "dbquit\r\n"));
  EXPECT_EQ(received.Texts(), std::vector<std::string>{"dbquit\r\n"});
}

TEST_F(LinkTest, MalformedFramesAreDroppedAndTheEndpointKeepsWorking) {
  CReceived received;
  calyx_link::CLinkEndpoint calyx;
  ASSERT_TRUE(calyx.Open(kCalyxTitle, received.Handler()));
  const std::string path = calyx_link::EndpointPathOf(kCalyxTitle);
  ASSERT_FALSE(path.empty());

  const std::string valid = calyx_link::EncodeFrame("dbstep\r\n");
  std::string oversized = valid.substr(0, 8) + std::string("\x01\x00\x10\x00", 4);  // kMaxData + 1
  std::string foreignData = valid;
  foreignData[4] = 7;
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"garbage", "hello world!"},
      {"oversized", oversized},
      {"dwData not 0", foreignData},
      {"cut short", valid.substr(0, valid.size() - 3)},
  };
  for (const auto& [what, bytes] : bad) {
    SCOPED_TRACE(what);
    CRawClient client(path);
    ASSERT_TRUE(client.Connected());
    client.Write(bytes);
    client.EndWriting();
    EXPECT_EQ(client.Answer(), "");  // closed, no acknowledgement
  }
  EXPECT_TRUE(received.Texts().empty());

  {
    CRawClient client(path);
    ASSERT_TRUE(client.Connected());
    client.Write(valid);
    EXPECT_EQ(client.Answer(), calyx_link::EncodeAck());
  }
  {
    // A client that says nothing is dropped in time for a real sender.
    CRawClient silent(path);
    ASSERT_TRUE(silent.Connected());
    const Clock::time_point start = Clock::now();
    EXPECT_TRUE(calyx_link::SendToTitle(kCalyxTitle, "dbcont\r\n"));
    EXPECT_LT(Millis(Clock::now() - start), 4000);
  }
  EXPECT_EQ(received.Texts(), (std::vector<std::string>{"dbstep\r\n", "dbcont\r\n"}));
}

#endif  // _WIN32

TEST_F(LinkTest, TextsUpToTheCapPassAndLongerOnesAreRefused) {
  CReceived received;
  calyx_link::CLinkEndpoint calyx;
  ASSERT_TRUE(calyx.Open(kCalyxTitle, received.Handler()));
  EXPECT_FALSE(calyx_link::SendToTitle(kCalyxTitle, std::string(calyx_link::kMaxData, 'a')));
  std::string largest(calyx_link::kMaxData - 1, 'b');
  largest.back() = '\n';
  EXPECT_TRUE(calyx_link::SendToTitle(kCalyxTitle, largest));
  const std::vector<std::string> texts = received.Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], largest);
}

TEST_F(LinkTest, HandlerThatThrowsDoesNotEndTheEndpoint) {
  std::vector<std::string> texts;
  calyx_link::CLinkEndpoint calyx;
  ASSERT_TRUE(calyx.Open(kCalyxTitle, [&](const std::string& text) {
    if (text == "boom") throw std::runtime_error("handler failed");
    texts.push_back(text);
  }));
  EXPECT_TRUE(calyx_link::SendToTitle(kCalyxTitle, "boom"));
  EXPECT_TRUE(calyx_link::SendToTitle(kCalyxTitle, "dbcont\r\n"));
  EXPECT_EQ(texts, std::vector<std::string>{"dbcont\r\n"});
}

#ifndef _WIN32

TEST_F(LinkTest, AnotherUserIsRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can act as another user";
  CReceived received;
  calyx_link::CLinkEndpoint calyx;
  ASSERT_TRUE(calyx.Open(kCalyxTitle, received.Handler()));
  const std::string path = calyx_link::EndpointPathOf(kCalyxTitle);
  ASSERT_FALSE(path.empty());
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, sizeof address.sun_path - 1);
  const std::string frame = calyx_link::EncodeFrame("dbquit\r\n");

  // Exit codes: 0 acknowledged, 1 connected but refused, 2 could not connect.
  auto sendAsNobody = [&] {
    const pid_t child = ::fork();
    if (child == 0) {
      // Only system calls from here on: the parent has other threads.
      if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
      const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
      if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) ::_exit(2);
      if (::send(fd, frame.data(), frame.size(), MSG_NOSIGNAL) < 0) ::_exit(1);
      char ack[calyx_link::kAckSize];
      ::_exit(::recv(fd, ack, sizeof ack, MSG_WAITALL) == static_cast<ssize_t>(sizeof ack) ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };

  EXPECT_EQ(sendAsNobody(), 2);  // the private folder keeps it out
  // With the folders and the socket opened up, the endpoint itself refuses.
  ASSERT_EQ(::chmod(m_dir.Path().c_str(), 0711), 0);
  ASSERT_EQ(::chmod(Folder().c_str(), 0711), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
  EXPECT_EQ(sendAsNobody(), 1);
  EXPECT_TRUE(received.Texts().empty());

  EXPECT_TRUE(calyx_link::SendToTitle(kCalyxTitle, "dbcont\r\n"));
  EXPECT_EQ(received.Texts(), std::vector<std::string>{"dbcont\r\n"});
}

TEST_F(LinkTest, FolderIsPrivateAndALinkIsRefused) {
  EXPECT_EQ(calyx_link::LinkFolder(), Folder() + "/");
  struct stat info {};
  ASSERT_EQ(::lstat(Folder().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0700u);

  const std::string elsewhere = m_dir.File("elsewhere");
  const std::string link = m_dir.File("pointer");
  ASSERT_EQ(::mkdir(elsewhere.c_str(), 0700), 0);
  ASSERT_EQ(::symlink(elsewhere.c_str(), link.c_str()), 0);
  ::setenv("MARROWBY_LINK_DIR", link.c_str(), 1);
  EXPECT_EQ(calyx_link::LinkFolder(), "");
  calyx_link::CLinkEndpoint endpoint;
  EXPECT_FALSE(endpoint.Open(kCalyxTitle, [](const std::string&) {}));
  EXPECT_FALSE(calyx_link::SendToTitle(kCalyxTitle, "dbcont\r\n"));
  EXPECT_TRUE(FolderFiles(elsewhere).empty());

  // Without the override the folder lives under the runtime folder.
  ::unsetenv("MARROWBY_LINK_DIR");
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string previous = saved ? saved : "";
  ::setenv("XDG_RUNTIME_DIR", m_dir.Path().c_str(), 1);
  const std::string folder = calyx_link::LinkFolder();
  saved ? ::setenv("XDG_RUNTIME_DIR", previous.c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(folder, m_dir.Path() + "/marrowby-link/");
}

#endif  // _WIN32
