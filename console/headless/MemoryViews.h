// In-memory implementations of the session's window interfaces: what the console
// and the panes would show, kept as plain data. Used by the headless program and
// the tests.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "console/files/CurrentDirectory.h"
#include "console/session/SessionViews.h"

class CIni;

class CMemoryConsole : public IConsole {
 public:
  struct Mark {
    ConsoleMark::Kind kind;
    size_t begin;
    size_t end;
    std::string target;  // a link's, when it is not its text
  };

  std::string Tail(size_t count) override;
  std::string Text() override;
  void AppendOutput(const std::string& chunk, const std::vector<ConsoleMark>& marks,
                    int maxLines) override;
  bool EchoCommand(const std::string& line) override;
  void ResetTo(const std::string& prompt) override;
  void ReplaceInConsole(const std::string& find, const std::string& replacement) override;
  void SetReadOnly(bool readOnly) override;
  void MoveCaretToEnd() override {}

  // A line typed ahead: shown at the end, as Enter in the console leaves it.
  void Type(const std::string& line);
  bool ReadOnly() const;
  // Where the lines typed ahead begin: the end of the interpreter's output.
  size_t TypedStart() const;
  std::vector<Mark> Marks() const;
  // Calls `test` with the text after every change until it returns true or the
  // timeout passes; true when it did.
  bool WaitUntil(const std::function<bool(const std::string&)>& test,
                 std::chrono::milliseconds timeout);
  long Changes() const;
  // Wakes whoever waits for a change, as a change would.
  void Poke();
  // Waits until the console has changed since `changes` was read.
  bool WaitForChange(long changes, std::chrono::milliseconds timeout);
  std::chrono::steady_clock::time_point LastChange() const;

 private:
  void Changed();  // with m_mutex held
  void TrimToLines(int maxLines);

  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  std::string m_text;
  size_t m_lineFeeds = 0;  // invariant: the number of '\n' in m_text
  std::vector<Mark> m_marks;
  size_t m_typedStart = 0;  // invariant: m_typedStart <= m_text.size()
  bool m_readOnly = false;
  long m_changes = 0;
  std::chrono::steady_clock::time_point m_lastChange = std::chrono::steady_clock::now();
};

class CMemoryRowList : public IRowList {
 public:
  std::vector<ListRow> Rows() override;
  void SetRows(const std::vector<ListRow>& rows) override;
  int Rebuilds() const;
  // Waits until the list holds a row; false when the timeout passes first.
  bool WaitForRows(std::chrono::milliseconds timeout);

 private:
  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<ListRow> m_rows;
  int m_rebuilds = 0;
};

class CMemoryCompletion : public ICompletionPopup {
 public:
  void ShowCandidates(const std::vector<std::string>& candidates) override;
  void Accept(const std::string& candidate) override;
  std::vector<std::string> Candidates() const;
  std::vector<std::string> Accepted() const;

 private:
  mutable std::mutex m_mutex;
  std::vector<std::string> m_candidates;
  std::vector<std::string> m_accepted;
};

class CMemoryVariableEditor : public IVariableEditor {
 public:
  bool IsVisible() override { return false; }
  void ReloadPage() override {}
  void LoadGrid() override {}
};

class CMemorySettings : public ISettings {
 public:
  int GetInt(const std::string& section, const std::string& key, int fallback) override;
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& fallback) override;
  void SetInt(const std::string& section, const std::string& key, int value) override;
  void SetString(const std::string& section, const std::string& key,
                 const std::string& value) override;

 private:
  std::mutex m_mutex;
  std::map<std::string, std::string> m_values;
};

// The path box without a window: what it would show and list.
class CMemoryPathBox : public IPathBox {
 public:
  void SetText(const std::string& text) override;
  void SetItems(const std::vector<std::string>& items) override;
  void AddItem(const std::string& text) override;
  void RemoveItem(const std::string& text) override;
  void TakeFocus() override {}

  std::string Text() const;
  std::vector<std::string> Items() const;

 private:
  mutable std::mutex m_mutex;
  std::string m_text;
  std::vector<std::string> m_items;
};

// The host side of a session without windows: records what would have gone to
// the editor, the help pane and message boxes. Folder changes are resolved and
// checked as the window does, then queued through `enqueue`.
class CMemoryHost : public ISessionHost {
 public:
  explicit CMemoryHost(std::function<void(const std::string&)> enqueue = {});
  void SetEnqueue(std::function<void(const std::string&)> enqueue);
  // Where the saved folder and the recent folders are kept; until this is
  // called no folder can be changed into.
  void UseFolderStores(ISettings& settings, CIni& userData);
  const CMemoryPathBox& PathBox() const { return m_pathBox; }

  bool SendToEditor(const std::string& text, bool activate) override;
  void ShowHelpTopic(const std::string& topic) override;
  int ChangeCurrentDirectory(const std::string& folder) override;
  std::string WorkingDirectory() override;
  bool ExitApplication() override;
  void Beep() override;
  void ShowMessage(const std::string& message) override;
  void SetSessionControlsEnabled(bool enabled) override;

  std::vector<std::string> EditorMessages() const;
  // Waits until a text was sent to the editor; false when the timeout passes first.
  bool WaitForEditorMessage(std::chrono::milliseconds timeout);
  std::vector<std::string> HelpTopics() const;
  std::vector<std::string> Messages() const;
  int Beeps() const;
  int ExitRequests() const;
  bool ControlsEnabled() const;
  // What ExitApplication answers (true: the program ends).
  void SetExitAccepted(bool accepted);

 private:
  mutable std::mutex m_mutex;
  std::condition_variable m_editorMessaged;
  std::function<void(const std::string&)> m_enqueue;
  CMemoryPathBox m_pathBox;
  std::unique_ptr<CDirectoryChanger> m_directories;
  std::vector<std::string> m_editorMessages;
  std::vector<std::string> m_helpTopics;
  std::vector<std::string> m_messages;
  int m_beeps = 0;
  int m_exitRequests = 0;
  bool m_exitAccepted = true;
  bool m_controlsEnabled = false;
};

// Every view of one session, ready to hand to the session core.
struct CMemoryViews {
  CMemoryConsole console;
  CMemoryRowList workspace;
  CMemoryRowList searchPath;
  CMemoryRowList packages;
  CMemoryCompletion completion;
  CMemoryVariableEditor variableEditor;
  CMemoryHost host;
  CMemorySettings settings;

  SessionViews Views() {
    return {&console, &workspace, &searchPath, &packages, &completion, &variableEditor, &host,
            &settings};
  }
};
