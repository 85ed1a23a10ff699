// The console tests trust fake_octave to send exactly what its script says;
// these cases make sure it does.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const std::string kDefaultBanner =
    "GNU Octave, version 3.2.4\nCopyright (C) 2009 John W. Eaton and others.\n";

class FakeOctaveTest : public testing::Test {
protected:
    void SetUp() override {
        char dirTemplate[] = "/tmp/fake_octave_test.XXXXXX";
        ASSERT_NE(mkdtemp(dirTemplate), nullptr);
        dir_ = dirTemplate;
        logPath_ = dir_ + "/commands.log";
    }

    void TearDown() override {
        stop();
        std::remove((dir_ + "/script").c_str());
        std::remove(logPath_.c_str());
        rmdir(dir_.c_str());
    }

    void start(const std::string &script) {
        const std::string scriptPath = dir_ + "/script";
        std::ofstream(scriptPath) << script;
        int in[2], out[2], err[2];
        ASSERT_EQ(pipe2(in, O_CLOEXEC), 0);
        ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
        ASSERT_EQ(pipe2(err, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        const char *argv[] = {FAKE_OCTAVE_PATH, "--script", scriptPath.c_str(),
                              "--log", logPath_.c_str(), nullptr};
        const int rc = posix_spawn(&pid_, FAKE_OCTAVE_PATH, &actions, nullptr,
                                   const_cast<char **>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        close(err[1]);
        in_ = in[1];
        out_ = out[0];
        err_ = err[0];
        ASSERT_EQ(rc, 0);
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

    void send(const std::string &text) {
        ASSERT_EQ(write(in_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    // Reads from fd until the text read ends with `tail`, the pipe closes or
    // the time runs out; returns everything read.
    static std::string readUntil(int fd, const std::string &tail,
                                 Clock::duration limit = 5s) {
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

    // Waits for the fake to end; its wait status, or -1 if it is still running.
    int waitExit(Clock::duration limit = 5s) {
        const auto deadline = Clock::now() + limit;
        int status = 0;
        while (Clock::now() < deadline) {
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return status;
            }
            usleep(5000);
        }
        return -1;
    }

    std::string log() const {
        std::ifstream in(logPath_);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

    std::string dir_, logPath_;
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1, err_ = -1;
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
    const int status = waitExit();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
}

TEST_F(FakeOctaveTest, LogListsCommandsInOrderAndEndOfInputExits) {
    start("default\n out .\n");
    readUntil(out_, ">> ");
    send("a = 1\nb\r\n");
    readUntil(out_, ".>> .>> ");
    send("c\n");
    readUntil(out_, ".>> ");
    close(in_);
    in_ = -1;
    const int status = waitExit();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(log(), "a = 1\nb\nc\n");
}

TEST_F(FakeOctaveTest, SigintCutsReplyShortAndIsIgnoredWhenIdle) {
    // The pause is far longer than the wait for the prompt: only the interrupt
    // brings the prompt in time, whether it comes before the pause or inside it.
    start("on long\n out started\\n\n sleep 600000\n out never\n"
          "on x\n out 1\n");
    readUntil(out_, ">> ");
    send("long\n");
    ASSERT_EQ(readUntil(out_, "\n"), "started\n");
    kill(pid_, SIGINT);
    EXPECT_EQ(readUntil(out_, "\n>> ", 60s), "\n>> ");
    // Idle: no fresh prompt, and the next reply runs to its end.
    kill(pid_, SIGINT);
    send("x\n");
    EXPECT_EQ(readUntil(out_, ">> "), "1>> ");
}

TEST_F(FakeOctaveTest, QuitCommandsEndQuietlyUnlessScripted) {
    for (const char *quit : {"quit", "exit", "if isdebugmode, dbquit; endif; quit"}) {
        start("");
        readUntil(out_, ">> ");
        send(std::string(quit) + "\n");
        EXPECT_EQ(readUntil(out_, "never"), "") << quit;
        const int status = waitExit();
        ASSERT_TRUE(WIFEXITED(status)) << quit;
        EXPECT_EQ(WEXITSTATUS(status), 0) << quit;
        stop();
    }
    start("on quit\n out no\n");
    readUntil(out_, ">> ");
    send("quit\n");
    EXPECT_EQ(readUntil(out_, ">> "), "no>> ");
}

} // namespace
