#include "console/session/Redirector.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <system_error>
#include <utility>

#include "common/Text.h"

// What both platforms share; the pipes, the child and the reader follow below
// for POSIX and in RedirectorWin32.cpp for Windows.

bool CRedirector::OnReaderThread() const {
  return m_readerThreadId == std::this_thread::get_id();
}

void CRedirector::ReportStartFailure(int error) {
  char message[40];
  std::snprintf(message, sizeof message, "Redirect console error: %x\r\n", error);
  OnError(message);
}

bool CRedirector::WriteFormatted(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(length));
  }
  va_end(args);
  return Write(text);
}

bool CRedirector::Start(const std::string& commandLine) {
  if (const int error = StartProcess(commandLine); error != 0) {
    ReportStartFailure(error);
    return false;
  }
  return StartReading(commandLine);
}

bool CRedirector::StartReading(const std::string& commandLine) {
  std::lock_guard lock(m_mutex);
  if (!m_channel || m_heldCommandLine.empty() || m_heldCommandLine != commandLine) return false;
  m_heldCommandLine.clear();
  m_channel->OpenGate();
  return true;
}

void CRedirector::Pass(OutputGate& gate, OutputGate::Kind kind, std::string text) {
  if (!gate.open) {
    gate.held.emplace_back(kind, std::move(text));
    return;
  }
  // The gate may have opened since the reader last looked: what it holds goes first.
  PassHeld(gate);
  switch (kind) {
    case OutputGate::Kind::Output: OnOutput(text); break;
    case OutputGate::Kind::Quiet: OnQuiet(); break;
    case OutputGate::Kind::ChildGone: OnChildGone(); break;
    case OutputGate::Kind::Error: OnError(text); break;
  }
}

void CRedirector::PassHeld(OutputGate& gate) {
  if (!gate.open) return;
  for (auto& [kind, text] : std::exchange(gate.held, {})) Pass(gate, kind, std::move(text));
}

bool CRedirector::PassRead(OutputGate& gate, std::string_view bytes) {
  const size_t complete = text::CompleteUtf8Prefix(bytes);
  m_utf8Carry.assign(bytes.substr(complete));
  if (complete == 0) return false;
  Pass(gate, OutputGate::Kind::Output, std::string(bytes.substr(0, complete)));
  return true;
}

void CRedirector::PassChildGone(OutputGate& gate) {
  if (!m_utf8Carry.empty()) Pass(gate, OutputGate::Kind::Output, std::exchange(m_utf8Carry, {}));
  Pass(gate, OutputGate::Kind::ChildGone);
}

int CRedirector::StartReader(std::shared_ptr<ReaderState> channel, std::shared_ptr<Child> child,
                             StdinHandle stdinWrite, const std::string& commandLine) {
  std::lock_guard lock(m_mutex);
  m_hStdinWrite = stdinWrite;
  m_child = std::move(child);
  m_channel = channel;
  m_utf8Carry.clear();
  try {
    m_readerThread = std::thread([this, channel] { ReaderLoop(channel); });
  } catch (const std::system_error& failure) {
    CloseStdin();
    m_channel.reset();
    m_formerChildren.push_back(std::move(m_child));
    return failure.code().value();
  }
  m_readerThreadId = m_readerThread.get_id();
  m_heldCommandLine = commandLine;
  return 0;
}

void CRedirector::EndReaderLoop(ReaderState& channel, bool quietPending, int result) {
  bool abandoned;
  {
    std::lock_guard lock(channel.mutex);
    abandoned = channel.abandoned;
  }
  if (!abandoned) {
    if (quietPending) Pass(channel, OutputGate::Kind::Quiet);
    // A child that ended before anyone read it: its last words wait for the
    // owner, unless the owner stops the session first.
    if (result <= 0 && channel.WaitForGate()) PassHeld(channel);
    Stop();
  }
  {
    std::lock_guard lock(channel.mutex);
    channel.done = true;
  }
  channel.finished.notify_all();
}

