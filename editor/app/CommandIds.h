// Quire's command ids: the stored tab orientation uses them, and tests find the
// frame's actions by them.
#pragma once

namespace quire_command {

// File
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileClose = 57602;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kFilePrintSetup = 57606;
inline constexpr int kFilePrint = 57607;
inline constexpr int kFilePrintPreview = 57609;
inline constexpr int kAppExit = 57665;
inline constexpr int kNewFunctionFile = 32829;
inline constexpr int kNewBlankFile = 32833;
inline constexpr int kSaveAll = 32825;
inline constexpr int kCloseAll = 32826;
inline constexpr int kCloseAllButThis = 32823;

// Edit
inline constexpr int kEditUndo = 57643;
inline constexpr int kEditRedo = 57644;
inline constexpr int kEditCut = 57635;
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditPaste = 57637;
inline constexpr int kEditClear = 57632;
inline constexpr int kEditSelectAll = 57642;
inline constexpr int kComment = 32798;
inline constexpr int kUncomment = 32799;
inline constexpr int kAutoIndent = 32852;
inline constexpr int kIndent = 32855;
inline constexpr int kUnindent = 32856;
inline constexpr int kFindReplace = 57641;
inline constexpr int kGotoLine = 32786;
inline constexpr int kGotoPosition = 32785;
inline constexpr int kFindNextAgain = 57639;  // F3
inline constexpr int kFindPreviousAgain = 57640;  // Shift+F3

// View
inline constexpr int kToggleLineNumbers = 32771;
inline constexpr int kToggleSelectionMargin = 32779;
inline constexpr int kToggleFoldingMargin = 32780;
inline constexpr int kToggleAllCharacters = 32806;
inline constexpr int kZoomIn = 32857;
inline constexpr int kZoomOut = 32858;
inline constexpr int kZoomReset = 32862;
inline constexpr int kUpperCase = 32863;
inline constexpr int kLowerCase = 32864;

// Run and debug
inline constexpr int kRun = 32792;
inline constexpr int kToggleBreakpoint = 32781;
inline constexpr int kClearAllBreakpoints = 32797;
inline constexpr int kDebugStep = 32815;
inline constexpr int kDebugStepIn = 32816;
inline constexpr int kDebugStepOut = 32817;
inline constexpr int kDebugStop = 32819;

// Evaluation and cells
inline constexpr int kEvaluate = 32876;
inline constexpr int kEvaluateCell = 32880;
inline constexpr int kEvaluateCellAdvance = 32881;
inline constexpr int kEvaluateAll = 32882;
inline constexpr int kInsertCellBreak = 32883;
inline constexpr int kInsertCellBreaksAround = 32884;
inline constexpr int kNextCell = 32885;
inline constexpr int kPreviousCell = 32886;
inline constexpr int kIncrementValue = 32892;
inline constexpr int kDecrementValue = 32893;
inline constexpr int kDivideValue = 32894;
inline constexpr int kMultiplyValue = 32895;
inline constexpr int kStepBox = 32896;
inline constexpr int kFactorBox = 32897;
inline constexpr int kCellsBox = 32898;

// Completion and help
inline constexpr int kAutocompletion = 32803;
inline constexpr int kDescribe = 32903;
inline constexpr int kDoc = 32906;

// Window
inline constexpr int kTabTop = 32835;
inline constexpr int kTabRight = 32836;
inline constexpr int kTabLeft = 32837;
inline constexpr int kTabBottom = 32838;
inline constexpr int kCellMode = 32879;
inline constexpr int kNextDocument = 57680;  // F6
inline constexpr int kPreviousDocument = 57681;  // Shift+F6

// Help
inline constexpr int kAppAbout = 57664;

}  // namespace quire_command
