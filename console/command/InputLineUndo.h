// Undo and redo of the console's input line. The steps are the line as the user
// left it before each change, so the interpreter's answers never enter them and
// the memory they take follows the line, not the output.
#pragma once

#include <QString>

#include <optional>
#include <vector>

class CInputLineUndo {
 public:
  // Before a change made by the user. A character typed right after the last
  // one joins its step, so that a run of typing is undone at once.
  void Record(const QString& before, bool joinsLastStep);
  // The line to show instead of `current`; nothing when there is no step.
  std::optional<QString> Undo(const QString& current);
  std::optional<QString> Redo(const QString& current);
  // The line was sent: its steps go with it.
  void Clear();
  bool CanUndo() const { return !m_undo.empty(); }
  bool CanRedo() const { return !m_redo.empty(); }

 private:
  std::vector<QString> m_undo;
  std::vector<QString> m_redo;
};
