#include "console/workspace/VaraiableName.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CVaraiableName::CVaraiableName(const QString& title, const QString& label, const QString& initial,
                               QWidget* parent)
    : QDialog(parent), m_result(initial) {
  setWindowTitle(tr("Variable"));
  m_label = new QLabel(tr("New variable name:"), this);
  m_edit = new QLineEdit(this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_label);
  layout->addWidget(m_edit);
  layout->addWidget(buttons);
  m_label->setBuddy(m_edit);

  // Opening shows the caller's title, label and text.
  setWindowTitle(title);
  m_label->setText(label);
  m_edit->setAccessibleName(label);
  m_edit->setText(initial);
  m_edit->selectAll();
  resize(220, 110);  // about 144 x 66 dialog units
}

void CVaraiableName::accept() {
  m_result = m_edit->text();
  QDialog::accept();
}
