// The pipe layer against real child processes.
#include "console/session/Redirector.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "console/session/StartupCommands.h"
#include "tests/common/TestFiles.h"
#include "tests/fake/FakeOctave.h"

namespace {

using namespace std::chrono_literals;

class CRecordingRedirector : public CRedirector {
 public:
  ~CRecordingRedirector() override { Stop(); }

  std::string Output() {
    std::lock_guard lock(m_mutex);
    return m_output;
  }
  std::vector<std::string> Pieces() {
    std::lock_guard lock(m_mutex);
    return m_pieces;
  }
  std::string Errors() {
    std::lock_guard lock(m_mutex);
    return m_errors;
  }
  bool WaitFor(const std::function<bool()>& test, std::chrono::milliseconds timeout = 10s) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return test(); });
  }
  // Each piece of output then takes the reader a millisecond, so a child that
  // writes without pause keeps the pipe full. Call before Start.
  void MakeReaderSlow() { m_slowReader = true; }
  // Unlocked accessors for use inside WaitFor's test.
  const std::string& output() const { return m_output; }
  bool gone() const { return m_gone; }
  // True once the reader has closed the session itself (Start and the test
  // close it on the test's own thread).
  bool stoppedByReader() const { return m_stoppedByReader; }

  void Stop() override {
    CRedirector::Stop();
    if (std::this_thread::get_id() == m_testThread) return;
    std::lock_guard lock(m_mutex);
    m_stoppedByReader = true;
    m_changed.notify_all();
  }

 protected:
  void OnOutput(const std::string& text) override {
    if (m_slowReader) std::this_thread::sleep_for(1ms);  // a window busy with each piece
    std::lock_guard lock(m_mutex);
    m_output += text;
    m_pieces.push_back(text);
    m_changed.notify_all();
  }
  void OnError(const std::string& text) override {
    std::lock_guard lock(m_mutex);
    m_errors += text;
    m_changed.notify_all();
  }
  void OnChildGone() override {
    std::lock_guard lock(m_mutex);
    m_gone = true;
    m_changed.notify_all();
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::string m_output;
  std::vector<std::string> m_pieces;
  std::string m_errors;
  bool m_gone = false;
  const std::thread::id m_testThread = std::this_thread::get_id();
  bool m_stoppedByReader = false;
  bool m_slowReader = false;
};

#ifdef _WIN32

// The stand-in interpreter plays the children that a shell plays elsewhere:
// each test writes its script and starts it as Windows starts a program.
class WindowsRedirector : public ::testing::Test {
 protected:
  std::string Child(const std::string& script) {
    std::ofstream(m_dir.File("script"), std::ios::binary) << script;
    return FakeOctaveProgram() + " --script " + m_dir.File("script");
  }

  CTempDir m_dir;
  CRecordingRedirector redirector;
};

TEST_F(WindowsRedirector, MissingProgramReportsErrorTwoAndStaysIdle) {
  EXPECT_FALSE(redirector.Start(ProgramFolder() + "\\octave.exe --interactive --no-history"));
  EXPECT_EQ(redirector.Errors(), "Redirect console error: 2\r\n");
  EXPECT_FALSE(redirector.IsRunning());
  EXPECT_FALSE(redirector.WriteFormatted("%s\r\n", "x"));
  EXPECT_FALSE(redirector.Interrupt());
  EXPECT_FALSE(redirector.TerminateChild());
}

TEST_F(WindowsRedirector, AnInterpreterInAFolderWithBlanksStartsFromItsCommandLine) {
  // A folder such as "C:\\Program Files\\..." must not start "C:\\Program.exe".
  const std::string folder = m_dir.File("Octave 3.2.4\\bin");
  ASSERT_TRUE(std::filesystem::create_directories(folder));
  ASSERT_TRUE(std::filesystem::copy_file(FakeOctaveProgram(), folder + "\\octave.exe"));
  ASSERT_TRUE(redirector.Start(InterpreterCommandLine(folder)));
  EXPECT_TRUE(redirector.WaitFor([&] { return redirector.output().ends_with(">> "); }));
  EXPECT_TRUE(redirector.WriteFormatted("%s\r\n", "quit"));
  EXPECT_TRUE(redirector.WaitFor([&] { return redirector.gone(); }));
  EXPECT_EQ(redirector.Errors(), "");
}

