// What the benchmarks share: the sizes a run measures, and the time the
// calling thread has spent.
#pragma once

#include <cstdlib>
#include <ctime>
#include <vector>

// The sizes named on the command line, else `defaults`.
inline std::vector<double> SizesFromArgs(int argc, char** argv, std::vector<double> defaults) {
  std::vector<double> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atof(argv[i]));
  return sizes.empty() ? defaults : sizes;
}

// CPU time of the calling thread, in milliseconds.
inline double ThreadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}
