// A line edit with a browse button that offers a folder.
#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

class CFolderBrowseEdit : public QWidget {
  Q_OBJECT

 public:
  explicit CFolderBrowseEdit(QWidget* parent = nullptr);

  QString Text() const;
  // Shows `text` without announcing it as a choice.
  void SetText(const QString& text);
  // Names the edit for assistive tools (the label before it says what it holds).
  void SetAccessibleName(const QString& name);

  // Shows `folder` and emits folderChosen, as picking it in the dialog does.
  void ChooseFolder(const QString& folder);

 signals:
  // The user picked a folder with the button, or typed one and pressed Enter.
  void folderChosen(const QString& folder);

 private:
  void Browse();

  QLineEdit* m_edit = nullptr;
  QToolButton* m_button = nullptr;
};
