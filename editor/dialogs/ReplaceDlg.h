// The modeless "Find & Replace" dialog. It searches and replaces in the editor
// that was active when it opened, for its whole life, and keeps the
// application's recent find and replace texts.
#pragma once

#include <QDialog>
#include <QPointer>

#include <string>
#include <vector>

#include "editor/view/ScintillaWnd.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

class CReplaceDlg : public QDialog {
  Q_OBJECT

 public:
  // The lists are the application's, oldest first; the dialog adds to them.
  CReplaceDlg(CScintillaWnd* target, std::vector<std::string>& findList, std::vector<std::string>& replaceList,
              QWidget* parent = nullptr);

  CScintillaWnd* Target() const { return m_target; }
  int Flags() const;
  std::string FindText() const;

  void FindNext();
  void FindPrevious();
  void ReplaceOne();
  // Returns the number of replacements.
  int ReplaceAllMatches();

 signals:
  // A search was made: F3 and Shift+F3 repeat it.
  void searched(const std::string& text, int flags);

 private:
  bool Search(bool forward);
  // False (and says why) when the regular expression would be refused.
  bool PatternUsable();
  void Remember(QComboBox* box, std::vector<std::string>& list, const std::string& text);
  void UpdateButtons();

  QPointer<CScintillaWnd> m_target;
  std::vector<std::string>& m_findList;
  std::vector<std::string>& m_replaceList;
  bool m_forward = true;
  QComboBox* m_find;
  QComboBox* m_replace;
  QCheckBox* m_matchCase;
  QCheckBox* m_wholeWords;
  QCheckBox* m_regex;
  QCheckBox* m_inSelection;
  QPushButton* m_findNext;
  QPushButton* m_findPrevious;
  QPushButton* m_replaceButton;
  QPushButton* m_replaceAll;
  QLabel* m_message;
};
