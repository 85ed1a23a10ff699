#include "editor/dialogs/ReplaceDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/dialogs/FindRules.h"

namespace {

QComboBox* TextBox(const std::vector<std::string>& list, const char* name) {
  auto* box = new QComboBox;
  box->setObjectName(QLatin1String(name));
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setMinimumContentsLength(28);
  for (auto it = list.rbegin(); it != list.rend(); ++it) box->addItem(QString::fromStdString(*it));
  return box;
}

QCheckBox* Option(const QString& text, const char* name) {
  auto* box = new QCheckBox(text);
  box->setObjectName(QLatin1String(name));
  return box;
}

QPushButton* Button(const QString& text, const char* name) {
  auto* button = new QPushButton(text);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

CReplaceDlg::CReplaceDlg(CScintillaWnd* target, std::vector<std::string>& findList,
                         std::vector<std::string>& replaceList, QWidget* parent)
    : QDialog(parent), m_target(target), m_findList(findList), m_replaceList(replaceList) {
  setWindowTitle(tr("Find & Replace"));
  setModal(false);
  m_find = TextBox(m_findList, "find");
  m_replace = TextBox(m_replaceList, "replace");
  m_matchCase = Option(tr("Match case"), "matchCase");
  m_wholeWords = Option(tr("Match whole words only"), "wholeWords");
  m_regex = Option(tr("Regular expressions"), "regex");
  m_inSelection = Option(tr("Replace in selection only"), "inSelection");
  m_findNext = Button(tr("Find Next"), "findNext");
  m_findNext->setDefault(true);
  m_findPrevious = Button(tr("Find Previous"), "findPrevious");
  m_replaceButton = Button(tr("&Replace"), "replace");
  m_replaceAll = Button(tr("Replace &All"), "replaceAll");
  QPushButton* close = Button(tr("&Close"), "close");
  m_message = new QLabel;
  m_message->setObjectName(QStringLiteral("message"));
  m_message->setWordWrap(true);

  // With a selection, its text is what to find (not a text over several lines).
  const std::string selected = target ? target->GetSelectedText() : std::string();
  if (selected.find_first_of("\r\n") == std::string::npos) {
    m_find->setEditText(QString::fromStdString(selected));
    m_replace->setEditText(QString::fromStdString(selected));
  }

  auto* grid = new QGridLayout;
  auto* findLabel = new QLabel(tr("Find what:"));
  findLabel->setBuddy(m_find);
  auto* replaceLabel = new QLabel(tr("Replace with:"));
  replaceLabel->setBuddy(m_replace);
  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(m_find, 0, 1);
  grid->addWidget(replaceLabel, 1, 0);
  grid->addWidget(m_replace, 1, 1);
  auto* options = new QVBoxLayout;
  for (QCheckBox* box : {m_matchCase, m_wholeWords, m_regex, m_inSelection}) options->addWidget(box);
  grid->addLayout(options, 2, 1);
  grid->addWidget(m_message, 3, 0, 1, 2);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {m_findNext, m_findPrevious, m_replaceButton, m_replaceAll, close})
    buttons->addWidget(button);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(grid, 1);
  layout->addLayout(buttons);

  connect(m_findNext, &QPushButton::clicked, this, &CReplaceDlg::FindNext);
  connect(m_findPrevious, &QPushButton::clicked, this, &CReplaceDlg::FindPrevious);
  connect(m_replaceButton, &QPushButton::clicked, this, &CReplaceDlg::ReplaceOne);
  connect(m_replaceAll, &QPushButton::clicked, this, &CReplaceDlg::ReplaceAllMatches);
  connect(close, &QPushButton::clicked, this, &QWidget::hide);
  connect(m_inSelection, &QCheckBox::toggled, this, &CReplaceDlg::UpdateButtons);
  m_find->setFocus();
}

int CReplaceDlg::Flags() const {
  int flags = 0;
  if (m_wholeWords->isChecked()) flags |= QsciScintillaBase::SCFIND_WHOLEWORD;
  if (m_matchCase->isChecked()) flags |= QsciScintillaBase::SCFIND_MATCHCASE;
  if (m_regex->isChecked()) flags |= QsciScintillaBase::SCFIND_REGEXP;
  return flags;
}

std::string CReplaceDlg::FindText() const { return m_find->currentText().toStdString(); }

void CReplaceDlg::UpdateButtons() {
  const bool free = !m_inSelection->isChecked();
  for (QPushButton* button : {m_findNext, m_findPrevious, m_replaceButton}) button->setEnabled(free);
}

void CReplaceDlg::Remember(QComboBox* box, std::vector<std::string>& list, const std::string& text) {
  if (!quire::AddRecentText(list, text)) return;
  const QString edited = box->currentText();
  box->insertItem(0, QString::fromStdString(text));
  box->setEditText(edited);
}

bool CReplaceDlg::PatternUsable() {
  const std::string problem = m_regex->isChecked() ? quire::RegexProblem(FindText()) : std::string();
  m_message->setText(problem.empty() ? QString()
                                     : tr("The regular expression is not valid: %1.").arg(QString::fromStdString(problem)));
  return problem.empty();
}

bool CReplaceDlg::Search(bool forward) {
  m_forward = forward;
  const std::string text = FindText();
  if (!m_target || text.empty() || !PatternUsable()) return false;
  Remember(m_find, m_findList, text);
  m_target->SetSearchFlags(Flags());
  const bool found = forward ? m_target->SearchForward(text) : m_target->SearchBackward(text);
  emit searched(text, Flags());
  QPushButton* button = forward ? m_findNext : m_findPrevious;
  if (isVisible()) button->setFocus();
  return found;
}

void CReplaceDlg::FindNext() {
  if (!m_inSelection->isChecked()) Search(true);
}

void CReplaceDlg::FindPrevious() { Search(false); }

void CReplaceDlg::ReplaceOne() {
  if (!m_target || !PatternUsable()) return;
  m_target->SetSearchFlags(Flags());
  const long start = m_target->GetSelectionStart();
  const std::string replacement = m_replace->currentText().toStdString();
  m_target->Replace(replacement);
  Remember(m_replace, m_replaceList, replacement);
  if (m_forward) {
    // After the replacement, which may be shorter or longer than what it
    // replaced: the old end could skip a match that follows at once.
    m_target->GotoPosition(m_target->SendScintilla(QsciScintillaBase::SCI_GETTARGETEND));
    FindNext();
  } else {
    m_target->GotoPosition(start);
    FindPrevious();
  }
  if (isVisible()) m_replaceButton->setFocus();
}

int CReplaceDlg::ReplaceAllMatches() {
  const std::string text = FindText();
  if (!m_target || text.empty() || !PatternUsable()) return 0;
  m_target->SetSearchFlags(Flags());
  const std::string replacement = m_replace->currentText().toStdString();
  const int count = m_target->ReplaceAll(text, replacement, m_inSelection->isChecked());
  Remember(m_find, m_findList, text);
  Remember(m_replace, m_replaceList, replacement);
  m_message->setText(tr("%n replacement(s) made.", nullptr, count));
  return count;
}
