// The completion list shown at the console's caret. It never takes the focus on
// its own, so typing keeps going into the console.
#pragma once

#include <QFrame>

#include <string>
#include <vector>

#include "console/session/SessionViews.h"

class QKeyEvent;
class QListWidget;
class QPlainTextEdit;

class AutoComplete : public QFrame, public ICompletionPopup {
  Q_OBJECT

 public:
  explicit AutoComplete(QPlainTextEdit* console);

  // The console's characters [start, end) that a chosen entry replaces; set
  // before the console asks for candidates.
  void SetWordRange(int start, int end);

  // ICompletionPopup, callable from any thread.
  void ShowCandidates(const std::vector<std::string>& candidates) override;
  void Accept(const std::string& candidate) override;

  // Inserts the selected entry.
  void Accept();
  // Hides and gives the focus back to the console.
  void Cancel();
  void SelectNext();
  void SelectPrevious();
  bool IsShown() const;

  QListWidget* List() const { return m_list; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Fill(const std::vector<std::string>& candidates);
  void PlaceAtCaret(int rows, int longest);
  void Insert(const QString& entry);
  void ReturnFocus();
  bool HandleKey(QKeyEvent* event);

  QPlainTextEdit* m_console;
  QListWidget* m_list;
  int m_wordStart = 0;
  int m_wordEnd = 0;
};
