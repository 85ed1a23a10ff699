// CMainFrame's help and completion commands: the call tip's help request,
// "Describe command", doc and the Autocompletion switch.
#include <QAction>

#include "editor/app/CommandIds.h"
#include "editor/app/MainFrame.h"
#include "editor/app/QuireApp.h"
#include "editor/app/QuireDoc.h"
#include "editor/view/ScintillaWnd.h"

using namespace quire_command;

namespace {
// The program's own requests end so: Calyx answers them to Quire, silently.
std::string HelpRequest(const std::string& word) { return "help " + word + ";###"; }
}  // namespace

void CMainFrame::CreateTipActions() {
  connect(AddAction(kDescribe, tr("Describe command"), QKeySequence(Qt::CTRL | Qt::Key_D)), &QAction::triggered,
          this, &CMainFrame::Describe);
  connect(AddAction(kDoc, tr("Help on Word"), QKeySequence(Qt::Key_F1)), &QAction::triggered, this,
          &CMainFrame::ShowDoc);
  QAction* completion = AddAction(kAutocompletion, tr("Autocompletion"));
  completion->setCheckable(true);
  connect(completion, &QAction::triggered, this, [this] {
    const QString general = QStringLiteral("General");
    const QString key = QStringLiteral("AutoCompleteEnabled");
    CQuireApp::WriteProfileInt(general, key, CQuireApp::ProfileInt(general, key, 1) == 0 ? 1 : 0);
    ReloadPreferences();
    UpdateCommands();
  });
}

void CMainFrame::RequestCallTip(const std::string& word) {
  // A help answer now is for the call tip, not for a pending Describe.
  m_app.LinkState().bDescribePending = false;
  Send(HelpRequest(word), false);
}

void CMainFrame::Describe() {
  CQuireDoc* doc = ActiveDocument();
  if (!doc) return;
  CScintillaWnd* view = doc->View();
  const std::string word = view->GetCaretWord();
  if (word.empty()) return;
  const long caret = view->GetCurrentPosition();
  const QPoint corner = view->viewport()->mapToGlobal(QPoint(0, 0));
  const long x = view->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, caret);
  const long y = view->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, caret);
  SLinkState& link = m_app.LinkState();
  link.tipPoint = {corner.x() + static_cast<int>(x), corner.y() + static_cast<int>(y) + 10};
  link.bDescribePending = true;
  link.tipWord = word;
  Send(HelpRequest(word), true);
}

void CMainFrame::ShowDoc() {
  CQuireDoc* doc = ActiveDocument();
  if (!doc) return;
  const std::string word = doc->View()->GetCaretWord();
  if (!word.empty()) Send("doc " + word + ";###", true);
}
