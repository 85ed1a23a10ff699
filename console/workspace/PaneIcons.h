// Small icons of the workspace panes, drawn here so that they look the same
// with or without an icon theme.
#pragma once

#include <QIcon>
#include <QString>

namespace pane_icons {

// The list's four row images, by image index: 0 struct, 1 numeric of three or
// more dimensions, 2 numeric, 3 anything else.
QIcon VariableIcon(int image);

// A toolbar icon: the theme's `themeName` when there is one, else `glyph`
// drawn in a 16x16 square.
QIcon ToolIcon(const QString& themeName, const QString& glyph);

}  // namespace pane_icons