TEST_F(WindowsRedirector, LargeOutputArrivesWholeInBoundedPiecesWithUtf8Intact) {
  std::string banner;
  for (int i = 0; i < 20000; ++i) banner += "\\xc3\\xa9";
  ASSERT_TRUE(redirector.Start(Child("banner " + banner + "\nprompt\n")));
  ASSERT_TRUE(redirector.WriteFormatted("%s\r\n", "quit"));
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.gone(); }));
  const std::string output = redirector.Output();
  ASSERT_EQ(output.size(), 40000u);
  EXPECT_EQ(output.find_first_not_of("\xc3\xa9"), std::string::npos);
  for (const std::string& piece : redirector.Pieces()) {
    EXPECT_LE(piece.size(), CRedirector::kChunkBytes);
    EXPECT_EQ(piece.size() % 2, 0u) << "a character was split";
  }
  EXPECT_GT(redirector.Pieces().size(), 7u);
}

TEST_F(WindowsRedirector, StandardErrorIsInterleavedAndTheLineEndReachesTheChild) {
  // The child sees the "\r\n" line end of the commands; the stand-in drops the
  // carriage return as the interpreter does.
  ASSERT_TRUE(redirector.Start(
      Child("banner\nprompt\non go\n out one\\n\n err two\\n\n out three\\n\n exit 0\n")));
  EXPECT_TRUE(redirector.WriteFormatted("%s\r\n", "go"));
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.gone(); }));
  EXPECT_EQ(redirector.Output(), "one\ntwo\nthree\n");
  // The reader has stopped the session itself: nothing is left to write to.
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.stoppedByReader(); }));
  EXPECT_FALSE(redirector.IsRunning());
  EXPECT_FALSE(redirector.WriteFormatted("%s\r\n", "late"));
  EXPECT_EQ(redirector.Errors(), "");
}

TEST_F(WindowsRedirector, StartStopsThePreviousSessionAndTerminateEndsOnlyItsChild) {
  ASSERT_TRUE(redirector.Start(Child("banner first\\n\nprompt\n")));
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.output() == "first\n"; }));
  const pid_t first = redirector.ChildPid();
  ASSERT_TRUE(redirector.Start(Child("banner second\\n\nprompt\n")));
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.output() == "first\nsecond\n"; }));
  EXPECT_NE(redirector.ChildPid(), first);

  // Another program's child of the same name is not ours to end.
  CRecordingRedirector other;
  ASSERT_TRUE(other.Start(Child("banner other\\n\nprompt\n")));
  ASSERT_TRUE(other.WaitFor([&] { return other.output() == "other\n"; }));

  const auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(redirector.TerminateChild());
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.gone(); }, 2s));
  EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
  EXPECT_FALSE(redirector.TerminateChild()) << "the child has already ended";
  EXPECT_FALSE(other.WaitChildEnded(0)) << "another program's child was ended";
  EXPECT_TRUE(other.TerminateChild());
}

TEST_F(WindowsRedirector, StopReturnsPromptlyWhileTheChildKeepsWriting) {
  ASSERT_TRUE(redirector.Start(Child("on go\n flood 100000000 tick\n")));
  ASSERT_TRUE(redirector.WriteFormatted("%s\r\n", "go"));
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.output().find("tick") != std::string::npos; }));
  const auto before = std::chrono::steady_clock::now();
  redirector.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
  EXPECT_FALSE(redirector.IsRunning());
  EXPECT_EQ(redirector.Errors(), "");
  redirector.TerminateChild();
}

