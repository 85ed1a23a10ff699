#include "editor/dialogs/GotoDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>

CGotoDlg::CGotoDlg(Kind kind, long current, QWidget* parent) : QDialog(parent) {
  const bool line = kind == Kind::Line;
  setWindowTitle(line ? tr("Goto Line") : tr("Goto character position"));
  m_edit = new QLineEdit;
  m_edit->setObjectName(QStringLiteral("number"));
  m_edit->setValidator(new QIntValidator(line ? 1 : 0, 2147483647, m_edit));
  SetValue(current);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // Only a number goes: OK waits for one.
  connect(m_edit, &QLineEdit::textChanged, this,
          [this, buttons] { buttons->button(QDialogButtonBox::Ok)->setEnabled(m_edit->hasAcceptableInput()); });
  auto* form = new QFormLayout(this);
  form->addRow(line ? tr("Line number:") : tr("Goto Character:"), m_edit);
  form->addRow(buttons);
  m_edit->selectAll();
  m_edit->setFocus();
}

long CGotoDlg::Value() const { return m_edit->text().toLong(); }

void CGotoDlg::SetValue(long value) { m_edit->setText(QString::number(value)); }
