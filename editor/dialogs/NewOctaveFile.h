// The "New Octave M-File" form: the fields of a new function file; on OK it
// holds the generated text.
#pragma once

#include <QDialog>

#include <string>

#include "editor/dialogs/FunctionTemplate.h"

class QLineEdit;
class QPlainTextEdit;

class CNewOctaveFile : public QDialog {
  Q_OBJECT

 public:
  explicit CNewOctaveFile(QWidget* parent = nullptr);

  quire::SFunctionFields Fields() const;
  // Valid after OK.
  const std::string& GeneratedText() const { return m_text; }

  void accept() override;

 private:
  QLineEdit* m_name;
  QLineEdit* m_author;
  QLineEdit* m_inputs;
  QLineEdit* m_outputs;
  QPlainTextEdit* m_description;
  QPlainTextEdit* m_example;
  QPlainTextEdit* m_result;
  QLineEdit* m_seeAlso;
  std::string m_text;
};
