// The pipe layer on Windows: anonymous pipes, a child with a hidden console of
// its own, and a reader that peeks at the pipe so that it never blocks in a
// read and notices a stop request or the child's end within one wait period.
#include "console/session/Redirector.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

void CloseHandleOnce(HANDLE& handle) {
  if (handle) ::CloseHandle(handle);
  handle = nullptr;
}

HANDLE Duplicate(HANDLE handle, bool inheritable) {
  HANDLE copy = nullptr;
  if (!::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy, 0, inheritable,
                         DUPLICATE_SAME_ACCESS)) {
    return nullptr;
  }
  return copy;
}

bool WriteAll(HANDLE pipe, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
    if (!::WriteFile(pipe, bytes.data(), chunk, &written, nullptr)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool ChildHasGone(DWORD error) { return error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA; }

// Ctrl+C reaches a console's processes only from a process attached to that
// console. This process borrows the child's console for the moment of sending;
// a handler of its own keeps the event from ending this process too.
BOOL WINAPI IgnoreCtrlC(DWORD event) { return event == CTRL_C_EVENT; }

bool SendCtrlC(DWORD processId) {
  static std::mutex consoleMutex;
  std::lock_guard lock(consoleMutex);
  static const bool handlerInstalled = ::SetConsoleCtrlHandler(IgnoreCtrlC, TRUE) != 0;
  if (!handlerInstalled) return false;
  const bool hadConsole = ::GetConsoleWindow() != nullptr;
  ::FreeConsole();
  bool sent = false;
  if (::AttachConsole(processId)) {
    sent = ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) != 0;
    ::FreeConsole();
  }
  if (hadConsole) ::AttachConsole(ATTACH_PARENT_PROCESS);
  return sent;
}

}  // namespace

// What the reader thread owns. It outlives the redirector's hold on it when a
// reader does not end in time: the thread closes its handles when it ends.
struct CRedirector::ReaderChannel : ReaderState {
  HANDLE stdoutRead = nullptr;
  HANDLE stopEvent = nullptr;  // manual reset
  HANDLE gateEvent = nullptr;  // manual reset, set once the gate has opened
  HANDLE childProcess = nullptr;
  bool delivered = false;      // reader thread only: the last drain passed output on

  ~ReaderChannel() override {
    CloseHandleOnce(stdoutRead);
    CloseHandleOnce(stopEvent);
    CloseHandleOnce(childProcess);
    CloseHandleOnce(gateEvent);
  }

  void OpenGate() override {
    open = true;
    ::SetEvent(gateEvent);
  }

  bool WaitForGate() override {
    const HANDLE waitSet[2] = {stopEvent, gateEvent};
    while (!open) {
      const DWORD woken = ::WaitForMultipleObjects(2, waitSet, FALSE, INFINITE);
      if (woken != WAIT_OBJECT_0 + 1) return false;
    }
    return true;
  }

  void WakeToStop() override { ::SetEvent(stopEvent); }
};

// The child process, held by its handle: only the process this object started
// can ever be terminated, whatever other process has the same name or id.
struct CRedirector::Child {
  HANDLE process = nullptr;
  DWORD id = 0;

  ~Child() { CloseHandleOnce(process); }

  bool Ended() const { return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }
  bool Terminate() {
    if (Ended()) return false;
    return ::TerminateProcess(process, 1) != 0 && ::WaitForSingleObject(process, kStopWaitMs) == WAIT_OBJECT_0;
  }
};

CRedirector::CRedirector() = default;

CRedirector::~CRedirector() {
  // Derived parts are gone by now, so the reader must not call back into them:
  // Stop below runs the base version.
  CRedirector::Stop();
  std::lock_guard lock(m_mutex);
  if (m_child) m_formerChildren.push_back(std::move(m_child));
  for (auto& child : m_formerChildren) child->Terminate();
}

void CRedirector::CollectFormerChildren(bool kill) {
  std::erase_if(m_formerChildren, [kill](const std::shared_ptr<Child>& child) {
    return child->Ended() || (kill && child->Terminate());
  });
}

int CRedirector::StartProcess(const std::string& commandLine) {
  Stop();
  {
    std::lock_guard lock(m_mutex);
    CollectFormerChildren(false);
  }

  // The child's ends are inheritable; ours are duplicated without inheritance
  // so that the child does not hold them and the output pipe breaks when it ends.
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE outputReadTemp = nullptr, outputWrite = nullptr, errorWrite = nullptr;
  HANDLE inputRead = nullptr, inputWriteTemp = nullptr;
  auto channel = std::make_shared<ReaderChannel>();
  auto child = std::make_shared<Child>();
  HANDLE stdinWrite = nullptr;
  PROCESS_INFORMATION process{};

  bool ok = ::CreatePipe(&outputReadTemp, &outputWrite, &inheritable, 0) &&
            // Standard error is a second handle on the output pipe: both streams
            // arrive interleaved in the order written.
            (errorWrite = Duplicate(outputWrite, true)) != nullptr &&
            ::CreatePipe(&inputRead, &inputWriteTemp, &inheritable, 0) &&
            (channel->stdoutRead = Duplicate(outputReadTemp, false)) != nullptr &&
            (stdinWrite = Duplicate(inputWriteTemp, false)) != nullptr;
  CloseHandleOnce(outputReadTemp);
  CloseHandleOnce(inputWriteTemp);
  if (ok) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = inputRead;
    startup.hStdOutput = outputWrite;
    startup.hStdError = errorWrite;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    ok = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE, nullptr,
                          nullptr, &startup, &process) != 0;
  }
  DWORD error = ok ? 0 : ::GetLastError();
  // The child holds its own copies.
  CloseHandleOnce(outputWrite);
  CloseHandleOnce(errorWrite);
  CloseHandleOnce(inputRead);
  if (ok) {
    ::CloseHandle(process.hThread);
    child->process = process.hProcess;
    child->id = process.dwProcessId;
    channel->childProcess = Duplicate(process.hProcess, false);
    channel->stopEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    channel->gateEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!channel->childProcess || !channel->stopEvent || !channel->gateEvent) {
      ok = false;
      error = ::GetLastError();
    }
  }

  if (ok) return StartReader(channel, child, stdinWrite, commandLine);
  // Whatever was built is closed; a child that did start is left to end by
  // itself once its pipes are gone, as after Stop.
  if (child->process) {
    std::lock_guard lock(m_mutex);
    m_formerChildren.push_back(child);
  }
  CloseHandleOnce(stdinWrite);
  return error != 0 ? static_cast<int>(error) : static_cast<int>(ERROR_GEN_FAILURE);
}

