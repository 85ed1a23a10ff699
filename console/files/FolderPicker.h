// The folder picker of Browse: Qt's own folder dialog (not the desktop's, so that
// it behaves the same everywhere), folders only, with an edit box and without a
// "new folder" button. OK is enabled only while the folder it would choose exists.
#pragma once

#include <QFileDialog>
#include <QString>

class CFolderPicker : public QFileDialog {
  Q_OBJECT

 public:
  CFolderPicker(QWidget* parent, const QString& start);

  // Asks for a folder starting in `start`; empty when the user cancels.
  static QString Choose(QWidget* parent, const QString& start);
  // The folder OK would choose: the edit box's text taken in the shown folder,
  // or the shown folder itself while the box is empty.
  QString Candidate() const;

 public slots:
  void accept() override;

 private:
  void UpdateOk();
};
