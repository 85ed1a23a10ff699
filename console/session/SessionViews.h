// The narrow interfaces through which the interpreter session reaches windows.
// Calyx implements them with Qt widgets (each call is carried to the GUI thread);
// the headless program and the tests implement them in memory. Every call may come
// from a worker thread.
#pragma once

#include <string>
#include <vector>

#include "common/Settings.h"

// A format applied to part of a text appended to the console. Offsets count bytes
// of the appended text; `begin` may be -1 for "one character before it".
struct ConsoleMark {
  enum class Kind { Error, Bold, Link };
  Kind kind;
  long begin;
  long end;
  std::string target = {};  // what a link opens; empty: its own text
  bool operator==(const ConsoleMark&) const = default;
};

class IConsole {
 public:
  virtual ~IConsole() = default;
  // The last `count` bytes of the interpreter's side of the console (all of it
  // when shorter): the text before the lines typed ahead and the input line.
  virtual std::string Tail(size_t count) = 0;
  virtual std::string Text() = 0;
  // Appends output in the base format before the lines typed ahead and the input
  // line, applies the marks, trims the text to its last `maxLines` lines and
  // scrolls to the bottom. One call redraws once.
  virtual void AppendOutput(const std::string& chunk, const std::vector<ConsoleMark>& marks,
                            int maxLines) = 0;
  // Shows `line` as the command now sent: the first line typed ahead when it is
  // that line, else written before the lines typed ahead. True when it follows a
  // prompt (a command, not an answer to input() or keyboard).
  virtual bool EchoCommand(const std::string& line) = 0;
  // Replaces everything with `prompt` in the base format ("clc").
  virtual void ResetTo(const std::string& prompt) = 0;
  // Replaces every occurrence of `find` in the whole console.
  virtual void ReplaceInConsole(const std::string& find, const std::string& replacement) = 0;
  virtual void SetReadOnly(bool readOnly) = 0;
  virtual void MoveCaretToEnd() = 0;
};

// One row of a report list: columns left to right and its image index (-1: none).
struct ListRow {
  std::vector<std::string> columns;
  int image = -1;
  bool operator==(const ListRow&) const = default;
};

class IRowList {
 public:
  virtual ~IRowList() = default;
  virtual std::vector<ListRow> Rows() = 0;
  // Replaces every row; a list keeps its rows and selection untouched unless this
  // is called.
  virtual void SetRows(const std::vector<ListRow>& rows) = 0;
};

class ICompletionPopup {
 public:
  virtual ~ICompletionPopup() = default;
  // Hides, refills and shows the popup with these candidates.
  virtual void ShowCandidates(const std::vector<std::string>& candidates) = 0;
  // Inserts the only candidate at once, as choosing it in the popup would.
  virtual void Accept(const std::string& candidate) = 0;
};

class IVariableEditor {
 public:
  virtual ~IVariableEditor() = default;
  virtual bool IsVisible() = 0;
  virtual void ReloadPage() = 0;  // the workspace changed
  virtual void LoadGrid() = 0;    // the export file is ready
};

// Services of the application around the session: whatever is not a view.
class ISessionHost {
 public:
  virtual ~ISessionHost() = default;
  virtual bool SendToEditor(const std::string& text, bool activate) = 0;
  virtual void ShowHelpTopic(const std::string& topic) = 0;
  // Changes the interpreter's folder (queues its own command); returns 0 when the
  // folder cannot be used, as the current-directory box does.
  virtual int ChangeCurrentDirectory(const std::string& folder) = 0;
  // The startup folder when "workpath" is unset or gone.
  virtual std::string WorkingDirectory() = 0;
  // Asks the application to end; false when the user chose to stay.
  virtual bool ExitApplication() = 0;
  virtual void Beep() = 0;
  virtual void ShowMessage(const std::string& message) = 0;
  // Enables the controls that need a live session (lists, history, path box).
  virtual void SetSessionControlsEnabled(bool enabled) = 0;
};

// Everything the session reaches outside itself.
struct SessionViews {
  IConsole* console = nullptr;
  IRowList* workspace = nullptr;
  IRowList* searchPath = nullptr;
  IRowList* packages = nullptr;
  ICompletionPopup* completion = nullptr;
  IVariableEditor* variableEditor = nullptr;
  ISessionHost* host = nullptr;
  ISettings* settings = nullptr;
};
