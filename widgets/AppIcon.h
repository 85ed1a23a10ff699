// The icons of both programs' commands and windows.
#pragma once

#include <QIcon>

// The desktop theme's icon called `themeName` (a freedesktop icon name such as
// "edit-cut"), or, when the theme has none, the drawing of the same name that
// ships with the programs (widgets/icons), so that a bare system shows the same
// commands. Add a drawing there for every new name.
QIcon AppIcon(const char* themeName);
