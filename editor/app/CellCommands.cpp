// CMainFrame's evaluation and cell commands: Evaluate, the cell commands, the
// number commands and the cell toolbar with its step, factor and cells boxes.
#include <QAction>
#include <QComboBox>
#include <QFocusEvent>
#include <QToolBar>

#include "common/Text.h"
#include "editor/app/CommandIds.h"
#include "editor/app/MainFrame.h"
#include "editor/app/QuireApp.h"
#include "editor/app/QuireDoc.h"
#include "editor/view/ScintillaWnd.h"
#include "widgets/AppIcon.h"

using namespace quire_command;
using quire_cells::NudgeOp;

namespace {

// The step and factor boxes: a value typed into the box joins its list when
// the box loses the focus.
class CValueBox : public QComboBox {
 public:
  CValueBox(const QString& initial, const QString& name, const QString& tip, QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    addItem(initial);
    setAccessibleName(name);
    setToolTip(tip);
    setStatusTip(tip);
    setMinimumContentsLength(5);
  }

 protected:
  void focusOutEvent(QFocusEvent* event) override {
    const QString value = currentText().trimmed();
    if (!value.isEmpty() && findText(value, Qt::MatchExactly) < 0) addItem(value);
    QComboBox::focusOutEvent(event);
  }
};

}  // namespace

void CMainFrame::CreateCellActions() {
  auto onActive = [this](auto call) {
    return [this, call] {
      if (CQuireDoc* doc = ActiveDocument()) call(doc->View());
    };
  };

  connect(AddAction(kEvaluate, tr("&Evaluate"), QKeySequence(Qt::CTRL | Qt::Key_E)), &QAction::triggered, this,
          &CMainFrame::EvaluateSelection);
  QAction* cell = AddAction(kEvaluateCell, tr("Evaluate Current &Cell"), QKeySequence(Qt::CTRL | Qt::Key_Return));
  cell->setIcon(AppIcon("media-playback-start"));
  connect(cell, &QAction::triggered, this, [this] { EvaluateCurrentCell(false); });
  QAction* advance = AddAction(kEvaluateCellAdvance, tr("Evaluate Current Cell and &Advance"),
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Return));
  advance->setIcon(AppIcon("media-skip-forward"));
  connect(advance, &QAction::triggered, this, [this] { EvaluateCurrentCell(true); });
  connect(AddAction(kEvaluateAll, tr("Evaluate A&ll")), &QAction::triggered, this, &CMainFrame::EvaluateAll);

  QAction* next = AddAction(kNextCell, tr("&Next Cell"), QKeySequence(Qt::CTRL | Qt::Key_Down));
  next->setIcon(AppIcon("go-down"));
  connect(next, &QAction::triggered, this, onActive([](CScintillaWnd* view) { view->NextCell(); }));
  QAction* previous = AddAction(kPreviousCell, tr("&Previous Cell"), QKeySequence(Qt::CTRL | Qt::Key_Up));
  previous->setIcon(AppIcon("go-up"));
  connect(previous, &QAction::triggered, this, onActive([](CScintillaWnd* view) { view->PreviousCell(); }));
  QAction* cellBreak = AddAction(kInsertCellBreak, tr("Insert Cell &Break"));
  cellBreak->setIcon(AppIcon("insert-horizontal-rule"));
  connect(cellBreak, &QAction::triggered, this, onActive([](CScintillaWnd* view) { view->InsertCellBreak(); }));
  connect(AddAction(kInsertCellBreaksAround, tr("Insert Cell Breaks Around &Selection")), &QAction::triggered,
          this, onActive([](CScintillaWnd* view) { view->InsertCellBreaksAroundSelection(); }));

  const struct {
    int id;
    const char* text;
    Qt::Key key;
    NudgeOp op;
    const char* iconName;
  } values[] = {
      {kIncrementValue, "&Increment Value and Evaluate Cell", Qt::Key_Plus, NudgeOp::Increment, "list-add"},
      {kDecrementValue, "&Decrement Value and Evaluate Cell", Qt::Key_Minus, NudgeOp::Decrement, "list-remove"},
      {kMultiplyValue, "&Multiply Value and Evaluate Cell", Qt::Key_Asterisk, NudgeOp::Multiply, "value-multiply"},
      {kDivideValue, "Di&vide Value and Evaluate Cell", Qt::Key_Slash, NudgeOp::Divide, "value-divide"},
  };
  for (const auto& value : values) {
    QAction* action = AddAction(value.id, tr(value.text), QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, value.key)));
    action->setIcon(AppIcon(value.iconName));
    const NudgeOp op = value.op;
    connect(action, &QAction::triggered, this, [this, op] { NudgeValue(op); });
  }
}

