// Command ids of the Workspace and Variable Editor panes, shared by their
// toolbars, menus and keys.
#pragma once

namespace workspace_id {
// Workspace pane.
inline constexpr int kSaveSelected = 32794;
inline constexpr int kDeleteSelected = 32795;
inline constexpr int kRenameSelected = 32796;
inline constexpr int kDuplicateSelected = 32797;
inline constexpr int kLoadFile = 32799;
inline constexpr int kViewSelected = 32801;
inline constexpr int kSelectAll = 32802;
inline constexpr int kRefresh = 32803;
// 32850 to 32863: the plot functions (workspace_commands::PlotFunction).

// Variable Editor pane.
inline constexpr int kCopy = 1040;
inline constexpr int kCut = 1041;
inline constexpr int kAddLeft = 1042;
inline constexpr int kPaste = 1043;
inline constexpr int kAddRight = 1044;
inline constexpr int kDeleteColumn = 1045;
inline constexpr int kAddAbove = 1046;
inline constexpr int kAddBelow = 1047;
inline constexpr int kDeleteRow = 1049;
inline constexpr int kIndex = 32868;
}  // namespace workspace_id
