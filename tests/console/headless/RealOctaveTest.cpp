// Drives calyx-headless against the installed octave-cli, the way a user types
// into the console, and checks what the views and the editor were given.
#include <gtest/gtest.h>

#ifdef _WIN32

// The real interpreter is octave-cli on this machine; there is no octave.exe
// for the Windows build to start (under Wine or otherwise).
TEST(RealOctave, NeedsTheInterpreterOfThePlatform) {
  GTEST_SKIP() << "no Windows build of Octave here; the session runs against the stand-in";
}

#else

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/common/PrivateEnvironment.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Lines = std::vector<std::string>;

constexpr const char* kOctave = "/usr/bin/octave-cli";
// Every run starts the interpreter in a home of its own and the C locale.
const CPrivateEnvironment kPrivateEnvironment;
// Two runs must fit in the test's own limit even on a slow machine.
constexpr auto kRunTimeout = 50s;

#define SKIP_WITHOUT_OCTAVE() \
  if (!fs::exists(kOctave)) GTEST_SKIP() << kOctave << " is not installed"

std::string ReadFile(const fs::path& path) {
  return (std::ostringstream() << std::ifstream(path).rdbuf()).str();
}

Lines SplitLines(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

Lines Split(const std::string& text, const std::string& separator) {
  Lines parts;
  size_t from = 0;
  for (size_t at; (at = text.find(separator, from)) != std::string::npos;
       from = at + separator.size())
    parts.push_back(text.substr(from, at - from));
  parts.push_back(text.substr(from));
  return parts;
}

std::string TrimRight(std::string text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

bool Has(const Lines& lines, const std::string& wanted) {
  return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

// Index of the first line at or after `from` equal to `wanted`, trailing blanks aside.
size_t FindLine(const Lines& lines, const std::string& wanted, size_t from = 0) {
  for (size_t i = from; i < lines.size(); ++i)
    if (TrimRight(lines[i]) == wanted) return i;
  return std::string::npos;
}

// A fresh folder for the script, the data folder and the work folder.
struct Sandbox {
  Sandbox() {
    char pattern[] = "/tmp/calyx-real-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    root = fs::canonical(pattern);  // the interpreter reports resolved paths
    fs::create_directory(data = root / "data");
    fs::create_directory(work = root / "work");
  }
  ~Sandbox() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  fs::path root, data, work;
};

struct Output {
  int status = -1;
  bool timedOut = false;
  std::map<std::string, Lines> sections;

  const Lines& Section(const std::string& name) const {
    static const Lines none;
    const auto found = sections.find(name);
    return found == sections.end() ? none : found->second;
  }
  // Tab-separated rows of a section by their first column.
  std::map<std::string, Lines> Rows(const std::string& name) const {
    std::map<std::string, Lines> rows;
    for (const std::string& line : Section(name))
      rows[line.substr(0, line.find('\t'))] = Split(line, "\t");
    return rows;
  }
  Lines Marks(const std::string& kind) const {
    Lines texts;
    for (const std::string& line : Section("marks"))
      if (line.rfind(kind + "\t", 0) == 0) texts.push_back(line.substr(kind.size() + 1));
    return texts;
  }
};

Output ParseOutput(const std::string& text) {
  static const std::set<std::string> kNames = {"console", "workspace", "path",
                                               "packages", "marks", "completion",
                                               "history", "editor", "timing"};
  Output output;
  Lines* current = nullptr;
  for (const std::string& line : SplitLines(text)) {
    if (line.rfind("== ", 0) == 0 && kNames.count(line.substr(3)) > 0)
      current = &output.sections[line.substr(3)];
    else if (current != nullptr)
      current->push_back(line);
  }
  return output;
}

// (pid, command name) of the processes whose parent is `parent`.
std::vector<std::pair<pid_t, std::string>> ChildrenOf(pid_t parent) {
  std::vector<std::pair<pid_t, std::string>> children;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string stat = ReadFile(entry.path() / "stat");
    const size_t open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    std::istringstream rest(stat.substr(close + 1));
    std::string state;
    long ppid = 0;
    if (rest >> state >> ppid && ppid == parent)
      children.emplace_back(std::stoi(name), stat.substr(open + 1, close - open - 1));
  }
  return children;
}

// One calyx-headless process running a script inside a sandbox.
class Headless {
 public:
  Headless(const Sandbox& box, const std::string& script, const std::string& name = "script") {
    const fs::path scriptPath = box.root / (name + ".txt");
    std::ofstream(scriptPath) << script;
    m_outPath = box.root / (name + ".out");
    const Lines args = {CALYX_HEADLESS, "--data-dir",        box.data.string(),
                        "--workdir",    box.work.string(), scriptPath.string()};
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, m_outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    m_ended = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Headless() {
    if (!m_ended) KillAll();
  }

  pid_t Pid() const { return m_pid; }

  // True once the process has ended within `timeout`.
  bool WaitEnded(Clock::duration timeout) {
    for (auto deadline = Clock::now() + timeout; !m_ended; std::this_thread::sleep_for(20ms)) {
      int raw = 0;
      if (waitpid(m_pid, &raw, WNOHANG) == m_pid) {
        m_status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return m_ended = true;
      }
      if (Clock::now() >= deadline) return false;
    }
    return true;
  }

  Output Finish(Clock::duration timeout = kRunTimeout) {
    const bool ended = WaitEnded(timeout);
    if (!ended) KillAll();
    Output output = ParseOutput(ReadFile(m_outPath));
    output.timedOut = !ended;
    output.status = m_status;
    return output;
  }

 private:
  // The interpreter runs in a process group of its own: it is ended by id too.
  void KillAll() {
    const auto children = ChildrenOf(m_pid);
    kill(m_pid, SIGKILL);
    for (const auto& child : children) kill(child.first, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_ended = true;
  }

  pid_t m_pid = -1;
  bool m_ended = true;
  int m_status = -1;
  fs::path m_outPath;
};

Output RunScript(const Sandbox& box, const std::string& script, const std::string& name = "s") {
  return Headless(box, script, name).Finish();
}

// What octave-cli prints for a command when run on its own.
std::string OctaveDirect(const std::string& command) {
  const std::string line = std::string("timeout 30 ") + kOctave +
                           " --norc --quiet --no-history --eval \"" + command + "\" 2>&1";
  std::string text;
  if (FILE* pipe = popen(line.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    pclose(pipe);
  }
  return text;
}

// plot(1:10) draws axes with tick labels: the font the plots need is installed.
TEST(RealOctave, APlotIsDrawnWithoutFontWarnings) {
  SKIP_WITHOUT_OCTAVE();
  if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xvfb-run";
  const std::string line = std::string("xvfb-run -a timeout 60 ") + kOctave +
                           " --norc --quiet --no-history --eval \"f = figure(); plot(1:10); "
                           "drawnow; frame = getframe(f); printf('colours=%d\\n', "
                           "numel(unique(frame.cdata(:))))\" 2>&1";
  std::string text;
  if (FILE* pipe = popen(line.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    pclose(pipe);
  }
  EXPECT_EQ(text.find("unable to load font"), std::string::npos) << text;
  EXPECT_EQ(text.find("unable to create graphics handle"), std::string::npos) << text;
  const size_t at = text.find("colours=");
  ASSERT_NE(at, std::string::npos) << text;
  // A blank grey figure has one or two colours; axes, lines and labels many more.
  EXPECT_GT(std::stoi(text.substr(at + 8)), 10) << text;
}

TEST(RealOctave, AssignmentsShowInConsoleAndWorkspace) {
  SKIP_WITHOUT_OCTAVE();
  Sandbox box;
  const Output out = RunScript(box,
                               "x = magic(3)\nz = zeros(2,3,4);\nu = ones(2,2,2,'int8');\n"
                               "s.a = 1;\nt = 'abc';\nc = {1, 'two'};\nk = int32(7);\n"
                               "g = single(2);\nb = true(2);\n");
  ASSERT_FALSE(out.timedOut);
  EXPECT_EQ(0, out.status);

  // The answer to x = magic(3) under "x =": a 3x3 magic square of 1..9.
  const Lines& console = out.Section("console");
  const size_t header = FindLine(console, "x =", FindLine(console, ">> x = magic(3)"));
  ASSERT_NE(std::string::npos, header);
  std::vector<int> cells;
  for (size_t i = header + 1; i < console.size() && cells.size() < 9; ++i) {
    std::istringstream in(console[i]);
    for (int value; in >> value;) cells.push_back(value);
  }
  ASSERT_EQ(9u, cells.size());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(15, cells[3 * i] + cells[3 * i + 1] + cells[3 * i + 2]) << "row " << i;
    EXPECT_EQ(15, cells[i] + cells[i + 3] + cells[i + 6]) << "column " << i;
  }
  EXPECT_EQ((std::multiset<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}),
            std::multiset<int>(cells.begin(), cells.end()));

  auto ws = out.Rows("workspace");
  EXPECT_EQ((Lines{"x", "3x3", "double", std::to_string(9 * sizeof(double)), "2"}), ws["x"]);
  EXPECT_EQ((Lines{"z", "2x3x4", "double", std::to_string(24 * sizeof(double)), "1"}), ws["z"]);
  EXPECT_EQ((Lines{"u", "2x2x2", "int8", "8", "1"}), ws["u"]);
  EXPECT_EQ((Lines{"k", "1x1", "int32", std::to_string(sizeof(int32_t)), "2"}), ws["k"]);
  EXPECT_EQ((Lines{"g", "1x1", "single", std::to_string(sizeof(float)), "2"}), ws["g"]);
  EXPECT_EQ((Lines{"t", "1x3", "char", "3", "3"}), ws["t"]);
  // The bytes of containers depend on the interpreter's build: left out.
  for (const char* name : {"s", "c", "b"}) {
    ASSERT_EQ(5u, ws[name].size()) << name;
    ws[name].erase(ws[name].begin() + 3);
  }
  EXPECT_EQ((Lines{"s", "1x1", "struct", "0"}), ws["s"]);
  EXPECT_EQ((Lines{"c", "1x2", "cell", "3"}), ws["c"]);
  EXPECT_EQ((Lines{"b", "2x2", "logical", "3"}), ws["b"]);
}

TEST(RealOctave, PathPackagesAndCompletionComeFromTheInterpreter) {
  SKIP_WITHOUT_OCTAVE();
  Sandbox box;
  const Output out = RunScript(box, ":path\n:packages\n:complete plo\n");
  ASSERT_FALSE(out.timedOut);
  EXPECT_EQ(0, out.status);

  const Lines& path = out.Section("path");
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.size(), std::set<std::string>(path.begin(), path.end()).size()) << "duplicates";
  const std::regex mFolder("^/usr/share/octave/[^/]+/m(/.+)?$");
  size_t mFolders = 0;
  for (const std::string& folder : path) {
    EXPECT_NE(".", folder);
    EXPECT_TRUE(fs::path(folder).is_absolute() && fs::is_directory(folder)) << folder;
    if (std::regex_match(folder, mFolder)) ++mFolders;
  }
  EXPECT_GT(mFolders, 1u);

  // octave-io is installed: its row carries the version from its own description.
  const Lines io = out.Rows("packages")["io"];
  ASSERT_EQ(4u, io.size()) << "no io row";
  EXPECT_TRUE(std::regex_match(io[1], std::regex("[0-9]+(\\.[0-9]+)+"))) << io[1];
  EXPECT_FALSE(io[2].empty());
  std::error_code noFolder;
  for (const auto& entry : fs::directory_iterator("/usr/share/octave/packages", noFolder)) {
    const std::string description = ReadFile(entry.path() / "packinfo" / "DESCRIPTION");
    std::smatch version;
    if (entry.path().filename().string().rfind("io-", 0) == 0 &&
        std::regex_search(description, version, std::regex("Version: *(\\S+)"))) {
      EXPECT_EQ(version[1].str(), io[1]);
    }
  }

  const Lines& candidates = out.Section("completion");
  for (const std::string& word : candidates) EXPECT_EQ(0u, word.rfind("plo", 0)) << word;
  EXPECT_TRUE(Has(candidates, "plot"));
  EXPECT_TRUE(Has(candidates, "plot3"));

  // The listings behind these views are not the user's output.
  for (const std::string& line : out.Section("console")) {
    EXPECT_EQ(std::string::npos, line.find("/usr/share/octave")) << line;
    EXPECT_EQ(std::string::npos, line.find("completion_matches")) << line;
  }
}

TEST(RealOctave, HelpLinksAndErrorsAreMarked) {
  SKIP_WITHOUT_OCTAVE();
  const Lines reference = SplitLines(OctaveDirect("help sin"));
  std::set<std::string> seeAlso;
  const std::regex word("[A-Za-z_][A-Za-z0-9_]*");
  for (const std::string& line : reference) {
    const size_t at = line.find("See also:");
    if (at == std::string::npos) continue;
    const std::string names = line.substr(at + 9);
    for (std::sregex_iterator it(names.begin(), names.end(), word), end; it != end; ++it)
      seeAlso.insert(it->str());
  }
  ASSERT_EQ(1u, seeAlso.count("asin")) << "octave-cli printed no usable help for sin";

  Sandbox box;
  const Output out = RunScript(box, "help sin\ny_undefined_name\ndisp(6 * 7)\n");
  ASSERT_FALSE(out.timedOut);
  EXPECT_EQ(0, out.status);

  // Every line octave prints for help sin reaches the console, in order.
  const Lines& console = out.Section("console");
  size_t at = FindLine(console, ">> help sin");
  ASSERT_NE(std::string::npos, at);
  for (const std::string& line : reference) {
    if (TrimRight(line).empty()) continue;
    at = FindLine(console, TrimRight(line), at);
    ASSERT_NE(std::string::npos, at) << "missing help line: " << line;
  }
  // The "See also" names, and the web addresses of the banner and the help's footer.
  std::set<std::string> names, addresses;
  for (const std::string& link : out.Marks("link")) (link.rfind("https://", 0) == 0 ? addresses : names).insert(link);
  EXPECT_EQ(seeAlso, names);
  EXPECT_EQ(1u, addresses.count("https://www.octave.org")) << "no link to the project's site";

  const Lines red = out.Marks("red");
  ASSERT_EQ(1u, red.size());
  EXPECT_NE(std::string::npos, red[0].find("undefined")) << red[0];
  EXPECT_NE(std::string::npos, red[0].find("y_undefined_name")) << red[0];
  const Lines& editor = out.Section("editor");
  EXPECT_TRUE(std::any_of(editor.begin(), editor.end(), [&](const std::string& message) {
    return message.find(red[0]) != std::string::npos;
  })) << "the error did not reach the editor";
  // The session goes on after the error.
  EXPECT_NE(std::string::npos, FindLine(console, "42", FindLine(console, ">> disp(6 * 7)")));
}

TEST(RealOctave, DebuggerStopAndEndReachTheEditor) {
  SKIP_WITHOUT_OCTAVE();
  Sandbox box;
  const int stopLine = 3;
  std::ofstream(box.work / "f.m") << "function y = f(x)\n  a = 1;\n  y = x + 1;\nend\n";
  const Output out =
      RunScript(box, "dbstop('f','" + std::to_string(stopLine) + "')\nf(2)\ndbcont\n");
  ASSERT_FALSE(out.timedOut);
  EXPECT_EQ(0, out.status);

  const Lines& editor = out.Section("editor");
  const std::string stop =
      "debug\\nLine=" + std::to_string(stopLine) + "\\nPath=" + (box.work / "f.m").string();
  const auto stopAt = std::find(editor.begin(), editor.end(), stop);
  ASSERT_NE(editor.end(), stopAt) << "no stop message among " << editor.size() << " messages";
  EXPECT_NE(editor.end(), std::find(stopAt + 1, editor.end(), "dbended\\nPath="));

  const Lines& console = out.Section("console");
  const size_t resumed = FindLine(console, "debug> dbcont");
  ASSERT_NE(std::string::npos, resumed);
  EXPECT_NE(std::string::npos, FindLine(console, "ans = " + std::to_string(2 + 1), resumed));
}

TEST(RealOctave, InterruptStopsARunningLoop) {
  SKIP_WITHOUT_OCTAVE();
  Sandbox box;
  const auto started = Clock::now();
  // The interrupt goes once the loop is known to run.
  const Output out = RunScript(box,
                               "disp(['loop', ' running']); fflush(stdout); for i=1:1e10, end\n"
                               ":wait-for loop running\n:interrupt\ndisp(42)\n");
  const auto seconds = std::chrono::duration<double>(Clock::now() - started).count();
  ASSERT_FALSE(out.timedOut) << "the loop was not interrupted";
  EXPECT_EQ(0, out.status);
  EXPECT_LT(seconds, 45.0);
  const Lines& console = out.Section("console");
  const size_t loop = FindLine(console, "loop running");
  ASSERT_NE(std::string::npos, loop);
  EXPECT_NE(std::string::npos, FindLine(console, "42", loop));
}

TEST(RealOctave, InterpreterKilledMidCommandEndsTheRunAndKeepsHistory) {
  SKIP_WITHOUT_OCTAVE();
  Sandbox box;
  // The flag file shows the command is running, not merely typed.
  const std::string command = "fclose(fopen('in_pause.flag', 'w')); pause(60)";
  const fs::path flag = box.work / "in_pause.flag";
  Headless headless(box, command + "\ndisp(1)\n");
  ASSERT_GT(headless.Pid(), 0);

  pid_t octave = -1;
  for (const auto deadline = Clock::now() + kRunTimeout;
       Clock::now() < deadline && (octave < 0 || !fs::exists(flag));
       std::this_thread::sleep_for(50ms)) {
    for (const auto& [pid, name] : ChildrenOf(headless.Pid()))
      if (name == "octave-cli") octave = pid;
  }
  ASSERT_GT(octave, 0) << "no octave-cli child";
  ASSERT_TRUE(fs::exists(flag)) << "the command never ran";

  ASSERT_EQ(0, kill(octave, SIGKILL));
  const auto killed = Clock::now();
  const bool ended = headless.WaitEnded(kRunTimeout);
  const auto seconds = std::chrono::duration<double>(Clock::now() - killed).count();
  const Output out = headless.Finish(0s);
  ASSERT_TRUE(ended);
  EXPECT_LT(seconds, 2.0);
  EXPECT_EQ(1, out.status);
  EXPECT_EQ(std::string::npos, FindLine(out.Section("console"), ">> disp(1)"));

  Lines history;
  for (const std::string& line : SplitLines(ReadFile(box.data / "userpaths.dat")))
    if (line.rfind("History=", 0) == 0) history = Split(TrimRight(line.substr(8)), "|;|");
  EXPECT_TRUE(Has(history, command)) << "userpaths.dat has no History entry for the command";
}

TEST(RealOctave, HistorySurvivesIntoTheNextRun) {
  SKIP_WITHOUT_OCTAVE();
  Sandbox box;
  const Output first = RunScript(box, "a1 = 1\ndisp(a1 + 1)\n", "first");
  ASSERT_FALSE(first.timedOut);
  ASSERT_EQ(0, first.status);
  const Lines& before = first.Section("history");
  ASSERT_TRUE(Has(before, "disp(a1 + 1)"));

  const Output second = RunScript(box, "b2 = 2\n", "second");
  ASSERT_FALSE(second.timedOut);
  EXPECT_EQ(0, second.status);
  const Lines& after = second.Section("history");
  ASSERT_GE(after.size(), before.size() + 2);
  EXPECT_EQ(before, Lines(after.begin(), after.begin() + before.size()));
  const std::regex heading("^%-- .+ --%$");
  EXPECT_TRUE(std::regex_match(after[before.size()], heading)) << after[before.size()];
  EXPECT_EQ("b2 = 2", after.back());
}

}  // namespace

namespace {

TEST(RealOctave, TypedCdIsResolvedAgainstTheSavedFolderNotTheDriversOwn) {
  SKIP_WITHOUT_OCTAVE();
  Sandbox box;
  fs::create_directories(box.work / "sub");
  fs::create_directories(box.work / "with blank");
  std::ofstream(box.work / "file.m") << "x = 1;\n";
  const Output out = RunScript(box,
                               "cd sub\ndisp(pwd)\ncd ..\ndisp(pwd)\ncd 'with blank'\ndisp(pwd)\n"
                               "cd(\"../sub\")\ndisp(pwd)\ncd ../file.m\ncd missing\ndisp(pwd)\n");
  ASSERT_FALSE(out.timedOut);
  EXPECT_EQ(0, out.status);
  Lines shown;
  for (const std::string& line : out.Section("console"))
    if (line.rfind(box.root.string(), 0) == 0) shown.push_back(TrimRight(line));
  const std::string work = box.work.string();
  EXPECT_EQ((Lines{work + "/sub", work, work + "/with blank", work + "/sub", work + "/sub"}), shown);
}

}  // namespace

#endif  // _WIN32
