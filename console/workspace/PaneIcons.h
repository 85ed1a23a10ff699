// The row images of the variable list, drawn here so that they look the same
// with or without an icon theme.
#pragma once

#include <QIcon>

namespace pane_icons {

// The list's four row images, by image index: 0 struct, 1 numeric of three or
// more dimensions, 2 numeric, 3 anything else.
QIcon VariableIcon(int image);

}  // namespace pane_icons
