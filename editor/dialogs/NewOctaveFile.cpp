#include "editor/dialogs/NewOctaveFile.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

QLineEdit* LineField(const std::string& text, const char* name) {
  auto* edit = new QLineEdit(QString::fromStdString(text));
  edit->setObjectName(QLatin1String(name));
  return edit;
}

QPlainTextEdit* TextField(const std::string& text, const char* name, int lines) {
  auto* edit = new QPlainTextEdit(QString::fromStdString(text));
  edit->setObjectName(QLatin1String(name));
  edit->setTabChangesFocus(true);
  edit->setFixedHeight(edit->fontMetrics().lineSpacing() * lines + 12);
  return edit;
}

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }
std::string Text(const QPlainTextEdit* edit) { return edit->toPlainText().toStdString(); }

}  // namespace

CNewOctaveFile::CNewOctaveFile(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("New Octave M-File"));
  const quire::SFunctionFields initial;
  m_name = LineField(initial.name, "function");
  m_author = LineField(initial.author, "author");
  m_inputs = LineField(initial.inputs, "inputs");
  m_outputs = LineField(initial.outputs, "outputs");
  m_description = TextField(initial.description, "description", 4);
  m_example = TextField(initial.example, "example", 2);
  m_result = TextField(initial.result, "result", 2);
  m_seeAlso = LineField(initial.seeAlso, "seeAlso");

  auto* form = new QFormLayout;
  form->addRow(tr("Function:"), m_name);
  form->addRow(tr("Author:"), m_author);
  form->addRow(tr("Inputs:"), m_inputs);
  form->addRow(tr("Outputs:"), m_outputs);
  form->addRow(tr("Description:"), m_description);
  form->addRow(tr("Example:"), m_example);
  form->addRow(tr("Result:"), m_result);
  form->addRow(tr("See Also:"), m_seeAlso);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  resize(520, sizeHint().height());
  m_name->selectAll();
  m_name->setFocus();
}

quire::SFunctionFields CNewOctaveFile::Fields() const {
  return {Text(m_name),        Text(m_author),  Text(m_inputs), Text(m_outputs),
          Text(m_description), Text(m_example), Text(m_result), Text(m_seeAlso)};
}

void CNewOctaveFile::accept() {
  m_text = quire::GenerateFunctionFile(Fields());
  QDialog::accept();
}
