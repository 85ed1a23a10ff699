// One open document of Quire: its file path, title and modified flag, the
// Scintilla control that shows it, and its debug arrow. It is the page of its
// tab.
#pragma once

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "editor/view/ViewSettings.h"

class CScintillaWnd;
class QProgressBar;

class CQuireDoc : public QWidget {
  Q_OBJECT

 public:
  CQuireDoc(const std::vector<std::string>& keywords, std::function<ViewSettings()> settings,
            QWidget* parent = nullptr);

  CScintillaWnd* View() const { return m_view; }
  // Shown with the share loaded while a large file loads.
  QProgressBar* LoadBar() const { return m_loadBar; }

  const std::string& Path() const { return m_path; }
  bool HasPath() const { return !m_path.empty(); }
  // The file name, or "Untitled%d" before the first save; ends with "*" while
  // there are unsaved changes.
  const std::string& Title() const { return m_title; }
  void SetTitle(const std::string& title);
  bool IsModified() const { return m_bModified; }

  // Reads the file; the document takes its path and title. False when the
  // file cannot be read (the document then stays as it was).
  bool Load(const std::string& path);
  // Writes the file; on success the document takes the path, its title
  // loses the "*" and the modified flag is cleared. On failure nothing changes.
  bool SaveTo(const std::string& path);

  // The title up to its first ".", without recording the last target.
  std::string ScriptName() const;

  // 1-based line of the last debug stop, -1 without an arrow.
  int DebugArrowLine() const { return m_debugArrowLine; }
  // Caret to `line`; the arrow to the first code line at or after it.
  void ShowDebugArrow(int line);
  void RemoveDebugArrow();
  bool HasBreakpoints() const;
  void RemoveBreakpointMarkers();

 signals:
  // The title changed (a first change added "*", a save, a new name).
  void titleChanged(CQuireDoc* doc);

 private:
  void OnTextModified();

  CScintillaWnd* m_view = nullptr;
  QProgressBar* m_loadBar = nullptr;
  std::string m_path;
  std::string m_title;
  bool m_bModified = false;
  int m_debugArrowLine = -1;
};
