// CMainFrame's edit and view commands, each on the active view: undo and the
// clipboard, comments and indents, case, the margins, all characters and zoom.
#include <QAction>

#include "editor/app/CommandIds.h"
#include "editor/app/MainFrame.h"
#include "editor/app/QuireApp.h"
#include "editor/app/QuireDoc.h"
#include "editor/view/ScintillaWnd.h"

using namespace quire_command;

void CMainFrame::CreateEditActions() {
  auto onView = [this](void (CScintillaWnd::*op)()) {
    return [this, op] {
      if (CQuireDoc* doc = ActiveDocument()) (doc->View()->*op)();
      UpdateEditCommands();
    };
  };
  connect(AddAction(kEditUndo, tr("&Undo"), QKeySequence::Undo), &QAction::triggered, this,
          onView(&CScintillaWnd::Undo));
  connect(AddAction(kEditRedo, tr("&Redo"), QKeySequence::Redo), &QAction::triggered, this,
          onView(&CScintillaWnd::Redo));
  connect(AddAction(kEditCut, tr("Cu&t"), QKeySequence::Cut), &QAction::triggered, this,
          onView(&CScintillaWnd::Cut));
  connect(AddAction(kEditCopy, tr("&Copy"), QKeySequence::Copy), &QAction::triggered, this,
          onView(&CScintillaWnd::Copy));
  connect(AddAction(kEditPaste, tr("&Paste"), QKeySequence::Paste), &QAction::triggered, this,
          onView(&CScintillaWnd::Paste));
  connect(AddAction(kEditClear, tr("&Delete")), &QAction::triggered, this, onView(&CScintillaWnd::Clear));
  connect(AddAction(kEditSelectAll, tr("Select &All"), QKeySequence::SelectAll), &QAction::triggered, this,
          onView(&CScintillaWnd::SelectAll));
  // The margins belong to each view: a toggle flips the active one's.
  const struct {
    int id;
    const char* text;
    bool (CScintillaWnd::*shown)() const;
    void (CScintillaWnd::*show)(bool);
  } margins[] = {
      {kToggleLineNumbers, "Toggle display of Line Numbers", &CScintillaWnd::GetDisplayLineNumbers,
       &CScintillaWnd::SetDisplayLineNumbers},
      {kToggleSelectionMargin, "Toggle display of Selection/Bookmark margin",
       &CScintillaWnd::GetDisplaySelection, &CScintillaWnd::SetDisplaySelection},
      {kToggleFoldingMargin, "Toggle display of folding margin", &CScintillaWnd::GetDisplayFolding,
       &CScintillaWnd::SetDisplayFolding},
  };
  for (const auto& margin : margins) {
    QAction* action = AddAction(margin.id, tr(margin.text));
    action->setCheckable(true);
    connect(action, &QAction::triggered, this, [this, margin] {
      if (CQuireDoc* doc = ActiveDocument()) {
        CScintillaWnd* view = doc->View();
        (view->*margin.show)(!(view->*margin.shown)());
      }
      UpdateCommands();
    });
  }
  QAction* allCharacters = AddAction(kToggleAllCharacters, tr("Toggle display of All Characters"));
  allCharacters->setCheckable(true);
  connect(allCharacters, &QAction::triggered, this, [this] {
    const bool show = CQuireApp::ProfileInt(QStringLiteral("General"), QStringLiteral("ShowAllCharacters"), 0) == 0;
    CQuireApp::WriteProfileInt(QStringLiteral("General"), QStringLiteral("ShowAllCharacters"), show ? 1 : 0);
    ReloadPreferences();
    UpdateCommands();
  });
  connect(AddAction(kZoomIn, tr("Zoom In"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus)),
          &QAction::triggered, this, onView(&CScintillaWnd::ZoomIn));
  connect(AddAction(kZoomOut, tr("Zoom Out"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Minus)),
          &QAction::triggered, this, onView(&CScintillaWnd::ZoomOut));
  connect(AddAction(kZoomReset, tr("Normal Size")), &QAction::triggered, this,
          onView(&CScintillaWnd::ZoomReset));
  connect(AddAction(kUpperCase, tr("Upper Case")), &QAction::triggered, this,
          onView(&CScintillaWnd::UpperCase));
  connect(AddAction(kLowerCase, tr("Lower Case")), &QAction::triggered, this,
          onView(&CScintillaWnd::LowerCase));
  connect(AddAction(kComment, tr("Co&mment"), QKeySequence(Qt::CTRL | Qt::Key_R)), &QAction::triggered, this,
          onView(&CScintillaWnd::CommentSelection));
  connect(AddAction(kUncomment, tr("U&ncomment"), QKeySequence(Qt::CTRL | Qt::Key_T)), &QAction::triggered,
          this, onView(&CScintillaWnd::UncommentSelection));
  connect(AddAction(kAutoIndent, tr("Auto-&Indent"), QKeySequence(Qt::CTRL | Qt::Key_I)), &QAction::triggered,
          this, onView(&CScintillaWnd::AutoIndent));
  connect(AddAction(kIndent, tr("Indent")), &QAction::triggered, this, onView(&CScintillaWnd::IndentSelection));
  connect(AddAction(kUnindent, tr("Unindent")), &QAction::triggered, this,
          onView(&CScintillaWnd::UnindentSelection));
}

void CMainFrame::UpdateEditCommands() {
  CQuireDoc* doc = ActiveDocument();
  CScintillaWnd* view = doc ? doc->View() : nullptr;
  Action(kEditUndo)->setEnabled(view && view->CanUndo());
  Action(kEditRedo)->setEnabled(view && view->CanRedo());
  Action(kEditPaste)->setEnabled(view && view->CanPaste());
}
