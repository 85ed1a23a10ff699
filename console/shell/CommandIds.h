// The numeric ids of Calyx's commands, kept so that menus, toolbars and the
// editor's requests name the same command the same way.
#pragma once

namespace command_id {
inline constexpr int kConnect = 32770;
inline constexpr int kDisconnect = 32772;
inline constexpr int kHelp = 32773;
inline constexpr int kHome = 32774;
inline constexpr int kCheckUpdates = 32775;
inline constexpr int kForum = 32776;
inline constexpr int kClearWindow = 32777;
inline constexpr int kSetPaths = 32778;
inline constexpr int kPackages = 32779;
inline constexpr int kOptions = 32780;
inline constexpr int kSaveWorkspaceAs = 32781;
inline constexpr int kClearHistory = 32782;
inline constexpr int kClearWorkspace = 32783;
inline constexpr int kEditor = 32784;
// Interrupts the running command, as Ctrl+C twice in the console does.
inline constexpr int kInterrupt = 32785;
inline constexpr int kUp = 32866;
inline constexpr int kBrowse = 32867;
inline constexpr int kDonate = 32871;
inline constexpr int kOpen = 57601;
inline constexpr int kSaveAs = 57604;
inline constexpr int kPrintSetup = 57606;
inline constexpr int kPrint = 57607;
inline constexpr int kPrintPreview = 57609;
inline constexpr int kCopy = 57634;
inline constexpr int kCut = 57635;
inline constexpr int kPaste = 57637;
inline constexpr int kUndo = 57643;
inline constexpr int kRedo = 57644;
inline constexpr int kAbout = 57664;
inline constexpr int kExit = 57665;
inline constexpr int kStatusBar = 59393;
inline constexpr int kToolbars = 59392;
inline constexpr int kLookFirst = 210;  // 210 to 218: the application looks
inline constexpr int kLookLast = 218;
inline constexpr int kDefaultLook = 214;
}  // namespace command_id