TEST_F(WindowsRedirector, OutputWrittenBeforeReadingStartsWaitsWholeAndInOrder) {
  // Far more than a pipe holds: the child must not block before anyone reads.
  const std::string banner(300000, 'x');
  const std::string commandLine = Child("banner " + banner + "\\n\nprompt\n");
  ASSERT_EQ(redirector.StartProcess(commandLine), 0);
  ASSERT_TRUE(redirector.WriteFormatted("%s\r\n", "quit"));
  ASSERT_TRUE(redirector.WaitChildEnded(20000)) << "the child blocked on a full pipe";
  EXPECT_EQ(redirector.Output(), "");
  EXPECT_FALSE(redirector.StartReading(commandLine + " --other"));
  ASSERT_TRUE(redirector.StartReading(commandLine));
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.gone(); }));
  EXPECT_EQ(redirector.Output(), banner + "\n");
  for (const std::string& piece : redirector.Pieces()) EXPECT_LE(piece.size(), CRedirector::kChunkBytes);
  EXPECT_EQ(redirector.Errors(), "");
}

TEST_F(WindowsRedirector, CtrlCReachesTheChildsHiddenConsole) {
  ASSERT_TRUE(redirector.Start(Child("on long\n out started\\n\n sleep 600000\n out never\n")));
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.output().ends_with(">> "); }));
  ASSERT_TRUE(redirector.WriteFormatted("%s\r\n", "long"));
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.output().ends_with("started\n"); }));
  ASSERT_TRUE(redirector.Interrupt());
  EXPECT_TRUE(redirector.WaitFor([&] { return redirector.output().ends_with("started\n\n>> "); }, 20s));
  redirector.TerminateChild();
}

#else

TEST(Redirector, MissingProgramReportsErrorTwoAndStaysIdle) {
  CRecordingRedirector redirector;
  EXPECT_FALSE(redirector.Start("/nonexistent/octave-cli --interactive"));
  EXPECT_EQ(redirector.Errors(), "Redirect console error: 2\r\n");
  EXPECT_FALSE(redirector.IsRunning());
  // Started ahead, the failure is only returned: Start reports it when tried again.
  EXPECT_EQ(redirector.StartProcess("/nonexistent/octave-cli --interactive"), ENOENT);
  EXPECT_EQ(redirector.Errors(), "Redirect console error: 2\r\n");
  EXPECT_FALSE(redirector.IsRunning());
  EXPECT_FALSE(redirector.WriteFormatted("%s\n", "x"));
  EXPECT_FALSE(redirector.Interrupt());
}

TEST(Redirector, LargeOutputArrivesWholeInBoundedPiecesWithUtf8Intact) {
  CRecordingRedirector redirector;
  // 20,000 copies of a two-byte character: any cut at a fixed size would split one.
  ASSERT_TRUE(redirector.Start(
      "/bin/sh -c 'i=0; while [ $i -lt 20000 ]; do printf \"\\303\\251\"; i=$((i+1)); done'"));
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.gone(); }));
  const std::string output = redirector.Output();
  ASSERT_EQ(output.size(), 40000u);
  EXPECT_EQ(output.find_first_not_of("\xc3\xa9"), std::string::npos);
  for (const std::string& piece : redirector.Pieces()) {
    EXPECT_LE(piece.size(), CRedirector::kChunkBytes);
    EXPECT_EQ(piece.size() % 2, 0u) << "a character was split";
  }
  EXPECT_GT(redirector.Pieces().size(), 7u);
}

TEST(Redirector, StandardErrorIsInterleavedInWriteOrder) {
  CRecordingRedirector redirector;
  ASSERT_TRUE(redirector.Start("/bin/sh -c 'echo one; echo two >&2; echo three'"));
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.gone(); }));
  EXPECT_EQ(redirector.Output(), "one\ntwo\nthree\n");
}

TEST(Redirector, WritesReachTheChildAndAnEndedChildClosesEverything) {
  CRecordingRedirector redirector;
  ASSERT_TRUE(redirector.Start("/bin/sh -c 'read line; echo got:$line'"));
  EXPECT_TRUE(redirector.WriteFormatted("%s\n", "hello"));
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.gone(); }));
  EXPECT_EQ(redirector.Output(), "got:hello\n");
  // The reader has stopped the session itself: nothing is left to write to.
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.stoppedByReader(); }));
  EXPECT_FALSE(redirector.IsRunning());
  EXPECT_FALSE(redirector.WriteFormatted("%s\n", "late"));
  redirector.Stop();
}

