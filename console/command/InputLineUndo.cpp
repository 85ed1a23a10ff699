#include "console/command/InputLineUndo.h"

namespace {

// Enough for any editing session of one line; the oldest steps go first.
constexpr size_t kMaxSteps = 200;

}  // namespace

void CInputLineUndo::Record(const QString& before, bool joinsLastStep) {
  m_redo.clear();
  if (joinsLastStep && !m_undo.empty()) return;
  if (m_undo.size() == kMaxSteps) m_undo.erase(m_undo.begin());
  m_undo.push_back(before);
}

std::optional<QString> CInputLineUndo::Undo(const QString& current) {
  if (m_undo.empty()) return std::nullopt;
  m_redo.push_back(current);
  QString line = std::move(m_undo.back());
  m_undo.pop_back();
  return line;
}

std::optional<QString> CInputLineUndo::Redo(const QString& current) {
  if (m_redo.empty()) return std::nullopt;
  m_undo.push_back(current);
  QString line = std::move(m_redo.back());
  m_redo.pop_back();
  return line;
}

void CInputLineUndo::Clear() {
  m_undo.clear();
  m_redo.clear();
}