void CRedirector::CloseStdin() {
  HANDLE stdinWrite = std::exchange(m_hStdinWrite, nullptr);
  CloseHandleOnce(stdinWrite);
}

bool CRedirector::Write(std::string_view bytes) {
  HANDLE pipe;
  {
    // A duplicate lets Stop close the pipe while a long write is under way.
    std::lock_guard lock(m_mutex);
    if (!m_hStdinWrite) return false;
    pipe = Duplicate(m_hStdinWrite, false);
  }
  if (!pipe) return false;
  const bool written = WriteAll(pipe, bytes);
  ::CloseHandle(pipe);
  return written;
}

bool CRedirector::Interrupt() {
  DWORD id;
  {
    std::lock_guard lock(m_mutex);
    if (!m_child || m_child->Ended()) return false;
    id = m_child->id;
  }
  return SendCtrlC(id);
}

bool CRedirector::TerminateChild() {
  // The current child, or one whose session was stopped but which still runs.
  std::vector<std::shared_ptr<Child>> children;
  {
    std::lock_guard lock(m_mutex);
    children = m_formerChildren;
    if (m_child) children.push_back(m_child);
  }
  bool terminated = false;
  for (const auto& child : children) {
    if (child->Terminate()) terminated = true;
  }
  std::lock_guard lock(m_mutex);
  CollectFormerChildren(false);
  return terminated;
}

bool CRedirector::WaitChildEnded(int timeoutMs) {
  std::shared_ptr<Child> child;
  {
    std::lock_guard lock(m_mutex);
    child = m_child;
  }
  return !child || ::WaitForSingleObject(child->process, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

pid_t CRedirector::ChildPid() const {
  std::lock_guard lock(m_mutex);
  return m_child ? static_cast<pid_t>(m_child->id) : -1;
}

int CRedirector::DrainOutput(ReaderChannel& channel, bool hangup) {
  char buffer[kChunkBytes + 4];
  channel.delivered = false;
  auto childGone = [&] {
    PassChildGone(channel);
    return 0;
  };
  for (;;) {
    DWORD available = 0;
    if (!::PeekNamedPipe(channel.stdoutRead, nullptr, 0, nullptr, &available, nullptr)) {
      if (ChildHasGone(::GetLastError())) return childGone();
      Pass(channel, OutputGate::Kind::Error, "Read stdout pipe error\r\n");
      return -1;
    }
    if (available == 0) return hangup ? childGone() : 1;
    const size_t carried = m_utf8Carry.size();
    std::copy(m_utf8Carry.begin(), m_utf8Carry.end(), buffer);
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>(available, kChunkBytes - carried));
    DWORD got = 0;
    if (!::ReadFile(channel.stdoutRead, buffer + carried, wanted, &got, nullptr) || got == 0) {
      if (ChildHasGone(::GetLastError())) return childGone();
      Pass(channel, OutputGate::Kind::Error, "Read stdout pipe error\r\n");
      return -1;
    }
    if (PassRead(channel, std::string_view(buffer, carried + got))) channel.delivered = true;
    if (channel.StopAsked()) return 1;
  }
}

void CRedirector::ReaderLoop(const std::shared_ptr<ReaderState>& state) {
  ReaderChannel& channel = static_cast<ReaderChannel&>(*state);
  enum { kChildEnded = WAIT_OBJECT_0, kStopRequested = WAIT_OBJECT_0 + 1, kGateOpened = WAIT_OBJECT_0 + 2 };
  const HANDLE waitSet[3] = {channel.childProcess, channel.stopEvent, channel.gateEvent};
  int result = DrainOutput(channel, false);
  bool quietPending = channel.delivered;
  while (result > 0) {
    // Anonymous pipes cannot be waited on: after output, look again soon to
    // tell a pause from the end of a burst, else at the poll period. Once the
    // gate is open its event stays set and is no longer waited on.
    const DWORD watched = channel.open ? 2 : 3;
    const DWORD woken = ::WaitForMultipleObjects(watched, waitSet, FALSE, quietPending ? kQuietMs : kPollMs);
    {
      std::lock_guard lock(channel.mutex);
      if (channel.abandoned) break;
    }
    if (woken == kStopRequested) {
      result = 1;
      break;
    }
    if (woken == kGateOpened) PassHeld(channel);
    if (woken == kChildEnded) {
      // Whatever the child wrote is in the pipe by now, even if a process it
      // started still holds the pipe open.
      if (DrainOutput(channel, false) > 0) DrainOutput(channel, true);
      result = 0;
      break;
    }
    result = DrainOutput(channel, false);
    if (channel.delivered) {
      quietPending = true;
    } else if (quietPending) {
      Pass(channel, OutputGate::Kind::Quiet);
      quietPending = false;
    }
  }

  EndReaderLoop(channel, quietPending, result);
}