TEST(Redirector, StartStopsThePreviousSessionAndTerminateEndsOnlyItsChild) {
  CRecordingRedirector redirector;
  ASSERT_TRUE(redirector.Start("/bin/sh -c 'echo first; sleep 30'"));
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.output() == "first\n"; }));
  const pid_t first = redirector.ChildPid();
  ASSERT_TRUE(redirector.Start("/bin/sh -c 'echo second; exec sleep 30'"));
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.output() == "first\nsecond\n"; }));
  EXPECT_NE(redirector.ChildPid(), first);
  const auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(redirector.TerminateChild());
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.gone(); }, 2s));
  EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
  EXPECT_FALSE(redirector.TerminateChild()) << "the child is already collected";
}

TEST(Redirector, OutputWrittenBeforeReadingStartsWaitsWholeAndInOrder) {
  CRecordingRedirector redirector;
  // A megabyte, far more than a pipe holds: the child must not block before
  // anyone reads, and what it wrote must come out whole once reading starts.
  const std::string commandLine =
      "/bin/sh -c 'echo banner; read line; head -c 1048576 /dev/zero | tr \"\\0\" x; echo; "
      "echo got:$line'";
  ASSERT_EQ(redirector.StartProcess(commandLine), 0);
  EXPECT_TRUE(redirector.WriteFormatted("%s\n", "hello"));
  ASSERT_TRUE(redirector.WaitChildEnded(20000)) << "the child blocked on a full pipe";
  EXPECT_EQ(redirector.Output(), "");
  EXPECT_FALSE(redirector.gone());
  EXPECT_FALSE(redirector.StartReading("/bin/sh -c 'echo other'"));
  ASSERT_TRUE(redirector.StartReading(commandLine));
  ASSERT_TRUE(redirector.WaitFor([&] { return redirector.gone(); }));
  EXPECT_EQ(redirector.Output(), "banner\n" + std::string(1048576, 'x') + "\ngot:hello\n");
  for (const std::string& piece : redirector.Pieces()) EXPECT_LE(piece.size(), CRedirector::kChunkBytes);
  EXPECT_FALSE(redirector.StartReading(commandLine)) << "the session has ended";
  EXPECT_EQ(redirector.Errors(), "");
}

TEST(Redirector, StopEndsASessionWhoseOutputWasNeverRead) {
  CRecordingRedirector redirector;
  // One child still runs, one has ended: neither keeps Stop waiting.
  for (const std::string commandLine :
       {"/bin/sh -c 'echo banner; exec sleep 30'", "/bin/sh -c 'echo banner'"}) {
    ASSERT_EQ(redirector.StartProcess(commandLine), 0);
    if (commandLine.ends_with("banner'")) {
      ASSERT_TRUE(redirector.WaitChildEnded(10000));
    }
    const auto before = std::chrono::steady_clock::now();
    redirector.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s) << commandLine;
    EXPECT_FALSE(redirector.IsRunning());
    EXPECT_FALSE(redirector.StartReading(commandLine));
    redirector.TerminateChild();
  }
  // The reader has ended with nothing passed on.
  EXPECT_EQ(redirector.Output(), "");
  EXPECT_FALSE(redirector.gone());
}

TEST(Redirector, StopReturnsPromptlyWhileTheChildKeepsWriting) {
  CRecordingRedirector redirector;
  redirector.MakeReaderSlow();
  ASSERT_TRUE(redirector.Start("/bin/sh -c 'exec yes tick'"));
  ASSERT_TRUE(redirector.WaitFor([&] { return !redirector.output().empty(); }));
  const auto before = std::chrono::steady_clock::now();
  redirector.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
  EXPECT_FALSE(redirector.IsRunning());
  EXPECT_EQ(redirector.Errors(), "");
}

#endif  // _WIN32

}  // namespace
