// What the panes' widget tests share: a recorder of queued commands and the
// workspace answer of the interpreter for given rows.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <string>
#include <utility>
#include <vector>

#include "console/session/SessionViews.h"

struct QueuedCommand {
  std::string text;
  bool echo = false;
  bool operator==(const QueuedCommand&) const = default;
};

inline void PrintTo(const QueuedCommand& c, std::ostream* out) {
  *out << (c.echo ? "visible: " : "silent: ") << c.text;
}

class CCommandRecorder {
 public:
  bool Enqueue(const std::string& text, bool echo) {
    m_commands.push_back({text, echo});
    return m_accept;
  }
  std::vector<QueuedCommand> Take() { return std::exchange(m_commands, {}); }
  void SetAccept(bool accept) { m_accept = accept; }

 private:
  std::vector<QueuedCommand> m_commands;
  bool m_accept = true;
};

// Today's answer to the workspace query for these (name, size, class) rows.
inline std::string WorkspaceAnswer(const std::vector<std::vector<std::string>>& rows) {
  std::string answer =
      "Variables visible from the current scope:\n\nvariables in scope: top scope\n\n"
      " Name                 Size             Class           Bytes       \n"
      " ====                 ====             =====           =====        \n"
      " old_format           1x46             char            46          \n";
  for (const auto& row : rows) answer += " " + row[0] + "   " + row[1] + "   " + row[2] + "   8\n";
  return answer + "\nTotal is 1 element using 8 bytes\n\n>> ";
}

// Counts paint events of one widget.
class CPaintCounter : public QObject {
 public:
  explicit CPaintCounter(QObject* watched) { watched->installEventFilter(this); }
  int Count() const { return m_count; }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++m_count;
    return false;
  }

 private:
  int m_count = 0;
};
