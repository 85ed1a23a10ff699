// Rules of Quire's frame and documents that need no window: the file name a
// new function file proposes, "Untitled%d" numbering, script names, window
// placement, the tab orientation setting and the open-file lists of
// "userfiles.dat".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quire {

// The function name declared by the first line where "function " comes before
// any comment marker ("%" or "#"); "" without such a line or when what it
// declares is not an Octave name (so a proposal can never leave the folder).
std::string ProposeFunctionName(std::string_view text);

// "Untitled%d" with one more than the highest number read (like atoi) after
// the "Untitled" of the given titles; "Untitled1" when none starts so.
std::string NextUntitledTitle(const std::vector<std::string>& titles);

// The title up to its first "."; the whole title when that is empty. The
// modified mark "*" is never part of the name.
std::string ScriptNameOf(std::string_view title);

// The caption the console looks for: "Quire - [title]" while a document is
// active, "Quire" otherwise.
std::string FrameCaption(const std::optional<std::string>& activeTitle);

struct SRect {
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  bool operator==(const SRect&) const = default;
};

struct SPlacement {
  bool maximized = false;
  SRect rect;
  bool operator==(const SPlacement&) const = default;
};

// Where the main window opens, from the saved "Main" values and the desktop's
// available area: -1, -1 maximizes; positions off the desktop move to its
// edge; too small or too large sizes become the desktop's width, or its height
// less 50.
SPlacement PlaceWindow(const SRect& saved, const SRect& desktop);

// The saved values for a window: 0, 0, -1, -1 when maximized.
SRect SavedPlacement(bool maximized, const SRect& frame);

// The tab strip side, stored as the command id of its menu item.
enum class TabSide { Top = 32835, Right = 32836, Left = 32837, Bottom = 32838 };
// An unknown stored value is the default, top.
TabSide TabSideFromId(int id);

// Find and replace histories as read: leading white space removed, empty
// entries dropped.
std::vector<std::string> CleanHistory(const std::vector<std::string>& entries);

// Paths of the reopen list that exist and are not open yet (compared ignoring
// case), in list order, each once.
std::vector<std::string> FilesToReopen(const std::vector<std::string>& listed,
                                       const std::vector<std::string>& alreadyOpen,
                                       const std::function<bool(const std::string&)>& exists);

// The caret position saved for `path` (exact comparison), if any.
std::optional<long> SavedCaretPosition(const std::string& path,
                                       const std::vector<std::string>& openFiles,
                                       const std::vector<std::string>& positions);

struct SOpenDocument {
  std::string path;  // "" for a document never saved
  long caret = 0;
};

struct SSessionLists {
  std::vector<std::string> files;
  std::vector<std::string> positions;
};

// The "OpenFiles" and "FilesPositions" lists of the tabs in order; documents
// without a path are left out.
SSessionLists SessionListsOf(const std::vector<SOpenDocument>& tabs);

inline constexpr const char* kOpenFilesSeparator = "|;|";
inline constexpr const char* kListSeparator = ",";

// What a path to open is: only regular files open; a pipe or a device would
// block for ever. Above kAskBeforeOpeningBytes the user is asked first.
enum class FileKind { Missing, Regular, Large, NotAFile };
inline constexpr long long kAskBeforeOpeningBytes = 64LL << 20;
FileKind KindOfFileToOpen(const std::string& path);

}  // namespace quire
