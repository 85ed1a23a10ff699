// fake_octave: a scripted stand-in for octave-cli that behaves like an old
// Octave 3.2.4 console. Tests start it over pipes; every byte goes out through
// write(2) so a test knows exactly which bytes arrive in which write.
//
//   fake_octave --script FILE [--log FILE]
//
// Other arguments are ignored, so the program that starts the real interpreter
// can start this one with the same options. FAKE_OCTAVE_SCRIPT and
// FAKE_OCTAVE_LOG stand in for the options when the caller cannot add them.

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
// Ctrl+C arrives as a console event rather than a signal; the pipes are put in
// binary mode so that every byte goes out as scripted.
#include <io.h>
#include <windows.h>
#else
#include <poll.h>
#endif
#include <unistd.h>

namespace {

enum class Kind { Out, Err, Echo, Sleep, Chunk, Flood, Prompt, NoPrompt, Exit, Crash, State };

struct Action {
    Kind kind;
    long number = 0;
    std::string text;
};

using Block = std::vector<Action>;

struct Script {
    std::string banner = "GNU Octave, version 3.2.4\nCopyright (C) 2009 John W. Eaton and others.\n";
    bool bannerSet = false;
    std::string prompt = ">> ";
    std::map<std::string, Block> exact;
    std::vector<std::pair<std::string, Block>> prefixes;
    bool hasDefault = false;
    Block fallback;
};

// Counts SIGINTs; a reply compares it with the value seen when it started, so
// an interrupt that came while idle never cuts a later reply short.
volatile sig_atomic_t g_sigints = 0;

#ifdef _WIN32
// Set (auto-reset) at each Ctrl+C so that a pause ends at once.
HANDLE g_interrupted = nullptr;

BOOL WINAPI onCtrlC(DWORD event) {
    if (event != CTRL_C_EVENT)
        return FALSE;
    g_sigints = g_sigints + 1;
    ::SetEvent(g_interrupted);
    return TRUE;
}
#else
void onSigint(int) { g_sigints = g_sigints + 1; }
#endif

[[noreturn]] void die(const std::string &message) {
    const std::string line = "fake_octave: " + message + "\n";
    ssize_t ignored = ::write(STDERR_FILENO, line.data(), line.size());
    (void)ignored;
    _exit(2);
}

bool decode(std::string_view in, std::string &out) {
    out.clear();
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '\\') {
            out += in[i];
            continue;
        }
        if (++i == in.size())
            return false;
        switch (in[i]) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'e': out += '\x1b'; break;
        case '\\': out += '\\'; break;
        case 'x': {
            unsigned value = 0;
            if (in.size() - i < 3)
                return false;
            auto r = std::from_chars(in.data() + i + 1, in.data() + i + 3, value, 16);
            if (r.ec != std::errc() || r.ptr != in.data() + i + 3)
                return false;
            out += static_cast<char>(value);
            i += 2;
            break;
        }
        default: return false;
        }
    }
    return true;
}

bool parseNumber(std::string_view s, long &value) {
    auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && value >= 0;
}

Script loadScript(const std::string &path) {
    Script script;
    std::ifstream in(path);
    if (!in)
        die("cannot read script " + path);
    Block *current = nullptr;
    std::string raw;
    for (int lineNo = 1; std::getline(in, raw); ++lineNo) {
        auto fail = [&](const std::string &why) {
            die(path + ":" + std::to_string(lineNo) + ": " + why);
        };
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        std::string_view line(raw);
        line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
        if (line.empty() || line.front() == '#')
            continue;
        const size_t blank = line.find(' ');
        const std::string_view word = line.substr(0, blank);
        const std::string_view rest = blank == std::string_view::npos ? "" : line.substr(blank + 1);
        std::string text;
        if (!decode(rest, text))
            fail("bad escape");

        if (word == "banner") {
            // The first banner line replaces the default one; later ones add to it.
            if (!script.bannerSet)
                script.banner.clear();
            script.banner += text;
            script.bannerSet = true;
        } else if (word == "prompt" && !current) {
            script.prompt = text;
        } else if (word == "on") {
            auto [it, fresh] = script.exact.try_emplace(text);
            if (!fresh)
                fail("second 'on' block for the same command");
            current = &it->second;
        } else if (word == "on-prefix") {
            script.prefixes.emplace_back(text, Block{});
            current = &script.prefixes.back().second;
        } else if (word == "default") {
            if (script.hasDefault)
                fail("second 'default' block");
            script.hasDefault = true;
            current = &script.fallback;
        } else {
            if (!current)
                fail("action outside a block: " + std::string(word));
            Action a{Kind::Out, 0, {}};
            auto number = [&](std::string_view s) {
                if (!parseNumber(s, a.number))
                    fail("bad number: " + std::string(s));
            };
            if (word == "out") { a = {Kind::Out, 0, text}; }
            else if (word == "err") { a = {Kind::Err, 0, text}; }
            else if (word == "echo") { a.kind = Kind::Echo; }
            else if (word == "sleep") { a.kind = Kind::Sleep; number(rest); }
            else if (word == "chunk") { a.kind = Kind::Chunk; number(rest); }
            else if (word == "exit") { a.kind = Kind::Exit; number(rest); }
            else if (word == "prompt") { a = {Kind::Prompt, 0, text}; }
            else if (word == "state") { a = {Kind::State, 0, text}; }
            else if (word == "noprompt") { a.kind = Kind::NoPrompt; }
            else if (word == "crash") { a.kind = Kind::Crash; }
            else if (word == "flood") {
                a.kind = Kind::Flood;
                const size_t sep = rest.find(' ');
                number(rest.substr(0, sep));
                if (!decode(sep == std::string_view::npos ? "" : rest.substr(sep + 1), a.text))
                    fail("bad escape");
            } else {
                fail("unknown directive: " + std::string(word));
            }
            current->push_back(std::move(a));
        }
    }
    return script;
}

