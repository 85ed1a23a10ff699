// Drives a whole session without windows from a script: each line is typed into
// the console as a user would, lines that begin with ":" are directives, and at
// the end the views' contents are printed as sections.
#pragma once

#include <iosfwd>
#include <string>

struct HeadlessOptions {
  std::string interpreter;  // a command line; empty: the local octave-cli
  std::string workDir;
  std::string dataDir;      // empty: the user's own data folder
  int maxLines = 0;         // 0: the setting's default
  bool timing = false;
  // Shows each answer as soon as it is complete (for a person at a terminal).
  bool live = false;
};

enum HeadlessExit {
  kHeadlessOk = 0,
  kHeadlessInterpreterEnded = 1,  // the interpreter ended before the script did
  kHeadlessNotStarted = 2,
  kHeadlessRefused = 3,
  kHeadlessUsage = 64,
};

int RunHeadless(const HeadlessOptions& options, std::istream& script, std::ostream& out);
