// The frame's find, go-to, document-switching and About commands.
#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QTabWidget>

#include "editor/app/CommandIds.h"
#include "editor/app/MainFrame.h"
#include "editor/app/QuireApp.h"
#include "editor/app/QuireDoc.h"
#include "editor/dialogs/FindRules.h"
#include "editor/dialogs/GotoDlg.h"
#include "editor/dialogs/ReplaceDlg.h"
#include "editor/view/ScintillaWnd.h"
#include "widgets/AppIcon.h"

using namespace quire_command;

namespace {

// Selects the word around the caret on its line, as the find dialog's text.
void SelectWordAtCaret(CScintillaWnd* view) {
  const long caret = view->GetCurrentPosition();
  const long line0 = view->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, caret);
  const long lineStart = view->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line0);
  std::string line = view->GetLine(static_cast<int>(line0));
  line = line.substr(0, line.find_first_of("\r\n"));
  const auto [start, end] = quire::WordAround(line, static_cast<size_t>(caret - lineStart));
  view->SetSelectionStart(lineStart + static_cast<long>(start));
  view->SetSelectionEnd(lineStart + static_cast<long>(end));
}

}  // namespace

void CMainFrame::CreateSearchActions() {
  QAction* find = AddAction(kFindReplace, tr("&Find and Replace..."));
  find->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_F), QKeySequence(Qt::CTRL | Qt::Key_H)});
  find->setStatusTip(tr("Find and Replace specific text with different text"));
  find->setIcon(AppIcon("edit-find-replace"));
  connect(find, &QAction::triggered, this, [this] { OpenFindDialog(); });
  QAction* again = AddAction(kFindNextAgain, tr("Find &Next"), QKeySequence(Qt::Key_F3));
  again->setIcon(AppIcon("edit-find"));
  connect(again, &QAction::triggered, this, [this] { RepeatSearch(true); });
  QAction* back = AddAction(kFindPreviousAgain, tr("Find Pre&vious"), QKeySequence(Qt::SHIFT | Qt::Key_F3));
  connect(back, &QAction::triggered, this, [this] { RepeatSearch(false); });
  QAction* line = AddAction(kGotoLine, tr("&Goto Line..."), QKeySequence(Qt::CTRL | Qt::Key_G));
  line->setStatusTip(tr("Goto Line"));
  connect(line, &QAction::triggered, this, [this] { GotoDialog(true); });
  QAction* position = AddAction(kGotoPosition, tr("Go To &Position..."));
  position->setStatusTip(tr("Goto Character Position"));
  connect(position, &QAction::triggered, this, [this] { GotoDialog(false); });

  QAction* next = AddAction(kNextDocument, tr("Ne&xt Document"));
  next->setShortcuts({QKeySequence(Qt::Key_F6), QKeySequence(Qt::CTRL | Qt::Key_Tab)});
  connect(next, &QAction::triggered, this, [this] { StepDocument(1); });
  QAction* previous = AddAction(kPreviousDocument, tr("Pre&vious Document"));
  previous->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_F6), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)});
  connect(previous, &QAction::triggered, this, [this] { StepDocument(-1); });
  connect(AddAction(kAppAbout, tr("&About Quire...")), &QAction::triggered, this, &CMainFrame::ShowAbout);
  setAcceptDrops(true);
}

void CMainFrame::AddSearchMenus(QMenu* edit, QMenu* window, QMenu* help) {
  edit->addSeparator();
  for (int id : {kFindReplace, kFindNextAgain, kFindPreviousAgain, kGotoLine, kGotoPosition}) edit->addAction(Action(id));
  window->addSeparator();
  for (int id : {kNextDocument, kPreviousDocument}) window->addAction(Action(id));
  help->addAction(Action(kAppAbout));
}

CReplaceDlg* CMainFrame::OpenFindDialog() {
  CQuireDoc* doc = ActiveDocument();
  if (!doc) return nullptr;
  CScintillaWnd* view = doc->View();
  if (view->GetSelectionStart() == view->GetSelectionEnd()) SelectWordAtCaret(view);
  auto* dialog = new CReplaceDlg(view, m_app.FindHistory(), m_app.ReplaceHistory(), this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &CReplaceDlg::searched, this, [this](const std::string& text, int flags) {
    m_lastSearch = text;
    m_lastSearchFlags = flags;
  });
  m_findDialog = dialog;
  dialog->show();
  return dialog;
}

void CMainFrame::RepeatSearch(bool forward) {
  CQuireDoc* doc = ActiveDocument();
  if (!doc) return;
  // Without a search in this run, the newest text of the find list.
  std::string text = m_lastSearch;
  if (text.empty() && !m_app.FindHistory().empty()) text = m_app.FindHistory().back();
  if (text.empty()) {
    OpenFindDialog();
    return;
  }
  CScintillaWnd* view = doc->View();
  view->SetSearchFlags(m_lastSearchFlags);
  forward ? view->SearchForward(text) : view->SearchBackward(text);
}

void CMainFrame::GotoDialog(bool line) {
  CQuireDoc* doc = ActiveDocument();
  if (!doc) return;
  CScintillaWnd* view = doc->View();
  CGotoDlg dialog(line ? CGotoDlg::Kind::Line : CGotoDlg::Kind::Position,
                  line ? view->GetCurrentLine() : view->GetCurrentPosition(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (line) {
    view->GotoLine(static_cast<int>(dialog.Value()));
  } else {
    view->GotoPosition(dialog.Value());
  }
  view->setFocus();
}

void CMainFrame::StepDocument(int step) {
  const int count = m_tabs->count();
  if (count < 2) return;
  m_tabs->setCurrentIndex((m_tabs->currentIndex() + step + count) % count);
}

void CMainFrame::ShowAbout() {
  QMessageBox::about(this, tr("About Quire"),
                     tr("<h3>Quire %1</h3><p>An editor for GNU Octave files that runs and debugs them "
                        "in Calyx.</p>")
                         .arg(QStringLiteral(CALYX_VERSION)));
}
