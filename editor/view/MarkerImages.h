// The two marker images of the selection margin, as XPM text (the form
// SCI_MARKERDEFINEPIXMAP takes): marker 0, the breakpoint, a 15 by 15 red
// shaded disc; marker 1, the debug arrow, a 12 by 12 right-pointing blue arrow.
// Pixels outside the shapes are transparent.
#pragma once

#include <string>

std::string BreakpointXpm();
std::string DebugArrowXpm();