void CRedirector::Stop() {
  std::unique_lock lock(m_mutex);
  std::shared_ptr<ReaderState> channel = std::move(m_channel);
  m_heldCommandLine.clear();
  CloseStdin();
  if (m_child) {
    m_formerChildren.push_back(std::move(m_child));
    CollectFormerChildren(false);
  }
  if (OnReaderThread()) {
    // The reader ends by itself right after this; whoever stops next joins it.
    return;
  }
  std::thread reader = std::move(m_readerThread);
  m_readerThreadId = {};
  lock.unlock();

  if (!reader.joinable()) return;
  bool ended = true;
  if (channel) {
    {
      std::lock_guard channelLock(channel->mutex);
      channel->stopRequested = true;
    }
    channel->WakeToStop();
    std::unique_lock channelLock(channel->mutex);
    ended = channel->finished.wait_for(channelLock, std::chrono::milliseconds(kStopWaitMs),
                                       [&] { return channel->done; });
    if (!ended) channel->abandoned = true;
  }
  if (ended) {
    reader.join();
  } else {
    // Never kill a thread: it ends by itself and closes what it holds.
    OnError("The redir thread is dead\r\n");
    reader.detach();
  }
}

bool CRedirector::IsRunning() const {
  std::lock_guard lock(m_mutex);
  return m_channel != nullptr;
}

#ifndef _WIN32

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

#include "console/session/CommandLine.h"

extern char** environ;

namespace {

// Waiting on a pidfd: the child is named by the descriptor, never by its id.
constexpr idtype_t kByPidFd = static_cast<idtype_t>(3);

int OpenPidFd(pid_t pid) { return static_cast<int>(syscall(SYS_pidfd_open, pid, 0)); }

int SendSignal(int pidFd, int signal) {
  return static_cast<int>(syscall(SYS_pidfd_send_signal, pidFd, signal, nullptr, 0));
}

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

void IgnoreSigpipeOnce() {
  // A write to an interpreter that has just died must fail, not end this program.
  static std::once_flag once;
  std::call_once(once, [] { signal(SIGPIPE, SIG_IGN); });
}

}  // namespace

// What the reader thread owns. It outlives the redirector's hold on it when a
// reader does not end in time: the thread closes its descriptors when it ends.
struct CRedirector::ReaderChannel : ReaderState {
  int stdoutRead = -1;
  int stopRead = -1;
  int stopWrite = -1;
  int childFd = -1;  // readable when the child has ended
  int gateFd = -1;   // an eventfd, readable once the gate has opened

  ~ReaderChannel() override {
    CloseFd(stdoutRead);
    CloseFd(stopRead);
    CloseFd(stopWrite);
    CloseFd(childFd);
    CloseFd(gateFd);
  }

  void OpenGate() override {
    open = true;
    const uint64_t one = 1;
    if (write(gateFd, &one, sizeof one) < 0) {
      // Only a full counter fails, and then the reader has been woken already.
    }
  }

  bool WaitForGate() override {
    pollfd fds[2] = {{stopRead, POLLIN, 0}, {gateFd, POLLIN, 0}};
    while (!open) {
      if (poll(fds, 2, -1) < 0 && errno != EINTR) return false;
      if (fds[0].revents) return false;
    }
    return true;
  }

  void WakeToStop() override {
    const char stop = 's';
    WriteAll(stopWrite, {&stop, 1});
  }
};

// The child process, reached through a pidfd so that no other process that later
// gets the same id can ever be signalled or collected by mistake.
struct CRedirector::Child {
  pid_t pid = -1;
  int pidFd = -1;
  std::mutex mutex;
  bool collected = false;

  ~Child() { CloseFd(pidFd); }

