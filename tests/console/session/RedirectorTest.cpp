// The pipe layer against real child processes.
#include "console/session/Redirector.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

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
  // Unlocked accessors for use inside WaitFor's test.
  const std::string& output() const { return m_output; }
  bool gone() const { return m_gone; }

 protected:
  void OnOutput(const std::string& text) override {
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
};

TEST(Redirector, MissingProgramReportsErrorTwoAndStaysIdle) {
  CRecordingRedirector redirector;
  EXPECT_FALSE(redirector.Start("/nonexistent/octave-cli --interactive"));
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
  for (int i = 0; i < 500 && redirector.IsRunning(); ++i) std::this_thread::sleep_for(10ms);
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

TEST(Redirector, StopReturnsPromptlyWhileTheChildKeepsWriting) {
  CRecordingRedirector redirector;
  ASSERT_TRUE(redirector.Start("/bin/sh -c 'while :; do echo tick; sleep 0.01; done'"));
  ASSERT_TRUE(redirector.WaitFor([&] { return !redirector.output().empty(); }));
  const auto before = std::chrono::steady_clock::now();
  redirector.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
  EXPECT_FALSE(redirector.IsRunning());
  EXPECT_EQ(redirector.Errors(), "");
}

}  // namespace