// Writes all of data, in more than one write() only if the pipe takes less;
// false as soon as stop() says the caller was interrupted.
template <class Stop>
bool writeAll(int fd, const char *data, size_t size, Stop stop) {
    while (size > 0) {
        if (stop())
            return false;
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            _exit(1);
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return !stop();
}

void writePlain(const std::string &text) {
    writeAll(STDOUT_FILENO, text.data(), text.size(), [] { return false; });
}

// Milliseconds of the monotonic clock.
long now() {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count());
}

// One reply in progress; it knows whether an interrupt has cut it short.
class Reply {
public:
    Reply() : sigintsAtStart_(g_sigints) {}

    bool interrupted() const { return g_sigints != sigintsAtStart_; }

    bool write(int fd, const char *data, size_t size) {
        return writeAll(fd, data, size, [this] { return interrupted(); });
    }

    // Sleeps without spinning; a SIGINT cuts the pause short, even one that
    // comes just before it: SIGINT is held back from the check on and let in
    // only by the sleep itself.
    bool sleepMs(long ms) {
#ifdef _WIN32
        const long deadline = now() + ms;
        while (!interrupted()) {
            const long rest = std::max(0L, deadline - now());
            if (::WaitForSingleObject(g_interrupted, static_cast<DWORD>(rest)) == WAIT_TIMEOUT)
                return true;
        }
        return false;
#else
        sigset_t sigint, open;
        sigemptyset(&sigint);
        sigaddset(&sigint, SIGINT);
        sigprocmask(SIG_BLOCK, &sigint, &open);
        timespec left{ms / 1000, (ms % 1000) * 1000000L};
        const long deadline = now() + ms;
        bool slept = false;
        while (!interrupted()) {
            if (ppoll(nullptr, 0, &left, &open) == 0) {
                slept = true;
                break;
            }
            const long rest = std::max(0L, deadline - now());
            left = {rest / 1000, (rest % 1000) * 1000000L};
        }
        sigprocmask(SIG_SETMASK, &open, nullptr);
        return slept;
#endif
    }

    bool emit(int fd, const std::string &text, size_t chunk) {
        if (chunk == 0)
            return write(fd, text.data(), text.size());
        for (size_t at = 0; at < text.size(); at += chunk) {
            if (at > 0 && !sleepMs(2))
                return false;
            if (!write(fd, text.data() + at, std::min(chunk, text.size() - at)))
                return false;
        }
        return true;
    }

    bool flood(long times, const std::string &text) {
        const std::string line = text + "\n";
        const size_t perBuffer = std::max<size_t>(1, 65536 / line.size());
        std::string buffer;
        for (size_t i = 0; i < perBuffer; ++i)
            buffer += line;
        for (size_t left = static_cast<size_t>(times); left > 0;) {
            const size_t n = std::min(left, perBuffer);
            if (!write(STDOUT_FILENO, buffer.data(), n * line.size()))
                return false;
            left -= n;
        }
        return true;
    }

private:
    sig_atomic_t sigintsAtStart_;
};

