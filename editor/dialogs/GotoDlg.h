// The two small go-to dialogs: "Goto Line" (1-based line) and "Goto character
// position" (0-based position). Each asks for one number.
#pragma once

#include <QDialog>

class QLineEdit;

class CGotoDlg : public QDialog {
  Q_OBJECT

 public:
  enum class Kind { Line, Position };
  CGotoDlg(Kind kind, long current, QWidget* parent = nullptr);

  long Value() const;
  void SetValue(long value);

 private:
  QLineEdit* m_edit;
};
