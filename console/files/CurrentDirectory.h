// The interpreter's current folder as Calyx keeps it: every change of folder, from
// the path box, Up, Browse, a typed "cd", the file pane or start-up, goes through
// CDirectoryChanger, which resolves the text against the saved folder ("workpath"),
// checks the folder, tells the interpreter and keeps the recent-folder list.
// No Qt: the window and the headless driver share it.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CIni;
class ISettings;

namespace current_directory {

inline constexpr const char* kRecentKey = "WorkingPaths";
inline constexpr const char* kRecentSeparator = "|;|";
inline constexpr int kDefaultMaxDirs = 20;

// What a text typed into the path box asks for.
struct Resolution {
  enum class Kind {
    ShowSaved,  // nothing to change: the box shows the saved folder again
    Target,     // change into `folder`
  };
  Kind kind = Kind::ShowSaved;
  std::string folder;
};

// Resolves `text` against the saved folder `saved`: "." and a ".." without a parent
// show the saved folder; "~" and "~/x" are taken in `home`; any path that is not
// absolute is taken in the saved folder (not in this program's own working folder).
// The result is absolute and clean: no "." or ".." steps, no doubled or trailing
// separator (the root stays "/"; on Windows the root is a drive's "C:\" or a
// share's "\\server\share\", either slash separates and "\" is written).
Resolution Resolve(std::string_view text, std::string_view saved, std::string_view home);

// The path without "." steps, with ".." steps applied, doubled separators
// collapsed and no trailing separator.
std::string CleanPath(std::string_view path);

// Recent-folder rules. `sameFolder` tells whether two stored texts name the same
// folder. True when the list changed (and must be written back).
bool AddRecent(std::vector<std::string>& recent, const std::string& folder,
               const std::function<bool(const std::string&, const std::string&)>& sameFolder);
// Drops the oldest entries beyond `maxDirs`.
bool TrimRecent(std::vector<std::string>& recent, int maxDirs);
// Removes the entry equal to `folder`, and no other.
bool RemoveRecent(std::vector<std::string>& recent, const std::string& folder);

// The message of a folder that cannot be entered.
std::string CannotChangeMessage(const std::string& folder);
// The interpreter's command that changes into `folder`, quoted safely.
std::string ChangeCommand(const std::string& folder);

}  // namespace current_directory

// The path box as the changer sees it (the toolbar's combo box, or one in memory).
class IPathBox {
 public:
  virtual ~IPathBox() = default;
  virtual void SetText(const std::string& text) = 0;
  virtual void SetItems(const std::vector<std::string>& items) = 0;
  virtual void AddItem(const std::string& text) = 0;
  virtual void RemoveItem(const std::string& text) = 0;
  virtual void TakeFocus() = 0;
};

class CDirectoryChanger {
 public:
  struct Services {
    ISettings* settings = nullptr;
    CIni* userData = nullptr;
    IPathBox* box = nullptr;
    std::function<void(const std::string& command)> enqueue;  // echo off
    std::function<void(const std::string& message)> showError;
    // Runs after a successful change (watch the folder, list it, focus the console).
    std::function<void(const std::string& folder)> changed;
    // "workpath" when nothing is saved, and what an empty text means.
    std::function<std::string()> defaultFolder;
    std::string home;
  };

  explicit CDirectoryChanger(Services services);

  // Changes into the folder `text` names; 1 when changed, 0 otherwise.
  int Change(const std::string& text);
  // The saved folder ("workpath", or the default folder).
  std::string SavedFolder() const;
  // Fills the box from the recent list and shows the saved folder.
  void FillBox();

 private:
  int Refuse(const std::string& folder);
  void Remember(const std::string& folder);

  Services m_services;
};