  bool Signal(int signal) {
    std::lock_guard lock(mutex);
    return !collected && pidFd >= 0 && SendSignal(pidFd, signal) == 0;
  }
  // Collects the child if it has ended (or waits for it when `wait` is set).
  bool Collect(bool wait) {
    std::lock_guard lock(mutex);
    if (collected) return true;
    siginfo_t info{};
    const int flags = WEXITED | (wait ? 0 : WNOHANG);
    int result;
    do {
      result = waitid(kByPidFd, static_cast<id_t>(pidFd), &info, flags);
    } while (result < 0 && errno == EINTR);
    if (result == 0 && info.si_pid != 0) collected = true;
    if (result < 0 && errno == ECHILD) collected = true;
    return collected;
  }
};

CRedirector::CRedirector() = default;

CRedirector::~CRedirector() {
  // Derived parts are gone by now, so the reader must not call back into them:
  // Stop below runs the base version.
  CRedirector::Stop();
  std::lock_guard lock(m_mutex);
  if (m_child) m_formerChildren.push_back(std::move(m_child));
  for (auto& child : m_formerChildren) {
    if (!child->Collect(false) && child->Signal(SIGKILL)) child->Collect(true);
  }
}



void CRedirector::CollectFormerChildren(bool kill) {
  std::erase_if(m_formerChildren, [kill](const std::shared_ptr<Child>& child) {
    if (child->Collect(false)) return true;
    return kill && child->Signal(SIGKILL) && child->Collect(true);
  });
}

int CRedirector::StartProcess(const std::string& commandLine) {
  Stop();
  IgnoreSigpipeOnce();
  {
    std::lock_guard lock(m_mutex);
    CollectFormerChildren(false);
  }

  const std::vector<std::string> words = SplitCommandLine(commandLine);
  if (words.empty()) return ENOENT;

  int outPipe[2] = {-1, -1};
  int inPipe[2] = {-1, -1};
  auto channel = std::make_shared<ReaderChannel>();
  auto child = std::make_shared<Child>();
  int error = 0;

  int stopPipe[2] = {-1, -1};
  if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(inPipe, O_CLOEXEC) != 0 ||
      pipe2(stopPipe, O_CLOEXEC) != 0 ||
      (channel->gateFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) < 0) {
    error = errno;
  }

  if (!error) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    // One pipe carries standard output and error, interleaved as written.
    posix_spawn_file_actions_adddup2(&actions, inPipe[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDERR_FILENO);
    // Its own process group keeps a terminal's Ctrl+C for us; signals we ignore
    // (SIGPIPE) are reset so the child behaves as if started from a shell.
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETPGROUP);

    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    error = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (!error) {
      child->pid = pid;
      child->pidFd = OpenPidFd(pid);
      if (child->pidFd < 0) {
        error = errno;
        kill(pid, SIGKILL);  // still ours: it cannot have been collected yet
        waitpid(pid, nullptr, 0);
      }
    }
  }

  // The child holds its own copies; closing ours lets the output pipe break
  // when the child ends.
  CloseFd(outPipe[1]);
  CloseFd(inPipe[0]);
  if (!error) {
    channel->childFd = dup(child->pidFd);
    if (channel->childFd < 0) error = errno;
  }
  channel->stdoutRead = outPipe[0];
  channel->stopRead = stopPipe[0];
  channel->stopWrite = stopPipe[1];

  if (error) {
    CloseFd(inPipe[1]);
    if (child->pidFd >= 0) {
      std::lock_guard lock(m_mutex);
      m_formerChildren.push_back(child);
    }
    return error;
  }

  return StartReader(channel, child, inPipe[1], commandLine);
}

void CRedirector::CloseStdin() { CloseFd(m_hStdinWrite); }

bool CRedirector::Write(std::string_view bytes) {
  int fd;
  {
    // A duplicate lets Stop close the pipe while a long write is under way.
    std::lock_guard lock(m_mutex);
    if (m_hStdinWrite < 0) return false;
    fd = dup(m_hStdinWrite);
  }
  if (fd < 0) return false;
  const bool written = WriteAll(fd, bytes);
  close(fd);
  return written;
}

bool CRedirector::Interrupt() {
  std::lock_guard lock(m_mutex);
  return m_child && m_child->Signal(SIGINT);
}

