// direct-pipe: the baseline for the console benchmarks. Drives octave-cli over
// bare pipes with nothing between the pipe and the clock, and prints the same
// "== timing" section as calyx-headless --timing.
//
// usage: direct-pipe [--octave PATH] [SCRIPT]   (standard input without SCRIPT)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kPrompt = ">> ";
// Generous: a flood of output on a slow machine still fits, a hung child does not.
constexpr int kAnswerTimeoutMs = 300000;
constexpr int kQuitTimeoutMs = 10000;

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

class COctaveChild {
 public:
  ~COctaveChild() {
    Close(m_in);
    Close(m_out);
    if (m_pid > 0) {
      kill(m_pid, SIGKILL);  // still ours: it has not been reaped
      waitpid(m_pid, nullptr, 0);
    }
  }

  bool Start(const std::string& program) {
    int outPipe[2];
    int inPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0) return Fail("pipe", errno);
    if (pipe2(inPipe, O_CLOEXEC) != 0) {
      const int error = errno;
      close(outPipe[0]);
      close(outPipe[1]);
      return Fail("pipe", error);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inPipe[0], STDIN_FILENO);
    // One pipe for standard output and error, as the session core has it.
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // SIGPIPE is ignored here; the child gets the defaults a shell would give it.
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<std::string> words = {program, "--interactive", "--no-history", "--persist",
                                      "--eval", "PS1('>> ')"};
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int error = posix_spawn(&m_pid, program.c_str(), &actions, &attributes, argv.data(),
                                  environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(outPipe[1]);
    close(inPipe[0]);
    m_in = inPipe[1];
    m_out = outPipe[0];
    if (error != 0) {
      m_pid = -1;
      return Fail(program.c_str(), error);
    }
    return true;
  }

  // Reads until the output since the last write ends with the prompt.
  bool ReadUntilPrompt(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    char buffer[65536];
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return Fail("no prompt in time", 0);
      pollfd fd{m_out, POLLIN, 0};
      const int ready = poll(&fd, 1, static_cast<int>(left));
      if (ready < 0 && errno == EINTR) continue;
      if (ready < 0) return Fail("poll", errno);
      if (ready == 0) continue;
      const ssize_t got = read(m_out, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return Fail("read", errno);
      if (got == 0) return Fail("octave-cli ended", 0);
      // Only the end matters: keep no more than a prompt's length.
      m_tail.append(buffer, static_cast<size_t>(got));
      if (m_tail.size() > kPrompt.size()) m_tail.erase(0, m_tail.size() - kPrompt.size());
      if (m_tail == kPrompt) return true;
    }
  }

  bool Send(std::string_view line) {
    m_tail.clear();
    if (!WriteAll(m_in, line)) return Fail("write", errno);
    return true;
  }

  // Asks the interpreter to quit, reads what is left and reaps it.
  bool Quit() {
    WriteAll(m_in, "quit\n");
    Close(m_in);
    const auto deadline = Clock::now() + std::chrono::milliseconds(kQuitTimeoutMs);
    char buffer[65536];
    while (Clock::now() < deadline) {
      pollfd fd{m_out, POLLIN, 0};
      const int ready = poll(&fd, 1, 100);
      if (ready < 0 && errno != EINTR) break;
      if (ready <= 0) continue;
      const ssize_t got = read(m_out, buffer, sizeof buffer);
      if (got == 0 || (got < 0 && errno != EINTR)) break;
    }
    Close(m_out);
    // Readable once the child has ended: no polling loop.
    const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, m_pid, 0));
    if (pidFd >= 0) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      pollfd fd{pidFd, POLLIN, 0};
      const int ended = poll(&fd, 1, static_cast<int>(std::max<long long>(left, 0)));
      close(pidFd);
      if (ended > 0 && waitpid(m_pid, nullptr, 0) == m_pid) {
        m_pid = -1;
        return true;
      }
    }
    return Fail("octave-cli did not quit", 0);
  }

 private:
  static void Close(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
  // `error` 0: a failure without a system error.
  static bool Fail(const char* what, int error) {
    std::cerr << "direct-pipe: " << what;
    if (error != 0) std::cerr << ": " << std::strerror(error);
    std::cerr << "\n";
    return false;
  }

  pid_t m_pid = -1;
  int m_in = -1;
  int m_out = -1;
  std::string m_tail;
};

int Run(std::istream& script, const std::string& program) {
  COctaveChild octave;
  if (!octave.Start(program)) return 2;
  if (!octave.ReadUntilPrompt(kAnswerTimeoutMs)) return 2;

  std::vector<std::string> timings;
  std::string line;
  char row[64];
  bool answered = true;
  while (answered && std::getline(script, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // calyx-headless directives; scripts are shared between the two programs.
    if (!line.empty() && line[0] == ':') continue;
    const auto queued = Clock::now();
    answered = octave.Send(line + "\n") && octave.ReadUntilPrompt(kAnswerTimeoutMs);
    if (!answered) break;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - queued).count();
    std::snprintf(row, sizeof row, "%.2f\t", ms);
    timings.push_back(row + line);
  }
  // What was measured is shown even when the interpreter ended early.
  if (!timings.empty()) {
    std::cout << "== timing\n";
    for (const std::string& timing : timings) std::cout << timing << "\n";
    std::cout.flush();
  }
  if (!answered) return 1;
  return octave.Quit() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string program = "/usr/bin/octave-cli";
  std::string scriptPath;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--octave" && i + 1 < argc) {
      program = argv[++i];
    } else if (!arg.empty() && arg[0] != '-' && scriptPath.empty()) {
      scriptPath = arg;
    } else {
      std::cerr << "usage: direct-pipe [--octave PATH] [SCRIPT]\n";
      return 64;
    }
  }
  // A write to an interpreter that has just died must fail, not end this program.
  signal(SIGPIPE, SIG_IGN);
  if (scriptPath.empty()) return Run(std::cin, program);
  std::ifstream script(scriptPath);
  if (!script) {
    std::cerr << "direct-pipe: cannot read " << scriptPath << ": " << std::strerror(errno) << "\n";
    return 64;
  }
  return Run(script, program);
}
