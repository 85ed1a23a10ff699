// Measures what the console keeps in memory under a flood of output: the
// resident size before and after N lines arrive in interpreter-sized chunks,
// for several line caps. The console keeps no undo steps for output, so the
// growth follows the lines kept, not the lines seen.
//
//   console-memory [LINES...]   (default 200000 2000000)
#include <QApplication>
#include <QTextBlock>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "console/command/ConsoleView.h"
#include "widgets/UserPrompts.h"

namespace {

// Resident set size in MB, from /proc.
double ResidentMb() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

// Feeds `lines` numbered lines in chunks of at most 5,119 bytes, as the reader does.
void Flood(CCalyxView& console, long lines, int maxLines) {
  std::string chunk;
  for (long i = 1; i <= lines; ++i) {
    const std::string line = std::to_string(i) + "\n";
    if (chunk.size() + line.size() > 5119) {
      console.AppendOutput(chunk, {}, maxLines);
      chunk.clear();
      QCoreApplication::processEvents();
    }
    chunk += line;
  }
  console.AppendOutput(chunk + ">> ", {}, maxLines);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  std::vector<long> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atol(argv[i]));
  if (sizes.empty()) sizes = {200000, 2000000};

  std::printf("%10s %9s %10s %10s %10s\n", "lines", "MaxLines", "before MB", "after MB", "growth MB");
  for (const int maxLines : {2000, 100000}) {
    for (const long lines : sizes) {
      CDesktopPrompts prompts;
      CCalyxView console(prompts);
      console.resize(800, 600);
      console.show();
      console.AppendOutput(">> ", {}, maxLines);
      QCoreApplication::processEvents();
      const double before = ResidentMb();
      Flood(console, lines, maxLines);
      QCoreApplication::processEvents();
      const double after = ResidentMb();
      std::printf("%10ld %9d %10.1f %10.1f %10.1f\n", lines, maxLines, before, after, after - before);
      if (console.document()->blockCount() > maxLines) {
        std::fprintf(stderr, "the console kept %d lines\n", console.document()->blockCount());
        return 1;
      }
    }
  }
  return 0;
}