bool CRedirector::TerminateChild() {
  // The current child, or one whose session was stopped but which still runs.
  std::vector<std::shared_ptr<Child>> children;
  {
    std::lock_guard lock(m_mutex);
    children = m_formerChildren;
    if (m_child) children.push_back(m_child);
  }
  bool signalled = false;
  for (const auto& child : children) {
    if (child->Signal(SIGKILL)) signalled = true;
    child->Collect(true);
  }
  std::lock_guard lock(m_mutex);
  CollectFormerChildren(false);
  return signalled;
}

bool CRedirector::WaitChildEnded(int timeoutMs) {
  std::shared_ptr<Child> child;
  {
    std::lock_guard lock(m_mutex);
    child = m_child;
  }
  if (!child || child->pidFd < 0) return true;
  pollfd ended{child->pidFd, POLLIN, 0};
  int ready;
  do {
    ready = poll(&ended, 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}


pid_t CRedirector::ChildPid() const {
  std::lock_guard lock(m_mutex);
  return m_child ? m_child->pid : -1;
}

int CRedirector::DrainOutput(ReaderChannel& channel, bool hangup) {
  char buffer[kChunkBytes + 4];
  for (;;) {
    int available = 0;
    if (ioctl(channel.stdoutRead, FIONREAD, &available) != 0) {
      Pass(channel, OutputGate::Kind::Error, "Read stdout pipe error\r\n");
      return -1;
    }
    if (available <= 0) {
      if (!hangup) return 1;
      PassChildGone(channel);
      return 0;
    }
    const size_t carried = m_utf8Carry.size();
    std::copy(m_utf8Carry.begin(), m_utf8Carry.end(), buffer);
    const size_t wanted = std::min(static_cast<size_t>(available), kChunkBytes - carried);
    const ssize_t got = read(channel.stdoutRead, buffer + carried, wanted);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      Pass(channel, OutputGate::Kind::Error, "Read stdout pipe error\r\n");
      return -1;
    }
    PassRead(channel, std::string_view(buffer, carried + static_cast<size_t>(got)));
    if (channel.StopAsked()) return 1;
  }
}

void CRedirector::ReaderLoop(const std::shared_ptr<ReaderState>& state) {
  ReaderChannel& channel = static_cast<ReaderChannel&>(*state);
  enum { kChildEnded, kStopRequested, kOutput, kGateOpened };
  pollfd fds[4] = {{channel.childFd, POLLIN, 0},
                   {channel.stopRead, POLLIN, 0},
                   {channel.stdoutRead, POLLIN, 0},
                   {channel.gateFd, POLLIN, 0}};
  bool quietPending = false;
  int result = DrainOutput(channel, false);
  while (result > 0) {
    const int ready = poll(fds, 4, quietPending ? kQuietMs : kPollMs);
    {
      std::lock_guard lock(channel.mutex);
      if (channel.abandoned) break;
    }
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) {
      if (quietPending) Pass(channel, OutputGate::Kind::Quiet);
      quietPending = false;
      continue;
    }
    if (ready < 0) {
      result = DrainOutput(channel, false);
      continue;
    }
    if (fds[kStopRequested].revents) {
      result = 1;
      break;
    }
    if (fds[kGateOpened].revents) {
      fds[kGateOpened].fd = -1;  // open for good: no longer watched
      PassHeld(channel);
    }
    if (fds[kChildEnded].revents) {
      // Whatever the child wrote is in the pipe by now, even if a process it
      // started still holds the pipe open.
      DrainOutput(channel, false);
      DrainOutput(channel, true);
      result = 0;
      break;
    }
    if (!fds[kOutput].revents) continue;
    const bool hangup = (fds[kOutput].revents & (POLLHUP | POLLERR)) != 0;
    result = DrainOutput(channel, hangup);
    quietPending = result > 0;
  }

  EndReaderLoop(channel, quietPending, result);
}

#endif  // _WIN32
