// The console tests trust fake_octave to send exactly what its script says;
// these cases make sure it does.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#ifdef _WIN32
#include <windows.h>

#include "common/UserDirs.h"
#else
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;
#endif

#include "tests/common/TestFiles.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const std::string kDefaultBanner =
    "GNU Octave, version 3.2.4\nCopyright (C) 2009 John W. Eaton and others.\n";

#ifdef _WIN32

// The stand-in as Windows starts it: beside this program, with its own hidden
// console, standard output and error on pipes of their own.
class CFakeProcess {
public:
    using Stream = HANDLE;

    ~CFakeProcess() { stop(); }

    bool start(const std::string &script, const std::string &log) {
        SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
        HANDLE inRead = nullptr, outWrite = nullptr, errWrite = nullptr;
        if (!::CreatePipe(&inRead, &in_, &inheritable, 0) ||
            !::CreatePipe(&out_, &outWrite, &inheritable, 0) ||
            !::CreatePipe(&err_, &errWrite, &inheritable, 0))
            return false;
        for (HANDLE ours : {in_, out_, err_})
            ::SetHandleInformation(ours, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
        startup.wShowWindow = SW_HIDE;
        startup.hStdInput = inRead;
        startup.hStdOutput = outWrite;
        startup.hStdError = errWrite;
        std::string line = "\"" + ProgramFolder() + "\\fake_octave.exe\" --script \"" + script +
                           "\" --log \"" + log + "\"";
        PROCESS_INFORMATION process{};
        const bool started = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                                              CREATE_NEW_CONSOLE, nullptr, nullptr, &startup, &process);
        for (HANDLE theirs : {inRead, outWrite, errWrite})
            ::CloseHandle(theirs);
        if (!started)
            return false;
        ::CloseHandle(process.hThread);
        process_ = process.hProcess;
        return true;
    }

    void stop() {
        closeInput();
        for (HANDLE *pipe : {&out_, &err_}) {
            if (*pipe)
                ::CloseHandle(*pipe);
            *pipe = nullptr;
        }
        if (process_) {
            ::TerminateProcess(process_, 9);
            ::WaitForSingleObject(process_, INFINITE);
            ::CloseHandle(process_);
        }
        process_ = nullptr;
    }

    void closeInput() {
        if (in_)
            ::CloseHandle(in_);
        in_ = nullptr;
    }

    bool send(const std::string &text) {
        DWORD written = 0;
        return ::WriteFile(in_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
               written == text.size();
    }

    // An anonymous pipe cannot be waited on: it is looked at every millisecond.
    static std::string readUntil(Stream pipe, const std::string &tail, Clock::duration limit) {
        std::string got;
        const auto deadline = Clock::now() + limit;
        while (!got.ends_with(tail) && Clock::now() < deadline) {
            DWORD available = 0;
            if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr))
                break;
            if (available == 0) {
                ::Sleep(1);
                continue;
            }
            char buf[4096];  // each read is a round trip through Wine's server
            DWORD n = 0;
            if (!::ReadFile(pipe, buf, std::min<DWORD>(available, sizeof buf), &n, nullptr) || n == 0)
                break;
            got.append(buf, n);
        }
        return got;
    }

    // The exit code once the stand-in has ended; -1 while it runs.
    int exitCode(Clock::duration limit) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(limit).count();
        DWORD code = 0;
        if (::WaitForSingleObject(process_, static_cast<DWORD>(ms)) != WAIT_OBJECT_0 ||
            !::GetExitCodeProcess(process_, &code))
            return -1;
        return static_cast<int>(code);
    }

    Stream out() const { return out_; }
    Stream err() const { return err_; }

private:
    HANDLE process_ = nullptr;
    HANDLE in_ = nullptr, out_ = nullptr, err_ = nullptr;
};

#else

class CFakeProcess {
public:
    using Stream = int;

    ~CFakeProcess() { stop(); }

