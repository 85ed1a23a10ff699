// The small dialog that asks for a variable name or a suffix.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

class CVaraiableName : public QDialog {
  Q_OBJECT

 public:
  CVaraiableName(const QString& title, const QString& label, const QString& initial,
                 QWidget* parent = nullptr);

  // The text as it was when OK closed the dialog; the initial text otherwise.
  QString Result() const { return m_result; }
  QLineEdit* Edit() const { return m_edit; }
  QLabel* Label() const { return m_label; }

  void accept() override;

 private:
  QLabel* m_label;
  QLineEdit* m_edit;
  QString m_result;
};
