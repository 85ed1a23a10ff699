#include "console/files/FolderPicker.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

bool IsFolder(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

}  // namespace

CFolderPicker::CFolderPicker(QWidget* parent, const QString& start) : QFileDialog(parent) {
  setWindowTitle(tr("Select a new working directory"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setOption(QFileDialog::DontUseNativeDialog);
  setOption(QFileDialog::ShowDirsOnly);
  setOption(QFileDialog::ReadOnly);  // nothing is made, renamed or deleted here
  setFileMode(QFileDialog::Directory);
  setLabelText(QFileDialog::Accept, tr("OK"));
  // Read-only only disables the dialog's "new folder" button: it is not offered at all.
  if (auto* newFolder = findChild<QToolButton*>(QStringLiteral("newFolderButton"))) newFolder->hide();
  setDirectory(start.isEmpty() ? QDir::currentPath() : start);
  // The dialog enables OK by its own rules on the same signals; this runs after it.
  if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
    connect(edit, &QLineEdit::textChanged, this, &CFolderPicker::UpdateOk);
  connect(this, &QFileDialog::directoryEntered, this, &CFolderPicker::UpdateOk);
  connect(this, &QFileDialog::currentChanged, this, &CFolderPicker::UpdateOk);
  UpdateOk();
}

QString CFolderPicker::Candidate() const {
  const auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  const QString text = edit ? edit->text().trimmed() : QString();
  const QDir shown = directory();
  return text.isEmpty() ? shown.absolutePath() : QDir::cleanPath(shown.absoluteFilePath(text));
}

void CFolderPicker::UpdateOk() {
  auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
  if (QPushButton* ok = buttons ? buttons->button(QDialogButtonBox::Open) : nullptr)
    ok->setEnabled(IsFolder(Candidate()));
}

void CFolderPicker::accept() {
  // Enter in the edit box accepts even while OK is disabled.
  if (IsFolder(Candidate())) QFileDialog::accept();
}

QString CFolderPicker::Choose(QWidget* parent, const QString& start) {
  CFolderPicker picker(parent, start);
  if (picker.exec() != QDialog::Accepted) return {};
  const QStringList chosen = picker.selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.front();
}
