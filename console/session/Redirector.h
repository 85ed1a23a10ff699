// Runs one child process with its standard input, output and error on pipes, reads
// what it writes on a thread of its own and lets the owner write to it.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <cstdarg>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

class CRedirector {
 public:
  // Output is handed over in pieces of at most this many bytes.
  static constexpr size_t kChunkBytes = 5119;
  static constexpr int kPollMs = 100;
  // How long the output may pause after a piece before the owner is told that
  // the child is quiet (see OnQuiet).
  static constexpr int kQuietMs = 30;
  static constexpr int kStopWaitMs = 5000;

  CRedirector();
  virtual ~CRedirector();
  CRedirector(const CRedirector&) = delete;
  CRedirector& operator=(const CRedirector&) = delete;

  // Stops any previous session, then starts the child with the command line and
  // the reader thread. False (and a report through OnError) on failure.
  bool Start(const std::string& commandLine);
  // The first half of Start, for a child started before its output has anywhere
  // to go: the reader reads everything the child writes at once, so that the
  // child never blocks on a full pipe, and holds it until StartReading. Stops any
  // previous session; returns 0, or the error that kept the child from starting
  // (not reported: Start reports it when the owner tries again).
  int StartProcess(const std::string& commandLine);
  // Passes on what the reader holds, in order, then everything that follows.
  // False when no child started by StartProcess with this command line waits.
  bool StartReading(const std::string& commandLine);
  // Writes the formatted text to the child's standard input in one piece. False
  // when no session runs or the write failed.
  bool WriteFormatted(const char* format, ...) __attribute__((format(printf, 2, 3)));
  bool Write(std::string_view bytes);
  // Ends the session: the reader ends, the pipes close. The child is left to end
  // by itself. Safe when nothing runs and on the reader thread itself.
  virtual void Stop();

  // Sends SIGINT to the child this object started (Windows: Ctrl+C to the
  // child's console).
  bool Interrupt();
  // Kills the children this object started that still run (and no other
  // process), and collects them.
  bool TerminateChild();
  // Waits until the current child has ended, at most `timeoutMs`; true when it
  // has (or there is none).
  bool WaitChildEnded(int timeoutMs);
  bool IsRunning() const;
  pid_t ChildPid() const;

 protected:
  // Every piece of the child's output, on the reader thread, in order. A piece
  // never ends inside a UTF-8 sequence unless the stream itself ended there.
  virtual void OnOutput(const std::string& /*text*/) {}
  // A failure of the pipe layer, described as text.
  virtual void OnError(const std::string& /*text*/) {}
  // The output has paused for kQuietMs after a piece (reader thread).
  virtual void OnQuiet() {}
  // The child has gone: its output pipe broke (reader thread).
  virtual void OnChildGone() {}

 private:
  struct ReaderChannel;
  struct Child;
  // What the reader has to pass on, held until the owner starts reading.
  struct OutputGate {
    enum class Kind { Output, Quiet, ChildGone, Error };
    std::atomic<bool> open{false};
    std::vector<std::pair<Kind, std::string>> held;  // reader thread only
  };
  // What the reader thread shares with Stop and the owner. Each platform's
  // channel adds its pipes and its ways of waking the reader.
  struct ReaderState : OutputGate {
    virtual ~ReaderState() = default;
    // Opens the gate and wakes a reader waiting for it.
    virtual void OpenGate() = 0;
    // Waits until the gate opens (true) or the session is stopped (false).
    virtual bool WaitForGate() = 0;
    // Wakes the reader so that it sees stopRequested.
    virtual void WakeToStop() = 0;
    // Whether a drain under way ends at this piece (reader thread).
    bool StopAsked() {
      std::lock_guard lock(mutex);
      return abandoned || stopRequested;
    }

    std::mutex mutex;  // guards the fields below
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    bool stopRequested = false;
  };
#ifdef _WIN32
  using StdinHandle = void*;  // HANDLE
  static constexpr StdinHandle kNoStdin = nullptr;
#else
  using StdinHandle = int;
  static constexpr StdinHandle kNoStdin = -1;
#endif

  // The reader's way to every On* call: held while the gate is closed.
  void Pass(OutputGate& gate, OutputGate::Kind kind, std::string text = {});
  // Passes on what is held once the gate is open (reader thread).
  void PassHeld(OutputGate& gate);
  // Passes on the bytes read, up to an incomplete UTF-8 sequence at their end,
  // which is kept for the next read; true when anything was passed.
  bool PassRead(OutputGate& gate, std::string_view bytes);
  // Every writer has gone: what is left of a broken sequence goes out as it is.
  void PassChildGone(OutputGate& gate);

  // The common end of StartProcess: the session takes the started child, its
  // pipe and its channel, and the reader starts. 0, or the error that kept the
  // reader from starting (the child is then left to end by itself).
  int StartReader(std::shared_ptr<ReaderState> channel, std::shared_ptr<Child> child,
                  StdinHandle stdinWrite, const std::string& commandLine);
  int DrainOutput(ReaderChannel& channel, bool hangup);
  void ReaderLoop(const std::shared_ptr<ReaderState>& state);
  // The reader's last steps once its loop ended with `result` (0 or less: the
  // child has gone).
  void EndReaderLoop(ReaderState& channel, bool quietPending, int result);
  bool OnReaderThread() const;
  void ReportStartFailure(int error);
  void CollectFormerChildren(bool kill);
  void CloseStdin();  // m_mutex held

  mutable std::mutex m_mutex;  // guards the fields below
  std::thread m_readerThread;
  std::thread::id m_readerThreadId;
  std::shared_ptr<ReaderState> m_channel;
  std::shared_ptr<Child> m_child;
  // The command line of a child whose output is held for StartReading.
  std::string m_heldCommandLine;
  StdinHandle m_hStdinWrite = kNoStdin;
  std::string m_utf8Carry;  // reader thread only
  // Children of earlier sessions that may still run; collected when they end.
  std::vector<std::shared_ptr<Child>> m_formerChildren;
};