    bool start(const std::string &script, const std::string &log) {
        int in[2], out[2], err[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        const char *argv[] = {FAKE_OCTAVE_PATH, "--script", script.c_str(),
                              "--log", log.c_str(), nullptr};
        const int rc = posix_spawn(&pid_, FAKE_OCTAVE_PATH, &actions, nullptr,
                                   const_cast<char **>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        close(err[1]);
        in_ = in[1];
        out_ = out[0];
        err_ = err[0];
        return rc == 0;
    }

    void stop() {
        for (int *fd : {&in_, &out_, &err_}) {
            if (*fd >= 0)
                close(*fd);
            *fd = -1;
        }
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }

    void closeInput() {
        if (in_ >= 0)
            close(in_);
        in_ = -1;
    }

    bool send(const std::string &text) {
        return write(in_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }

    void interrupt() { kill(pid_, SIGINT); }

    // Reads until the text read ends with `tail`, the pipe closes or the time
    // runs out; returns everything read.
    static std::string readUntil(Stream fd, const std::string &tail, Clock::duration limit) {
        std::string got;
        const auto deadline = Clock::now() + limit;
        while (!got.ends_with(tail) && Clock::now() < deadline) {
            pollfd p{fd, POLLIN, 0};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - Clock::now());
            if (poll(&p, 1, static_cast<int>(left.count()) + 1) <= 0)
                continue;
            char buf[16];
            const ssize_t n = read(fd, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, static_cast<size_t>(n));
        }
        return got;
    }

    // The exit code once the stand-in has ended by itself; -1 while it runs or
    // when a signal ended it.
    int exitCode(Clock::duration limit) {
        const auto deadline = Clock::now() + limit;
        int status = 0;
        while (Clock::now() < deadline) {
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(5000);
        }
        return -1;
    }

    Stream out() const { return out_; }
    Stream err() const { return err_; }

private:
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1, err_ = -1;
};

#endif  // _WIN32

class FakeOctaveTest : public testing::Test {
protected:
    void TearDown() override { fake_.stop(); }

    void start(const std::string &script) {
        fake_.stop();
        std::ofstream(dir_.File("script"), std::ios::binary) << script;
        ASSERT_TRUE(fake_.start(dir_.File("script"), dir_.File("commands.log")));
        out_ = fake_.out();
        err_ = fake_.err();
    }

    void send(const std::string &text) { ASSERT_TRUE(fake_.send(text)); }

    static std::string readUntil(CFakeProcess::Stream stream, const std::string &tail,
                                 Clock::duration limit = 5s) {
        return CFakeProcess::readUntil(stream, tail, limit);
    }

    int exitCode(Clock::duration limit = 5s) { return fake_.exitCode(limit); }

    std::string log() const {
        std::ifstream in(dir_.File("commands.log"), std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

    CTempDir dir_;
    CFakeProcess fake_;
    CFakeProcess::Stream out_{}, err_{};
};

TEST_F(FakeOctaveTest, WritesDefaultBannerThenPrompt) {
    start("# nothing but defaults\n");
    EXPECT_EQ(readUntil(out_, ">> "), kDefaultBanner + ">> ");
}

TEST_F(FakeOctaveTest, ScriptedBannerAndPromptReplaceDefaults) {
    start("banner Octave\\n\nbanner \\e[1mbold\\x21\\n\nprompt octave:1> \n");
    EXPECT_EQ(readUntil(out_, "octave:1> "), "Octave\n\x1b[1mbold!\noctave:1> ");
}

TEST_F(FakeOctaveTest, AnswersExactCommandAndStripsCarriageReturn) {
    start("on x = 1\n  out x = 1\\n\n  echo\n");
    readUntil(out_, ">> ");
    send("x = 1\r\n");
    EXPECT_EQ(readUntil(out_, ">> "), "x = 1\nx = 1\n>> ");
    send("y\n");
    EXPECT_EQ(readUntil(out_, ">> "), ">> ");
}

TEST_F(FakeOctaveTest, ExactBeatsLongestPrefixBeatsShorterPrefixBeatsDefault) {
    // The longest prefix sits between the others so neither the first nor the
    // last match can pass for it.
    start("on-prefix disp\n out shortest\n"
          "on-prefix disp('a\n out longest\n"
          "on disp(1)\n out exact\n"
          "on-prefix disp(\n out longer\n"
          "default\n out other\n state debug> \n");
    readUntil(out_, ">> ");
    // The last case also shows that 'state' changes the prompt for good.
    const std::pair<std::string, std::string> cases[] = {
        {"disp(1)", "exact>> "},     {"disp('abc')", "longest>> "},
        {"disp(2)", "longer>> "},    {"disp x", "shortest>> "},
        {"plot", "otherdebug> "},    {"disp(1)", "exactdebug> "}};
    for (const auto &[command, reply] : cases) {
        send(command + "\n");
        EXPECT_EQ(readUntil(out_, reply), reply) << command;
    }
}

TEST_F(FakeOctaveTest, ErrTextGoesToStderrOnly) {
    start("on error('x')\n err error: x\\n\n");
    readUntil(out_, ">> ");
    send("error('x')\n");
    EXPECT_EQ(readUntil(err_, "\n"), "error: x\n");
    EXPECT_EQ(readUntil(out_, ">> "), ">> ");
}

TEST_F(FakeOctaveTest, ChunkedOutputArrivesWholeAfterThePauses) {
    const std::string text(50, 'c');
    start("on slow\n chunk 1\n out " + text + "\n chunk 0\n out !\n");
    readUntil(out_, ">> ");
    const auto began = Clock::now();
    send("slow\n");
    const std::string got = readUntil(out_, ">> ");
    // 50 one-byte writes with a 2 ms pause between each cannot take less.
    EXPECT_GE(Clock::now() - began, 49 * 2ms);
    EXPECT_EQ(got, text + "!>> ");
}

TEST_F(FakeOctaveTest, FloodWritesEveryLine) {
    start("on many\n flood 20000 0123456789\n");
    readUntil(out_, ">> ");
    send("many\n");
    EXPECT_EQ(readUntil(out_, ">> ").size(), 20000u * 11 + 3);
}

TEST_F(FakeOctaveTest, ExitDirectiveEndsWithItsCode) {
    start("on boom\n out bye\n exit 3\n out never\n");
    readUntil(out_, ">> ");
    send("boom\n");
    EXPECT_EQ(readUntil(out_, "never"), "bye");
    EXPECT_EQ(exitCode(), 3);
}

TEST_F(FakeOctaveTest, LogListsCommandsAsReceivedInOrderAndEndOfInputExits) {
    start("default\n out .\n");
    readUntil(out_, ">> ");
    send("a = 1\nb\r\n");
    readUntil(out_, ".>> .>> ");
    send("c\n");
    readUntil(out_, ".>> ");
    fake_.closeInput();
    EXPECT_EQ(exitCode(), 0);
    EXPECT_EQ(log(), "a = 1\nb\r\nc\n");
}

TEST_F(FakeOctaveTest, SigintCutsReplyShortAndIsIgnoredWhenIdle) {
#ifdef _WIN32
    GTEST_SKIP() << "Ctrl+C reaches the stand-in through its console only: "
                    "WindowsRedirector.CtrlCReachesTheChildsHiddenConsole sends it";
#else
    // The pause is far longer than the wait for the prompt: only the interrupt
    // brings the prompt in time, whether it comes before the pause or inside it.
    start("on long\n out started\\n\n sleep 600000\n out never\n"
          "on x\n out 1\n");
    readUntil(out_, ">> ");
    send("long\n");
    ASSERT_EQ(readUntil(out_, "\n"), "started\n");
    fake_.interrupt();
    EXPECT_EQ(readUntil(out_, "\n>> ", 60s), "\n>> ");
    // Idle: no fresh prompt, and the next reply runs to its end.
    fake_.interrupt();
    send("x\n");
    EXPECT_EQ(readUntil(out_, ">> "), "1>> ");
#endif
}

TEST_F(FakeOctaveTest, QuitCommandsEndQuietlyUnlessScripted) {
    for (const char *quit : {"quit", "exit", "if isdebugmode, dbquit; endif; quit"}) {
        start("");
        readUntil(out_, ">> ");
        send(std::string(quit) + "\n");
        EXPECT_EQ(readUntil(out_, "never"), "") << quit;
        EXPECT_EQ(exitCode(), 0) << quit;
    }
    start("on quit\n out no\n");
    readUntil(out_, ">> ");
    send("quit\n");
    EXPECT_EQ(readUntil(out_, ">> "), "no>> ");
}

} // namespace
