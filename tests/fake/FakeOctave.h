// Where the stand-in interpreter's program is, as the platform names it.
#pragma once

#include <string>

#include "common/UserDirs.h"

// Windows: beside the test program (all programs are built into one folder),
// with its drive letter and backslashes; elsewhere the path the build gives.
inline std::string FakeOctaveProgram() {
#ifdef _WIN32
  return ProgramFolder() + "\\fake_octave.exe";
#else
  return FAKE_OCTAVE_PATH;
#endif
}