const Block *findBlock(const Script &script, const std::string &command) {
    if (auto it = script.exact.find(command); it != script.exact.end())
        return &it->second;
    if (command == "quit" || command == "exit" ||
        command == "if isdebugmode, dbquit; endif; quit")
        _exit(0);
    const Block *best = nullptr;
    size_t bestLength = 0;
    for (const auto &[prefix, block] : script.prefixes) {
        if (command.starts_with(prefix) && (!best || prefix.size() > bestLength)) {
            best = &block;
            bestLength = prefix.size();
        }
    }
    if (best)
        return best;
    return script.hasDefault ? &script.fallback : nullptr;
}

void answer(const Block *block, const std::string &command, std::string &prompt) {
    Reply reply;
    size_t chunk = 0;
    std::string endPrompt = prompt;
    bool withPrompt = true;
    bool ok = true;
    static const Block none;
    for (const Action &a : block ? *block : none) {
        if (!ok)
            break;
        switch (a.kind) {
        case Kind::Out: ok = reply.emit(STDOUT_FILENO, a.text, chunk); break;
        case Kind::Err: ok = reply.emit(STDERR_FILENO, a.text, chunk); break;
        case Kind::Echo: ok = reply.emit(STDOUT_FILENO, command + "\n", chunk); break;
        case Kind::Sleep: ok = reply.sleepMs(a.number); break;
        case Kind::Chunk: chunk = static_cast<size_t>(a.number); break;
        case Kind::Flood: ok = reply.flood(a.number, a.text); break;
        case Kind::Prompt: endPrompt = a.text; break;
        case Kind::NoPrompt: withPrompt = false; break;
        case Kind::Exit: _exit(static_cast<int>(a.number));
        case Kind::Crash:
#ifdef _WIN32
            ::TerminateProcess(::GetCurrentProcess(), 9);
#else
            raise(SIGKILL);
#endif
            break;
        case Kind::State:
            prompt = a.text;
            endPrompt = a.text;
            break;
        }
        ok = ok && !reply.interrupted();
    }
    if (!ok)
        writePlain("\n" + prompt);
    else if (withPrompt)
        writePlain(endPrompt);
}

} // namespace

int main(int argc, char **argv) {
    std::string scriptPath, logPath;
    if (const char *env = std::getenv("FAKE_OCTAVE_SCRIPT"))
        scriptPath = env;
    if (const char *env = std::getenv("FAKE_OCTAVE_LOG"))
        logPath = env;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if ((arg == "--script" || arg == "--log") && i + 1 < argc)
            (arg == "--script" ? scriptPath : logPath) = argv[++i];
    }

    // Without a script it is still a console: banner, prompt, quit.
    const Script script = scriptPath.empty() ? Script{} : loadScript(scriptPath);

    int logFd = -1;
    if (!logPath.empty()) {
#ifdef _WIN32
        constexpr int kLogMode = O_BINARY;  // one "\n" a line, as elsewhere
#else
        constexpr int kLogMode = O_CLOEXEC;
#endif
        logFd = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | kLogMode, 0644);
        if (logFd < 0)
            die("cannot open log " + logPath);
    }

#ifdef _WIN32
    _setmode(STDIN_FILENO, _O_BINARY);
    _setmode(STDOUT_FILENO, _O_BINARY);
    _setmode(STDERR_FILENO, _O_BINARY);
    g_interrupted = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ::SetConsoleCtrlHandler(onCtrlC, TRUE);
#else
    // No SA_RESTART: a blocked read, write or nanosleep must return on SIGINT.
    struct sigaction sa {};
    sa.sa_handler = onSigint;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;
    sigaction(SIGINT, &sa, nullptr);
#endif

    std::string prompt = script.prompt;
    if (!script.banner.empty())
        writePlain(script.banner);
    if (!prompt.empty())
        writePlain(prompt);

    std::string pending;
    bool atEnd = false;
    while (true) {
        size_t eol = pending.find('\n');
        if (eol == std::string::npos && !atEnd) {
            char buf[4096];
            const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
            if (n < 0 && errno != EINTR)
                return 0;
            if (n == 0)
                atEnd = true;
            if (n > 0)
                pending.append(buf, static_cast<size_t>(n));
            continue;
        }
        if (eol == std::string::npos && pending.empty())
            return 0;
        // A last line without a line end is still a command.
        if (eol == std::string::npos)
            eol = pending.size();
        std::string command = pending.substr(0, eol);
        pending.erase(0, std::min(eol + 1, pending.size()));
        // The log keeps the line as it came, carriage return and all, so that a
        // test sees the line end the program wrote.
        if (logFd >= 0) {
            const std::string entry = command + "\n";
            if (::write(logFd, entry.data(), entry.size()) < 0)
                die("cannot write log");
        }
        if (!command.empty() && command.back() == '\r')
            command.pop_back();

        answer(findBlock(script, command), command, prompt);
    }
}