void CMainFrame::CreateCellToolBar() {
  // A row of its own: beside the standard bar the cells box fell into the overflow menu.
  addToolBarBreak();
  m_cellBar = addToolBar(tr("Cells"));
  m_cellBar->setObjectName(QStringLiteral("CellToolBar"));
  for (int id : {kEvaluateCell, kEvaluateCellAdvance, kPreviousCell, kNextCell, kInsertCellBreak})
    m_cellBar->addAction(Action(id));
  m_cellBar->addSeparator();
  for (int id : {kDecrementValue, kIncrementValue}) m_cellBar->addAction(Action(id));
  m_stepBox = new CValueBox(QStringLiteral("1.0"), tr("Step"),
                             tr("Step: the amount that increment and decrement add and subtract"), m_cellBar);
  m_cellBar->addWidget(m_stepBox);
  for (int id : {kDivideValue, kMultiplyValue}) m_cellBar->addAction(Action(id));
  m_factorBox = new CValueBox(QStringLiteral("1.1"), tr("Factor"),
                               tr("Factor: the amount that multiply and divide use"), m_cellBar);
  m_cellBar->addWidget(m_factorBox);
  m_cellBar->addSeparator();
  m_cellsBox = new QComboBox(m_cellBar);
  m_cellsBox->setPlaceholderText(QStringLiteral("Cell 1"));
  m_cellsBox->setAccessibleName(tr("Cells"));
  m_cellsBox->setToolTip(tr("Cells of the document"));
  m_cellsBox->setStatusTip(tr("Cells of the document"));
  m_cellsBox->setMinimumContentsLength(16);
  m_cellsBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  m_cellBar->addWidget(m_cellsBox);
  connect(m_cellsBox, &QComboBox::activated, this, [this](int index) {
    CQuireDoc* doc = ActiveDocument();
    if (!doc) return;
    doc->View()->GotoCell(index);
    doc->View()->setFocus();
  });
}

void CMainFrame::ShowCellToolBar(bool show) {
  m_cellBar->setVisible(show);
  Action(kCellMode)->setText(show ? tr("Disable Cell Mode") : tr("Enable Cell Mode"));
  CQuireApp::WriteProfileInt(QStringLiteral("General"), QStringLiteral("CellMode"), show ? 1 : 0);
  UpdateCellCommands();
}

void CMainFrame::UpdateCellList() {
  CQuireDoc* doc = ActiveDocument();
  const std::vector<std::string> names = doc ? doc->View()->GetCellNames() : std::vector<std::string>();
  QStringList entries;
  for (const std::string& name : names) entries << QString::fromStdString(name);
  QStringList shown;
  for (int i = 0; i < m_cellsBox->count(); ++i) shown << m_cellsBox->itemText(i);
  if (entries != shown) {
    m_cellsBox->clear();
    m_cellsBox->addItems(entries);
  }
  m_cellsBox->setEnabled(!entries.isEmpty());
  UpdateCellSelection();
}

void CMainFrame::UpdateCellSelection() {
  CQuireDoc* doc = ActiveDocument();
  const int index = doc ? doc->View()->GetCurrentCellIndex() : -1;
  if (index < m_cellsBox->count() && index != m_cellsBox->currentIndex()) m_cellsBox->setCurrentIndex(index);
}

void CMainFrame::UpdateCellCommands() {
  CQuireDoc* doc = ActiveDocument();
  const bool cells = doc && !m_cellBar->isHidden();
  for (int id : {kEvaluateCell, kEvaluateCellAdvance, kEvaluateAll, kNextCell, kPreviousCell, kIncrementValue,
                 kDecrementValue, kDivideValue, kMultiplyValue})
    Action(id)->setEnabled(cells);
  const bool selected = doc && doc->View()->GetSelectionStart() < doc->View()->GetSelectionEnd();
  Action(kInsertCellBreak)->setEnabled(cells && !selected);
  Action(kInsertCellBreaksAround)->setEnabled(cells && selected);
  Action(kEvaluate)->setEnabled(doc != nullptr);
}

void CMainFrame::EvaluateLines(CQuireDoc* doc, const std::string& text) {
  GetScriptName(doc);  // an error answer can then offer the file's folder
  for (const std::string& piece : text::SplitNonEmpty(text, "\n")) {
    // A blank line is nothing to run; Calyx drops the carriage returns anyway.
    const std::string line = text::RemoveChars(piece, "\r");
    if (line.find_first_not_of(" \t") != std::string::npos) Send(line, false);
  }
}

void CMainFrame::EvaluateSelection() {
  if (CQuireDoc* doc = ActiveDocument()) EvaluateLines(doc, doc->View()->GetSelectedText());
}

void CMainFrame::EvaluateCurrentCell(bool advance) {
  CQuireDoc* doc = ActiveDocument();
  if (!doc) return;
  EvaluateLines(doc, doc->View()->GetCurrentCellText());
  if (advance) doc->View()->NextCell();
}

void CMainFrame::EvaluateAll() {
  if (CQuireDoc* doc = ActiveDocument()) EvaluateLines(doc, doc->View()->GetText());
}

void CMainFrame::NudgeValue(NudgeOp op) {
  CQuireDoc* doc = ActiveDocument();
  if (!doc) return;
  const QComboBox* box = op == NudgeOp::Increment || op == NudgeOp::Decrement ? m_stepBox : m_factorBox;
  if (doc->View()->NudgeNumber(op, box->currentText().trimmed().toStdString())) EvaluateCurrentCell(false);
}
