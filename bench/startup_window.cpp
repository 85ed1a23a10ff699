// Measures Calyx's start: from building the application until the console shows
// the interpreter's first prompt, against the interpreter alone started with
// the same command line until its first prompt. Alternates the two, RUNS times
// each, in processes of their own.
//
// usage: startup-window [RUNS]   (default 5)
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console/command/ConsoleView.h"
#include "console/session/StartupCommands.h"
#include "console/shell/CalyxApp.h"
#include "console/shell/MainFrame.h"
#include "tests/common/PrivateEnvironment.h"

namespace {

const std::string kCommandLine = InterpreterCommandLine("/usr/bin");

// Milliseconds until the interpreter alone prints its first prompt.
qint64 InterpreterAlone() {
  QElapsedTimer clock;
  clock.start();
  QProcess octave;
  octave.setProcessChannelMode(QProcess::MergedChannels);
  octave.startCommand(QString::fromStdString(kCommandLine));
  QByteArray output;
  while (!output.endsWith(">> ") && octave.waitForReadyRead(30000)) output += octave.readAll();
  const qint64 ms = clock.elapsed();
  octave.write("quit\n");
  octave.waitForFinished(5000);
  return ms;
}

// Milliseconds from building the application until the console shows the prompt.
qint64 CalyxWindow() {
  QElapsedTimer clock;
  clock.start();
  CCalyxApp calyx;
  if (!calyx.InitInstance({.splash = false, .show = true, .startFolder = {}})) return -1;
  CCalyxView* console = calyx.Frame()->Console();
  if (!QTest::qWaitFor([&] { return console->toPlainText().endsWith(QStringLiteral(">> ")); }, 30000))
    return -1;
  return clock.elapsed();
}

// Runs `measure` in a child process with its own application and private folders.
qint64 InChild(int argc, char** argv, qint64 (*measure)()) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const CPrivateEnvironment environment;
    QApplication application(argc, argv);
    const qint64 ms = measure();
    if (write(fds[1], &ms, sizeof ms) != sizeof ms) std::_Exit(1);
    std::_Exit(0);
  }
  close(fds[1]);
  qint64 ms = -1;
  if (read(fds[0], &ms, sizeof ms) != sizeof ms) ms = -1;
  close(fds[0]);
  waitpid(child, nullptr, 0);
  return ms;
}

double Median(std::vector<qint64> values) {
  std::sort(values.begin(), values.end());
  return static_cast<double>(values[values.size() / 2]);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::vector<qint64> alone, window;
  for (int run = 0; run < runs; ++run) {
    alone.push_back(InChild(1, argv, InterpreterAlone));
    window.push_back(InChild(1, argv, CalyxWindow));
  }
  std::printf("first prompt, median of %d runs\n", runs);
  std::printf("interpreter alone ms: %.0f\n", Median(alone));
  std::printf("calyx window ms:      %.0f\n", Median(window));
  std::printf("ratio: %.2f (goal 1.2)\n", Median(window) / Median(alone));
  return 0;
}
